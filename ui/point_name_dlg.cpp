#include "ui/point_name_dlg.h"

#include "resources/resource.h"

PointNameDlg::PointNameDlg(HWND parent) : Dialog(IDD_POINT_NAME, parent) {}

void PointNameDlg::OnOK() {
  name_ = ItemControl(IDC_POINT_NAME).Text();
  EndDialog(IDOK);
}
