// The elements of a window layout: panes of items laid out along one
// direction. Plain arithmetic over controls that can be measured and moved,
// so that it runs and is tested anywhere; LayoutMgr builds the trees.
#pragma once

#include <memory>
#include <vector>

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const LayoutRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct LayoutSize {
  int cx = 0;
  int cy = 0;
};

// A control that a layout measures and moves (a child window, or a fake in tests).
class LayoutControl {
 public:
  virtual ~LayoutControl() = default;
  // Its current size in pixels.
  virtual LayoutSize Size() const = 0;
  // True for a drop-down combo box, which keeps its height in any cell.
  virtual bool KeepsHeight() const = 0;
  // Moves it to the rectangle, in the host's client coordinates.
  virtual void MoveTo(const LayoutRect& rect) = 0;
};

// Resize mode bits. No size bit in a direction means greedy there.
enum : unsigned {
  kGreedy = 0x000,
  kFixedWidth = 0x001,
  kPercentWidth = 0x002,
  kFixedHeight = 0x004,
  kPercentHeight = 0x008,
  kNoResize = kFixedWidth | kFixedHeight,
  kAlignRight = 0x020,
  kAlignHCenter = 0x030,  // both horizontal bits; anything else but 0x020 alone is left
  kAlignBottom = 0x080,
  kAlignVCenter = 0x0C0,
  kFillWidth = 0x100,  // a fixed-width item also takes a share of spare width
  kFillHeight = 0x200,
};

enum Orientation { kHorizontal = 0, kVertical = 1 };

// Sizes below this are never given to a greedy or percentage element.
inline constexpr int kSmallestGreedy = 5;

// The DPI that the layouts' pixel figures are given for.
inline constexpr int kBaseDpi = 96;

// A figure of pixels at 96 DPI as pixels at the DPI, rounded to the nearest
// whole pixel (halves away from zero, as MulDiv does).
inline int ScaleForDpi(int pixels, int dpi) {
  const int product = pixels * dpi;
  return (product + (product < 0 ? -kBaseDpi / 2 : kBaseDpi / 2)) / kBaseDpi;
}

// Wanted sizes of -1 mean no preference (greedy); maximums of -1 mean no bound.
class PaneBase {
 public:
  explicit PaneBase(unsigned mode) : mode_(mode) {}
  virtual ~PaneBase() = default;
  // Sizes by direction: vertical picks the height.
  virtual int Wanted(bool vertical, int parent) const = 0;
  virtual int Min(bool vertical) const = 0;
  virtual int Max(bool vertical) const = 0;
  // Places the element (and what it holds) in the cell.
  virtual void MoveTo(const LayoutRect& cell) = 0;

  unsigned mode() const { return mode_; }
  int WantedWidth(int parent_width) const { return Wanted(false, parent_width); }
  int WantedHeight(int parent_height) const { return Wanted(true, parent_height); }
  int MinWidth() const { return Min(false); }
  int MaxWidth() const { return Max(false); }
  int MinHeight() const { return Min(true); }
  int MaxHeight() const { return Max(true); }

 protected:
  bool Fixed(bool vertical) const { return mode_ & (vertical ? kFixedHeight : kFixedWidth); }
  bool Percent(bool vertical) const { return mode_ & (vertical ? kPercentHeight : kPercentWidth); }

 private:
  unsigned mode_;
};

// One control, or an empty spacer without one. For a percentage direction the
// size is the percentage.
class PaneItem : public PaneBase {
 public:
  PaneItem(std::shared_ptr<LayoutControl> control, unsigned mode, LayoutSize size, LayoutSize min_size);
  int Wanted(bool vertical, int parent) const override;
  int Min(bool vertical) const override;
  int Max(bool vertical) const override;
  void MoveTo(const LayoutRect& cell) override;

 private:
  int SizeOf(bool vertical) const { return vertical ? size_.cy : size_.cx; }

  std::shared_ptr<LayoutControl> control_;
  LayoutSize size_;
  LayoutSize min_size_;
};

// Elements side by side (horizontal) or stacked (vertical), in the order added.
class Pane : public PaneBase, public std::enable_shared_from_this<Pane> {
 public:
  // end_border is kept free at both ends and both sides; secondary is the size
  // across the orientation (pixels when fixed there, percent when percentage;
  // 0 when fixed means the widest item decides).
  Pane(Orientation orientation, unsigned mode, int spacing, int end_border, int secondary);
  // Appends the element and returns this pane, so that appends chain.
  std::shared_ptr<Pane> Add(std::shared_ptr<PaneBase> element);

  int Wanted(bool vertical, int parent) const override;
  int Min(bool vertical) const override;
  int Max(bool vertical) const override;
  void MoveTo(const LayoutRect& cell) override;

  // The primary sizes the items get in a pane extent of this many pixels.
  std::vector<int> PrimarySizes(int extent) const;
  const std::vector<std::shared_ptr<PaneBase>>& items() const { return items_; }
  bool vertical() const { return vertical_; }

 protected:

 private:
  int SumAlong(bool maximums) const;
  int LargestAcross(bool maximums) const;

  bool vertical_;
  int spacing_;
  int end_border_;
  int secondary_;
  std::vector<std::shared_ptr<PaneBase>> items_;
};

// A pane framed by a control (a group box), its items kept below the frame's caption.
class PaneCtrl : public Pane {
 public:
  PaneCtrl(std::shared_ptr<LayoutControl> frame, Orientation orientation, unsigned mode, int spacing,
           int end_border, int top_inset, int secondary);
  int Min(bool vertical) const override;
  int Max(bool vertical) const override;
  void MoveTo(const LayoutRect& cell) override;

 private:
  std::shared_ptr<LayoutControl> frame_;
  int top_inset_;
};
