// Asks for the name of a waypoint (dialog 131).
#pragma once

#include <string>

#include "ui/dialog.h"

class PointNameDlg : public Dialog {
 public:
  explicit PointNameDlg(HWND parent = nullptr);
  // The text typed, unchanged (empty allowed), once DoModal returned IDOK.
  const std::wstring& name() const { return name_; }

 protected:
  void OnOK() override;

 private:
  std::wstring name_;
};
