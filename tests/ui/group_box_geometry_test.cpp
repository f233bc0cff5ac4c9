// Where the group box puts its frame and caption, for both kinds and every alignment.
#include <gtest/gtest.h>

#include "ui/group_box_geometry.h"

namespace {

TEST(GroupBoxGeometry, PlacesTheCaptionByKindAndAlignment) {
  const LayoutRect client{0, 0, 200, 100};
  const LayoutSize caption{40, 14};
  const struct {
    int kind, alignment;
    int caption_left, caption_top;
    int dpi = 96;
  } cases[] = {
      {0, 0, 11, 1}, {0, 1, 80, 1}, {0, 2, 149, 1}, {0, 3, 11, 1}, {0, -1, 11, 1},
      {1, 0, 3, 3},  {1, 1, 80, 3}, {1, 2, 157, 3}, {7, 2, 157, 3}, {1, 3, 3, 3},
      // The insets scale with the DPI, rounded: 2.5 pixels at 120 DPI are 3.
      {0, 0, 21, 1, 192}, {0, 2, 144, 1, 144}, {1, 0, 4, 4, 120}, {1, 2, 155, 5, 192},
  };
  for (const auto& c : cases) {
    GroupBoxGeometry geometry = GroupBoxLayout(client, caption, c.kind, c.alignment, c.dpi);
    EXPECT_EQ(geometry.caption, (LayoutRect{c.caption_left, c.caption_top, c.caption_left + 40, c.caption_top + 14}))
        << "kind " << c.kind << " alignment " << c.alignment << " at " << c.dpi;
  }
}

TEST(GroupBoxGeometry, FrameStartsHalfACaptionDownOrAtTheTopWithoutOne) {
  EXPECT_EQ(GroupBoxLayout({0, 0, 200, 100}, {40, 15}, 0, 0).frame, (LayoutRect{1, 8, 199, 99}));
  EXPECT_EQ(GroupBoxLayout({0, 0, 200, 100}, {0, 0}, 0, 0).frame, (LayoutRect{1, 1, 199, 99}));
  GroupBoxGeometry window = GroupBoxLayout({0, 0, 200, 100}, {40, 15}, 1, 0);
  EXPECT_EQ(window.frame, (LayoutRect{1, 1, 199, 99}));
  EXPECT_EQ(window.body, (LayoutRect{1, 20, 199, 99}));
  EXPECT_EQ(GroupBoxLayout({0, 0, 200, 100}, {80, 30}, 1, 0, 192).body, (LayoutRect{1, 39, 199, 99}));
}

}  // namespace
