#include "app/line_list.h"

int MemoryLineList::Count() {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(lines_.size());
}

void MemoryLineList::Insert(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (index < 0 || index >= static_cast<int>(lines_.size())) {
    lines_.push_back(text);
  } else {
    lines_.insert(lines_.begin() + index, text);
  }
}

void MemoryLineList::SetText(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Has(index)) lines_[index] = text;
}

void MemoryLineList::Delete(int index) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Has(index)) lines_.erase(lines_.begin() + index);
}

void MemoryLineList::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  lines_.clear();
}

std::vector<std::wstring> MemoryLineList::Lines() {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}
