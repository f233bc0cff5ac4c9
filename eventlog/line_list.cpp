#include "eventlog/line_list.h"

void LineList::SetListener(Listener listener) {
  std::lock_guard<std::mutex> guard(lock_);
  listener_ = std::move(listener);
}

int LineList::Count() {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(lines_.size());
}

void LineList::Insert(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (index < 0 || index >= static_cast<int>(lines_.size())) index = static_cast<int>(lines_.size());
  lines_.insert(lines_.begin() + index, text);
  Tell(LineChange::kInserted, index, text);
}

void LineList::SetText(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!Has(index)) return;
  lines_[index] = text;
  Tell(LineChange::kChanged, index, text);
}

void LineList::Delete(int index) {
  std::lock_guard<std::mutex> guard(lock_);
  DeleteLocked(index);
}

void LineList::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  for (int index = static_cast<int>(lines_.size()) - 1; index >= 0; --index) DeleteLocked(index);
}

std::vector<std::wstring> LineList::Lines() {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}

std::wstring LineList::Line(int index) {
  std::lock_guard<std::mutex> guard(lock_);
  return Has(index) ? lines_[index] : std::wstring();
}

void LineList::Tell(LineChange::Kind kind, int index, const std::wstring& text) {
  if (listener_) listener_(LineChange{kind, index, text});
}

void LineList::DeleteLocked(int index) {
  if (!Has(index)) return;
  lines_.erase(lines_.begin() + index);
  Tell(LineChange::kDeleted, index, std::wstring());
}
