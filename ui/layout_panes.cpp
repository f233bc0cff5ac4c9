#include "ui/layout_panes.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

int Clamp(int size, int minimum, int maximum) {
  if (maximum >= 0) size = std::min(size, maximum);
  return std::max(size, minimum);
}

// One item's share of a pane's primary extent while the passes run.
struct Slot {
  int size = 0;
  int min = 0;
  int max = -1;
};

// Room a slot has to give (excess > 0) or to take (excess < 0).
bool CanAbsorb(const Slot& slot, int excess) {
  return excess > 0 ? slot.size > slot.min : (slot.max < 0 || slot.size < slot.max);
}

// Moves |excess| pixels out of (excess > 0) or into (excess < 0) the slots that
// have room, in proportion to their sizes; 5 pixels or less go to one slot.
// A slot at its minimum still takes and one at its maximum still gives: only
// the direction it is bound in is closed. What no slot can absorb is left
// over: the layout then overflows or leaves space unused.
void SpreadExcess(std::vector<Slot*>& slots, int excess) {
  bool one_takes_all = false;
  while (excess != 0) {
    std::vector<Slot*> open;
    int total = 0;
    for (Slot* slot : slots) {
      if (!CanAbsorb(*slot, excess)) continue;
      open.push_back(slot);
      total += slot->size;
    }
    if (open.empty()) return;
    int before = excess;
    for (Slot* slot : open) {
      int share = excess;
      if (!one_takes_all && std::abs(before) > 5) {
        share = total > 0 ? static_cast<int>(static_cast<long long>(before) * slot->size / total)
                          : before / static_cast<int>(open.size());
      }
      int got = Clamp(slot->size - share, slot->min, slot->max);
      excess -= slot->size - got;
      slot->size = got;
      if (excess == 0) return;
    }
    // Rounding gave every slot nothing: let one slot at a time take the rest.
    if (excess == before) one_takes_all = true;
  }
}

// Clamps each slot to its bounds and spreads what clamping took or gave over the others.
void ClampAndSpread(std::vector<Slot*>& slots) {
  int excess = 0;
  for (Slot* slot : slots) {
    int clamped = Clamp(slot->size, slot->min, slot->max);
    excess += clamped - slot->size;
    slot->size = clamped;
  }
  SpreadExcess(slots, excess);
}

// The start of a span of the size placed in [start, start + cell) by the alignment bits.
int AlignedStart(int start, int cell, int size, unsigned align_bits, unsigned far_bit) {
  if (align_bits == (far_bit | (far_bit >> 1))) return start + (cell - size) / 2;
  if (align_bits == far_bit) return start + cell - size;
  return start;
}

}  // namespace

PaneItem::PaneItem(std::shared_ptr<LayoutControl> control, unsigned mode, LayoutSize size, LayoutSize min_size)
    : PaneBase(mode), control_(std::move(control)), size_(size), min_size_(min_size) {}

int PaneItem::Wanted(bool vertical, int parent) const {
  if (Fixed(vertical)) return SizeOf(vertical);
  if (Percent(vertical)) return parent * SizeOf(vertical) / 100;
  return -1;
}

int PaneItem::Min(bool vertical) const {
  if (Fixed(vertical)) return SizeOf(vertical);
  return std::max(vertical ? min_size_.cy : min_size_.cx, kSmallestGreedy);
}

int PaneItem::Max(bool vertical) const { return Fixed(vertical) ? SizeOf(vertical) : -1; }

void PaneItem::MoveTo(const LayoutRect& cell) {
  if (!control_) return;
  LayoutSize current = control_->Size();
  // A fixed direction without its fill bit keeps the control's size and aligns it.
  int width = cell.Width();
  if (Fixed(false) && !(mode() & kFillWidth)) width = current.cx;
  int height = cell.Height();
  if (control_->KeepsHeight() || (Fixed(true) && !(mode() & kFillHeight))) height = current.cy;
  LayoutRect rect;
  rect.left = AlignedStart(cell.left, cell.Width(), width, mode() & kAlignHCenter, kAlignRight);
  rect.top = AlignedStart(cell.top, cell.Height(), height, mode() & kAlignVCenter, kAlignBottom);
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  control_->MoveTo(rect);
}

Pane::Pane(Orientation orientation, unsigned mode, int spacing, int end_border, int secondary)
    : PaneBase(mode),
      vertical_(orientation == kVertical),
      spacing_(spacing),
      end_border_(end_border),
      secondary_(secondary) {}

std::shared_ptr<Pane> Pane::Add(std::shared_ptr<PaneBase> element) {
  if (element) items_.push_back(std::move(element));
  return shared_from_this();
}

int Pane::Wanted(bool vertical, int parent) const {
  if (Fixed(vertical)) return Min(vertical);
  if (Percent(vertical)) return parent * secondary_ / 100;
  return -1;
}

int Pane::SumAlong(bool maximums) const {
  int sum = 0;
  for (const auto& item : items_) {
    int size = maximums ? item->Max(vertical_) : item->Min(vertical_);
    if (size < 0) return -1;
    sum += std::max(size, kSmallestGreedy);
  }
  return sum + static_cast<int>(items_.size()) * spacing_ + 2 * end_border_;
}

int Pane::LargestAcross(bool maximums) const {
  int largest = 0;
  for (const auto& item : items_) {
    int size = maximums ? item->Max(!vertical_) : item->Min(!vertical_);
    if (size < 0) return -1;
    largest = std::max(largest, size);
  }
  return largest + 2 * end_border_;
}

int Pane::Min(bool vertical) const {
  if (vertical == vertical_) return SumAlong(false);
  if (Fixed(vertical) && secondary_ > 0) return secondary_;
  return LargestAcross(false);
}

// A fixed pane is as large as its minimum; otherwise it is bounded only when all its items are.
int Pane::Max(bool vertical) const {
  if (Fixed(vertical)) return Pane::Min(vertical);
  int maximum = vertical == vertical_ ? SumAlong(true) : LargestAcross(true);
  return maximum < 0 ? -1 : std::max(maximum, Pane::Min(vertical));
}

std::vector<int> Pane::PrimarySizes(int extent) const {
  const int count = static_cast<int>(items_.size());
  std::vector<Slot> slots(count);
  std::vector<Slot*> percent, greedy;
  std::vector<int> fill;
  // Fixed pass.
  int available = extent - count * spacing_ - 2 * end_border_;
  for (int i = 0; i < count; ++i) {
    const PaneBase& item = *items_[i];
    slots[i].min = item.Min(vertical_);
    slots[i].max = item.Max(vertical_);
    unsigned fixed_bit = vertical_ ? kFixedHeight : kFixedWidth;
    unsigned percent_bit = vertical_ ? kPercentHeight : kPercentWidth;
    if (item.mode() & fixed_bit) {
      slots[i].size = item.Wanted(vertical_, 0);
      available -= slots[i].size;
      if (item.mode() & (vertical_ ? kFillHeight : kFillWidth)) fill.push_back(i);
    } else if (item.mode() & percent_bit) {
      percent.push_back(&slots[i]);
    } else {
      greedy.push_back(&slots[i]);
    }
  }
  available = std::max(available, 0);
  // Percentage pass, of the space the fixed items left.
  int free = available;
  for (Slot* slot : percent) slot->size = items_[slot - slots.data()]->Wanted(vertical_, available);
  ClampAndSpread(percent);
  for (Slot* slot : percent) free -= slot->size;
  free = std::max(free, 0);
  // Greedy pass: each takes an equal part of what is left, the last the rest.
  int left = free;
  for (size_t i = 0; i < greedy.size(); ++i) {
    greedy[i]->size = i + 1 == greedy.size() ? left : left / static_cast<int>(greedy.size() - i);
    left -= greedy[i]->size;
  }
  ClampAndSpread(greedy);
  for (Slot* slot : greedy) free -= slot->size;
  // Fill pass: fixed items with the fill bit share what is still free.
  for (size_t i = 0; free > 0 && i < fill.size(); ++i) {
    int share = i + 1 == fill.size() ? free : free / static_cast<int>(fill.size() - i);
    slots[fill[i]].size += share;
    free -= share;
  }
  std::vector<int> sizes(count);
  for (int i = 0; i < count; ++i) sizes[i] = slots[i].size;
  return sizes;
}

void Pane::MoveTo(const LayoutRect& cell) {
  std::vector<int> sizes = PrimarySizes(vertical_ ? cell.Height() : cell.Width());
  int position = (vertical_ ? cell.top : cell.left) + end_border_;
  for (size_t i = 0; i < items_.size(); ++i) {
    LayoutRect item_cell = cell;
    if (vertical_) {
      item_cell = {cell.left + end_border_, position, cell.right - end_border_, position + sizes[i]};
    } else {
      item_cell = {position, cell.top + end_border_, position + sizes[i], cell.bottom - end_border_};
    }
    items_[i]->MoveTo(item_cell);
    position += sizes[i] + spacing_;
  }
}

PaneCtrl::PaneCtrl(std::shared_ptr<LayoutControl> frame, Orientation orientation, unsigned mode, int spacing,
                   int end_border, int top_inset, int secondary)
    : Pane(orientation, mode, spacing, end_border, secondary), frame_(std::move(frame)), top_inset_(top_inset) {}

int PaneCtrl::Min(bool vertical) const { return Pane::Min(vertical) + (vertical ? top_inset_ : 0); }

int PaneCtrl::Max(bool vertical) const {
  int maximum = Pane::Max(vertical);
  return maximum < 0 || !vertical ? maximum : maximum + top_inset_;
}

void PaneCtrl::MoveTo(const LayoutRect& cell) {
  if (frame_) frame_->MoveTo(cell);
  LayoutRect inner = cell;
  inner.top += top_inset_;
  Pane::MoveTo(inner);
}
