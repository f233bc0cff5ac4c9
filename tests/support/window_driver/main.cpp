// A test driver for the program's main window, run beside it in the same
// Wine prefix and desktop. It reads one command a line on its standard input
// and answers each with one line "ok ..." or "error ...", followed by the
// lines the answer announces ("ok N" for lists). Texts are UTF-8.
//
//   find CAPTION             take the top-level dialog of that caption
//   click ID                 press a button (posted: a box it opens does not block us)
//   text ID / set-text ID T  a control's text
//   enabled ID / checked ID  1 or 0
//   list ID                  "ok N", then the N item texts of a list view
//   boxes                    "ok N", then "CAPTION<TAB>TEXT" of each message box
//   answer BUTTON            press a button (IDYES 6, IDNO 7, IDOK 1) in the first box
//   box-set-text ID TEXT     a control's text in the first box (the point name dialog)
//   colour ID                the strong colour the screen shows on a control
//   rect [ID]                "ok X Y W H" of a control, or of the window once painted
//   visible                  1 or 0
//   close                    post WM_CLOSE to the window (the close box)
//   end-session              send what Windows sends when the session ends
//   wait-exit SECONDS        "ok EXITCODE" once the program's process ended
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/text.h"
#include "tests/support/window_driver/target.h"

namespace {

using window_driver::Target;

std::string Utf8(const std::wstring& text) {
  std::string bytes = platform::WideToUtf8(text);
  // One answer item is one line.
  for (char& c : bytes) {
    if (c == '\n') c = '|';
    if (c == '\r') c = ' ';
  }
  return bytes;
}

std::string Flag(bool value) { return value ? "ok 1" : "ok 0"; }

std::string RestOfLine(std::istringstream& words) {
  std::string rest;
  std::getline(words, rest);
  if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  return rest;
}

std::string Rect(HWND hwnd) {
  RECT rect{};
  if (!GetWindowRect(hwnd, &rect)) return "error no window";
  std::ostringstream out;
  out << "ok " << rect.left << ' ' << rect.top << ' ' << rect.right - rect.left << ' ' << rect.bottom - rect.top;
  return out.str();
}

std::string ListAnswer(const Target& target, int id) {
  std::vector<std::wstring> lines;
  if (!target.ReadList(id, &lines)) return "error list not read";
  std::string answer = "ok " + std::to_string(lines.size());
  for (const std::wstring& line : lines) answer += "\n" + Utf8(line);
  return answer;
}

std::string BoxesAnswer(const Target& target) {
  const auto boxes = target.MessageBoxes();
  std::string answer = "ok " + std::to_string(boxes.size());
  for (const auto& box : boxes) answer += "\n" + Utf8(box.caption) + "\t" + Utf8(box.text);
  return answer;
}

// A control of the first message box or small dialog the program shows.
HWND BoxControl(const Target& target, int id) {
  const auto boxes = target.MessageBoxes();
  return boxes.empty() ? nullptr : GetDlgItem(boxes.front().hwnd, id);
}

std::string Answer(const Target& target, int button) {
  HWND control = BoxControl(target, button);
  if (control == nullptr) return "error no box with that button";
  PostMessageW(control, BM_CLICK, 0, 0);
  return "ok";
}

std::string SetBoxText(const Target& target, std::istringstream& words) {
  int id = 0;
  if (!(words >> id)) return "error no control ID";
  HWND control = BoxControl(target, id);
  if (control == nullptr) return "error no box with that control";
  return target.SetText(control, platform::Utf8ToWide(RestOfLine(words))) ? "ok" : "error not set";
}

std::string Click(HWND control) {
  if (control == nullptr) return "error no such control";
  if (!IsWindowEnabled(control)) return "error disabled";
  PostMessageW(control, BM_CLICK, 0, 0);
  return "ok";
}

std::string Colour(HWND control) {
  COLORREF colour = 0;
  if (control == nullptr || !window_driver::ScreenColour(control, &colour)) return "error no colour";
  char answer[64];
  std::snprintf(answer, sizeof(answer), "ok %s %d,%d,%d", window_driver::ColourName(colour), GetRValue(colour),
                GetGValue(colour), GetBValue(colour));
  return answer;
}

std::string WaitExit(const Target& target, double seconds) {
  DWORD code = 0;
  if (!target.WaitForExit(static_cast<DWORD>(seconds * 1000), &code)) return "error running";
  return "ok " + std::to_string(code);
}

std::string ControlCommand(const Target& target, const std::string& command, std::istringstream& words) {
  int id = 0;
  if (!(words >> id)) return "error no control ID";
  HWND control = target.Control(id);
  if (command == "click") return Click(control);
  if (command == "list") return ListAnswer(target, id);
  if (command == "colour") return Colour(control);
  if (control == nullptr) return "error no such control";
  if (command == "enabled") return Flag(IsWindowEnabled(control) != 0);
  LRESULT check = 0;
  if (command == "checked")
    return target.Ask(control, BM_GETCHECK, &check) ? Flag(check == BST_CHECKED) : "error no answer";
  if (command == "rect") return Rect(control);
  std::wstring text;
  if (command == "text") return target.GetText(control, &text) ? "ok " + Utf8(text) : "error no answer";
  if (command == "set-text")
    return target.SetText(control, platform::Utf8ToWide(RestOfLine(words))) ? "ok" : "error not set";
  return "error unknown command";
}

std::string Run(Target& target, const std::string& line) {
  std::istringstream words(line);
  std::string command;
  words >> command;
  if (command == "find")
    return target.Find(platform::Utf8ToWide(RestOfLine(words))) ? "ok " + std::to_string(target.process_id())
                                                                  : "error not found";
  if (!target.found()) return "error no window: find it first";
  if (command == "boxes") return BoxesAnswer(target);
  if (command == "visible") return Flag(IsWindowVisible(target.window()) != 0);
  if (command == "close") return PostMessageW(target.window(), WM_CLOSE, 0, 0) ? "ok" : "error not posted";
  if (command == "end-session") return target.EndSession() ? "ok" : "error refused or no answer";
  int number = 0;
  if (command == "answer") return words >> number ? Answer(target, number) : "error no button";
  if (command == "box-set-text") return SetBoxText(target, words);
  double seconds = 0;
  if (command == "wait-exit") return words >> seconds ? WaitExit(target, seconds) : "error no seconds";
  if (command == "rect" && words.peek() == std::char_traits<char>::eof()) {
    // A picture of the window follows: it first paints what is pending, so
    // that it shows whole and not half-drawn as just after it appeared.
    RedrawWindow(target.window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Rect(target.window());
  }
  return ControlCommand(target, command, words);
}

}  // namespace

int main() {
  // Answers end in "\n" alone, as the native side reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  Target target;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "quit") break;
    std::cout << Run(target, line) << std::endl;
  }
  return 0;
}
