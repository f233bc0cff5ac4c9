// The commands of the main window that drive the logger: start and stop,
// send now, and the two waypoint buttons. The window and the headless driver
// share them; each supplies how the send timer and the warning are shown.
#pragma once

#include <functional>
#include <string>

#include "eventlog/event_log.h"
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

  // Starts recording with the saved settings, or stops it. A start is
  // refused while CanStart() is false: a click queued before the button was
  // disabled still arrives.
  void StartStop(const SettingsRecord& record);
  // False while a start is under way (its question box lets queued clicks
  // through) and while the stopped recording's track is still being
  // finished; true again once its state 0 is posted.
  bool CanStart() const { return !starting_ && !logger_.TrackThreadRunning(); }
  // While recording ends the current track (it is packed and sent);
  // otherwise clears the log and begins a pass over every waiting archive on
  // the logger's worker, which calls ended when the pass is over. False when
  // no pass began: the previous one is still running.
  bool SendNow(const SettingsRecord& record, const CGpsLogger::Done& ended = {});
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
  bool starting_ = false;
  SendMode timer_mode_ = kSendModeNone;
};
