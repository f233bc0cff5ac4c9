// The layout arithmetic case by case: the passes, bounds, alignment, frames
// and the main window's tree.
#include <gtest/gtest.h>

#include <map>

#include "resources/resource.h"
#include "tests/ui/fake_control.h"
#include "ui/layout_mgr.h"
#include "ui/main_layout.h"
#include "ui/start_picture.h"

using testing_support::Fake;
using testing_support::FakeControl;

namespace {

std::shared_ptr<PaneItem> Item(unsigned mode, int width, int height = 10, int min_width = -1, int min_height = -1) {
  return std::make_shared<PaneItem>(nullptr, mode, LayoutSize{width, height}, LayoutSize{min_width, min_height});
}

std::shared_ptr<Pane> BoundedPane(int width) {
  return std::make_shared<Pane>(kHorizontal, kGreedy, 0, 0, 0)->Add(Item(kNoResize, width));
}

struct PassCase {
  const char* name;
  std::vector<std::shared_ptr<PaneItem>> items;
  int extent;
  std::vector<int> sizes;
};

TEST(LayoutPasses, SharesTheExtentAsEachPassSays) {
  const PassCase cases[] = {
      {"three greedy items share 100 pixels", {Item(kGreedy, 0), Item(kGreedy, 0), Item(kGreedy, 0)}, 100,
       {33, 33, 34}},
      {"fixed items first, the greedy one takes the rest", {Item(kFixedWidth, 30), Item(kGreedy, 0)}, 100,
       {30, 70}},
      {"50 % of the 300 pixels the fixed item leaves", {Item(kFixedWidth, 100), Item(kPercentWidth, 50)}, 400,
       {100, 150}},
      {"a minimum above its percentage holds", {Item(kPercentWidth, 50, 10, 200)}, 300, {200}},
      {"percentage items beside a greedy one", {Item(kPercentWidth, 25), Item(kGreedy, 0)}, 200, {50, 150}},
      {"clamping a percentage item takes from the other", {Item(kPercentWidth, 50, 10, 200), Item(kPercentWidth, 50)},
       300, {200, 100}},
      {"greedy items never below 5 pixels", {Item(kGreedy, 0), Item(kGreedy, 0), Item(kGreedy, 0)}, 6, {5, 5, 5}},
      {"a clamped greedy item's difference spreads over the others",
       {Item(kGreedy, 0, 10, 60), Item(kGreedy, 0), Item(kGreedy, 0)}, 100, {60, 19, 21}},
      {"space a bounded item gives back goes to one clamped at its minimum",
       {Item(kGreedy, 0, 10, 70), nullptr}, 100, {90, 10}},
      {"no greedy item: the fill items share the rest", {Item(kFixedWidth | kFillWidth, 20),
       Item(kFixedWidth | kFillWidth, 30), Item(kFixedWidth, 10)}, 101, {40, 51, 10}},
      {"greedy items leave nothing to fill", {Item(kFixedWidth | kFillWidth, 20), Item(kGreedy, 0)}, 100, {20, 80}},
      {"fixed items larger than the pane overflow", {Item(kFixedWidth, 80), Item(kFixedWidth, 80), Item(kGreedy, 0)},
       100, {80, 80, 5}},
  };
  for (const PassCase& c : cases) {
    auto pane = std::make_shared<Pane>(kHorizontal, kGreedy, 0, 0, 0);
    // A null item stands for a greedy pane at most 10 pixels wide.
    for (const auto& item : c.items) pane->Add(item ? std::shared_ptr<PaneBase>(item) : BoundedPane(10));
    EXPECT_EQ(pane->PrimarySizes(c.extent), c.sizes) << c.name;
  }
}

TEST(LayoutPasses, SpacingAndEndBorderComeOffTheExtent) {
  auto pane = std::make_shared<Pane>(kVertical, kGreedy, 5, 10, 0);
  pane->Add(Item(kGreedy, 0))->Add(Item(kGreedy, 0));
  // 200 - 2 x 5 spacing - 2 x 10 border = 170.
  EXPECT_EQ(pane->PrimarySizes(200), (std::vector<int>{85, 85}));
  auto a = Fake(10, 10), b = Fake(10, 10);
  pane = std::make_shared<Pane>(kVertical, kGreedy, 5, 10, 0);
  pane->Add(std::make_shared<PaneItem>(a, kGreedy, LayoutSize{}, LayoutSize{}))
      ->Add(std::make_shared<PaneItem>(b, kGreedy, LayoutSize{}, LayoutSize{}));
  pane->MoveTo({0, 0, 100, 200});
  EXPECT_EQ(a->rect(), (LayoutRect{10, 10, 90, 95}));
  EXPECT_EQ(b->rect(), (LayoutRect{10, 100, 90, 185}));
}

TEST(LayoutItem, AlignsAFixedControlInItsCell) {
  const struct {
    unsigned align;
    LayoutRect rect;
  } cases[] = {
      {0, {0, 0, 20, 10}},
      {kAlignRight, {80, 0, 100, 10}},
      {kAlignHCenter, {40, 0, 60, 10}},
      {0x010, {0, 0, 20, 10}},  // the other horizontal bit alone is left
      {kAlignBottom, {0, 40, 20, 50}},
      {kAlignVCenter, {0, 20, 20, 30}},
      {0x040, {0, 0, 20, 10}},
      {kAlignHCenter | kAlignVCenter, {40, 20, 60, 30}},
  };
  for (const auto& c : cases) {
    auto control = Fake(20, 10);
    PaneItem(control, kNoResize | c.align, {20, 10}, {20, 10}).MoveTo({0, 0, 100, 50});
    EXPECT_EQ(control->rect(), c.rect) << "alignment " << c.align;
  }
}

TEST(LayoutItem, GreedyAndFillDirectionsTakeTheCellAndComboBoxesKeepTheirHeight) {
  auto greedy = Fake(20, 10);
  PaneItem(greedy, kGreedy, {}, {}).MoveTo({5, 5, 105, 55});
  EXPECT_EQ(greedy->rect(), (LayoutRect{5, 5, 105, 55}));
  auto fill = Fake(20, 10);
  PaneItem(fill, kNoResize | kFillWidth, {20, 10}, {}).MoveTo({0, 0, 100, 50});
  EXPECT_EQ(fill->rect(), (LayoutRect{0, 0, 100, 10}));
  auto combo = Fake(20, 21, true);
  PaneItem(combo, kGreedy, {}, {}).MoveTo({0, 0, 100, 50});
  EXPECT_EQ(combo->rect(), (LayoutRect{0, 0, 100, 21}));
}

TEST(LayoutPane, MinimumsAndMaximums) {
  auto row = std::make_shared<Pane>(kHorizontal, kFixedWidth, 5, 10, 0);
  row->Add(Item(kNoResize, 40, 12))->Add(Item(kFixedWidth | kFillWidth, 0))->Add(Item(kNoResize, 60, 20));
  // 40 + 5 (a 0-wide item counts 5) + 60 + 3 x 5 + 2 x 10.
  EXPECT_EQ(row->MinWidth(), 140);
  EXPECT_EQ(row->MaxWidth(), 140);
  EXPECT_EQ(row->WantedWidth(1000), 140);
  // Across: the tallest item; the filler is greedy in height, so no maximum.
  EXPECT_EQ(row->MinHeight(), 20 + 20);
  EXPECT_EQ(row->MaxHeight(), -1);
  auto column = std::make_shared<Pane>(kVertical, kFixedWidth, 5, 0, 120);
  column->Add(Item(kNoResize, 40, 12));
  EXPECT_EQ(column->MinWidth(), 120);
  EXPECT_EQ(column->MaxHeight(), 12 + 5);
  auto greedy = std::make_shared<Pane>(kVertical, kGreedy, 0, 0, 0);
  greedy->Add(Item(kGreedy, 0, 0, 30, 2));
  EXPECT_EQ(greedy->MinWidth(), 30);
  EXPECT_EQ(greedy->MinHeight(), 5);
  EXPECT_EQ(greedy->WantedHeight(100), -1);
}

TEST(LayoutPane, FramedPaneKeepsItsInsetBelowTheFrame) {
  auto frame = Fake(10, 10), inside = Fake(30, 10);
  auto framed = std::make_shared<PaneCtrl>(frame, kVertical, kGreedy, 5, 10, 12, 0);
  framed->Add(std::make_shared<PaneItem>(inside, kNoResize, LayoutSize{30, 10}, LayoutSize{30, 10}));
  EXPECT_EQ(framed->MinHeight(), 10 + 5 + 2 * 10 + 12);
  EXPECT_EQ(framed->MaxHeight(), framed->MinHeight());
  framed->MoveTo({0, 0, 200, 100});
  EXPECT_EQ(frame->rect(), (LayoutRect{0, 0, 200, 100}));
  EXPECT_EQ(inside->rect(), (LayoutRect{10, 22, 40, 32}));
}

TEST(LayoutMgr, ItemsTakeTheControlsSizesUnlessGiven) {
  std::map<int, std::shared_ptr<FakeControl>> controls{{1, Fake(70, 20)}};
  LayoutMgr layout([&](int id) -> std::shared_ptr<LayoutControl> {
    auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
  });
  EXPECT_EQ(layout.NewItem(1, kNoResize)->MinWidth(), 70);
  EXPECT_EQ(layout.NewItem(1, kNoResize, 50, 30)->MinHeight(), 30);
  EXPECT_EQ(layout.NewItem(1, kGreedy)->MinWidth(), 70);
  EXPECT_EQ(layout.NewItem(1, kGreedy, 0, 0, 2, 9)->MinWidth(), 5);
  EXPECT_EQ(layout.NewItem(1, kGreedy, 0, 0, 2, 9)->MinHeight(), 9);
  // No control 2: a window-less item of the sizes given.
  EXPECT_EQ(layout.NewItem(2, kNoResize, 0, 0)->MinWidth(), 0);
  auto spacer = layout.NewStretchSpacer(kHorizontal);
  EXPECT_EQ(spacer->MinWidth(), 5);
  EXPECT_EQ(spacer->MaxWidth(), -1);
  EXPECT_EQ(spacer->MaxHeight(), 0);
}

TEST(LayoutMgr, AreaReachesIntoTheStatusBarAndRootKeepsItsBorders) {
  LayoutMgr layout([](int) { return nullptr; });
  EXPECT_EQ(layout.LayoutArea({400, 300}, 0), (LayoutRect{0, 0, 400, 300}));
  EXPECT_EQ(layout.LayoutArea({400, 300}, 20), (LayoutRect{0, 0, 400, 290}));
  auto control = Fake(10, 10);
  layout.MakeRoot(kHorizontal, 5, 0)->Add(std::make_shared<PaneItem>(control, kGreedy, LayoutSize{}, LayoutSize{}));
  layout.LayOut({0, 0, 400, 290});
  EXPECT_EQ(control->rect(), (LayoutRect{5, 5, 390, 285}));
  EXPECT_EQ(layout.MinAreaSize().cx, 5 + 5 + 10);
  EXPECT_EQ(layout.MaxAreaSize().cx, -1);
}

TEST(LayoutMgr, BordersInsetsAndTheStatusBarReachScaleWithTheDpi) {
  const struct {
    int dpi, control_top, area_bottom;
  } cases[] = {{96, 25, 290}, {120, 32, 292}, {144, 38, 296}, {192, 50, 300}};
  for (const auto& c : cases) {
    auto frame = Fake(10, 10), control = Fake(10, 10);
    LayoutMgr layout([&](int id) -> std::shared_ptr<LayoutControl> { return id == 1 ? frame : control; });
    layout.SetDpi(c.dpi);
    layout.MakeRoot(kVertical, 5, 0)->Add(layout.NewFramedPane(1, kVertical, kGreedy, 5, 10, 10)->Add(
        layout.NewItem(2, kGreedy)));
    layout.LayOut({0, 0, 400, 300});
    EXPECT_EQ(frame->rect().top, layout.Scaled(5)) << c.dpi;
    EXPECT_EQ(control->rect().top, c.control_top) << c.dpi;
    EXPECT_EQ(layout.LayoutArea({400, 300}, 20).bottom, c.area_bottom) << c.dpi;
  }
}

TEST(StartPicture, IsTheLargestTheButtonHolds) {
  const struct {
    LayoutSize button;
    int state, resource;
  } cases[] = {{{159, 72}, 0, IDB_START}, {{186, 88}, 1, IDB_STOP_WAIT}, {{194, 83}, 2, IDB_STOP_FIX_125},
               {{239, 98}, 0, IDB_START_125}, {{318, 138}, 2, IDB_STOP_FIX_200}, {{100, 40}, 0, IDB_START}};
  for (const auto& c : cases) EXPECT_EQ(StartPictureResource(c.state, c.button), c.resource) << c.button.cx;
}

// Controls of dialog 102 with plausible pixel sizes.
std::map<int, std::shared_ptr<FakeControl>> MainWindowControls() {
  std::map<int, std::shared_ptr<FakeControl>> controls;
  for (int id = IDC_LOG_LIST; id <= IDC_ABOUT_BOX; ++id) controls[id] = Fake(100, 20);
  controls[IDC_START] = Fake(159, 70);
  controls[IDC_LOG_LIST] = Fake(354, 210);
  for (int id : {IDC_PORT_LIST, IDC_PRIVACY, IDC_INTERVAL, IDC_DISTANCE}) controls[id] = Fake(100, 21, true);
  return controls;
}

TEST(MainLayout, LaysTheMainWindowOutWithoutOverlapAtItsMinimum) {
  auto controls = MainWindowControls();
  LayoutMgr layout([&](int id) -> std::shared_ptr<LayoutControl> { return controls.count(id) ? controls[id] : nullptr; });
  BuildMainLayout(layout);
  LayoutSize minimum = layout.MinAreaSize();
  layout.LayOut({0, 0, minimum.cx, minimum.cy});
  auto inside = [](const LayoutRect& inner, const LayoutRect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
  };
  const LayoutRect tracker = controls[IDC_TRACKER_BOX]->rect(), settings = controls[IDC_SETTINGS_BOX]->rect();
  EXPECT_TRUE(inside(controls[IDC_LOG_LIST]->rect(), tracker));
  EXPECT_TRUE(inside(controls[IDC_UPDATE]->rect(), settings));
  EXPECT_TRUE(inside(controls[IDC_BY_HAND]->rect(), controls[IDC_SENDING_BOX]->rect()));
  EXPECT_LE(tracker.right + 5, settings.left);
  EXPECT_GE(controls[IDC_LOG_LIST]->rect().Height(), 210);
  EXPECT_LE(controls[IDC_ABOUT_BOX]->rect().bottom, minimum.cy - 5);
  // The send button at the right edge (short of it by the spacing the last item
  // is given too), the start button centred, the fields right-aligned.
  EXPECT_EQ(controls[IDC_SEND]->rect().right, tracker.right - 10 - 5);
  const LayoutRect start = controls[IDC_START]->rect();
  EXPECT_NEAR((tracker.right - start.right) - (start.left - tracker.left), 5, 1);
  EXPECT_EQ(controls[IDC_LOGIN]->rect().right, controls[IDC_PASSWORD]->rect().right);
  // Growing the window grows the log list and nothing on the right.
  layout.LayOut({0, 0, minimum.cx + 200, minimum.cy + 100});
  EXPECT_EQ(controls[IDC_LOG_LIST]->rect().Width(), 354 + 200);
  EXPECT_EQ(controls[IDC_SETTINGS_BOX]->rect().Width(), settings.Width());
}

}  // namespace
