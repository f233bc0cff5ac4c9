// Which of the start button's pictures fits the button: each state's picture
// is drawn at 100, 125, 150 and 200 % of its 155 x 66 pixels, so that it
// fills the button at any DPI as it does at 96.
#pragma once

#include "ui/layout_panes.h"

// The bitmap resource of the largest picture of the state (0, 1, 2) that the
// button's client size holds; the 96-DPI picture when none does.
int StartPictureResource(int state, LayoutSize button);
