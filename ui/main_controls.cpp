#include "ui/main_controls.h"

#include <commctrl.h>

#include <iterator>

#include "resources/resource.h"

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
