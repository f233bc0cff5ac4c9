#include "app/RovelogApp.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/RovelogDlg.h"

namespace {

// Stops at the main window of a Rovelog.exe from our folder and keeps it.
BOOL CALLBACK CheckWindow(HWND hwnd, LPARAM context) {
  if (!GetPropW(hwnd, CRovelogDlg::kMainWindowProperty)) return TRUE;
  DWORD process_id = 0;
  GetWindowThreadProcessId(hwnd, &process_id);
  if (!platform::RunsFromOurProgramFolder(process_id)) return TRUE;
  *reinterpret_cast<HWND*>(context) = hwnd;
  return FALSE;
}

}  // namespace

SingleInstance::SingleInstance() { lock_ = platform::LockProgramFolder(&first_); }

bool SingleInstance::HandOver() {
  HWND found = nullptr;
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&found));
  if (!found) return false;
  DWORD process_id = 0;
  GetWindowThreadProcessId(found, &process_id);
  // We are the foreground program now: let the first one take that over.
  AllowSetForegroundWindow(process_id);
  PostMessageW(found, CRovelogDlg::ShowWindowMessage(), 0, 0);
  return true;
}

int CRovelogApp::Run() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), 0xFF};
  InitCommonControlsEx(&classes);
  SingleInstance instance;
  if (!instance.first()) {
    SingleInstance::HandOver();
    return 0;
  }
  // A screen reader asks this thread for the controls' names through COM.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CRovelogDlg dialog;
  dialog.DoModal();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}
