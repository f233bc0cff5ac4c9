// The About box (dialog 100), reached from the main window's system menu.
#pragma once

#include "ui/dialog.h"

class CAboutDlg : public Dialog {
 public:
  explicit CAboutDlg(HWND parent = nullptr);
};
