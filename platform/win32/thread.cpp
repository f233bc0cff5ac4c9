#include "platform/thread.h"

#include <pthread.h>
#include <windows.h>

namespace platform {

void RaiseCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL); }

namespace {

// Dispatches every message waiting in the calling thread's queue. A quit
// message is kept for the caller to post again once the wait is over.
void DispatchWaitingMessages(bool& quit, int& exit_code) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      exit_code = static_cast<int>(message.wParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

void JoinDispatchingMessages(std::thread& thread) {
  if (!thread.joinable()) return;
  // std::thread runs on winpthreads here; its Windows handle is signalled
  // when the thread ends.
  HANDLE handle = pthread_gethandle(thread.native_handle());
  bool quit = false;
  int exit_code = 0;
  while (handle != nullptr &&
         MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    DispatchWaitingMessages(quit, exit_code);
  }
  thread.join();
  if (quit) PostQuitMessage(exit_code);
}

}  // namespace platform
