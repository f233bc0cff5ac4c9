#include "ui/about_dlg.h"

#include "resources/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : Dialog(IDD_ABOUTBOX, parent) {}
