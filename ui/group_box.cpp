#include "ui/group_box.h"

#include <commctrl.h>

#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/group_box_geometry.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x6B0C;

RECT ToRect(const LayoutRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The caption's size in the font selected into the context; 0 x 0 when empty.
LayoutSize CaptionSize(HDC dc, const std::wstring& caption) {
  if (caption.empty()) return {0, 0};
  SIZE size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  return {size.cx, size.cy};
}

}  // namespace

CGroupBox::CGroupBox()
    : frame_color_(GetSysColor(COLOR_BTNSHADOW)),
      caption_fill_(GetSysColor(COLOR_BTNFACE)),
      body_fill_(GetSysColor(COLOR_BTNFACE)),
      text_color_(GetSysColor(COLOR_WINDOWTEXT)) {}

CGroupBox::~CGroupBox() {
  if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
  if (font_) DeleteObject(font_);
}

bool CGroupBox::SubclassDlgItem(int id, HWND dialog) { return Attach(GetDlgItem(dialog, id)); }

bool CGroupBox::Create(const std::wstring& text, const RECT& rect, HWND parent, int id) {
  HWND hwnd = CreateWindowExW(0, L"Button", text.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (hwnd) SendMessageW(hwnd, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
  return Attach(hwnd);
}

bool CGroupBox::Attach(HWND hwnd) {
  if (!hwnd || hwnd_) return false;
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | BS_ICON);
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  GetObjectW(font ? font : GetStockObject(SYSTEM_FONT), sizeof(font_description_), &font_description_);
  RemakeFont();
  return true;
}

void CGroupBox::RemakeFont() {
  if (font_) DeleteObject(font_);
  font_ = CreateFontIndirectW(&font_description_);
}

void CGroupBox::FollowFont(HFONT font) {
  LOGFONTW given{};
  if (!font || !GetObjectW(font, sizeof(given), &given)) return;
  font_description_.lfHeight = given.lfHeight;
  font_description_.lfWidth = given.lfWidth;
  RemakeFont();
}

CGroupBox& CGroupBox::Refresh() {
  if (!hwnd_) return *this;
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // The parent's background shows behind the rounded corners: repaint it too.
  HWND parent = GetParent(hwnd_);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(parent, &rect, TRUE);
  UpdateWindow(parent);
  return *this;
}

CGroupBox& CGroupBox::SetFrameColor(COLORREF color) {
  frame_color_ = color;
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleTextColor(COLORREF color) {
  text_color_ = color;
  return Refresh();
}

CGroupBox& CGroupBox::SetFillColors(COLORREF caption, COLORREF body) {
  caption_fill_ = caption;
  body_fill_ = body;
  return Refresh();
}

CGroupBox& CGroupBox::SetFillColor(COLORREF color) { return SetFillColors(color, color); }

CGroupBox& CGroupBox::SetBoxKind(int kind) {
  box_kind_ = kind;
  return Refresh();
}

CGroupBox& CGroupBox::SetTitle(const std::wstring& text) {
  if (!hwnd_) return *this;
  caption_ = L" " + text + L" ";
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleBold(bool bold) {
  font_description_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleFace(const std::wstring& face, BYTE charset) {
  lstrcpynW(font_description_.lfFaceName, face.c_str(), LF_FACESIZE);
  font_description_.lfCharSet = charset;
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleUnderline(bool underline) {
  font_description_.lfUnderline = underline;
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleItalic(bool italic) {
  font_description_.lfItalic = italic;
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitlePointSize(int points) {
  // The height of that size on this screen, as a font of it reports it.
  LOGFONTW sized = font_description_;
  HDC screen = GetDC(nullptr);
  sized.lfHeight = -MulDiv(points * 10, GetDeviceCaps(screen, LOGPIXELSY), 720);
  ReleaseDC(nullptr, screen);
  sized.lfWidth = 0;
  HFONT font = CreateFontIndirectW(&sized);
  if (font && GetObjectW(font, sizeof(sized), &sized)) {
    font_description_.lfHeight = sized.lfHeight;
    font_description_.lfWidth = sized.lfWidth;
  }
  if (font) DeleteObject(font);
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleFont(const LOGFONTW& font) {
  font_description_ = font;
  RemakeFont();
  return Refresh();
}

CGroupBox& CGroupBox::SetTitleAlignment(int alignment) {
  alignment_ = alignment >= 0 && alignment <= 2 ? alignment : 0;
  return Refresh();
}

void CGroupBox::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client{};
  GetClientRect(hwnd_, &client);
  HGDIOBJ old_font = SelectObject(dc, font_);
  if (caption_.empty()) {
    std::wstring text = Control(hwnd_).Text();
    if (!text.empty()) caption_ = L" " + text + L" ";
  }
  const int dpi = WindowDpi(hwnd_);
  const int corner = ScaleForDpi(10, dpi);
  GroupBoxGeometry geometry = GroupBoxLayout({client.left, client.top, client.right, client.bottom},
                                             CaptionSize(dc, caption_), box_kind_, alignment_, dpi);
  HPEN pen = CreatePen(PS_SOLID, 1, frame_color_);
  HGDIOBJ old_pen = SelectObject(dc, pen);
  RECT frame = ToRect(geometry.frame);
  RECT caption = ToRect(geometry.caption);
  if (box_kind_ == 0) {
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, corner, corner);
    SelectObject(dc, old_brush);
    // Hide the frame line behind the caption; the text stays inside this clip.
    IntersectClipRect(dc, caption.left, caption.top, caption.right, caption.bottom);
    HBRUSH fill = CreateSolidBrush(caption_fill_);
    FillRect(dc, &caption, fill);
    DeleteObject(fill);
  } else {
    HBRUSH bar = CreateSolidBrush(caption_fill_);
    HGDIOBJ old_brush = SelectObject(dc, bar);
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, corner, corner);
    HBRUSH body = CreateSolidBrush(body_fill_);
    SelectObject(dc, body);
    Rectangle(dc, geometry.body.left, geometry.body.top, geometry.body.right, geometry.body.bottom);
    SelectObject(dc, old_brush);
    DeleteObject(bar);
    DeleteObject(body);
  }
  COLORREF old_color = SetTextColor(dc, text_color_);
  int old_mode = SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &caption, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  SetBkMode(dc, old_mode);
  SetTextColor(dc, old_color);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_font);
  DeleteObject(pen);
  EndPaint(hwnd_, &paint);
}

LRESULT CALLBACK CGroupBox::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR /*id*/,
                                         DWORD_PTR self) {
  auto* box = reinterpret_cast<CGroupBox*>(self);
  if (message == WM_PAINT) {
    box->Paint();
    return 0;
  }
  if (message == WM_SETFONT) box->FollowFont(reinterpret_cast<HFONT>(wparam));
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    box->hwnd_ = nullptr;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}
