// A window's thread that joins a worker keeps handling its messages: a worker
// that sends the window a message while being joined does not deadlock.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/thread.h"

namespace {

constexpr UINT kAskWindow = WM_APP + 1;

LRESULT CALLBACK AnswerWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kAskWindow) return 42;
  return DefWindowProcW(window, message, wparam, lparam);
}

TEST(JoinDispatchingMessages, AWorkerSendingToTheJoiningThreadsWindowFinishes) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = AnswerWindow;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"JoinDispatchingTest";
  ASSERT_NE(RegisterClassW(&window_class), 0);
  HWND window = CreateWindowW(L"JoinDispatchingTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  std::atomic<LRESULT> answer{0};
  std::thread worker([&] {
    Sleep(200);  // the join has begun by then
    answer = SendMessageW(window, kAskWindow, 0, 0);
  });
  // A quit message posted before the wait survives it.
  PostQuitMessage(7);
  platform::JoinDispatchingMessages(worker);
  EXPECT_EQ(answer.load(), 42);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);

  std::thread never_started;
  platform::JoinDispatchingMessages(never_started);  // not joinable: returns at once
  DestroyWindow(window);
}

}  // namespace
