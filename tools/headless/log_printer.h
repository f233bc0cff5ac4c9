// Prints every change of the event log as one line: "+ text" for an added
// line, "= i text" for a rewritten one, "- i" for a deleted one. Other lines
// of the driver go through Print so that lines of several threads never mix.
#pragma once

#include <mutex>
#include <string>

#include "eventlog/line_list.h"

class LogPrinter {
 public:
  // Listens to the list from now on, for as long as the printer lives.
  explicit LogPrinter(LineList& lines);
  ~LogPrinter();
  LogPrinter(const LogPrinter&) = delete;
  LogPrinter& operator=(const LogPrinter&) = delete;

  // Prints one line and flushes it.
  void Print(const std::string& line);

 private:
  void PrintChange(const LineChange& change);

  LineList& lines_;
  std::mutex print_lock_;
};
