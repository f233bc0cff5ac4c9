#include "ui/layout_mgr.h"

LayoutMgr::LayoutMgr(ControlLookup lookup) : lookup_(std::move(lookup)) {}

std::shared_ptr<Pane> LayoutMgr::MakeRoot(Orientation orientation, int spacing, int end_border) {
  root_ = NewPane(orientation, kGreedy, spacing, end_border);
  return root_;
}

std::shared_ptr<Pane> LayoutMgr::NewPane(Orientation orientation, unsigned mode, int spacing, int end_border,
                                         int secondary) const {
  return std::make_shared<Pane>(orientation, mode, Scaled(spacing), Scaled(end_border),
                                ScaledSecondary(orientation, mode, secondary));
}

std::shared_ptr<Pane> LayoutMgr::NewFramedPane(int id, Orientation orientation, unsigned mode, int spacing,
                                               int end_border, int top_inset, int secondary) const {
  return std::make_shared<PaneCtrl>(lookup_(id), orientation, mode, Scaled(spacing), Scaled(end_border),
                                    Scaled(top_inset), ScaledSecondary(orientation, mode, secondary));
}

int LayoutMgr::ScaledSecondary(Orientation orientation, unsigned mode, int secondary) const {
  unsigned percent_across = orientation == kHorizontal ? kPercentHeight : kPercentWidth;
  return mode & percent_across ? secondary : Scaled(secondary);
}

std::shared_ptr<PaneBase> LayoutMgr::NewItem(int id, unsigned mode, int width, int height, int min_width,
                                             int min_height) const {
  std::shared_ptr<LayoutControl> control = lookup_(id);
  if (!control) return std::make_shared<PaneItem>(nullptr, mode, LayoutSize{width, height},
                                                  LayoutSize{min_width, min_height});
  LayoutSize current = control->Size();
  auto or_current = [](int value, int none, int current_value) { return value == none ? current_value : value; };
  LayoutSize size{or_current(width, 0, current.cx), or_current(height, 0, current.cy)};
  LayoutSize min_size{or_current(min_width, -1, current.cx), or_current(min_height, -1, current.cy)};
  return std::make_shared<PaneItem>(std::move(control), mode, size, min_size);
}

std::shared_ptr<PaneBase> LayoutMgr::NewEmptyItem(unsigned mode, int width, int height) const {
  return std::make_shared<PaneItem>(nullptr, mode, LayoutSize{width, height}, LayoutSize{-1, -1});
}

std::shared_ptr<PaneBase> LayoutMgr::NewStretchSpacer(Orientation orientation) const {
  unsigned across = orientation == kHorizontal ? kFixedHeight : kFixedWidth;
  return std::make_shared<PaneItem>(nullptr, across, LayoutSize{0, 0}, LayoutSize{-5, -5});
}

LayoutRect LayoutMgr::LayoutArea(LayoutSize client, int status_height) const {
  LayoutRect area{0, 0, client.cx, client.cy};
  if (status_height > 0) area.bottom = client.cy - status_height + root_borders().cy + Scaled(5);
  return area;
}

LayoutSize LayoutMgr::MinAreaSize() const {
  if (!root_) return {0, 0};
  return {root_->MinWidth() + 2 * root_borders().cx, root_->MinHeight() + 2 * root_borders().cy};
}

LayoutSize LayoutMgr::MaxAreaSize() const {
  if (!root_) return {-1, -1};
  int width = root_->MaxWidth();
  int height = root_->MaxHeight();
  return {width < 0 ? -1 : width + 2 * root_borders().cx, height < 0 ? -1 : height + 2 * root_borders().cy};
}

void LayoutMgr::LayOut(const LayoutRect& area) const {
  if (!root_) return;
  LayoutSize border = root_borders();
  root_->MoveTo({area.left + border.cx, area.top + border.cy, area.right - border.cx, area.bottom - border.cy});
}
