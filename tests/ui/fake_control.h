// A control for layout tests: a size it reports and the rectangle it was moved to.
#pragma once

#include <memory>

#include "ui/layout_panes.h"

namespace testing_support {

class FakeControl : public LayoutControl {
 public:
  explicit FakeControl(LayoutSize size, bool keeps_height = false) : size_(size), keeps_height_(keeps_height) {}
  LayoutSize Size() const override { return size_; }
  bool KeepsHeight() const override { return keeps_height_; }
  // Moves it like a window: the size follows the rectangle.
  void MoveTo(const LayoutRect& rect) override {
    rect_ = rect;
    size_ = {rect.Width(), rect.Height()};
    moved_ = true;
  }
  const LayoutRect& rect() const { return rect_; }
  bool moved() const { return moved_; }

 private:
  LayoutSize size_;
  bool keeps_height_;
  LayoutRect rect_;
  bool moved_ = false;
};

inline std::shared_ptr<FakeControl> Fake(int width, int height, bool keeps_height = false) {
  return std::make_shared<FakeControl>(LayoutSize{width, height}, keeps_height);
}

}  // namespace testing_support
