#include "ui/window_control.h"

#include <algorithm>
#include <iterator>

void MoveBatch::Begin(int count) {
  End();
  hdwp_ = BeginDeferWindowPos(count);
}

void MoveBatch::Move(HWND hwnd, const RECT& rect) {
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (hdwp_) {
    // A failed DeferWindowPos drops the whole batch; the rest then moves at once.
    hdwp_ = DeferWindowPos(hdwp_, hwnd, nullptr, rect.left, rect.top, width, height, flags);
    if (hdwp_) return;
  }
  SetWindowPos(hwnd, nullptr, rect.left, rect.top, width, height, flags);
}

void MoveBatch::End() {
  if (hdwp_) EndDeferWindowPos(hdwp_);
  hdwp_ = nullptr;
}

bool IsWindowClass(HWND hwnd, const wchar_t* name) {
  wchar_t class_name[64] = {};
  GetClassNameW(hwnd, class_name, static_cast<int>(std::size(class_name)));
  return lstrcmpiW(class_name, name) == 0;
}

LayoutSize WindowControl::Size() const {
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

bool WindowControl::KeepsHeight() const {
  if (!IsWindowClass(hwnd_, L"ComboBox") && !IsWindowClass(hwnd_, L"ComboBoxEx32")) return false;
  return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & 3) != CBS_SIMPLE;
}

void WindowControl::MoveTo(const LayoutRect& rect) {
  RECT target{rect.left, rect.top, rect.right, rect.bottom};
  // A drop-down combo box's window height is that of its open list: keep it.
  if (KeepsHeight()) {
    RECT dropped{};
    SendMessageW(hwnd_, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    target.bottom = target.top + std::max(rect.Height(), static_cast<int>(dropped.bottom - dropped.top));
  }
  batch_->Move(hwnd_, target);
}
