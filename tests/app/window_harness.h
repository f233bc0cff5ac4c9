// What the in-process tests of the main window need: pumping its messages,
// reading its controls and log, and finding and answering the message boxes
// it shows, from a second thread while the box's own loop runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// Handles every message waiting for this thread, keys through the dialog.
void PumpMessages(HWND dialog);
// Pumps until done() holds; false when it did not within a generous bound
// (the bound only ends a broken run, the tests do not measure time).
bool PumpUntil(HWND dialog, const std::function<bool()>& done, int seconds = 40);

// From a thread of its own, asks the window every 50 ms whether it answers
// (WM_NULL through SendMessageTimeout, as a system does before it calls a
// window hung) and keeps the longest wait, in milliseconds, until it ends.
class AnswerWatch {
 public:
  // The longest wait a window doing its work elsewhere may show. Work done
  // on the window's thread by mistake (packing a large track takes seconds)
  // shows far above it; a machine busy with other tests can stall any
  // thread for a tenth of a second, so the bound is not tighter.
  static constexpr int kAnswerBoundMs = 300;

  explicit AnswerWatch(HWND window);
  ~AnswerWatch();
  AnswerWatch(const AnswerWatch&) = delete;
  AnswerWatch& operator=(const AnswerWatch&) = delete;
  int LongestMs() const { return longest_ms_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  std::atomic<int> longest_ms_{0};
  std::thread thread_;
};

// The lines of a list view, read through its messages (any thread of the
// process).
std::vector<std::wstring> ListViewLines(HWND list);
// True when a line begins with the text.
bool HasLineStarting(const std::vector<std::wstring>& lines, const std::wstring& text);

// The state (0, 1, 2) whose picture, in the size the button holds, the
// button shows; -1 for none.
int ShownPicture(HWND button);

// The selected text of a combo box; empty when none.
std::wstring SelectedText(HWND combo);
// Every text of a combo box's list, in its order.
std::vector<std::wstring> ComboTexts(HWND combo);

// A message box (or small dialog) the window shows: caption, text, and
// whatever on_found did while it was up.
struct SeenBox {
  std::wstring caption;
  std::wstring text;
  bool found = false;
};

// Watches from its own thread for the next dialog box of this process other
// than the main window, reads it, runs on_found with it, and presses the
// button. Start it before the action that shows the box.
class BoxAnswerer {
 public:
  BoxAnswerer(HWND main_window, int button, std::function<void(HWND box)> on_found = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  // Waits (pumping the dialog's messages) until the box was answered or the
  // watch gave up; what was seen.
  SeenBox Result(HWND dialog);

 private:
  void Watch(HWND main_window, int button);
  void Look(HWND main_window, int button);
  std::atomic<bool> done_{false};
  std::function<void(HWND)> on_found_;
  SeenBox seen_;
  std::thread watcher_;
};

// Saves a picture of the window as a BMP file in the folder named by the
// ROVELOG_SHOT_DIR variable; nothing when it is not set.
void SaveWindowPicture(HWND window, const std::string& name);

}  // namespace testing_support
