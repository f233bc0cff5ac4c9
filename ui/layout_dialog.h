// A resizable dialog whose controls follow its size through a LayoutMgr:
// thick frame, optional size-grip status bar, minimum tracking size from the
// layout, flicker-free erasing, and the placement kept in the profile. The
// layout has the window's DPI, and a move to a monitor of another DPI scales
// the controls and their font and builds the tree again.
#pragma once

#include <string>

#include "ui/dialog.h"
#include "ui/layout_mgr.h"
#include "ui/window_control.h"

class LayoutDialog : public Dialog {
 public:
  // placement_key: profile section of the window placement; empty: not kept.
  LayoutDialog(int template_id, HWND parent = nullptr, std::wstring placement_key = L"", bool size_grip = true);
  ~LayoutDialog() override;

  // The manager whose tree the subclass builds in OnInitDialog, then calls Relayout.
  LayoutMgr& layout() { return layout_; }
  // Lays the tree out in the client area, growing or shrinking a top-level
  // window to the tree's bounds first; nothing without a tree.
  void Relayout();
  // The window placement as a binary value (44 raw bytes) in the profile
  // section; a maximised window is stored maximised, any other normal.
  void StorePlacement(const std::wstring& key, const std::wstring& value = L"WindowPlacement");
  // Applies a stored placement only when it is exactly 44 bytes; one that no
  // screen shows is pulled onto the nearest screen.
  void RestorePlacement(const std::wstring& key, const std::wstring& value = L"WindowPlacement");
  HWND status_bar() const { return status_bar_; }

 protected:
  // Subclasses call this first.
  BOOL OnInitDialog() override;
  // Builds the tree in the manager from the controls' present sizes; the
  // subclass's OnInitDialog calls it, and a DPI change calls it again.
  virtual void BuildLayout() {}
  // The window has moved to a monitor of that DPI: the controls' sizes and
  // font follow it, the tree is built again and the window takes the
  // rectangle the system suggests.
  virtual void OnDpiChanged(int dpi, const RECT& suggested);
  void OnSize(UINT type, int width, int height) override;
  void OnDestroy() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  std::shared_ptr<LayoutControl> FindControl(int id);
  LayoutRect CurrentArea() const;
  bool FitWindowToLayout();
  void ReattachSpinControls() const;
  void ScaleControls(int from_dpi, int to_dpi);
  void OnGetMinMaxInfo(MINMAXINFO* info) const;
  void EraseBackground(HDC dc) const;

  std::wstring placement_key_;
  bool size_grip_;
  HWND status_bar_ = nullptr;
  HFONT dpi_font_ = nullptr;  // the controls' font after a DPI change; the template's before
  bool fitting_ = false;
  MoveBatch batch_;
  LayoutMgr layout_;
};
