// Where a group box draws its parts, from its client size and caption size.
#pragma once

#include "ui/layout_panes.h"

struct GroupBoxGeometry {
  LayoutRect frame;    // frame kind: the rounded outline; window kind: the whole box
  LayoutRect body;     // window kind: the filled part below the caption bar
  LayoutRect caption;  // where the caption text goes
};

// box_kind 0 is a frame with the caption on its top edge, any other value a
// caption bar over a filled body; alignment 1 centres, 2 right-aligns, any
// other value left-aligns the caption. The caption's insets and the bar's
// margin are pixels at 96 DPI, scaled to the dpi; the pen's one pixel is not.
GroupBoxGeometry GroupBoxLayout(const LayoutRect& client, LayoutSize caption, int box_kind, int alignment,
                                int dpi = kBaseDpi);
