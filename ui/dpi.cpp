#include "ui/dpi.h"

namespace {

// A function of user32.dll by name; null where this Windows has none.
template <typename Function>
Function UserFunction(const char* name) {
  FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// DDC_DISABLE_ALL of SetDialogDpiChangeBehavior (Windows 10 1703).
constexpr int kDialogDpiChangeDisableAll = 0x0001;

}  // namespace

int WindowDpi(HWND hwnd) {
  static const auto dpi_for_window = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (dpi_for_window) {
    if (UINT dpi = dpi_for_window(hwnd)) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void TakeOverDialogDpiChanges(HWND dialog) {
  static const auto set_behaviour = UserFunction<BOOL(WINAPI*)(HWND, int, int)>("SetDialogDpiChangeBehavior");
  if (set_behaviour) set_behaviour(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
}

HFONT FontForDpi(HFONT font, int from_dpi, int to_dpi) {
  LOGFONTW description{};
  if (!font || !GetObjectW(font, sizeof(description), &description)) return nullptr;
  description.lfHeight = MulDiv(description.lfHeight, to_dpi, from_dpi);
  description.lfWidth = MulDiv(description.lfWidth, to_dpi, from_dpi);
  return CreateFontIndirectW(&description);
}
