// The program a test drives from outside: its main window, found by caption
// in the shared desktop, its controls by ID, its message boxes, its event
// log list and the colours the screen shows of a control.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace window_driver {

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};

class Target {
 public:
  Target() = default;
  ~Target();
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;

  // Takes the first top-level dialog with that caption; false when none.
  bool Find(const std::wstring& caption);
  bool found() const { return window_ != nullptr; }
  HWND window() const { return window_; }
  DWORD process_id() const { return process_id_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  // A message without pointers (a check state); false when the window did
  // not answer within the time-out.
  bool Ask(HWND control, UINT message, LRESULT* result) const;
  // Control texts through the messages Windows copies between processes;
  // false when the window did not answer within the time-out.
  bool GetText(HWND control, std::wstring* text) const;
  bool SetText(HWND control, const std::wstring& text) const;
  // What Windows sends a window when the session ends: the query, then, if
  // the window agreed, the end itself. False when it refused or did not
  // answer within the time-out.
  bool EndSession() const;

  // The event log list's lines, read through memory in the program's process
  // because the list's item texts are pointers the driver cannot follow.
  bool ReadList(int id, std::vector<std::wstring>* lines) const;

  // Message boxes (dialogs of class #32770 other than the main window) of
  // the program's process, in z order.
  std::vector<MessageBoxInfo> MessageBoxes() const;

  // Waits for the program's process to end; its exit code, or false when it
  // still runs after the milliseconds.
  bool WaitForExit(DWORD milliseconds, DWORD* exit_code) const;

 private:
  HWND window_ = nullptr;
  DWORD process_id_ = 0;
  HANDLE process_ = nullptr;
};

// The average colour of the strongly coloured pixels the screen shows inside
// the window (the frame of a picture button), or false when none is there.
bool ScreenColour(HWND control, COLORREF* colour);

// "red", "yellow", "green" or "other" for a colour.
const char* ColourName(COLORREF colour);

}  // namespace window_driver
