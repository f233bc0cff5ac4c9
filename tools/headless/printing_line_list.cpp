#include "tools/headless/printing_line_list.h"

#include "platform/text.h"

namespace {

std::string Utf8(const std::wstring& text) { return platform::WideToUtf8(text); }

}  // namespace

int PrintingLineList::Count() { return lines_.Count(); }

void PrintingLineList::Insert(int index, const std::wstring& text) {
  lines_.Insert(index, text);
  Print("+ " + Utf8(text));
}

void PrintingLineList::SetText(int index, const std::wstring& text) {
  if (index < 0 || index >= lines_.Count()) return;
  lines_.SetText(index, text);
  Print("= " + std::to_string(index) + " " + Utf8(text));
}

void PrintingLineList::Delete(int index) {
  if (index < 0 || index >= lines_.Count()) return;
  lines_.Delete(index);
  Print("- " + std::to_string(index));
}

void PrintingLineList::Clear() {
  for (int index = lines_.Count() - 1; index >= 0; --index) Delete(index);
}

void PrintingLineList::Print(const std::string& line) {
  std::lock_guard<std::mutex> guard(print_lock_);
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}
