// Shows the main window's dialog at a client size for a screenshot: prints
// "shown X Y W H" (its window rectangle on the screen) once it is painted and
// then runs until it is ended.
#include <cstdio>
#include <cstdlib>

#include "tests/ui/main_window_host.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ui-show WIDTH HEIGHT\n");
    return 2;
  }
  testing_support::InitControls();
  testing_support::MainWindowHost window;
  if (!window.Create()) return 1;
  window.SetClientSize(std::atoi(argv[1]), std::atoi(argv[2]));
  SetWindowPos(window.hwnd(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  testing_support::PumpMessages();
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  std::printf("shown %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
