// Random layout trees laid out at random sizes: nothing crashes, and when the
// area holds the root's minimum no control is below its minimum, none overlaps
// another and each pane's sizes add up to its extent.
#include <gtest/gtest.h>

#include <random>

#include "tests/ui/fake_control.h"
#include "ui/layout_panes.h"

using testing_support::FakeControl;

namespace {

struct Leaf {
  std::shared_ptr<FakeControl> control;
  std::shared_ptr<PaneItem> item;
};

class TreeMaker {
 public:
  explicit TreeMaker(unsigned seed) : random_(seed) {}

  // A pane of 1 to 5 elements. A pane mixes fixed items with either
  // percentage items (at most 100 % together) or greedy ones, never both:
  // percentages are of the space fixed items leave, greedy minimums aside.
  std::shared_ptr<Pane> MakePane(int depth, unsigned mode) {
    bool vertical = Pick(2);
    // A fixed secondary size would be a promise about the contents: leave it to them.
    auto pane = std::make_shared<Pane>(vertical ? kVertical : kHorizontal, mode, Pick(8), Pick(12), 0);
    bool percentages = Pick(3) == 0;
    int percent_left = 100;
    int count = 1 + Pick(5);
    for (int i = 0; i < count; ++i) {
      unsigned along_fixed = vertical ? kFixedHeight : kFixedWidth;
      unsigned along_percent = vertical ? kPercentHeight : kPercentWidth;
      unsigned across = (vertical ? kFixedWidth : kFixedHeight) * Pick(2) | Pick(16) << 4;
      if (depth > 0 && !percentages && Pick(4) == 0) {
        pane->Add(MakePane(depth - 1, Pick(2) ? kGreedy : (kFixedWidth | kFixedHeight) & ~along_fixed));
      } else if (Pick(2) == 0) {
        pane->Add(MakeLeaf(along_fixed | across | (Pick(2) ? kFillWidth | kFillHeight : 0), 0));
      } else if (percentages) {
        int percent = Pick(percent_left + 1);
        percent_left -= percent;
        pane->Add(MakeLeaf(along_percent | across, percent));
      } else {
        pane->Add(MakeLeaf(across, 0));
      }
    }
    return pane;
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  const std::vector<Leaf>& leaves() const { return leaves_; }

 private:
  std::shared_ptr<PaneItem> MakeLeaf(unsigned mode, int percent) {
    LayoutSize size{1 + Pick(120), 1 + Pick(40)};
    bool combo = Pick(6) == 0;
    auto control = std::make_shared<FakeControl>(size, combo);
    LayoutSize given = size;
    if (mode & kPercentWidth) given.cx = percent;
    if (mode & kPercentHeight) given.cy = percent;
    // A combo box's minimum height is its height, as a real one's is.
    LayoutSize min_size{Pick(60) - 10, combo ? size.cy : Pick(30) - 10};
    auto item = std::make_shared<PaneItem>(control, mode, given, min_size);
    leaves_.push_back({control, item});
    return item;
  }

  std::mt19937 random_;
  std::vector<Leaf> leaves_;
};

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void ExpectSizesAddUp(const Pane& pane, int extent, int spacing_and_borders) {
  std::vector<int> sizes = pane.PrimarySizes(extent);
  int sum = 0;
  bool greedy = false;
  for (size_t i = 0; i < sizes.size(); ++i) {
    sum += sizes[i];
    unsigned mode = pane.items()[i]->mode();
    greedy |= !(mode & (pane.vertical() ? kFixedHeight | kPercentHeight : kFixedWidth | kPercentWidth));
  }
  if (greedy) {
    EXPECT_EQ(sum, extent - spacing_and_borders);
  }
}

TEST(LayoutProperties, RandomTreesAtTheirMinimumAndAbove) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    TreeMaker maker(seed);
    auto root = maker.MakePane(3, kGreedy);
    int width = root->MinWidth() + maker.Pick(400);
    int height = root->MinHeight() + maker.Pick(400);
    root->MoveTo({10, 20, 10 + width, 20 + height});
    const auto& leaves = maker.leaves();
    for (size_t i = 0; i < leaves.size(); ++i) {
      const LayoutRect& rect = leaves[i].control->rect();
      ASSERT_TRUE(leaves[i].control->moved()) << "seed " << seed;
      EXPECT_GE(rect.left, 10) << "seed " << seed;
      EXPECT_GE(rect.top, 20) << "seed " << seed;
      EXPECT_LE(rect.right, 10 + width) << "seed " << seed;
      EXPECT_LE(rect.bottom, 20 + height) << "seed " << seed;
      EXPECT_GE(rect.Width(), std::min(leaves[i].item->MinWidth(), leaves[i].control->Size().cx)) << "seed " << seed;
      if (!leaves[i].control->KeepsHeight()) {
        EXPECT_GE(rect.Height(), leaves[i].item->MinHeight()) << "seed " << seed;
      }
      for (size_t j = 0; j < i; ++j) {
        if (rect.Width() > 0 && rect.Height() > 0) {
          EXPECT_FALSE(Overlap(rect, leaves[j].control->rect())) << "seed " << seed << " leaves " << j << ", " << i;
        }
      }
    }
  }
}

TEST(LayoutProperties, SingleRowsAddUpAndKeepTheirMinimums) {
  for (unsigned seed = 1; seed <= 500; ++seed) {
    TreeMaker maker(seed);
    auto pane = maker.MakePane(0, kGreedy);
    int count = static_cast<int>(pane->items().size());
    bool vertical = pane->vertical();
    int minimum = pane->Min(vertical);
    int extent = minimum + maker.Pick(300);
    std::vector<int> sizes = pane->PrimarySizes(extent);
    int spacing_and_borders = (vertical ? pane->MinHeight() : pane->MinWidth());
    for (const auto& item : pane->items()) spacing_and_borders -= std::max(item->Min(vertical), kSmallestGreedy);
    ExpectSizesAddUp(*pane, extent, spacing_and_borders);
    for (int i = 0; i < count; ++i) EXPECT_GE(sizes[i], pane->items()[i]->Min(vertical)) << "seed " << seed;
  }
}

TEST(LayoutProperties, AnySizeLaysOutWithoutCrashing) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    TreeMaker maker(seed);
    auto root = maker.MakePane(4, kGreedy);
    int width = maker.Pick(600) - 100, height = maker.Pick(600) - 100;
    root->MoveTo({0, 0, width, height});
    for (const Leaf& leaf : maker.leaves()) EXPECT_TRUE(leaf.control->moved());
  }
}

}  // namespace
