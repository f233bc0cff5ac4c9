#include "tools/headless/log_printer.h"

#include <cstdio>

#include "platform/text.h"

LogPrinter::LogPrinter(LineList& lines) : lines_(lines) {
  lines_.SetListener([this](const LineChange& change) { PrintChange(change); });
}

LogPrinter::~LogPrinter() { lines_.SetListener(nullptr); }

void LogPrinter::PrintChange(const LineChange& change) {
  switch (change.kind) {
    case LineChange::kInserted:
      Print("+ " + platform::WideToUtf8(change.text));
      break;
    case LineChange::kChanged:
      Print("= " + std::to_string(change.index) + " " + platform::WideToUtf8(change.text));
      break;
    case LineChange::kDeleted:
      Print("- " + std::to_string(change.index));
      break;
  }
}

void LogPrinter::Print(const std::string& line) {
  std::lock_guard<std::mutex> guard(print_lock_);
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}
