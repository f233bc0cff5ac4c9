// The toolkit's windows for real, in-process under Wine: dialog 102 laid out
// at several sizes against the plain arithmetic, its minimum, the kept
// placement, the group boxes' pixels and the small dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/user_profile.h"
#include "resources/resource.h"
#include "tests/ui/main_window_host.h"
#include "ui/about_dlg.h"
#include "ui/group_box.h"
#include "ui/main_layout.h"
#include "ui/point_name_dlg.h"

using testing_support::ChildRect;
using testing_support::MainWindowHost;
using testing_support::PumpMessages;
using testing_support::Px;

namespace {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitControls(); }
};

int StatusHeight(const MainWindowHost& window) { return ChildRect(window.status_bar()).Height(); }

LayoutSize ClientSize(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return {client.right, client.bottom};
}

TEST_F(UiTest, MainWindowControlsSitWhereTheArithmeticPutsThem) {
  MainWindowHost window;
  ASSERT_TRUE(window.Create());
  ASSERT_NE(window.status_bar(), nullptr);
  auto stand_ins = window.template_controls();
  LayoutMgr predicted([&](int id) -> std::shared_ptr<LayoutControl> {
    return stand_ins.count(id) ? stand_ins[id] : nullptr;
  });
  predicted.SetDpi(window.layout().dpi());
  BuildMainLayout(predicted);
  const LayoutSize sizes[] = {{Px(900), Px(600)}, {Px(720), Px(520)}, {Px(1200), Px(820)}, {Px(1000), Px(700)}};
  for (const LayoutSize& size : sizes) {
    window.SetClientSize(size.cx, size.cy);
    ASSERT_EQ(ClientSize(window.hwnd()).cx, size.cx);
    predicted.LayOut(predicted.LayoutArea(ClientSize(window.hwnd()), StatusHeight(window)));
    for (const auto& [id, stand_in] : stand_ins) {
      if (id == IDC_STATIC || !stand_in->moved()) continue;
      EXPECT_EQ(ChildRect(window.Item(id)), stand_in->rect()) << "control " << id << " at " << size.cx << "x" << size.cy;
    }
  }
  // Every control of the template is in the tree.
  for (const auto& [id, stand_in] : stand_ins) {
    if (window.Item(id) != window.status_bar()) {
      EXPECT_TRUE(stand_in->moved()) << "control " << id;
    }
  }
}

TEST_F(UiTest, MainWindowCannotBeSmallerThanTheRootMinimum) {
  MainWindowHost window;
  ASSERT_TRUE(window.Create());
  LayoutSize minimum = window.layout().MinAreaSize();
  window.SetClientSize(200, 150);
  LayoutRect area = window.layout().LayoutArea(ClientSize(window.hwnd()), StatusHeight(window));
  EXPECT_EQ(area.Width(), minimum.cx);
  EXPECT_EQ(area.Height(), minimum.cy);
  // The tracking size the system is told about matches.
  MINMAXINFO info{};
  SendMessageW(window.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  EXPECT_EQ(info.ptMinTrackSize.x, rect.right - rect.left);
  EXPECT_EQ(info.ptMinTrackSize.y, rect.bottom - rect.top);
  // At that minimum the greedy log list still has its least size.
  EXPECT_GE(ChildRect(window.Item(IDC_LOG_LIST)).Width(), 5);
}

TEST_F(UiTest, PlacementSurvivesStoreAndRestoreAndOtherRecordsAreIgnored) {
  MainWindowHost window;
  ASSERT_TRUE(window.Create());
  SetWindowPos(window.hwnd(), nullptr, 40, 30, 900, 640, SWP_NOZORDER);
  window.StorePlacement(L"PlacementTest");
  EXPECT_EQ(platform::ReadProfileBinary(L"PlacementTest", L"WindowPlacement").size(), 44u);
  RECT stored{};
  GetWindowRect(window.hwnd(), &stored);
  SetWindowPos(window.hwnd(), nullptr, 100, 90, 1000, 700, SWP_NOZORDER);
  window.RestorePlacement(L"PlacementTest");
  RECT restored{};
  GetWindowRect(window.hwnd(), &restored);
  EXPECT_TRUE(EqualRect(&stored, &restored));
  std::string record = platform::ReadProfileBinary(L"PlacementTest", L"WindowPlacement");
  reinterpret_cast<WINDOWPLACEMENT*>(&record[0])->rcNormalPosition.left = 300;  // a different place, if applied
  for (size_t size : {record.size() - 1, record.size() + 4, size_t{0}}) {
    std::string other = record;
    other.resize(size);
    ASSERT_TRUE(platform::WriteProfileBinary(L"PlacementTest", L"WindowPlacement", other));
    window.RestorePlacement(L"PlacementTest");
    GetWindowRect(window.hwnd(), &restored);
    EXPECT_TRUE(EqualRect(&stored, &restored)) << "record of " << size << " bytes";
  }
}

// The client area of a window as painted, read back pixel by pixel.
class Capture {
 public:
  explicit Capture(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    RECT client{};
    GetClientRect(hwnd, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    pixels_.resize(static_cast<size_t>(width_) * height_);
    HDC window_dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window_dc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels_.data(), bits, pixels_.size() * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, window_dc);
  }
  COLORREF At(int x, int y) const {
    uint32_t pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  // Pixels of exactly this colour in the rectangle.
  int Count(const LayoutRect& rect, COLORREF color) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == color;
    }
    return count;
  }
  // Left and right ends of the pixels of the colour in the rectangle; {-1, -1} without any.
  std::pair<int, int> Span(const LayoutRect& rect, COLORREF color) const {
    std::pair<int, int> span{-1, -1};
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) {
        if (At(x, y) != color) continue;
        if (span.first < 0 || x < span.first) span.first = x;
        span.second = std::max(span.second, x);
      }
    }
    return span;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

LayoutRect TopBand(const LayoutRect& box, int height) { return {box.left, box.top, box.right, box.top + height}; }

TEST_F(UiTest, MainWindowGroupBoxesPaintTheirCaptionsAndFrames) {
  MainWindowHost window;
  ASSERT_TRUE(window.Create());
  window.SetClientSize(900, 600);
  Capture capture(window.hwnd());
  const COLORREF blue = RGB(16, 140, 231);
  for (int id : {IDC_TRACKER_BOX, IDC_SETTINGS_BOX, IDC_ABOUT_BOX}) {
    EXPECT_GT(capture.Count(TopBand(ChildRect(window.Item(id)), 20), blue), 10) << "box " << id;
  }
  LayoutRect sending = ChildRect(window.Item(IDC_SENDING_BOX));
  EXPECT_EQ(capture.Count(TopBand(sending, 20), blue), 0);
  EXPECT_GT(capture.Count(TopBand(sending, 20), GetSysColor(COLOR_WINDOWTEXT)), 10);
  // The frame's left line, halfway down.
  EXPECT_EQ(capture.At(sending.left + 1, (sending.top + sending.bottom) / 2), GetSysColor(COLOR_BTNSHADOW));
}

// The top of the topmost control inside the box: the first one below its caption.
int FirstControlTop(HWND window, HWND box) {
  const LayoutRect frame = ChildRect(box);
  int top = frame.bottom;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    LayoutRect rect = ChildRect(child);
    bool inside = rect.left >= frame.left && rect.right <= frame.right && rect.top >= frame.top &&
                  rect.bottom <= frame.bottom;
    if (child != box && inside) top = std::min(top, rect.top);
  }
  return top;
}

// At any DPI: a gap of 2 pixels at least between each caption's lowest inked
// row and the first control, and a start picture as wide as the button's
// inside nearly, as at 96 DPI.
TEST_F(UiTest, MainWindowCaptionsClearTheirControlsAndTheStartPictureFillsItsButton) {
  MainWindowHost window;
  ASSERT_TRUE(window.Create());
  window.SetClientSize(Px(900), Px(600));
  Capture capture(window.hwnd());
  const COLORREF blue = RGB(16, 140, 231);
  const std::pair<int, COLORREF> captions[] = {{IDC_TRACKER_BOX, blue}, {IDC_SETTINGS_BOX, blue},
                                               {IDC_ABOUT_BOX, blue}, {IDC_SENDING_BOX, GetSysColor(COLOR_WINDOWTEXT)}};
  for (const auto& [id, colour] : captions) {
    const LayoutRect box = ChildRect(window.Item(id));
    const int first = FirstControlTop(window.hwnd(), window.Item(id));
    int ink = -1;
    for (int y = box.top; y < first; ++y) {
      if (capture.Count({box.left, y, box.right, y + 1}, colour) > 0) ink = y;
    }
    ASSERT_GE(ink, box.top) << "box " << id;
    EXPECT_GE(first - (ink + 1), 2) << "box " << id << " at " << window.layout().dpi() << " DPI";
  }
  HWND start = window.Item(IDC_START);
  BITMAP picture{};
  auto shown = reinterpret_cast<HBITMAP>(SendMessageW(start, BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_TRUE(GetObjectW(shown, sizeof(picture), &picture));
  RECT button{};
  GetClientRect(start, &button);
  const int inner_width = button.right - 2 * GetSystemMetrics(SM_CXEDGE);
  EXPECT_LE(picture.bmWidth, inner_width);
  EXPECT_LE(picture.bmHeight, button.bottom);
  EXPECT_GE(picture.bmWidth * 100, inner_width * 80) << picture.bmWidth << " of " << inner_width;
}

// A window to hold test group boxes: the About box, made larger.
class BoxHost {
 public:
  BoxHost() : dialog_(nullptr) {
    dialog_.Create();
    SetWindowPos(dialog_.hwnd(), nullptr, 0, 0, Px(760), Px(560), SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
  }
  CGroupBox& Add(const std::wstring& text, int row, int column) {
    boxes_.push_back(std::make_unique<CGroupBox>());
    RECT rect{Px(10 + column * 240), Px(100 + row * 110), Px(230 + column * 240), Px(200 + row * 110)};
    boxes_.back()->Create(text, rect, dialog_.hwnd(), 2000 + static_cast<int>(boxes_.size()));
    return *boxes_.back();
  }
  HWND hwnd() const { return dialog_.hwnd(); }

 private:
  CAboutDlg dialog_;
  std::vector<std::unique_ptr<CGroupBox>> boxes_;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);

TEST_F(UiTest, GroupBoxCaptionAlignmentsAndFrameLine) {
  BoxHost host;
  CGroupBox* boxes[4];
  for (int alignment = 0; alignment < 4; ++alignment) {
    boxes[alignment] = &host.Add(L"Параметры", alignment / 3, alignment % 3)
                            .SetFrameColor(kRed)
                            .SetTitleTextColor(kGreen)
                            .SetTitleBold(true)
                            .SetTitleAlignment(alignment);
  }
  Capture capture(host.hwnd());
  for (int alignment = 0; alignment < 4; ++alignment) {
    LayoutRect box = ChildRect(boxes[alignment]->hwnd());
    auto [left, right] = capture.Span(TopBand(box, Px(20)), kGreen);
    ASSERT_GE(left, 0) << "alignment " << alignment;
    int centre = (box.left + box.right) / 2;
    if (alignment == 1) {
      EXPECT_NEAR((left + right) / 2, centre, Px(3));
    } else if (alignment == 2) {
      EXPECT_GT(left, centre);
      EXPECT_NEAR(right, box.right - 1 - Px(10), Px(8));
    } else {
      EXPECT_NEAR(left, box.left + 1 + Px(10), Px(8)) << "alignment " << alignment;
    }
    // The frame's top line runs beside the caption but not behind it.
    int line = box.top;
    while (line < box.bottom && capture.At(centre, line) != kRed && capture.At(box.left + Px(5), line) != kRed) ++line;
    int beside = alignment == 2 ? box.left + Px(20) : box.right - Px(20);
    EXPECT_EQ(capture.At(beside, line), kRed) << "alignment " << alignment;
    EXPECT_EQ(capture.Count({left, line, right + 1, line + 1}, kRed), 0) << "alignment " << alignment;
  }
}

TEST_F(UiTest, GroupBoxWindowKindAndEmptyCaption) {
  BoxHost host;
  const COLORREF bar = RGB(200, 220, 255), body = RGB(255, 250, 200);
  CGroupBox& one = host.Add(L"Окно", 0, 0).SetBoxKind(1).SetFillColors(bar, body).SetFrameColor(kRed);
  CGroupBox& five = host.Add(L"Окно", 0, 1).SetBoxKind(5).SetFillColors(bar, body).SetFrameColor(kRed);
  CGroupBox& empty = host.Add(L"", 0, 2).SetFrameColor(kRed);
  Capture capture(host.hwnd());
  for (CGroupBox* box : {&one, &five}) {
    LayoutRect rect = ChildRect(box->hwnd());
    EXPECT_EQ(capture.At(rect.right - 20, rect.top + 4), bar);
    EXPECT_EQ(capture.At((rect.left + rect.right) / 2, rect.bottom - 20), body);
    EXPECT_EQ(capture.At(rect.left + 1, (rect.top + rect.bottom) / 2), kRed);
  }
  LayoutRect rect = ChildRect(empty.hwnd());
  EXPECT_EQ(capture.At((rect.left + rect.right) / 2, rect.top + 1), kRed);
}

TEST_F(UiTest, GroupBoxFontDescription) {
  CGroupBox detached;
  detached.SetTitle(L"без окна");  // no window yet: nothing happens
  BoxHost host;
  CGroupBox& box = host.Add(L"Шрифт", 0, 0);
  LOGFONTW dialog_font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(host.hwnd(), WM_GETFONT, 0, 0)), sizeof(dialog_font), &dialog_font);
  EXPECT_EQ(box.title_font().lfHeight, dialog_font.lfHeight);
  EXPECT_EQ(std::wstring(box.title_font().lfFaceName), dialog_font.lfFaceName);
  box.SetTitleBold(true).SetTitleItalic(true).SetTitleUnderline(true).SetTitleFace(L"Tahoma", RUSSIAN_CHARSET);
  EXPECT_EQ(box.title_font().lfWeight, 700);
  EXPECT_TRUE(box.title_font().lfItalic && box.title_font().lfUnderline);
  EXPECT_EQ(box.title_font().lfCharSet, RUSSIAN_CHARSET);
  box.SetTitleBold(false).SetTitlePointSize(12);
  EXPECT_EQ(box.title_font().lfWeight, 400);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(box.title_font().lfHeight, -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
}

// The point-name dialog with text typed into it and a button pressed.
class TypedPointName : public PointNameDlg {
 public:
  TypedPointName(std::wstring text, int button) : text_(std::move(text)), button_(button) {}

 protected:
  BOOL OnInitDialog() override {
    PostMessageW(hwnd(), WM_APP, 0, 0);
    return PointNameDlg::OnInitDialog();
  }
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override {
    if (message != WM_APP) return PointNameDlg::OnMessage(message, wparam, lparam, result);
    ItemControl(IDC_POINT_NAME).SetText(text_);
    SendMessageW(Item(button_), BM_CLICK, 0, 0);
    return true;
  }

 private:
  std::wstring text_;
  int button_;
};

TEST_F(UiTest, PointNameDialogReturnsTheTypedNameUnchanged) {
  const struct {
    std::wstring typed;
    int button;
    INT_PTR result;
    std::wstring name;
  } cases[] = {
      {L"", IDOK, IDOK, L""},
      {L"Точка у моста", IDOK, IDOK, L"Точка у моста"},
      {L"  пробелы и знаки: ;,*?  ", IDOK, IDOK, L"  пробелы и знаки: ;,*?  "},
      {L"Отменённая", IDCANCEL, IDCANCEL, L""},
  };
  for (const auto& c : cases) {
    TypedPointName dialog(c.typed, c.button);
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_EQ(dialog.name(), c.name);
  }
}

class PressedAbout : public CAboutDlg {
 protected:
  BOOL OnInitDialog() override {
    PostMessageW(hwnd(), WM_APP, 0, 0);
    return TRUE;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR*) override {
    if (message == WM_APP) SendMessageW(Item(IDOK), BM_CLICK, 0, 0);
    return message == WM_APP;
  }
};

TEST_F(UiTest, AboutBoxClosesOnOk) {
  PressedAbout about;
  EXPECT_EQ(about.DoModal(), IDOK);
}

}  // namespace
