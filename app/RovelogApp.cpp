#include "app/RovelogApp.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <iterator>

#include "app/RovelogDlg.h"

namespace {

// The folder of a process's executable, in lower case; empty when unknown.
std::wstring ProgramFolderOf(HANDLE process) {
  wchar_t path[1024] = {};
  DWORD length = static_cast<DWORD>(std::size(path));
  if (!QueryFullProcessImageNameW(process, 0, path, &length)) return std::wstring();
  std::wstring folder(path, length);
  folder = folder.substr(0, folder.find_last_of(L"\\/"));
  for (wchar_t& c : folder) c = static_cast<wchar_t>(std::towlower(c));
  return folder;
}

std::wstring OurProgramFolder() { return ProgramFolderOf(GetCurrentProcess()); }

// A mutex name from the folder (a name may not hold backslashes).
std::wstring InstanceMutexName() {
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : OurProgramFolder()) hash = (hash ^ static_cast<uint64_t>(c)) * 1099511628211ull;
  wchar_t name[64] = {};
  swprintf(name, std::size(name), L"Local\\Rovelog-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

struct Search {
  std::wstring folder;
  HWND found = nullptr;
};

BOOL CALLBACK CheckWindow(HWND hwnd, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  if (!GetPropW(hwnd, CRovelogDlg::kMainWindowProperty)) return TRUE;
  DWORD process_id = 0;
  GetWindowThreadProcessId(hwnd, &process_id);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return TRUE;
  bool same_folder = ProgramFolderOf(process) == search->folder;
  CloseHandle(process);
  if (!same_folder) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

SingleInstance::SingleInstance() {
  mutex_ = CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str());
  first_ = mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

bool SingleInstance::HandOver() {
  Search search;
  search.folder = OurProgramFolder();
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  DWORD process_id = 0;
  GetWindowThreadProcessId(search.found, &process_id);
  // We are the foreground program now: let the first one take that over.
  AllowSetForegroundWindow(process_id);
  PostMessageW(search.found, CRovelogDlg::ShowWindowMessage(), 0, 0);
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
  CRovelogDlg dialog;
  dialog.DoModal();
  return 0;
}
