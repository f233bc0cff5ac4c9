// The event log's lines: an engine-owned model that any thread may write.
// A window shows it by reading the lines on its own thread when the listener
// tells it that something changed; the headless driver prints each change.
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// One change of the list, as the listener hears of it.
struct LineChange {
  enum Kind { kInserted, kChanged, kDeleted };
  Kind kind;
  int index;          // the line's index after an insertion, before a deletion
  std::wstring text;  // empty for a deletion
};

// A line's identity: it names the same line wherever lines before it come
// and go. 0 names no line.
using LineId = unsigned long long;

class LineList {
 public:
  // Hears of every change on the writer's thread, in the order the changes
  // happen, with the list locked: it must not block (a window posts itself
  // one message) and must not call back into the list.
  using Listener = std::function<void(const LineChange& change)>;
  void SetListener(Listener listener);

  int Count();
  // Inserts a line before the index; an index at or past the end appends.
  LineId Insert(int index, const std::wstring& text);
  // Both do nothing when there is no line at the index.
  void SetText(int index, const std::wstring& text);
  void Delete(int index);
  // Deletes every line, the last first.
  void Clear();

  // Rewrites the line wherever it stands now; nothing when it is gone.
  void SetTextOf(LineId line, const std::wstring& text);

  // A block's lines follow each other: each goes right below the block's
  // last line (at the end while it has none), so lines others append
  // meanwhile stand below the whole block.
  int OpenBlock();
  void CloseBlock(int block);
  LineId AddToBlock(int block, const std::wstring& text);
  // Deletes the lines from the index on, the last first, but those of the
  // blocks still open: a block being written is never split.
  void TrimFrom(int index);

  std::vector<std::wstring> Lines();
  // The line at the index; empty when there is none.
  std::wstring Line(int index);

 private:
  struct Entry {
    LineId id;
    int block;  // 0 when the line is of no block
    std::wstring text;
  };

  bool Has(int index) const { return index >= 0 && index < static_cast<int>(lines_.size()); }
  LineId InsertLocked(int index, int block, const std::wstring& text);
  void Tell(LineChange::Kind kind, int index, const std::wstring& text);
  void DeleteLocked(int index);

  std::mutex lock_;
  std::vector<Entry> lines_;
  std::set<int> open_blocks_;
  LineId last_id_ = 0;
  int last_block_ = 0;
  Listener listener_;
};
