#include "ui/main_controls.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

#include "resources/resource.h"
#include "ui/accessible_name.h"

namespace {

constexpr COLORREF kCaptionBlue = RGB(16, 140, 231);

}  // namespace

void SetUpMainGroupBoxes(HWND dialog, CGroupBox (&boxes)[4]) {
  const int coloured[] = {IDC_ABOUT_BOX, IDC_TRACKER_BOX, IDC_SETTINGS_BOX};
  for (size_t i = 0; i < std::size(coloured); ++i) {
    boxes[i].SubclassDlgItem(coloured[i], dialog);
    boxes[i].SetTitleTextColor(kCaptionBlue).SetTitleBold(true);
  }
  boxes[3].SubclassDlgItem(IDC_SENDING_BOX, dialog);
  boxes[3].SetTitleBold(true);
}

void NameControlsAfterLabels(HWND dialog) {
  const std::pair<int, int> named[] = {{IDC_OTHER_PORT_NAME, IDC_OTHER_PORT}, {IDC_PORT_LIST, IDC_PORT_LABEL},
                                       {IDC_PRIVACY, IDC_PRIVACY_LABEL},      {IDC_INTERVAL, IDC_BY_TIME},
                                       {IDC_DISTANCE, IDC_BY_DISTANCE}};
  for (const auto& [control, label] : named) NameAfterLabel(GetDlgItem(dialog, control), GetDlgItem(dialog, label));
}

void SetUpLogColumn(HWND list) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.pszText = const_cast<wchar_t*>(L"Журнал событий");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  FitLogColumn(list);
}

void FitLogColumn(HWND list) {
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  RECT client{};
  GetClientRect(list, &client);
  if (SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) < client.right) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, client.right);
  }
}
