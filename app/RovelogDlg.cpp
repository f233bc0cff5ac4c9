#include "app/RovelogDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

#include "platform/folders.h"
#include "resources/resource.h"
#include "settings/ini_file.h"
#include "ui/about_dlg.h"
#include "ui/main_controls.h"
#include "ui/main_layout.h"
#include "ui/start_picture.h"

namespace {

constexpr wchar_t kPlacementSection[] = L"MainFrame";
constexpr wchar_t kPlacementValue[] = L"WP";
constexpr wchar_t kTrayTip[] = L"Vantrek";

NOTIFYICONDATAW TrayIconData(HWND hwnd) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd;
  data.uID = 0;
  return data;
}

}  // namespace

UINT CRovelogDlg::ShowWindowMessage() {
  static const UINT message = RegisterWindowMessageW(L"Rovelog.ShowWindow");
  return message;
}

CRovelogDlg::CRovelogDlg() : LayoutDialog(IDD_ROVELOG_DIALOG) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  icon_ = static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  small_icon_ =
      static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

CRovelogDlg::~CRovelogDlg() {
  // The engine goes first: its threads may still write to the log.
  commands_.reset();
  logger_.reset();
  log_.reset();
  for (HBITMAP picture : pictures_) {
    if (picture) DeleteObject(picture);
  }
  if (icon_) DestroyIcon(icon_);
  if (small_icon_) DestroyIcon(small_icon_);
}

BOOL CRovelogDlg::OnInitDialog() {
  LayoutDialog::OnInitDialog();
  AppendAboutItem();
  RestorePlacement(kPlacementSection, kPlacementValue);
  BuildLayout();
  Relayout();
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  SetUpMainGroupBoxes(hwnd(), boxes_);
  SetUpLogColumn(Item(IDC_LOG_LIST));
  NameControlsAfterLabels(hwnd());
  LoadPictures();
  EnumerateComPorts();
  FillOptionLists();
  ResetSettingsRecord();
  // The radio group starts on "По времени"; a file may choose another mode.
  SetSendModeRadio(kSendByTime);
  if (platform::FileExists(CIniFile().GetIniPath())) ShowSettings();
  ItemControl(IDC_POINT).Enable(false);
  ItemControl(IDC_NAMED_POINT).Enable(false);
  SetPropW(hwnd(), kMainWindowProperty, reinterpret_cast<HANDLE>(1));
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  CreateEngine();
  if (ItemControl(IDC_AUTO_TRACK).IsChecked()) OnStartStop();
  return TRUE;
}

void CRovelogDlg::AppendAboutItem() {
  wchar_t text[100] = {};
  if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, static_cast<int>(std::size(text))) <= 0)
    return;
  HMENU menu = GetSystemMenu(hwnd(), FALSE);
  if (!menu) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CRovelogDlg::FillOptionLists() {
  for (const PrivacyLevel& level : PrivacyLevels()) Combo(IDC_PRIVACY).AddString(level.caption);
  for (const std::wstring& text : IntervalOptions()) Combo(IDC_INTERVAL).AddString(text);
  for (const std::wstring& text : DistanceOptions()) Combo(IDC_DISTANCE).AddString(text);
}

void CRovelogDlg::CreateEngine() {
  HWND window = hwnd();
  // Writers run on any thread: one posted message per burst of changes.
  lines_.SetListener([this, window](const LineChange&) {
    if (!log_posted_.exchange(true)) PostMessageW(window, kLogChangedMessage, 0, 0);
  });
  log_ = std::make_unique<EventLog>(&lines_);
  logger_ = std::make_unique<CGpsLogger>(log_.get());
  logger_->SetStateListener([window](int state) { PostMessageW(window, kStateMessage, 0, state); });
  commands_ = std::make_unique<RecorderCommands>(*logger_, *log_, CommandView());
}

void CRovelogDlg::BuildLayout() { BuildMainLayout(layout()); }

void CRovelogDlg::OnDpiChanged(int dpi, const RECT& suggested) {
  LayoutDialog::OnDpiChanged(dpi, suggested);
  LoadPictures();
}

// The button shows the new pictures before the old ones go: it does not own them.
void CRovelogDlg::LoadPictures() {
  HBITMAP old[std::size(pictures_)];
  std::copy(std::begin(pictures_), std::end(pictures_), old);
  RECT button{};
  GetClientRect(Item(IDC_START), &button);
  for (int state = 0; state < static_cast<int>(std::size(pictures_)); ++state) {
    int resource = StartPictureResource(state, {button.right, button.bottom});
    pictures_[state] = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource));
  }
  ShowPicture(picture_state_);
  for (HBITMAP picture : old) {
    if (picture) DeleteObject(picture);
  }
}

void CRovelogDlg::ShowPicture(int state) {
  picture_state_ = state;
  Control start = ItemControl(IDC_START);
  start.SetBitmap(pictures_[state]);
  // The picture shows instead of the text; a screen reader reads the text.
  start.SetText(state == 0 ? L"Старт" : L"Стоп");
}

void CRovelogDlg::SetRecordingState(int state) {
  if (state < 0 || state > 2) return;
  ShowPicture(state);
  ItemControl(IDC_POINT).Enable(state == 2);
  ItemControl(IDC_NAMED_POINT).Enable(state == 2);
}

bool CRovelogDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    OnTaskbarCreated();
    return true;
  }
  if (message == ShowWindowMessage()) {
    // A closing window stays closed; the second instance exits all the same.
    // Otherwise the window comes back usable: a box of ours ends unanswered.
    if (!closing_) {
      EndOwnedDialogs(hwnd(), IDCANCEL);
      RestoreFromTray();
    }
    return true;
  }
  switch (message) {
    case kStateMessage: {
      const int state = static_cast<int>(lparam);
      commands_->OnTrackState(state);
      // The stop closes the port under the track thread's read, which may
      // tell a lost fix just before its state 0: a finishing recording shows
      // no state but that last one.
      if (!commands_->finishing()) SetRecordingState(state);
      EnableStartAndSendButtons();
      return true;
    }
    case kPassEndedMessage:
      EnableStartAndSendButtons();
      return true;
    case kUpdateCheckedMessage:
      OnUpdateChecked();
      return true;
    case kEngineClosedMessage:
      // The engine has packed and flushed the track: nothing else is waited for.
      EndDialog(IDCANCEL);
      return true;
    case kLogChangedMessage:
      OnLogChanged();
      return true;
    case kTrayMessage:
      OnTrayNotify(lparam);
      *result = 1;
      return true;
    case WM_SYSCOMMAND:
      OnSysCommand(wparam, lparam);
      return true;
    case WM_TIMER:
      OnTimer(wparam);
      return true;
    case WM_CLOSE:
      OnClose();
      return true;
    case WM_QUERYENDSESSION:
      *result = TRUE;
      return true;
    case WM_ENDSESSION:
      if (wparam) OnEndSession();
      return true;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lparam)->code == LVN_GETDISPINFOW) {
        OnGetLogText(reinterpret_cast<NMLVDISPINFOW*>(lparam));
        return true;
      }
      break;
    case WM_PAINT:
      if (OnPaintMinimized()) return true;
      break;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<INT_PTR>(icon_);
      return true;
  }
  return LayoutDialog::OnMessage(message, wparam, lparam, result);
}

// The position (or the key of Alt+Space) goes with the command: without it
// the system menu opens nowhere.
void CRovelogDlg::OnSysCommand(WPARAM command, LPARAM position) {
  if ((command & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg(hwnd()).DoModal();
  } else {
    DefWindowProcW(hwnd(), WM_SYSCOMMAND, command, position);
  }
  if (command == SC_MINIMIZE) MinimizeToTray();
}

void CRovelogDlg::AddTrayIcon() {
  NOTIFYICONDATAW data = TrayIconData(hwnd());
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = small_icon_;
  wcsncpy(data.szTip, kTrayTip, std::size(data.szTip) - 1);
  Shell_NotifyIconW(NIM_ADD, &data);
  tray_icon_ = true;
}

void CRovelogDlg::MinimizeToTray() {
  AddTrayIcon();
  ShowWindow(hwnd(), SW_HIDE);
}

void CRovelogDlg::OnTrayNotify(LPARAM mouse_message) {
  if (mouse_message == WM_LBUTTONUP) RestoreFromTray();
}

void CRovelogDlg::RestoreFromTray() {
  ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
}

// Explorer started again and has forgotten our icon: without it a hidden
// window could never be restored.
void CRovelogDlg::OnTaskbarCreated() {
  if (tray_icon_) AddTrayIcon();
}

void CRovelogDlg::OnTimer(WPARAM id) {
  if (id == kSendTimer && !closing_) commands_->OnSendTimer();
}

// Closing hides the window at once and stops the recording as the start
// button does; the dialog ends when the logger's threads (the track packed,
// any pass ended after its archive in hand) have posted that they are over.
// An update check still running is left to run out. Archives not sent stay
// for the next run. A box or dialog of ours ends unanswered, which counts as
// "no".
void CRovelogDlg::OnClose() {
  if (closing_) return;
  closing_ = true;
  EndOwnedDialogs(hwnd(), IDCANCEL);
  if (tray_icon_) {
    NOTIFYICONDATAW data = TrayIconData(hwnd());
    Shell_NotifyIconW(NIM_DELETE, &data);
    tray_icon_ = false;
  }
  ShowWindow(hwnd(), SW_HIDE);
  update_check_.LetRunOut();
  if (commands_->running()) commands_->StartStop(settings_.record());
  HWND window = hwnd();
  logger_->BeginClose([window] { PostMessageW(window, kEngineClosedMessage, 0, 0); });
}

// The process ends soon after this returns: the stopped track must be packed
// by then. Only the track is waited for, and no longer than the system gives
// a program (a pass ends at its cut-off or is dropped, its archive queued).
void CRovelogDlg::OnEndSession() {
  constexpr auto kTrackWait = std::chrono::seconds(4);
  OnClose();
  const auto give_up = std::chrono::steady_clock::now() + kTrackWait;
  while (logger_->TrackThreadRunning() && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void CRovelogDlg::OnSize(UINT type, int width, int height) {
  LayoutDialog::OnSize(type, width, height);
  FitLogColumn(Item(IDC_LOG_LIST));
}

void CRovelogDlg::OnDestroy() {
  RemovePropW(hwnd(), kMainWindowProperty);
  StorePlacement(kPlacementSection, kPlacementValue);
  LayoutDialog::OnDestroy();
}

void CRovelogDlg::OnLogChanged() {
  log_posted_ = false;
  HWND list = Item(IDC_LOG_LIST);
  int count = lines_.Count();
  int shown = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  SendMessageW(list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, FALSE);
  if (count > shown) SendMessageW(list, LVM_ENSUREVISIBLE, count - 1, FALSE);
  FitLogColumn(Item(IDC_LOG_LIST));
}

void CRovelogDlg::OnGetLogText(NMLVDISPINFOW* info) {
  if (!(info->item.mask & LVIF_TEXT) || info->item.cchTextMax <= 0) return;
  std::wstring text = lines_.Line(info->item.iItem);
  size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
  std::copy_n(text.begin(), length, info->item.pszText);
  info->item.pszText[length] = L'\0';
}

bool CRovelogDlg::OnPaintMinimized() {
  if (!IsIconic(hwnd())) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(hwnd(), &client);
  int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(hwnd(), &paint);
  return true;
}
