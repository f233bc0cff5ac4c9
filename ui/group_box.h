// An owner-painted group box: a rounded frame with a coloured, optionally bold
// caption on its top edge, or a caption bar over a filled body.
#pragma once

#include <windows.h>

#include <string>

class CGroupBox {
 public:
  CGroupBox();
  virtual ~CGroupBox();
  CGroupBox(const CGroupBox&) = delete;
  CGroupBox& operator=(const CGroupBox&) = delete;

  // Takes over painting of the dialog's group box with the ID; false when there is none.
  bool SubclassDlgItem(int id, HWND dialog);
  // Makes a new group box child and takes it over; false when it cannot be made.
  bool Create(const std::wstring& text, const RECT& rect, HWND parent, int id);
  HWND hwnd() const { return hwnd_; }

  // Each setter changes one property, repaints the box and its parent's
  // background behind it, and returns the box so that calls chain.
  virtual CGroupBox& SetFrameColor(COLORREF color);
  virtual CGroupBox& SetTitleTextColor(COLORREF color);
  virtual CGroupBox& SetFillColors(COLORREF caption, COLORREF body);
  virtual CGroupBox& SetFillColor(COLORREF color);
  // 0: frame kind; any other value: window kind.
  virtual CGroupBox& SetBoxKind(int kind);
  // The caption becomes " text "; does nothing before the box has a window.
  virtual CGroupBox& SetTitle(const std::wstring& text);
  virtual CGroupBox& SetTitleBold(bool bold);
  virtual CGroupBox& SetTitleFace(const std::wstring& face, BYTE charset);
  virtual CGroupBox& SetTitleUnderline(bool underline);
  virtual CGroupBox& SetTitleItalic(bool italic);
  virtual CGroupBox& SetTitlePointSize(int points);
  virtual CGroupBox& SetTitleFont(const LOGFONTW& font);
  // 0 left, 1 centre, 2 right; any other value left.
  virtual CGroupBox& SetTitleAlignment(int alignment);

  const LOGFONTW& title_font() const { return font_description_; }

 private:
  bool Attach(HWND hwnd);
  void RemakeFont();
  // A new font for the box (a DPI change): the caption takes its size and keeps its look.
  void FollowFont(HFONT font);
  CGroupBox& Refresh();
  void Paint();
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR self);

  HWND hwnd_ = nullptr;
  std::wstring caption_;
  COLORREF frame_color_;
  COLORREF caption_fill_;
  COLORREF body_fill_;
  COLORREF text_color_;
  int box_kind_ = 0;
  int alignment_ = 0;
  LOGFONTW font_description_{};
  HFONT font_ = nullptr;
};
