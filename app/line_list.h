// The list the event log writes to: the main window's list view on Windows,
// an in-memory list in tools and tests.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class LineList {
 public:
  virtual ~LineList() = default;
  virtual int Count() = 0;
  // Inserts a line before the index; an index at or past the end appends.
  virtual void Insert(int index, const std::wstring& text) = 0;
  // Both do nothing when there is no line at the index.
  virtual void SetText(int index, const std::wstring& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
};

// A list in memory, safe to write from several threads.
class MemoryLineList : public LineList {
 public:
  int Count() override;
  void Insert(int index, const std::wstring& text) override;
  void SetText(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Clear() override;

  std::vector<std::wstring> Lines();

 private:
  bool Has(int index) const { return index >= 0 && index < static_cast<int>(lines_.size()); }

  std::mutex lock_;
  std::vector<std::wstring> lines_;
};
