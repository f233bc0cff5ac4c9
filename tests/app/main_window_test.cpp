// The main window in-process, under Wine: start-up with and without
// properties.ini, the state message on the start button and the point
// buttons, the settings form's load and save, the commands with a receiver
// on COM3 (when the run links one), the tray, the placement, the keys that
// must not close it, the keyboard's way through the form, and the hand-over
// of a second instance.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/RovelogApp.h"
#include "app/RovelogDlg.h"
#include "base/numbers.h"
#include "platform/program_dir.h"
#include "platform/text.h"
#include "platform/user_profile.h"
#include "resources/resource.h"
#include "settings/ini_file.h"
#include "settings/settings_model.h"
#include "track/track_file.h"
#include "tests/app/window_harness.h"
#include "tests/support/test_support.h"

using testing_support::BoxAnswerer;
using testing_support::HasLineStarting;
using testing_support::ListViewLines;
using testing_support::SeenBox;
using testing_support::SelectedText;
using testing_support::ShownPicture;

namespace {

constexpr char kSecondInstanceFlag[] = "--second-instance";
const std::wstring kProfileKey = L"Software\\Local AppWizard-Generated Applications\\main_window_test";

using Keys = std::vector<std::pair<std::wstring, std::wstring>>;

// A receiver on COM3 that the run linked (the native driver sets it).
std::string Dump(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += platform::WideToUtf8(line) + "\n";
  return text;
}

// The name a screen reader reads for the control (MSAA, through oleacc).
std::wstring AccessibleName(HWND control) {
  // IAccessible's own ID: the import library's IID_IAccessible reads wrong.
  const IID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // oleacc's objects are COM objects
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, kAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return L"";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text;
  if (object->get_accName(self, &name) == S_OK && name) text = name;
  SysFreeString(name);
  object->Release();
  return text;
}

// The service stand-in the run started, as host:port; empty when none.
std::wstring ServiceServer() {
  const char* server = std::getenv("ROVELOG_TEST_SERVER");
  return server ? platform::Utf8ToWide(server) : std::wstring();
}

bool HaveReceiver() { return std::getenv("ROVELOG_TEST_COM3") != nullptr; }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes{sizeof(classes), 0xFF};
    InitCommonControlsEx(&classes);
    platform::SetProgramFolder(folder_.path());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey.c_str());
  }
  void TearDown() override {
    Close();
    platform::SetProgramFolder("");
  }

  void WriteIni(const Keys& keys) {
    CIniFile ini;
    for (const auto& [key, value] : keys) ASSERT_TRUE(ini.WriteValue(L"Properties", key, value));
  }
  std::wstring Ini(const std::wstring& key) { return CIniFile().ReadValue(L"Properties", key); }
  std::string IniPath() { return folder_.File("properties.ini"); }

  void Open() {
    window_ = std::make_unique<CRovelogDlg>();
    ASSERT_TRUE(window_->Create());
    Pump();
  }
  // The close box: hides the window at once, stops a recording, and ends the
  // dialog once every worker has said it is over (a hung upload within its
  // deadlines).
  void Close() {
    if (window_ && IsWindow(hwnd())) {
      HWND window = hwnd();
      SendMessageW(window, WM_CLOSE, 0, 0);
      EXPECT_FALSE(IsWindowVisible(window));
      EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 120)) << "the close did not end";
    }
    window_.reset();
  }
  HWND hwnd() const { return window_->hwnd(); }
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
  void Pump() { testing_support::PumpMessages(hwnd()); }
  bool PumpUntil(const std::function<bool()>& done, int seconds = 40) {
    return testing_support::PumpUntil(hwnd(), done, seconds);
  }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void Click(int id) {
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    Pump();
  }
  // A check box or radio button as a user clicks it: its check changes first.
  void Toggle(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump();
  }
  void Select(int id, const std::wstring& text) {
    SendMessageW(Item(id), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  }
  void SetText(int id, const std::wstring& text) { SetWindowTextW(Item(id), text.c_str()); }
  std::wstring Text(int id) const {
    wchar_t text[256] = {};
    GetWindowTextW(Item(id), text, 256);
    return text;
  }
  std::vector<std::wstring> Log() const { return ListViewLines(Item(IDC_LOG_LIST)); }
  void Minimise() {
    SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
  }
  void SendState(int state) {
    PostMessageW(hwnd(), CRovelogDlg::kStateMessage, 0, state);
    Pump();
  }
  // Clicks the button and answers the box it shows with OK.
  SeenBox ClickAndAnswer(int id, int answer = IDOK, std::function<void(HWND)> on_found = {}) {
    BoxAnswerer answerer(hwnd(), answer, std::move(on_found));
    Click(id);
    return answerer.Result(hwnd());
  }
  // Recording on the receiver of COM3 with the keys given, until coordinates come.
  void StartRecording(const Keys& keys) {
    Keys all = {{L"COM", L"COM3"}, {L"Server", L"127.0.0.1:1"}, {L"Track", L"test"}};
    all.insert(all.end(), keys.begin(), keys.end());
    WriteIni(all);
    Open();
    Click(IDC_START);
    ASSERT_TRUE(window_->running());
    ASSERT_TRUE(PumpUntil([&] { return ShownPicture(Item(IDC_START)) == 2; })) << "no coordinates from COM3";
  }
  // A key as a user presses it on the focused control, through the dialog's loop.
  void Press(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0);
    Pump();
  }
  // The focus is on an enabled control of the window, and Tab moves it on.
  void ExpectTabMoves(const char* after) {
    HWND focus = GetFocus();
    ASSERT_TRUE(focus && IsChild(hwnd(), focus) && IsWindowEnabled(focus)) << "focus lost after " << after;
    Press(VK_TAB);
    EXPECT_TRUE(GetFocus() != focus && IsChild(hwnd(), GetFocus())) << "Tab did nothing after " << after;
  }
  void PostClick(int id) {
    PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  }
  // Stopped, and the stopped track finished: the controls say so too.
  void ExpectStopped() {
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_START); })) << "the start button stayed disabled";
    EXPECT_FALSE(window_->running());
    EXPECT_EQ(ShownPicture(Item(IDC_START)), 0);
    EXPECT_TRUE(Enabled(IDC_SAVE));
    EXPECT_FALSE(Enabled(IDC_POINT) || Enabled(IDC_NAMED_POINT));
  }

  testing_support::ScratchDir folder_;
  std::unique_ptr<CRovelogDlg> window_;
};

TEST_F(MainWindowTest, StartsWithoutPropertiesIniAsAnEmptyForm) {
  Open();
  EXPECT_TRUE(Checked(IDC_BY_TIME));
  EXPECT_FALSE(Checked(IDC_BY_DISTANCE) || Checked(IDC_BY_HAND));
  for (int id : {IDC_INTERVAL, IDC_DISTANCE}) {
    EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(SelectedText(Item(id)), L"") << id;
  }
  EXPECT_FALSE(Enabled(IDC_POINT));
  EXPECT_FALSE(Enabled(IDC_NAMED_POINT));
  EXPECT_TRUE(Enabled(IDC_SAVE));
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(ShownPicture(Item(IDC_START)), 0);
  EXPECT_FALSE(window_->running());
  // Every interval and distance offered is one the recorder acts on, each
  // longer than the one before; and the single log column.
  EXPECT_EQ(SendMessageW(Item(IDC_PRIVACY), CB_GETCOUNT, 0, 0), 3);
  for (int id : {IDC_INTERVAL, IDC_DISTANCE}) {
    std::vector<std::wstring> options = testing_support::ComboTexts(Item(id));
    ASSERT_FALSE(options.empty()) << id;
    int before = 0;
    for (const std::wstring& option : options) {
      int length = id == IDC_INTERVAL ? IntervalToMilliseconds(option) : base::LeadingInteger(option);
      EXPECT_GT(length, before) << platform::WideToUtf8(option);
      before = length;
    }
  }
  wchar_t header[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = header;
  column.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(Item(IDC_LOG_LIST), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(header, L"Журнал событий");
  testing_support::SaveWindowPicture(hwnd(), "main-window-stopped");
}

TEST_F(MainWindowTest, StateMessageSetsPictureAndPointButtons) {
  Open();
  struct Case {
    int state;
    int picture;
    bool points;
  };
  // 5 is no state: everything stays as 2 left it.
  const Case cases[] = {{2, 2, true}, {1, 1, false}, {0, 0, false}, {2, 2, true}, {5, 2, true}};
  for (const Case& c : cases) {
    SendState(c.state);
    EXPECT_EQ(ShownPicture(Item(IDC_START)), c.picture) << "state " << c.state;
    EXPECT_EQ(Enabled(IDC_POINT), c.points) << "state " << c.state;
    EXPECT_EQ(Enabled(IDC_NAMED_POINT), c.points) << "state " << c.state;
  }
}

TEST_F(MainWindowTest, StateMessageArrivesWhileAMessageBoxIsUp) {
  Open();
  SendState(0);
  // The box's own loop runs when the track thread reports coordinates.
  SeenBox box = ClickAndAnswer(IDC_SAVE, IDOK, [this](HWND) { PostMessageW(hwnd(), CRovelogDlg::kStateMessage, 0, 2); });
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.text, L"Настройки сохранены");
  EXPECT_EQ(box.caption, L"Настройки");
  Pump();
  EXPECT_EQ(ShownPicture(Item(IDC_START)), 2);
  EXPECT_TRUE(Enabled(IDC_POINT));
}

TEST_F(MainWindowTest, SendModeRadiosEnableTheirList) {
  Open();
  struct Case {
    int radio;
    bool interval;
    bool distance;
  };
  const Case cases[] = {{IDC_BY_DISTANCE, false, true}, {IDC_BY_HAND, false, false}, {IDC_BY_TIME, true, false}};
  for (const Case& c : cases) {
    Toggle(c.radio);
    EXPECT_TRUE(Checked(c.radio)) << c.radio;
    EXPECT_EQ(Enabled(IDC_INTERVAL), c.interval) << c.radio;
    EXPECT_EQ(Enabled(IDC_DISTANCE), c.distance) << c.radio;
  }
  // The radios change the form only: the file keeps what was saved.
  EXPECT_EQ(Ini(L"Time"), L"");
}

TEST_F(MainWindowTest, FreeTextPortIsSavedAndShownAgain) {
  Open();
  Toggle(IDC_OTHER_PORT);
  EXPECT_TRUE(Enabled(IDC_OTHER_PORT_NAME));
  EXPECT_FALSE(Enabled(IDC_PORT_LIST));
  SetText(IDC_OTHER_PORT_NAME, L"COM12");
  ASSERT_TRUE(ClickAndAnswer(IDC_SAVE).found);
  EXPECT_EQ(Ini(L"COM"), L"COM12");
  EXPECT_EQ(Ini(L"OtherCOM"), L"Yes");
  Close();
  Open();
  EXPECT_TRUE(Checked(IDC_OTHER_PORT));
  EXPECT_FALSE(Enabled(IDC_PORT_LIST));
  EXPECT_EQ(Text(IDC_OTHER_PORT_NAME), L"COM12");
  Toggle(IDC_OTHER_PORT);
  EXPECT_FALSE(Enabled(IDC_OTHER_PORT_NAME));
  EXPECT_TRUE(Enabled(IDC_PORT_LIST));
}

TEST_F(MainWindowTest, SaveRaisesThinningToFive) {
  for (const wchar_t* typed : {L"", L"3", L"12"}) {
    Open();
    SetText(IDC_THINNING, typed);
    SeenBox box = ClickAndAnswer(IDC_SAVE);
    EXPECT_EQ(box.text, L"Настройки сохранены");
    std::wstring expected = std::wstring(typed) == L"12" ? L"12" : L"5";
    EXPECT_EQ(Ini(L"Prorezhivanie"), expected) << platform::WideToUtf8(typed);
    EXPECT_EQ(Text(IDC_THINNING), expected) << platform::WideToUtf8(typed);
    Close();
  }
}

TEST_F(MainWindowTest, ByDistanceWithoutDistanceReloadsAsOneHundred) {
  Open();
  Toggle(IDC_BY_DISTANCE);
  ASSERT_TRUE(ClickAndAnswer(IDC_SAVE).found);
  EXPECT_EQ(Ini(L"Points"), L"True");
  EXPECT_EQ(Ini(L"PointsCount"), L"");
  EXPECT_EQ(SelectedText(Item(IDC_DISTANCE)), L"100");
  EXPECT_TRUE(Checked(IDC_BY_DISTANCE));
}

TEST_F(MainWindowTest, FileSettingsFillTheForm) {
  struct Case {
    Keys keys;
    int radio;
    bool interval;
    bool distance;
    std::wstring interval_text;
  };
  const Case cases[] = {
      // "ByHands" wins over "Time".
      {{{L"Time", L"True"}, {L"ByHands", L"True"}, {L"TimeInterval", L"5 мин."}}, IDC_BY_HAND, false, false, L""},
      {{{L"Time", L"True"}, {L"TimeInterval", L"5 мин."}}, IDC_BY_TIME, true, false, L"5 мин."},
      // Lower case is not "True": nothing chosen, the template's first radio.
      {{{L"Time", L"true"}}, IDC_BY_TIME, true, true, L""},
  };
  for (const Case& c : cases) {
    DeleteFileW(platform::Utf8ToWide(IniPath()).c_str());
    WriteIni(c.keys);
    WriteIni({{L"Login", L"driver"}, {L"Privacy", L"для друзей"}, {L"AutoTrack", L"No"}});
    Open();
    EXPECT_TRUE(Checked(c.radio)) << c.radio;
    EXPECT_EQ(Enabled(IDC_INTERVAL), c.interval) << c.radio;
    EXPECT_EQ(Enabled(IDC_DISTANCE), c.distance) << c.radio;
    EXPECT_EQ(SelectedText(Item(IDC_INTERVAL)), c.interval_text) << c.radio;
    EXPECT_EQ(Text(IDC_LOGIN), L"driver");
    EXPECT_EQ(SelectedText(Item(IDC_PRIVACY)), L"Для друзей");
    EXPECT_FALSE(Checked(IDC_AUTO_TRACK));
    Close();
  }
}

TEST_F(MainWindowTest, PortThatDoesNotExistLeavesTheWindowStopped) {
  WriteIni({{L"COM", L"COM9"}, {L"Points", L"True"}});
  Open();
  Click(IDC_START);
  EXPECT_FALSE(window_->running());
  std::vector<std::wstring> log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_TRUE(HasLineStarting(log, L"Ошибка: Невозможно открыть RS232 порт."));
  EXPECT_EQ(log.back(), L"Ошибка подключения к COM порту");
  EXPECT_EQ(ShownPicture(Item(IDC_START)), 0);
  EXPECT_FALSE(Enabled(IDC_POINT));
  EXPECT_FALSE(Enabled(IDC_NAMED_POINT));
  EXPECT_TRUE(Enabled(IDC_SAVE));
}

TEST_F(MainWindowTest, EnterAndEscapeLeaveTheWindowOpen) {
  Open();
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SetFocus(Item(IDC_PASSWORD));
    PostMessageW(Item(IDC_PASSWORD), WM_KEYDOWN, key, 0);
    PostMessageW(Item(IDC_PASSWORD), WM_KEYUP, key, 0);
    Pump();
    SendMessageW(hwnd(), WM_COMMAND, key == VK_RETURN ? IDOK : IDCANCEL, 0);
    Pump();
    EXPECT_TRUE(IsWindow(hwnd()) && IsWindowVisible(hwnd())) << key;
  }
  // The close box still closes it.
  HWND window = hwnd();
  Close();
  EXPECT_FALSE(IsWindow(window));
}

// The start button's picture has a name beside it, as the log has; every
// field and list is named by the label beside it, never by its value.
TEST_F(MainWindowTest, ScreenReaderNamesTheStartButtonWithTheRecordingTheLogAndEveryField) {
  Open();
  EXPECT_EQ(AccessibleName(Item(IDC_LOG_LIST)), L"Журнал событий");
  const std::pair<int, const wchar_t*> labelled[] = {
      {IDC_PORT_LIST, L"COM порт"}, {IDC_OTHER_PORT_NAME, L"Другой COM порт"}, {IDC_LOGIN, L"Логин"},
      {IDC_PASSWORD, L"Пароль"}, {IDC_TRACK_NAME, L"Имя трека"}, {IDC_PRIVACY, L"Доступ"},
      {IDC_THINNING, L"Прореживание координат (в метрах)"}, {IDC_INTERVAL, L"По времени"},
      {IDC_DISTANCE, L"По расстоянию (в метрах)"}};
  for (const auto& [id, name] : labelled) EXPECT_EQ(AccessibleName(Item(id)), name) << id;
  EXPECT_EQ(AccessibleName(Item(IDC_START)), L"Старт");
  const std::pair<int, const wchar_t*> cases[] = {{1, L"Стоп"}, {2, L"Стоп"}, {0, L"Старт"}};
  for (const auto& [state, name] : cases) {
    SendState(state);
    EXPECT_EQ(AccessibleName(Item(IDC_START)), name) << "state " << state;
  }
}

// Up and Down move between the three radios, round, and never into a list.
TEST_F(MainWindowTest, ArrowsInTheSendModeGroupStayAmongItsRadios) {
  Open();
  for (int id : {IDC_INTERVAL, IDC_DISTANCE}) Select(id, testing_support::ComboTexts(Item(id)).front());
  const std::wstring interval = SelectedText(Item(IDC_INTERVAL));
  const std::wstring distance = SelectedText(Item(IDC_DISTANCE));
  SetFocus(Item(IDC_BY_TIME));
  struct Case {
    WPARAM key;
    int radio;
  };
  const Case cases[] = {{VK_DOWN, IDC_BY_DISTANCE},  {VK_DOWN, IDC_BY_HAND},   {VK_DOWN, IDC_BY_TIME},
                        {VK_UP, IDC_BY_HAND},        {VK_UP, IDC_BY_DISTANCE}, {VK_UP, IDC_BY_TIME},
                        {VK_RIGHT, IDC_BY_DISTANCE}, {VK_LEFT, IDC_BY_TIME}};
  int step = 0;
  for (const Case& c : cases) {
    Press(c.key);
    EXPECT_EQ(GetFocus(), Item(c.radio)) << "step " << step;
    EXPECT_TRUE(Checked(c.radio)) << "step " << step;
    EXPECT_EQ(SelectedText(Item(IDC_INTERVAL)), interval) << "step " << step;
    EXPECT_EQ(SelectedText(Item(IDC_DISTANCE)), distance) << "step " << step;
    ++step;
  }
}

// Space on the start button (start, then stop, which disables it until the
// track is packed) and on the send button, which disables itself for its pass.
TEST_F(MainWindowTest, SpaceOnAButtonThatDisablesItselfLeavesTheFocusToTab) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  WriteIni({{L"COM", L"COM3"}, {L"ByHands", L"True"}, {L"Server", L"127.0.0.1:1"}, {L"Track", L"test"}});
  Open();
  SetFocus(Item(IDC_START));
  Press(VK_SPACE);
  ASSERT_TRUE(window_->running());
  ASSERT_NO_FATAL_FAILURE(ExpectTabMoves("the start"));
  ASSERT_TRUE(PumpUntil([&] { return ShownPicture(Item(IDC_START)) == 2; })) << "no coordinates from COM3";
  SetFocus(Item(IDC_START));
  Press(VK_SPACE);
  ASSERT_NO_FATAL_FAILURE(ExpectTabMoves("the stop"));
  ASSERT_NO_FATAL_FAILURE(ExpectStopped());
  SetFocus(Item(IDC_SEND));
  Press(VK_SPACE);
  ASSERT_NO_FATAL_FAILURE(ExpectTabMoves("the send"));
  EXPECT_TRUE(PumpUntil([&] { return Enabled(IDC_SEND); }));
}

// Wine running as root writes read-only files; another program holding the
// file open for reading only refuses our writes the same way.
TEST_F(MainWindowTest, SaveIntoAFileThatCannotBeWrittenShowsTheErrorBox) {
  WriteIni({{L"Login", L"old"}});
  Open();
  HANDLE held = CreateFileW(platform::Utf8ToWide(IniPath()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetText(IDC_LOGIN, L"new");
  SeenBox box = ClickAndAnswer(IDC_SAVE);
  CloseHandle(held);
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.text.rfind(L"Не удалось сохранить настройки", 0), 0u) << platform::WideToUtf8(box.text);
  EXPECT_NE(box.text.find(L"properties.ini"), std::wstring::npos);
  // The form shows what the file still holds.
  EXPECT_EQ(Text(IDC_LOGIN), L"old");
}

// NIM_MODIFY succeeds only for an icon the tray has.
bool TrayIcon(HWND window, DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  return Shell_NotifyIconW(message, &data) != FALSE;
}
bool TrayIconPresent(HWND window) { return TrayIcon(window, NIM_MODIFY); }

TEST_F(MainWindowTest, MinimiseGoesToTheTrayAndLeftClickRestores) {
  Open();
  EXPECT_FALSE(TrayIconPresent(hwnd()));
  Minimise();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_TRUE(TrayIconPresent(hwnd()));
  // Explorer restarted and forgot the icon: "TaskbarCreated" adds it again.
  TrayIcon(hwnd(), NIM_DELETE);
  ASSERT_FALSE(TrayIconPresent(hwnd()));
  SendMessageW(hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconPresent(hwnd()));
  struct Case {
    LPARAM mouse;
    bool visible;
  };
  for (const Case& c : {Case{WM_RBUTTONUP, false}, Case{WM_LBUTTONDOWN, false}, Case{WM_LBUTTONUP, true}}) {
    EXPECT_EQ(SendMessageW(hwnd(), CRovelogDlg::kTrayMessage, 0, c.mouse), 1);
    Pump();
    EXPECT_EQ(IsWindowVisible(hwnd()) != FALSE, c.visible) << c.mouse;
  }
  EXPECT_FALSE(IsIconic(hwnd()));
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

TEST_F(MainWindowTest, PlacementIsRestoredAtTheNextStart) {
  Open();
  RECT first = WindowRect(hwnd());
  SetWindowPos(hwnd(), nullptr, 140, 90, first.right - first.left + 120, first.bottom - first.top + 60, SWP_NOZORDER);
  Pump();
  RECT moved = WindowRect(hwnd());
  Close();
  std::string stored = platform::ReadProfileBinary(L"MainFrame", L"WP");
  ASSERT_EQ(stored.size(), sizeof(WINDOWPLACEMENT));
  Open();
  RECT reopened = WindowRect(hwnd());
  EXPECT_EQ(reopened.left, moved.left);
  EXPECT_EQ(reopened.top, moved.top);
  EXPECT_EQ(reopened.right, moved.right);
  EXPECT_EQ(reopened.bottom, moved.bottom);
  Close();

  // A placement far off every screen comes back onto one.
  WINDOWPLACEMENT placement{};
  std::memcpy(&placement, stored.data(), sizeof(placement));
  OffsetRect(&placement.rcNormalPosition, 9000, 7000);
  platform::WriteProfileBinary(L"MainFrame", L"WP", std::string(reinterpret_cast<const char*>(&placement), sizeof(placement)));
  Open();
  EXPECT_NE(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONULL), nullptr);
  Close();

  // A value of another size is not a placement: the template's place is used.
  platform::WriteProfileBinary(L"MainFrame", L"WP", stored.substr(0, 43));
  Open();
  RECT fresh = WindowRect(hwnd());
  EXPECT_EQ(fresh.right - fresh.left, first.right - first.left);
  EXPECT_EQ(fresh.left, first.left);
}

TEST_F(MainWindowTest, SecondInstanceHandsOverToTheFirst) {
  SingleInstance instance;
  ASSERT_TRUE(instance.first());
  Open();
  Minimise();
  ASSERT_FALSE(IsWindowVisible(hwnd()));

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + platform::Utf8ToWide(kSecondInstanceFlag);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  bool ended = PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; });
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_TRUE(ended) << "the second instance kept running";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd()) != FALSE; }));
}

TEST_F(MainWindowTest, SystemMenuShowsTheAboutBox) {
  Open();
  wchar_t text[64] = {};
  GetMenuStringW(GetSystemMenu(hwnd(), FALSE), IDM_ABOUTBOX, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&About Rovelog...");
  BoxAnswerer answerer(hwnd(), IDOK);
  SendMessageW(hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  SeenBox box = answerer.Result(hwnd());
  EXPECT_EQ(box.caption, L"About Rovelog");
  EXPECT_TRUE(IsWindowVisible(hwnd()));

  // Alt+Space opens the menu, from which the keyboard reaches About; the
  // menu's loop ends when the window is told to cancel it.
  std::atomic<bool> menu_shown{false};
  std::thread watch([&] {
    for (int round = 0; round < 100 && !menu_shown; ++round, Sleep(50)) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      menu_shown = menu && IsWindowVisible(menu);
    }
    PostMessageW(hwnd(), WM_CANCELMODE, 0, 0);
  });
  SendMessageW(hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L' ');
  watch.join();
  EXPECT_TRUE(menu_shown);
  EXPECT_EQ(SendMessageW(hwnd(), WM_QUERYDRAGICON, 0, 0), SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0));
}

TEST_F(MainWindowTest, UpdateCheckShowsTheVerdictOrTheFailure) {
  struct Case {
    std::wstring server;
    std::wstring caption;
    std::wstring text_start;
  };
  std::vector<Case> cases = {
      // Nothing listens on port 1: the check fails at once.
      {L"127.0.0.1:1", L"Не удалось проверить обновление", L"Не удалось проверить наличие обновлений. Код ошибки"}};
  if (!ServiceServer().empty()) cases.push_back({ServiceServer(), L"Информация", L"Нет доступных обновлений."});
  for (const Case& c : cases) {
    WriteIni({{L"Server", c.server}});
    Open();
    SeenBox box = ClickAndAnswer(IDC_UPDATE);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.text.rfind(c.text_start, 0), 0u) << platform::WideToUtf8(box.text);
    Close();
  }
}

// The run adds COM10, COM7 (with a device name far past 40 characters) and
// COM3 after Wine's own COM1.
TEST_F(MainWindowTest, PortListHasEveryPortAndSelectsTheSavedOneExactly) {
  if (!std::getenv("ROVELOG_TEST_PORTS")) GTEST_SKIP() << "the run added no serial ports";
  struct Case {
    std::wstring saved;
    std::wstring selected_port;
  };
  // "COM" is no port: the prefix search from the second entry takes COM10.
  const Case cases[] = {{L"COM1", L"COM1"}, {L"COM10", L"COM10"}, {L"com3", L"COM3"}, {L"COM", L"COM10"},
                        {L"", L""},         {L"COM55", L""}};
  for (const Case& c : cases) {
    WriteIni({{L"COM", c.saved}, {L"OtherCOM", L"No"}});
    Open();
    std::vector<std::wstring> ports = testing_support::ComboTexts(Item(IDC_PORT_LIST));
    for (const wchar_t* port : {L"COM1; ", L"COM10; \\Device\\Serial10", L"COM7; \\Device\\VirtualSerialPort", L"COM3; "}) {
      EXPECT_TRUE(HasLineStarting(ports, port)) << platform::WideToUtf8(port);
    }
    std::wstring selected = SelectedText(Item(IDC_PORT_LIST));
    EXPECT_EQ(selected.substr(0, selected.find(L';')), c.selected_port) << platform::WideToUtf8(c.saved);
    Close();
  }
}

// With a receiver on COM3.

TEST_F(MainWindowTest, AutoTrackStartsRecordingDuringStartUp) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  // By hand: no track ends by itself and trims the log.
  WriteIni({{L"COM", L"COM3"}, {L"AutoTrack", L"Yes"}, {L"ByHands", L"True"}, {L"Server", L"127.0.0.1:1"}});
  window_ = std::make_unique<CRovelogDlg>();
  ASSERT_TRUE(window_->Create());
  // Recording began before any message was handled.
  EXPECT_TRUE(window_->running());
  EXPECT_TRUE(Checked(IDC_AUTO_TRACK));
  EXPECT_FALSE(Enabled(IDC_SAVE));
  EXPECT_EQ(ShownPicture(Item(IDC_START)), 1);
  Pump();
  std::vector<std::wstring> log = Log();
  EXPECT_TRUE(HasLineStarting(log, L"Подключение к COM порту - успешно"));
  EXPECT_TRUE(HasLineStarting(log, L"Прием данных с GPS"));
  // Stop: picture 130 and the point button at once.
  ASSERT_TRUE(PumpUntil([&] { return ShownPicture(Item(IDC_START)) == 2; }));
  testing_support::SaveWindowPicture(hwnd(), "main-window-recording");
  Click(IDC_START);
  EXPECT_FALSE(window_->running());
  EXPECT_EQ(ShownPicture(Item(IDC_START)), 0);
  EXPECT_FALSE(Enabled(IDC_POINT));
  EXPECT_TRUE(Enabled(IDC_SAVE));
  EXPECT_TRUE(PumpUntil([&] { return !Enabled(IDC_NAMED_POINT); }));
}

TEST_F(MainWindowTest, ByTimeWithoutIntervalWarnsAfterTheLogLinesAndSetsNoTimer) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  WriteIni({{L"COM", L"COM3"}, {L"Time", L"True"}, {L"Server", L"127.0.0.1:1"}});
  Open();
  // A mode chosen but not saved does not count: the start uses the saved one.
  Toggle(IDC_BY_DISTANCE);
  std::vector<std::wstring> log_at_box;
  SeenBox box = ClickAndAnswer(IDC_START, IDOK, [&](HWND) { log_at_box = Log(); });
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.caption, L"Неверные параметры");
  EXPECT_EQ(box.text, L"Не выставлено время для отправки.\nОтправка возможна только в ручном режиме.");
  EXPECT_TRUE(HasLineStarting(log_at_box, L"Прием данных с GPS"));
  EXPECT_TRUE(window_->running());
  EXPECT_FALSE(KillTimer(hwnd(), 1)) << "a send timer was set";
}

TEST_F(MainWindowTest, SendTimerEndsTheTrack) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  StartRecording({{L"Time", L"True"}, {L"TimeInterval", L"1 мин."}});
  SendMessageW(hwnd(), WM_TIMER, 1, 0);
  EXPECT_TRUE(PumpUntil([&] { return HasLineStarting(Log(), L"Упаковано"); }));
  EXPECT_TRUE(window_->running());
  EXPECT_TRUE(KillTimer(hwnd(), 1)) << "no send timer";
}

// The files with the extension anywhere below the folder; 0 when it is missing.
int CountFiles(const std::string& folder, const std::string& extension) {
  int count = 0;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    count += entry->path().extension() == extension;
  }
  return count;
}

TEST_F(MainWindowTest, ClosingWhileRecordingPacksTheTrackFirst) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  StartRecording({{L"ByHands", L"True"}});
  ASSERT_EQ(CountFiles(folder_.path(), ".zip"), 0);
  Close();
  // The track thread ended, checked and packed the track before the dialog ended.
  EXPECT_EQ(CountFiles(folder_.path(), ".kml"), 0);
  EXPECT_EQ(CountFiles(folder_.path(), ".zip"), 1);
}

// From the stop until the stopped track is packed the send button waits as
// the start button does, and its command, posted meanwhile, is refused.
TEST_F(MainWindowTest, HandlersRefuseWhatTheStateDoesNotAllow) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  StartRecording({{L"ByHands", L"True"}});
  auto command = [this](int id) {
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  };
  // No pump between the stop and the send: the stopped track is not packed yet.
  command(IDC_START);
  EXPECT_FALSE(Enabled(IDC_SEND));
  command(IDC_SEND);
  ExpectStopped();
  EXPECT_TRUE(Enabled(IDC_SEND));
  EXPECT_FALSE(HasLineStarting(Log(), L"Отправка данных на сервер"));
}

// The session's end returns with the track packed; the closing window stays hidden.
TEST_F(MainWindowTest, EndOfTheSessionPacksTheTrackBeforeItReturns) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  StartRecording({{L"ByHands", L"True"}});
  EXPECT_EQ(SendMessageW(hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(CountFiles(folder_.path(), ".kml"), 0);
  EXPECT_EQ(CountFiles(folder_.path(), ".zip"), 1);
  SendMessageW(hwnd(), CRovelogDlg::ShowWindowMessage(), 0, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  Close();
}

// A close, the session's end or a second instance's request while a box or
// dialog of ours is open ends it unanswered, which counts as "no": the
// leftover stays, no point is made, and the window ends without the user.
TEST_F(MainWindowTest, AnOpenBoxEndsUnansweredWhenTheWindowIsWantedElsewhere) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  enum class Request { kClose, kEndSession, kSecondInstance };
  struct Case {
    const char* box;
    bool recording;
    UINT message;  // the one that opens the box
    WPARAM command;
    Request request;
  };
  const Case cases[] = {
      {"leftover question", false, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), Request::kClose},
      {"about box", false, WM_SYSCOMMAND, IDM_ABOUTBOX, Request::kClose},
      {"settings saved", false, WM_COMMAND, MAKEWPARAM(IDC_SAVE, BN_CLICKED), Request::kSecondInstance},
      {"named point", true, WM_COMMAND, MAKEWPARAM(IDC_NAMED_POINT, BN_CLICKED), Request::kEndSession},
  };
  const std::string leftover = folder_.File("Tracks/track0.kml");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    std::filesystem::remove_all(folder_.File("Tracks"));
    if (c.recording) {
      StartRecording({{L"ByHands", L"True"}});
    } else {
      std::filesystem::create_directories(folder_.File("Tracks"));
      testing_support::WriteFileBytes(leftover, "<kml>cut here");
      WriteIni({{L"COM", L"COM3"}, {L"Server", L"127.0.0.1:1"}});
      Open();
    }
    HWND window = hwnd();
    // Button 0 answers nothing: only the request can end the box.
    BoxAnswerer answerer(window, 0, [&](HWND) {
      if (c.request == Request::kClose) PostMessageW(window, WM_CLOSE, 0, 0);
      if (c.request == Request::kSecondInstance) PostMessageW(window, CRovelogDlg::ShowWindowMessage(), 0, 0);
      if (c.request == Request::kEndSession) SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    });
    SendMessageW(window, c.message, c.command, 0);
    EXPECT_TRUE(answerer.Result(window).found);
    if (c.request == Request::kSecondInstance) {
      EXPECT_TRUE(IsWindowVisible(window));
      Close();
      continue;
    }
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 5)) << "the window waited for the box";
    window_.reset();
    EXPECT_EQ(CountFiles(folder_.path(), ".kml"), c.recording ? 0 : 1);
    EXPECT_EQ(CountFiles(folder_.path(), ".zip"), c.recording ? 1 : 0);
  }
}

TEST_F(MainWindowTest, SendButtonRefusesASecondPassAndTheCloseEndsThePassAfterItsArchive) {
  if (!HaveReceiver() || ServiceServer().empty()) GTEST_SKIP() << "no receiver on COM3 or no service";
  // Tracks recorded while the service cannot be reached stay in ToSend (the
  // close may pack one more), and copies make sure there are three or more.
  StartRecording({{L"ByHands", L"True"}});
  const std::string tracks = folder_.File("Tracks");
  const std::string to_send = tracks + "/ToSend";
  Click(IDC_SEND);
  ASSERT_TRUE(PumpUntil([&] { return CountFiles(to_send, ".zip") == 1; }));
  Close();
  const std::filesystem::path first = std::filesystem::directory_iterator(to_send)->path();
  const std::string spare = folder_.File("spare.zip");
  std::filesystem::copy_file(first, spare);
  auto copy_into_queue = [&](std::initializer_list<int> numbers) {
    for (int number : numbers) std::filesystem::copy_file(spare, to_send + "/track" + std::to_string(number) + ".zip");
  };
  copy_into_queue({98});
  const int waiting = CountFiles(to_send, ".zip");

  WriteIni({{L"Server", ServiceServer()}});
  Open();
  // The second click was queued before the first disabled the button: the
  // pass is on its worker then, and the click is refused.
  PostClick(IDC_SEND);
  Click(IDC_SEND);
  EXPECT_FALSE(Enabled(IDC_SEND));
  ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_SEND); }));
  std::vector<std::wstring> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), L"Отправка данных на сервер"), 1) << Dump(log);
  EXPECT_EQ(CountFiles(to_send, ".zip"), 0) << Dump(log);
  EXPECT_EQ(CountFiles(tracks + "/Sended", ".zip"), waiting);

  // A close after the first of three archives, in the second one's pause of
  // a second: the pass ends there, nothing more is uploaded.
  copy_into_queue({200, 201, 202});
  Click(IDC_SEND);
  ASSERT_TRUE(PumpUntil([&] { return HasLineStarting(Log(), L"Отправлено 1 из 3"); })) << Dump(Log());
  Close();
  EXPECT_EQ(CountFiles(to_send, ".zip"), 2);
}

TEST_F(MainWindowTest, NamedPointNeedsAName) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  StartRecording({{L"ByHands", L"True"}});
  auto points = [&] {
    int count = 0;
    for (const std::wstring& line : Log()) count += line.rfind(L"Точка ", 0) == 0;
    return count;
  };
  struct Case {
    std::wstring name;
    int answer;
  };
  // An empty name and a cancelled dialog reach nothing; the named one does,
  // its pasted line break and tab made spaces.
  const Case cases[] = {{L"", IDOK}, {L"Склад", IDCANCEL}, {L"Дом\r\nна\tхолме", IDOK}};
  for (const Case& c : cases) {
    SeenBox box = ClickAndAnswer(IDC_NAMED_POINT, c.answer,
                                 [&](HWND dialog) { SetDlgItemTextW(dialog, IDC_POINT_NAME, c.name.c_str()); });
    EXPECT_EQ(box.caption, L"Точка с названием");
  }
  ASSERT_TRUE(PumpUntil([&] { return points() > 0; })) << Dump(Log());
  // The plain point button too.
  Click(IDC_POINT);
  ASSERT_TRUE(PumpUntil([&] { return points() > 1; }));
  std::vector<std::wstring> log = Log();
  EXPECT_TRUE(HasLineStarting(log, L"Точка Дом  на холме создана"));
  EXPECT_FALSE(HasLineStarting(log, L"Точка Склад"));
  EXPECT_EQ(points(), 2);
  // One record a line: the four header lines and the two points.
  std::ifstream waypoints(folder_.File("Tracks/points.wpt"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(waypoints)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
}

// Clicks are taken strictly in turn: a burst (a double-click, an impatient
// user) starts and stops one recording, the later clicks are refused while
// its track is finished, and the window then agrees with the logger.
TEST_F(MainWindowTest, BurstsOfStartClicksLeaveTheWindowInStepWithTheLogger) {
  struct Case {
    int clicks;
    const wchar_t* port;
  };
  for (const Case& c : {Case{4, L"COM3"}, Case{10, L"COM3"}, Case{50, L"COM3"}, Case{10, L"COM9"}}) {
    bool receiver = c.port == std::wstring(L"COM3");
    if (receiver && !HaveReceiver()) continue;
    WriteIni({{L"COM", c.port}, {L"ByHands", L"True"}, {L"Server", L"127.0.0.1:1"}});
    Open();
    for (int click = 0; click < c.clicks; ++click) PostClick(IDC_START);
    ASSERT_NO_FATAL_FAILURE(ExpectStopped()) << c.clicks;
    if (!receiver) {
      EXPECT_EQ(Log().back(), L"Ошибка подключения к COM порту");
    }
    EXPECT_EQ(CountFiles(folder_.path(), ".kml"), 0);
    EXPECT_LE(CountFiles(folder_.path(), ".zip"), 1) << "a refused click cut a track";
    if (receiver) {
      // One click starts, one stops.
      Click(IDC_START);
      ASSERT_TRUE(PumpUntil([&] { return ShownPicture(Item(IDC_START)) == 2; }));
      EXPECT_FALSE(Enabled(IDC_SAVE));
      Click(IDC_START);
      ASSERT_NO_FATAL_FAILURE(ExpectStopped());
      EXPECT_TRUE(HasLineStarting(Log(), L"Упаковано")) << Dump(Log());
    }
    Close();
    std::filesystem::remove_all(folder_.File("Tracks"));
  }
}

// A crash left a large track: it is checked and packed on the track thread
// while the window answers; a start while that recording is stopping is
// refused, and a close then waits for the packing.
TEST_F(MainWindowTest, LargeLeftoverIsPackedWhileTheWindowAnswers) {
  if (!HaveReceiver()) GTEST_SKIP() << "no receiver linked to COM3";
  WriteIni({{L"COM", L"COM3"}, {L"ByHands", L"True"}, {L"Server", L"127.0.0.1:1"}});
  const std::string leftover = folder_.File("Tracks/track0.kml");
  std::filesystem::create_directories(folder_.File("Tracks"));
  {
    KmlTrackFile track;
    ASSERT_TRUE(track.Begin(leftover));
    track.OpenSegment();  // cut here, as by a crash, after about 100 MB of points
  }
  {
    std::ofstream out(leftover, std::ios::binary | std::ios::app);
    for (long line = 0; line < 4000000; ++line) out << "37.6" << line << ",55.7" << line % 977 << ",12.5\r\n";
  }
  Open();
  testing_support::AnswerWatch watch(hwnd());
  SeenBox question = ClickAndAnswer(IDC_START, IDYES);
  EXPECT_EQ(question.caption, L"Незавершенная операция");
  EXPECT_EQ(question.text, L"С прошлого запуска программы\nостались неупакованные файлы.\n\nУпаковать в архив?");
  ASSERT_TRUE(window_->running());
  Click(IDC_START);
  EXPECT_FALSE(Enabled(IDC_START));
  Click(IDC_START);
  Click(IDC_START);
  EXPECT_FALSE(window_->running());
  EXPECT_EQ(CountFiles(folder_.path(), ".zip"), 0) << "packed before the window answered";
  Close();
  std::printf("longest answer while a large leftover is packed: %d ms\n", watch.LongestMs());
  EXPECT_LE(watch.LongestMs(), testing_support::AnswerWatch::kAnswerBoundMs);
  EXPECT_EQ(CountFiles(folder_.path(), ".kml"), 0);
  EXPECT_EQ(CountFiles(folder_.path(), ".zip"), 1);
}

// Against a service that accepts and never answers, a pass by hand and an
// update check run on workers: the window answers throughout, their buttons
// are disabled meanwhile, and the close ends within the deadlines.
TEST_F(MainWindowTest, PassByHandAndUpdateCheckLeaveTheWindowAnswering) {
  const char* silent = std::getenv("ROVELOG_TEST_SILENT_SERVER");
  if (!silent) GTEST_SKIP() << "the run started no silent service";
  WriteIni({{L"Server", platform::Utf8ToWide(silent)}});
  std::filesystem::create_directories(folder_.File("Tracks/ToSend"));
  for (const char* name : {"track0.zip", "track1.zip"}) {
    std::ofstream(folder_.File(std::string("Tracks/ToSend/") + name)) << "PK";
  }
  Open();
  {
    testing_support::AnswerWatch watch(hwnd());
    Click(IDC_SEND);
    Click(IDC_UPDATE);
    EXPECT_FALSE(Enabled(IDC_SEND));
    EXPECT_FALSE(Enabled(IDC_UPDATE));
    EXPECT_TRUE(PumpUntil([&] { return HasLineStarting(Log(), L"Архивов к отправке 2"); }));
    PumpUntil([] { return false; }, 3);
    std::printf("longest answer during a pass by hand and an update check: %d ms\n", watch.LongestMs());
    EXPECT_LE(watch.LongestMs(), testing_support::AnswerWatch::kAnswerBoundMs);
  }
  Close();
  EXPECT_EQ(CountFiles(folder_.File("Tracks/ToSend"), ".zip"), 2);
}


}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kSecondInstanceFlag) == 0) return CRovelogApp().Run();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
