#include "ui/dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>
#include <vector>

std::wstring Control::Text() const {
  int length = GetWindowTextLengthW(hwnd_);
  if (length <= 0) return L"";
  std::vector<wchar_t> buffer(length + 1);
  int copied = GetWindowTextW(hwnd_, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), copied > 0 ? copied : 0);
}

void Control::SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
void Control::Enable(bool enable) const {
  // A disabled window keeps no focus: without a hand-over first, Tab and the
  // arrows would reach nothing until the user left the window and came back.
  if (!enable && hwnd_ && GetFocus() == hwnd_) SendMessageW(GetParent(hwnd_), WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(hwnd_, enable);
}
bool Control::IsEnabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
bool Control::IsChecked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Control::SetCheck(bool checked) const {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
HBITMAP Control::SetBitmap(HBITMAP bitmap) const {
  return reinterpret_cast<HBITMAP>(
      SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

int ComboBox::AddString(const std::wstring& text) const {
  return static_cast<int>(SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}
int ComboBox::InsertString(int index, const std::wstring& text) const {
  return static_cast<int>(
      SendMessageW(hwnd(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
}
int ComboBox::Count() const { return static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)); }
int ComboBox::CurSel() const { return static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)); }
void ComboBox::SetCurSel(int index) const { SendMessageW(hwnd(), CB_SETCURSEL, index, 0); }
std::wstring ComboBox::ItemText(int index) const {
  LRESULT length = SendMessageW(hwnd(), CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return L"";
  std::vector<wchar_t> buffer(length + 1);
  SendMessageW(hwnd(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

namespace {

struct OwnedDialogs {
  HWND owner;
  std::vector<HWND> found;
};

bool IsOwnedBy(HWND window, HWND owner) {
  for (HWND up = GetWindow(window, GW_OWNER); up != nullptr; up = GetWindow(up, GW_OWNER)) {
    if (up == owner) return true;
  }
  return false;
}

// Message boxes are dialogs of the system's dialog class too.
bool IsDialogWindow(HWND window) {
  wchar_t name[8] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return wcscmp(name, L"#32770") == 0;
}

BOOL CALLBACK CollectOwnedDialog(HWND window, LPARAM search) {
  auto* dialogs = reinterpret_cast<OwnedDialogs*>(search);
  if (IsDialogWindow(window) && IsOwnedBy(window, dialogs->owner)) dialogs->found.push_back(window);
  return TRUE;
}

}  // namespace

void EndOwnedDialogs(HWND owner, INT_PTR code) {
  // Every box of ours runs on the window's thread.
  OwnedDialogs dialogs{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectOwnedDialog, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND dialog : dialogs.found) ::EndDialog(dialog, code);
}

Dialog::Dialog(int template_id, HWND parent) : template_id_(template_id), parent_(parent) {}

Dialog::~Dialog() {
  // A modeless dialog outliving its object would call into freed memory.
  if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

INT_PTR Dialog::DoModal() {
  modal_ = true;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create() {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_, DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR code) {
  if (modal_) {
    ::EndDialog(hwnd_, code);
  } else {
    DestroyWindow(hwnd_);
  }
}

void Dialog::OnCommand(int id, int /*code*/) {
  if (id == IDOK) OnOK();
  if (id == IDCANCEL) OnCancel();
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  // The object arrives with WM_INITDIALOG; messages before it get the defaults.
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<Dialog*>(lparam);
    dialog->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
  }
  auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!dialog) return FALSE;
  INT_PTR result = dialog->Dispatch(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    dialog->hwnd_ = nullptr;
  }
  return result;
}

namespace {

// The few messages whose answer is the dialog procedure's own return value
// rather than DWLP_MSGRESULT.
bool AnsweredByReturnValue(UINT message) {
  return message == WM_QUERYDRAGICON || message == WM_CHARTOITEM || message == WM_VKEYTOITEM ||
         message == WM_COMPAREITEM || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

}  // namespace

INT_PTR Dialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  INT_PTR result = FALSE;
  if (OnMessage(message, wparam, lparam, &result)) {
    if (AnsweredByReturnValue(message)) return result;
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return TRUE;
    default:
      return FALSE;
  }
}
