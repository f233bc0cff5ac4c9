// The event log's lines: an engine-owned model that any thread may write.
// A window shows it by reading the lines on its own thread when the listener
// tells it that something changed; the headless driver prints each change.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// One change of the list, as the listener hears of it.
struct LineChange {
  enum Kind { kInserted, kChanged, kDeleted };
  Kind kind;
  int index;          // the line's index after an insertion, before a deletion
  std::wstring text;  // empty for a deletion
};

class LineList {
 public:
  // Hears of every change on the writer's thread, in the order the changes
  // happen, with the list locked: it must not block (a window posts itself
  // one message) and must not call back into the list.
  using Listener = std::function<void(const LineChange& change)>;
  void SetListener(Listener listener);

  int Count();
  // Inserts a line before the index; an index at or past the end appends.
  void Insert(int index, const std::wstring& text);
  // Both do nothing when there is no line at the index.
  void SetText(int index, const std::wstring& text);
  void Delete(int index);
  // Deletes every line, the last first.
  void Clear();

  std::vector<std::wstring> Lines();
  // The line at the index; empty when there is none.
  std::wstring Line(int index);

 private:
  bool Has(int index) const { return index >= 0 && index < static_cast<int>(lines_.size()); }
  void Tell(LineChange::Kind kind, int index, const std::wstring& text);
  void DeleteLocked(int index);

  std::mutex lock_;
  std::vector<std::wstring> lines_;
  Listener listener_;
};
