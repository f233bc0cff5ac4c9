#include "ui/layout_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "platform/user_profile.h"
#include "ui/dpi.h"

namespace {

constexpr int kStatusBarId = 0xE801;

bool IsGroupBox(HWND hwnd) {
  return IsWindowClass(hwnd, L"Button") && (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A rectangle that no screen shows (a monitor since unplugged) moves onto
// the nearest screen's work area, keeping its size where it fits.
void PullOntoScreen(RECT* rect) {
  if (MonitorFromRect(rect, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  LONG width = std::min(rect->right - rect->left, work.right - work.left);
  LONG height = std::min(rect->bottom - rect->top, work.bottom - work.top);
  LONG left = std::clamp(rect->left, work.left, work.right - width);
  LONG top = std::clamp(rect->top, work.top, work.bottom - height);
  *rect = {left, top, left + width, top + height};
}

RECT ChildRect(HWND child, HWND parent) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The part of a child that covers the background: a tab control's display
// area, a status bar's size grip, any other window whole.
HRGN CoveredRegion(HWND child, HWND parent) {
  RECT rect = ChildRect(child, parent);
  if (IsWindowClass(child, STATUSCLASSNAMEW)) {
    int size = rect.bottom - rect.top;
    POINT grip[] = {{rect.right, rect.bottom - size}, {rect.right, rect.bottom}, {rect.right - size, rect.bottom}};
    return CreatePolygonRgn(grip, static_cast<int>(std::size(grip)), WINDING);
  }
  if (IsWindowClass(child, WC_TABCONTROLW)) {
    MapWindowPoints(parent, child, reinterpret_cast<POINT*>(&rect), 2);
    TabCtrl_AdjustRect(child, FALSE, &rect);
    MapWindowPoints(child, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return CreateRectRgnIndirect(&rect);
}

}  // namespace

LayoutDialog::LayoutDialog(int template_id, HWND parent, std::wstring placement_key, bool size_grip)
    : Dialog(template_id, parent),
      placement_key_(std::move(placement_key)),
      size_grip_(size_grip),
      layout_([this](int id) { return FindControl(id); }) {}

LayoutDialog::~LayoutDialog() {
  if (dpi_font_) DeleteObject(dpi_font_);
}

std::shared_ptr<LayoutControl> LayoutDialog::FindControl(int id) {
  HWND control = Item(id);
  if (!control) return nullptr;
  return std::make_shared<WindowControl>(control, &batch_);
}

BOOL LayoutDialog::OnInitDialog() {
  SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_THICKFRAME);
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  TakeOverDialogDpiChanges(hwnd());
  layout_.SetDpi(WindowDpi(hwnd()));
  if (!placement_key_.empty()) RestorePlacement(placement_key_);
  if (size_grip_) {
    status_bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                  hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!status_bar_) {
      MessageBoxW(hwnd(), L"Error - Statusbar", nullptr, MB_OK);
    } else {
      // One stretching pane without borders: only the grip shows.
      int right_edge = -1;
      SendMessageW(status_bar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right_edge));
      SendMessageW(status_bar_, SB_SETTEXTW, SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
    }
  }
  return TRUE;
}

LayoutRect LayoutDialog::CurrentArea() const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  int status_height = 0;
  if (status_bar_) {
    RECT bar{};
    GetWindowRect(status_bar_, &bar);
    status_height = bar.bottom - bar.top;
  }
  return layout_.LayoutArea({client.right, client.bottom}, status_height);
}

// Grows or shrinks a top-level window into the layout's bounds; true when it
// changed size (its WM_SIZE has then laid it out).
bool LayoutDialog::FitWindowToLayout() {
  if (fitting_ || (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_CHILD) || IsIconic(hwnd())) return false;
  LayoutRect area = CurrentArea();
  LayoutSize minimum = layout_.MinAreaSize(), maximum = layout_.MaxAreaSize();
  auto fit = [](int size, int low, int high) { return high >= 0 && size > high ? high : (size < low ? low : size); };
  int grow_x = fit(area.Width(), minimum.cx, maximum.cx) - area.Width();
  int grow_y = fit(area.Height(), minimum.cy, maximum.cy) - area.Height();
  if (grow_x == 0 && grow_y == 0) return false;
  RECT window{};
  GetWindowRect(hwnd(), &window);
  fitting_ = true;
  SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left + grow_x, window.bottom - window.top + grow_y,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fitting_ = false;
  return true;
}

void LayoutDialog::Relayout() {
  if (!layout_.root()) return;
  FitWindowToLayout();
  int children = 0;
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
  batch_.Begin(children);
  layout_.LayOut(CurrentArea());
  batch_.End();
  ReattachSpinControls();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void LayoutDialog::ReattachSpinControls() const {
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowClass(child, UPDOWN_CLASSW)) continue;
    HWND buddy = reinterpret_cast<HWND>(SendMessageW(child, UDM_GETBUDDY, 0, 0));
    if (buddy && (GetWindowLongPtrW(child, GWL_STYLE) & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
      SendMessageW(child, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  }
}

void LayoutDialog::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == layout_.dpi()) return;
  ScaleControls(layout_.dpi(), dpi);
  layout_.SetDpi(dpi);
  BuildLayout();
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The suggested size may be the present one, which sends no WM_SIZE.
  Relayout();
}

// The template's controls keep their places in dialog units, which grow with
// the font: their sizes scale as the font does (the layout moves them).
void LayoutDialog::ScaleControls(int from_dpi, int to_dpi) {
  HFONT current = dpi_font_ ? dpi_font_ : reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  HFONT font = FontForDpi(current, from_dpi, to_dpi);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (child == status_bar_) continue;  // it sizes itself to the window
    RECT rect{};
    GetWindowRect(child, &rect);
    SetWindowPos(child, nullptr, 0, 0, MulDiv(rect.right - rect.left, to_dpi, from_dpi),
                 MulDiv(rect.bottom - rect.top, to_dpi, from_dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!font) return;
  if (dpi_font_) DeleteObject(dpi_font_);
  dpi_font_ = font;
}

void LayoutDialog::OnSize(UINT /*type*/, int width, int height) {
  if (width == 0 && height == 0) return;
  Relayout();
  if (status_bar_) SendMessageW(status_bar_, WM_SIZE, 0, 0);
}

void LayoutDialog::OnDestroy() {
  if (!placement_key_.empty()) StorePlacement(placement_key_);
  layout_.ReleaseRoot();
}

void LayoutDialog::StorePlacement(const std::wstring& key, const std::wstring& value) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(hwnd(), &placement)) return;
  if (placement.showCmd != SW_SHOWMAXIMIZED) placement.showCmd = SW_SHOWNORMAL;
  platform::WriteProfileBinary(key, value,
                               std::string(reinterpret_cast<const char*>(&placement), sizeof(placement)));
}

void LayoutDialog::RestorePlacement(const std::wstring& key, const std::wstring& value) {
  std::string bytes = platform::ReadProfileBinary(key, value);
  if (bytes.size() != sizeof(WINDOWPLACEMENT)) return;
  WINDOWPLACEMENT placement{};
  memcpy(&placement, bytes.data(), sizeof(placement));
  placement.length = sizeof(placement);
  PullOntoScreen(&placement.rcNormalPosition);
  SetWindowPlacement(hwnd(), &placement);
}

void LayoutDialog::OnGetMinMaxInfo(MINMAXINFO* info) const {
  if (!layout_.root()) return;
  RECT window{};
  GetWindowRect(hwnd(), &window);
  LayoutRect area = CurrentArea();
  LayoutSize frame{window.right - window.left - area.Width(), window.bottom - window.top - area.Height()};
  LayoutSize minimum = layout_.MinAreaSize(), maximum = layout_.MaxAreaSize();
  info->ptMinTrackSize = {minimum.cx + frame.cx, minimum.cy + frame.cy};
  if (maximum.cx >= 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = maximum.cx + frame.cx;
  if (maximum.cy >= 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = maximum.cy + frame.cy;
}

void LayoutDialog::EraseBackground(HDC dc) const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  wchar_t line[80];
  swprintf(line, std::size(line), L"CreateRgn (%d,%d,%d,%d)\n", static_cast<int>(client.left),
           static_cast<int>(client.top), static_cast<int>(client.right), static_cast<int>(client.bottom));
  OutputDebugStringW(line);
  HRGN background = CreateRectRgnIndirect(&client);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || IsGroupBox(child)) continue;
    HRGN covered = CoveredRegion(child, hwnd());
    CombineRgn(background, background, covered, RGN_DIFF);
    DeleteObject(covered);
  }
  auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(hwnd(), GCLP_HBRBACKGROUND));
  FillRgn(dc, background, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  DeleteObject(background);
}

bool LayoutDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  switch (message) {
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam));
      *result = 0;
      return true;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      *result = 0;
      return true;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wparam));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}
