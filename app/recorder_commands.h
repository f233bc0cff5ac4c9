// The commands of the main window that drive the logger: start and stop,
// send now, and the two waypoint buttons. The window and the headless driver
// share them; each supplies how the send timer and the warning are shown.
#pragma once

#include <functional>
#include <string>

#include "app/event_log.h"
#include "gps/gps_stat.h"
#include "settings/settings_model.h"

class RecorderCommands {
 public:
  struct View {
    // Sets the send timer (ID 1) with the period in milliseconds, or kills it (0).
    std::function<void(int period)> set_send_timer;
    // A warning box: caption, text (exclamation icon, OK).
    std::function<void(const std::wstring& caption, const std::wstring& text)> warn;
    // Recording began (true) or ended (false): the window's start button.
    std::function<void(bool running)> running_changed;
  };

  RecorderCommands(CGpsLogger& logger, EventLog& log, View view);

  // Starts recording with the saved settings, or stops it.
  void StartStop(const SettingsRecord& record);
  // While recording ends the current track (it is packed and sent);
  // otherwise sends every waiting archive now, on the calling thread.
  void SendNow(const SettingsRecord& record);
  void CreatePoint();
  // An empty name does nothing.
  void CreateNamedPoint(const std::wstring& name);
  // The send timer fired.
  void OnSendTimer();

  bool running() const { return running_; }

 private:
  void Start(const SettingsRecord& record);
  void Stop();

  CGpsLogger& logger_;
  EventLog& log_;
  View view_;
  bool running_ = false;
  SendMode timer_mode_ = kSendModeNone;
};
