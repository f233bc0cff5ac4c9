#include "eventlog/line_list.h"

void LineList::SetListener(Listener listener) {
  std::lock_guard<std::mutex> guard(lock_);
  listener_ = std::move(listener);
}

int LineList::Count() {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(lines_.size());
}

LineId LineList::Insert(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  return InsertLocked(index, 0, text);
}

void LineList::SetText(int index, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!Has(index)) return;
  lines_[index].text = text;
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

void LineList::SetTextOf(LineId line, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  for (int index = 0; index < static_cast<int>(lines_.size()); ++index) {
    if (lines_[index].id != line) continue;
    lines_[index].text = text;
    Tell(LineChange::kChanged, index, text);
    return;
  }
}

int LineList::OpenBlock() {
  std::lock_guard<std::mutex> guard(lock_);
  open_blocks_.insert(++last_block_);
  return last_block_;
}

void LineList::CloseBlock(int block) {
  std::lock_guard<std::mutex> guard(lock_);
  open_blocks_.erase(block);
}

LineId LineList::AddToBlock(int block, const std::wstring& text) {
  std::lock_guard<std::mutex> guard(lock_);
  int index = static_cast<int>(lines_.size());
  while (index > 0 && lines_[index - 1].block != block) --index;
  if (index == 0) index = static_cast<int>(lines_.size());
  return InsertLocked(index, block, text);
}

void LineList::TrimFrom(int first) {
  std::lock_guard<std::mutex> guard(lock_);
  for (int index = static_cast<int>(lines_.size()) - 1; index >= first; --index) {
    if (open_blocks_.count(lines_[index].block) == 0) DeleteLocked(index);
  }
}

std::vector<std::wstring> LineList::Lines() {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::wstring> texts;
  for (const Entry& line : lines_) texts.push_back(line.text);
  return texts;
}

std::wstring LineList::Line(int index) {
  std::lock_guard<std::mutex> guard(lock_);
  return Has(index) ? lines_[index].text : std::wstring();
}

LineId LineList::InsertLocked(int index, int block, const std::wstring& text) {
  if (index < 0 || index >= static_cast<int>(lines_.size())) index = static_cast<int>(lines_.size());
  lines_.insert(lines_.begin() + index, Entry{++last_id_, block, text});
  Tell(LineChange::kInserted, index, text);
  return last_id_;
}

void LineList::Tell(LineChange::Kind kind, int index, const std::wstring& text) {
  if (listener_) listener_(LineChange{kind, index, text});
}

void LineList::DeleteLocked(int index) {
  if (!Has(index)) return;
  lines_.erase(lines_.begin() + index);
  Tell(LineChange::kDeleted, index, std::wstring());
}
