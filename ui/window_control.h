// Real child windows as layout controls, moved together in one deferred batch.
#pragma once

#include <windows.h>

#include "ui/layout_panes.h"

// Collects the moves of one relayout so the windows move at once, without flicker.
class MoveBatch {
 public:
  ~MoveBatch() { End(); }
  void Begin(int count);
  // Deferred between Begin and End, at once otherwise.
  void Move(HWND hwnd, const RECT& rect);
  void End();

 private:
  HDWP hdwp_ = nullptr;
};

// True when the window belongs to the window class of this name.
bool IsWindowClass(HWND hwnd, const wchar_t* name);

class WindowControl : public LayoutControl {
 public:
  WindowControl(HWND hwnd, MoveBatch* batch) : hwnd_(hwnd), batch_(batch) {}
  LayoutSize Size() const override;
  bool KeepsHeight() const override;
  void MoveTo(const LayoutRect& rect) override;

 private:
  HWND hwnd_;
  MoveBatch* batch_;
};
