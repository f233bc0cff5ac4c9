// The main window's layout tree (dialog 102): the recording controls and the
// About group on the left, the settings form on the right.
#pragma once

#include "ui/layout_mgr.h"

// Builds the tree as the new root of the manager, over the controls it finds.
void BuildMainLayout(LayoutMgr& layout);
