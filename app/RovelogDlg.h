// The main window (dialog 102): the recording controls and the event log on
// the left, the settings form on the right. It owns the logger and the event
// log and drives them through RecorderCommands and SettingsModel; the files
// split as the window does: start-up and window (RovelogDlg.cpp), commands
// (RovelogDlg_commands.cpp), settings form (RovelogDlg_settings.cpp).
//
// The window's thread never waits: not on a lock, a thread, the network or a
// message loop of ours (message boxes and the system's menus, moving and
// sizing are the only loops besides the main one). Long work (a pass by
// hand, the update check, the end of a stopped recording, the close) runs on
// a worker, which posts one of the messages below when it is over; the
// controls change when the message arrives. A command the present state
// does not allow is refused by its handler, not only by a disabled button.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>

#include "eventlog/event_log.h"
#include "eventlog/line_list.h"
#include "app/recorder_commands.h"
#include "gps/gps_stat.h"
#include "base/background_job.h"
#include "settings/settings_model.h"
#include "ui/group_box.h"
#include "ui/layout_dialog.h"
#include "update/auto_updater.h"

class PointNameDlg;

class CRovelogDlg : public LayoutDialog {
 public:
  // The track state message: wParam 0, lParam the recording state (0 stopped,
  // 1 no position, 2 receiving coordinates), posted to this window.
  static constexpr UINT kStateMessage = WM_USER + 31;
  // The send timer's ID: it ends the track when sending by time.
  static constexpr UINT_PTR kSendTimer = 1;
  // The notification-area icon's callback message; lParam is the mouse message.
  static constexpr UINT kTrayMessage = WM_USER + 4;
  // The log's line model changed: the list view reads it again.
  static constexpr UINT kLogChangedMessage = WM_APP + 1;
  // Workers' ends: the pass by hand, the update check, every thread of the
  // logger after the close.
  static constexpr UINT kPassEndedMessage = WM_APP + 2;
  static constexpr UINT kUpdateCheckedMessage = WM_APP + 3;
  static constexpr UINT kEngineClosedMessage = WM_APP + 4;
  // Sent by a second Rovelog.exe of the same folder: come to the front.
  static UINT ShowWindowMessage();
  // The window property that marks a main window for a second instance.
  static constexpr wchar_t kMainWindowProperty[] = L"Rovelog.MainWindow";

  CRovelogDlg();
  ~CRovelogDlg() override;

  // Picture 130, 131 or 132 on the start button for state 0, 1 or 2; the
  // point buttons are enabled only in state 2. Other values change nothing.
  void SetRecordingState(int state);
  // Adds the notification-area icon and hides the window.
  void MinimizeToTray();
  // Checks the radio button of the send mode 0, 1 or 2; other values change nothing.
  void SetSendModeRadio(int mode);
  bool running() const { return commands_ && commands_->running(); }

 protected:
  BOOL OnInitDialog() override;
  void BuildLayout() override;
  void OnDpiChanged(int dpi, const RECT& suggested) override;
  void OnCommand(int id, int code) override;
  // Enter and Escape leave the window open: a recording program must not
  // end on a key pressed after typing the password.
  void OnOK() override {}
  void OnCancel() override {}
  void OnSize(UINT type, int width, int height) override;
  void OnDestroy() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  // Start-up and window (RovelogDlg.cpp).
  void AppendAboutItem();
  void FillOptionLists();
  void CreateEngine();
  void OnSysCommand(WPARAM command, LPARAM position);
  void OnTrayNotify(LPARAM mouse_message);
  void RestoreFromTray();
  void AddTrayIcon();
  void OnTaskbarCreated();
  void OnTimer(WPARAM id);
  void OnClose();
  void OnEndSession();
  void OnLogChanged();
  void OnGetLogText(NMLVDISPINFOW* info);
  bool OnPaintMinimized();
  void LoadPictures();
  void ShowPicture(int state);

  // Commands (RovelogDlg_commands.cpp).
  RecorderCommands::View CommandView();
  void OnStartStop();
  void OnSendNow();
  void OnCreatePoint();
  void OnCreateNamedPoint();
  void OnSendMode(int id);
  void OnOtherPort();
  void OnCheckUpdate();
  void OnUpdateChecked();
  void OnRunningChanged(bool running);
  void EnableStartAndSendButtons();
  void ShowSendModeLists(int mode);

  // Settings form (RovelogDlg_settings.cpp).
  bool EnumerateComPorts();
  void ResetSettingsRecord();
  void ShowSettings();
  void ShowForm(const SettingsForm& form);
  void SelectPort(const std::wstring& port);
  SettingsForm ReadForm() const;
  int CheckedSendMode() const;
  void OnSaveSettings();

  HICON icon_ = nullptr;
  HICON small_icon_ = nullptr;
  HBITMAP pictures_[3] = {};  // for states 0, 1, 2, in the size the start button holds
  int picture_state_ = 0;
  CGroupBox boxes_[4];
  SettingsModel settings_;
  LineList lines_;
  std::unique_ptr<EventLog> log_;
  std::unique_ptr<CGpsLogger> logger_;
  std::unique_ptr<RecorderCommands> commands_;
  std::atomic<bool> log_posted_{false};
  UINT taskbar_created_ = 0;
  bool tray_icon_ = false;
  bool closing_ = false;
  PointNameDlg* point_dialog_ = nullptr;  // while the named-point dialog is open
  // The check's verdict is shared with the check, which a close leaves to
  // run out: a service may take a minute to answer, and the user is gone.
  std::shared_ptr<UpdateVerdict> update_verdict_;
  base::BackgroundJob update_check_;
};
