// An event log list that also prints every change as one line:
// "+ text" for an added line, "= i text" for a rewritten one, "- i" for a
// deleted one. Other lines of the driver go through Print so that lines of
// several threads never mix.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "app/line_list.h"

class PrintingLineList : public LineList {
 public:
  int Count() override;
  void Insert(int index, const std::wstring& text) override;
  void SetText(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Clear() override;

  // Prints one line and flushes it.
  void Print(const std::string& line);

 private:
  std::mutex print_lock_;
  MemoryLineList lines_;
};
