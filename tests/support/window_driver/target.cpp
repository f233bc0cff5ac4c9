#include "tests/support/window_driver/target.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace window_driver {

namespace {

// Long enough for a program busy with a file or a socket on its own thread,
// short enough that a hung window shows as a failed command.
constexpr UINT kAnswerMilliseconds = 5000;

bool Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerMilliseconds, &answer)) return false;
  *result = static_cast<LRESULT>(answer);
  return true;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  return name;
}

// Memory in another process for one exchange, freed with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  char* address() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, address() + offset, data, size, nullptr) != 0;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, address() + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_;
  void* address_;
};

struct FindRequest {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lparam) {
  auto* request = reinterpret_cast<FindRequest*>(lparam);
  wchar_t caption[256] = {};
  GetWindowTextW(hwnd, caption, static_cast<int>(std::size(caption)));
  if (ClassName(hwnd) != L"#32770" || *request->caption != caption) return TRUE;
  request->found = hwnd;
  return FALSE;
}

struct BoxRequest {
  DWORD process_id;
  HWND main_window;
  std::vector<HWND> boxes;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM lparam) {
  auto* request = reinterpret_cast<BoxRequest*>(lparam);
  DWORD process_id = 0;
  GetWindowThreadProcessId(hwnd, &process_id);
  if (process_id == request->process_id && hwnd != request->main_window && IsWindowVisible(hwnd) &&
      ClassName(hwnd) == L"#32770") {
    request->boxes.push_back(hwnd);
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lparam) {
  auto* text = reinterpret_cast<std::wstring*>(lparam);
  if (ClassName(hwnd) != L"Static") return TRUE;
  wchar_t line[2048] = {};
  GetWindowTextW(hwnd, line, static_cast<int>(std::size(line)));
  if (line[0] == L'\0') return TRUE;
  if (!text->empty()) text->append(L"\n");
  text->append(line);
  return TRUE;
}

bool IsStrong(COLORREF pixel) {
  const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
  // Blue is the system's (the default button's frame), never a state the
  // program's pictures show: it would pull a green towards "other".
  if (b >= r && b >= g) return false;
  return std::max({r, g, b}) - std::min({r, g, b}) >= 80;
}

}  // namespace

Target::~Target() {
  if (process_ != nullptr) CloseHandle(process_);
}

bool Target::Find(const std::wstring& caption) {
  FindRequest request{&caption, nullptr};
  EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&request));
  if (request.found == nullptr) return false;
  window_ = request.found;
  GetWindowThreadProcessId(window_, &process_id_);
  if (process_ != nullptr) CloseHandle(process_);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | SYNCHRONIZE |
                             PROCESS_QUERY_LIMITED_INFORMATION,
                         FALSE, process_id_);
  return process_ != nullptr;
}

bool Target::Ask(HWND control, UINT message, LRESULT* result) const { return Send(control, message, 0, 0, result); }

bool Target::EndSession() const {
  LRESULT agreed = FALSE;
  LRESULT ignored = 0;
  return Send(window_, WM_QUERYENDSESSION, 0, 0, &agreed) && agreed &&
         Send(window_, WM_ENDSESSION, TRUE, 0, &ignored);
}

bool Target::GetText(HWND control, std::wstring* text) const {
  wchar_t buffer[4096] = {};
  LRESULT length = 0;
  if (!Send(control, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), &length)) return false;
  text->assign(buffer, static_cast<size_t>(length));
  return true;
}

bool Target::SetText(HWND control, const std::wstring& text) const {
  LRESULT result = 0;
  return Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &result) && result != 0;
}

bool Target::ReadList(int id, std::vector<std::wstring>* lines) const {
  HWND list = Control(id);
  LRESULT count = 0;
  if (list == nullptr || ClassName(list) != WC_LISTVIEWW || !Send(list, LVM_GETITEMCOUNT, 0, 0, &count)) return false;
  constexpr size_t kChars = 1024;
  RemoteBuffer remote(process_, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  if (remote.address() == nullptr) return false;
  lines->clear();
  for (LRESULT i = 0; i < count; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(LVITEMW));
    item.cchTextMax = kChars;
    wchar_t text[kChars] = {};
    LRESULT length = 0;
    if (!remote.Write(0, &item, sizeof(item)) ||
        !Send(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote.address()), &length) ||
        !remote.Read(sizeof(LVITEMW), text, sizeof(text))) {
      return false;
    }
    text[kChars - 1] = L'\0';
    lines->emplace_back(text);
  }
  return true;
}

std::vector<MessageBoxInfo> Target::MessageBoxes() const {
  BoxRequest request{process_id_, window_, {}};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&request));
  std::vector<MessageBoxInfo> boxes;
  for (HWND hwnd : request.boxes) {
    MessageBoxInfo box;
    box.hwnd = hwnd;
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd, caption, static_cast<int>(std::size(caption)));
    box.caption = caption;
    EnumChildWindows(hwnd, CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
    boxes.push_back(box);
  }
  return boxes;
}

bool Target::WaitForExit(DWORD milliseconds, DWORD* exit_code) const {
  if (process_ == nullptr || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_, exit_code) != 0;
}

bool ScreenColour(HWND control, COLORREF* colour) {
  RECT rect{};
  if (!GetWindowRect(control, &rect)) return false;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
  long long sums[3] = {}, strong = 0;
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int i = 0; copied && i < width * height; ++i) {
    // DIB pixels are 0x00RRGGBB.
    const COLORREF pixel = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
    if (!IsStrong(pixel)) continue;
    sums[0] += GetRValue(pixel);
    sums[1] += GetGValue(pixel);
    sums[2] += GetBValue(pixel);
    ++strong;
  }
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (strong == 0) return false;
  *colour = RGB(sums[0] / strong, sums[1] / strong, sums[2] / strong);
  return true;
}

const char* ColourName(COLORREF colour) {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  if (r > 2 * g && r > 2 * b) return "red";
  if (r > 2 * b && g > 2 * b && g * 3 > r * 2) return "yellow";
  if (g > r + r / 2 && g > 2 * b) return "green";
  return "other";
}

}  // namespace window_driver
