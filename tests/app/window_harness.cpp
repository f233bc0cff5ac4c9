#include "tests/app/window_harness.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "resources/resource.h"
#include "ui/start_picture.h"

namespace testing_support {

namespace {

constexpr int kPollRounds = 800;  // about 40 s of 50 ms waits
constexpr int kMessageBoxText = 0xFFFF;

std::vector<BYTE> Pixels(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return {};
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<BYTE> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight * 4);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return pixels;
}

struct BoxSearch {
  HWND main_window;
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM context) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
  wchar_t class_name[16] = {};
  GetClassNameW(hwnd, class_name, static_cast<int>(std::size(class_name)));
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (hwnd == search->main_window || process != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
      std::wstring(class_name) != L"#32770")
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
  return text;
}

}  // namespace

void PumpMessages(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpUntil(HWND dialog, const std::function<bool()>& done, int seconds) {
  for (int round = 0; round < seconds * 20; ++round) {
    PumpMessages(dialog);
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return done();
}

AnswerWatch::AnswerWatch(HWND window)
    : thread_([this, window] {
        // A window that does not answer within 5 s counts as that long.
        for (; !stop_; Sleep(50)) {
          DWORD begin = GetTickCount();
          DWORD_PTR result = 0;
          SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
          int waited = static_cast<int>(GetTickCount() - begin);
          if (waited > longest_ms_) longest_ms_ = waited;
        }
        ended_ = true;
      }) {}

AnswerWatch::~AnswerWatch() {
  stop_ = true;
  // Its last question may wait for this thread's answer.
  while (!ended_) {
    PumpMessages(nullptr);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  thread_.join();
}

std::vector<std::wstring> ListViewLines(HWND list) {
  std::vector<std::wstring> lines;
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    lines.push_back(text);
  }
  return lines;
}

bool HasLineStarting(const std::vector<std::wstring>& lines, const std::wstring& text) {
  for (const std::wstring& line : lines) {
    if (line.compare(0, text.size(), text) == 0) return true;
  }
  return false;
}

int ShownPicture(HWND button) {
  std::vector<BYTE> shown = Pixels(reinterpret_cast<HBITMAP>(SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0)));
  RECT client{};
  GetClientRect(button, &client);
  for (int index = 0; index < 3; ++index) {
    const int resource = StartPictureResource(index, {client.right, client.bottom});
    HBITMAP picture = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource));
    bool same = !shown.empty() && Pixels(picture) == shown;
    DeleteObject(picture);
    if (same) return index;
  }
  return -1;
}

namespace {

std::wstring ComboText(HWND combo, int index) {
  wchar_t text[512] = {};
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

std::wstring SelectedText(HWND combo) {
  int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  return index < 0 ? std::wstring() : ComboText(combo, index);
}

std::vector<std::wstring> ComboTexts(HWND combo) {
  std::vector<std::wstring> texts;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) texts.push_back(ComboText(combo, index));
  return texts;
}

BoxAnswerer::BoxAnswerer(HWND main_window, int button, std::function<void(HWND box)> on_found)
    : on_found_(std::move(on_found)), watcher_([this, main_window, button] { Watch(main_window, button); }) {}

BoxAnswerer::~BoxAnswerer() {
  if (watcher_.joinable()) watcher_.join();
}

void BoxAnswerer::Watch(HWND main_window, int button) {
  Look(main_window, button);
  done_ = true;
}

void BoxAnswerer::Look(HWND main_window, int button) {
  for (int round = 0; round < kPollRounds; ++round) {
    BoxSearch search{main_window};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      seen_.found = true;
      seen_.caption = WindowText(search.found);
      seen_.text = WindowText(GetDlgItem(search.found, kMessageBoxText));
      if (on_found_) on_found_(search.found);
      PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      return;
    }
    Sleep(50);
  }
}

SeenBox BoxAnswerer::Result(HWND dialog) {
  // The watcher may need this thread to answer its messages before it ends.
  while (!done_) {
    PumpMessages(dialog);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  watcher_.join();
  return seen_;
}

void SaveWindowPicture(HWND window, const std::string& name) {
  const char* folder = std::getenv("ROVELOG_SHOT_DIR");
  if (!folder) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect{};
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  std::vector<BYTE> pixels = Pixels(bitmap);
  // Screen pixels carry no alpha; opaque, so that viewers do not drop them.
  for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 0xFF;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

}  // namespace testing_support
