// The commands of the main window that drive the logger: start and stop,
// send now, and the two waypoint buttons. The window and the headless driver
// share them; each supplies how the send timer, the question and the
// recording's state are shown.
//
// A command asks what it needs before it calls the logger: no box is open
// while an engine call is in progress.
#pragma once

#include <atomic>
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
    // A question box with Yes and No: caption, text; true for Yes.
    std::function<bool(const std::wstring& caption, const std::wstring& text)> ask;
    // Recording began (true) or ended (false): the window's start button.
    std::function<void(bool running)> running_changed;
  };

  RecorderCommands(CGpsLogger& logger, EventLog& log, View view);

  // Starts recording with the saved settings, or stops it. A start asks
  // first whether to pack the tracks an earlier run left, then starts the
  // logger with the answer. A start is refused while CanStart() is false: a
  // click queued before the button was disabled still arrives.
  void StartStop(const SettingsRecord& record);
  // True only while nothing is recording, being asked about or being
  // finished: a stopped recording's track is finished once its state 0 came.
  bool CanStart() const { return phase_ == Phase::kStopped; }
  // The logger's track state as it arrives (state 0 ends the stopped
  // recording's finishing). Any thread may call it.
  void OnTrackState(int state);
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

  bool running() const { return phase_ == Phase::kRecording; }
  // From a stop until the stopped recording's state 0 has come.
  bool finishing() const { return phase_ == Phase::kFinishing; }

  // The warning a recording by time without a (known) interval, or by a
  // distance of 0 or less, gives once it has started: no timer is set, and
  // sending is by hand only. The window shows it after StartStop has
  // returned, with the start's lines above it.
  static bool WarnsOfMissingInterval(const SettingsRecord& record);
  static constexpr wchar_t kMissingIntervalCaption[] = L"Неверные параметры";
  static constexpr wchar_t kMissingIntervalText[] =
      L"Не выставлено время для отправки.\nОтправка возможна только в ручном режиме.";

 private:
  enum class Phase { kStopped, kAsking, kRecording, kFinishing };

  void Start(const SettingsRecord& record);
  void Stop();
  bool AskToPackLeftovers();

  CGpsLogger& logger_;
  EventLog& log_;
  View view_;
  std::atomic<Phase> phase_{Phase::kStopped};
  SendMode timer_mode_ = kSendModeNone;
};
