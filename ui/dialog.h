// Our thin dialog layer: a dialog template run modally or modelessly, its
// messages forwarded to member functions, its controls reached by ID.
#pragma once

#include <windows.h>

#include <string>

// A child control by handle; every call is harmless on a null handle.
class Control {
 public:
  explicit Control(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }
  std::wstring Text() const;
  void SetText(const std::wstring& text) const;
  // Disabling the focused control moves the focus to the dialog's next one.
  void Enable(bool enable) const;
  bool IsEnabled() const;
  // Check boxes and radio buttons.
  bool IsChecked() const;
  void SetCheck(bool checked) const;
  // Picture of a BS_BITMAP button; returns the picture it had.
  HBITMAP SetBitmap(HBITMAP bitmap) const;

 private:
  HWND hwnd_;
};

// Drop-down lists.
class ComboBox : public Control {
 public:
  using Control::Control;
  // Index of the new item, or -1.
  int AddString(const std::wstring& text) const;
  int InsertString(int index, const std::wstring& text) const;
  int Count() const;
  int CurSel() const;  // -1 when nothing is chosen
  void SetCurSel(int index) const;
  std::wstring ItemText(int index) const;
};

// Ends every dialog and message box the window owns, directly or through
// another of them: each one's loop returns the code, as if the user had
// answered so. A closing program waits for no answer.
void EndOwnedDialogs(HWND owner, INT_PTR code);

class Dialog {
 public:
  // The template with this resource ID from the program's module.
  explicit Dialog(int template_id, HWND parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog until it ends; its end code, or -1 when it could not be made.
  INT_PTR DoModal();
  // Makes the dialog without waiting for it; false when it could not be made.
  // Ending it (EndDialog) destroys the window.
  bool Create();
  // Modal: ends the dialog with the code. Modeless: destroys the window.
  void EndDialog(INT_PTR code);

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  Control ItemControl(int id) const { return Control(Item(id)); }
  ComboBox Combo(int id) const { return ComboBox(Item(id)); }

 protected:
  // Return TRUE to let the system give focus to the first control.
  virtual BOOL OnInitDialog() { return TRUE; }
  // A button or menu command; the default ends the dialog on IDOK and IDCANCEL.
  virtual void OnCommand(int id, int code);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  virtual void OnSize(UINT /*type*/, int /*width*/, int /*height*/) {}
  virtual void OnDestroy() {}
  // Every other message; return true and set *result when it is handled.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/, INT_PTR* /*result*/) {
    return false;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  int template_id_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};
