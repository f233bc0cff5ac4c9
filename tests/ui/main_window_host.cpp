#include "tests/ui/main_window_host.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "ui/main_controls.h"
#include "ui/dpi.h"
#include "ui/main_layout.h"
#include "ui/start_picture.h"
#include "ui/window_control.h"

namespace testing_support {

void InitControls() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), 0xFF};
  InitCommonControlsEx(&classes);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LayoutRect ChildRect(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

int Px(int pixels) { return ScaleForDpi(pixels, WindowDpi(nullptr)); }

MainWindowHost::MainWindowHost() : LayoutDialog(IDD_ROVELOG_DIALOG) {}

MainWindowHost::~MainWindowHost() {
  if (start_picture_) DeleteObject(start_picture_);
}

void MainWindowHost::SetClientSize(int width, int height) {
  RECT window{}, client{};
  GetWindowRect(hwnd(), &window);
  GetClientRect(hwnd(), &client);
  SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left - client.right + width,
               window.bottom - window.top - client.bottom + height, SWP_NOMOVE | SWP_NOZORDER);
  UpdateWindow(hwnd());
  PumpMessages();
}

BOOL MainWindowHost::OnInitDialog() {
  LayoutDialog::OnInitDialog();
  MoveBatch none;
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    WindowControl control(child, &none);
    template_controls_[GetDlgCtrlID(child)] = std::make_shared<FakeControl>(control.Size(), control.KeepsHeight());
  }
  BuildLayout();
  Relayout();
  SetUpMainGroupBoxes(hwnd(), boxes_);
  SetUpLogColumn(Item(IDC_LOG_LIST));
  RECT button{};
  GetClientRect(Item(IDC_START), &button);
  start_picture_ = LoadBitmapW(GetModuleHandleW(nullptr),
                               MAKEINTRESOURCEW(StartPictureResource(0, {button.right, button.bottom})));
  ItemControl(IDC_START).SetBitmap(start_picture_);
  return TRUE;
}

void MainWindowHost::BuildLayout() { BuildMainLayout(layout()); }

}  // namespace testing_support
