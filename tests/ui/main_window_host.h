// Dialog 102 in a LayoutDialog with the main window's tree and group boxes,
// as the main window sets them up, for tests and screenshots.
#pragma once

#include <map>
#include <memory>

#include "tests/ui/fake_control.h"
#include "ui/group_box.h"
#include "ui/layout_dialog.h"

namespace testing_support {

class MainWindowHost : public LayoutDialog {
 public:
  MainWindowHost();
  ~MainWindowHost() override;
  // Each control as the template made it, before any layout: a stand-in of
  // its size that the arithmetic can lay out on its own.
  const std::map<int, std::shared_ptr<FakeControl>>& template_controls() const { return template_controls_; }
  // The client size giving that window size change, applied with messages handled.
  void SetClientSize(int width, int height);

 protected:
  BOOL OnInitDialog() override;
  void BuildLayout() override;

 private:
  std::map<int, std::shared_ptr<FakeControl>> template_controls_;
  CGroupBox boxes_[4];
  HBITMAP start_picture_ = nullptr;
};

// Registers the common control classes the dialogs use.
void InitControls();
// Handles every message waiting for this thread.
void PumpMessages();
// A child's rectangle in its parent's client coordinates.
LayoutRect ChildRect(HWND child);
// A figure of pixels at 96 DPI at the screen's DPI, as the window scales it.
int Px(int pixels);

}  // namespace testing_support
