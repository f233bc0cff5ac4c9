// The logger: owns the receiver's port, the track thread that turns fixes
// into track files and waypoints, and the sending thread that uploads the
// finished archives.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "eventlog/event_log.h"
#include "gps/gps_fix.h"
#include "gps/nmea_reader.h"
#include "base/background_job.h"
#include "gps/close_gate.h"
#include "platform/net.h"
#include "platform/serial.h"
#include "base/sync.h"
#include "settings/settings_model.h"
#include "track/track_file.h"
#include "upload/send_pass.h"

// RecordingState carried by the track state message.
enum RecordingState { kStateStopped = 0, kStateNoFix = 1, kStateReceiving = 2 };

class CGpsLogger {
 public:
  // Receives the track state message (the window posts it to its thread).
  using StateListener = std::function<void(int state)>;
  // Tells the caller that work it handed over is done; called on a worker
  // (the window posts itself a message from it).
  using Done = std::function<void()>;
  explicit CGpsLogger(EventLog* log);
  // Stops and waits for every thread of the logger.
  ~CGpsLogger();
  CGpsLogger(const CGpsLogger&) = delete;
  CGpsLogger& operator=(const CGpsLogger&) = delete;

  // Takes the settings, opens the port, runs opened (the caller's first
  // lines of the recording's log) and begins the track and sending threads;
  // the track thread prepares the folders, and packs the tracks an earlier
  // run left when pack_leftovers (the user's answer, asked before), before
  // it records. False, and nothing else done, when the port cannot be
  // opened, while the previous recording's track thread has not ended (it
  // posts state 0 as its last act) or once the close has begun. Never waits
  // for a thread and never asks the user anything; the stopped recording's
  // sending thread may go on with its last pass.
  bool Start(SettingsRecord settings, bool pack_leftovers, const Done& opened = {});
  // The stop step: raises the stop flag and closes the port; the threads
  // finish the current track and end by themselves. A pass running then
  // ends after its current archive.
  void Stop();
  // Stops, ends any pass after its current archive, and waits for every
  // thread of the logger. The upload in hand is given the close grace of the
  // time-outs, then given up, its archive queued. The window never calls it: it waits.
  void StopAndWait();
  // The window's close: as StopAndWait, but a worker does the waiting and
  // calls closed once every thread of the logger has ended.
  void BeginClose(Done closed);
  bool Closing() const { return closing_; }
  // Asks the track thread to close the port: its read ends at once, and it
  // opens the port no more in this recording.
  void ClosePort();

  // Takes the upload parameters from a settings record.
  void SetSettings(const SettingsRecord& settings);
  // The uploads' time-outs (the product's own unless a test shortens them).
  void SetTimeouts(const platform::SocketTimeouts& timeouts);
  // The pause before each archive of a pass (a second unless a test shortens it).
  void SetArchivePause(int milliseconds);

  // Requests from the window; each counts once until the track thread takes it.
  void RequestPoint();
  // The name for the next named waypoint; RequestNamedPoint then asks for it.
  void SetPointName(const std::wstring& name);
  void RequestNamedPoint();
  void RequestEndOfTrack();

  // One sending pass over every archive in ToSend, on a worker; ended is
  // called from it when the pass is over. Passes exclude each other: a pass
  // in progress is waited for on the worker. False, and nothing done, while
  // the previous pass asked for here is still running.
  bool SendAllArchives(Done ended = {});
  bool SendingByHand() const { return pass_by_hand_.Busy(); }
  // Waits for the pass SendAllArchives began (a console driver or a test).
  void WaitForSending();
  // True from Start until the track thread's last act, which comes just
  // before its state 0 is posted.
  bool TrackThreadRunning() const { return track_thread_running_; }

  void SetStateListener(StateListener listener) { state_listener_ = std::move(listener); }

  std::atomic<bool> bTreadStop{false};

 private:
  struct TrackState;

  // Joins every thread of the logger and waits for the pass by hand.
  void JoinThreads();
  int TrackThreadProc(SendingRun& sending, bool pack_leftovers);
  int SendThreadProc(SendingRun& sending);
  // One track file from its header to its packing; true when it asked the
  // sending thread for a pass.
  bool RecordTrack(const SettingsRecord& settings);
  void HandleFix(bool failed, const GpsFix& fix, double latitude, double longitude, TrackState& state);
  void ShowNoFix(const wchar_t* format, TrackState& state);
  // True when the track file failed; the first time, says so in the log.
  bool TellWriteFailure(TrackState& state);
  void TakePointRequests(double latitude, double longitude, TrackState& state);
  bool FinishTrack(const std::string& path, TrackState& state);
  void CreatePoint(const std::wstring& name, double longitude, double latitude, int number);
  void PostState(int state);
  // One fix from the receiver, as ReadFix gives it; true on failure. A line
  // that failed, or stayed silent past the reader's limit, is closed: its
  // device may be gone, or back as a new device that only a new open
  // reaches. A closed port is opened again by its name, once a second at
  // most, and a call without a port fails after the silent-line limit.
  bool ReadReceiver(GpsFix& fix, double& latitude, double& longitude);
  bool ReopenPort();
  void ReleasePort();
  UploadTarget Target();

  EventLog* log_;
  // The receiver's port: Start hands it to the track thread, which alone
  // reads, closes and reopens it. Stop reaches it only through the gate.
  std::unique_ptr<platform::SerialPort> port_;
  CloseGate port_gate_;
  std::string port_name_;
  platform::LineSettings line_settings_;
  std::chrono::steady_clock::time_point last_open_;
  base::AutoResetEvent end_of_track_event_;
  base::AutoResetEvent point_event_;
  base::AutoResetEvent named_point_event_;
  std::mutex target_lock_;  // the window changes the target while a pass may read it
  UploadTarget target_;
  SettingsRecord recording_;  // the settings of the recording Start began
  int track_counter_ = 0;
  std::mutex point_name_lock_;
  std::wstring point_name_;
  TrackPosition last_position_;
  FixReader reader_{bTreadStop};

  std::thread track_thread_;
  std::atomic<bool> track_thread_running_{false};  // false from the track thread's last act
  std::thread send_thread_;
  std::vector<std::thread> stopped_senders_;  // sending threads of earlier recordings
  SendPassRunner passes_;
  base::BackgroundJob pass_by_hand_;
  base::BackgroundJob closer_;
  std::atomic<int> stop_count_{0};    // a pass ends when a stop comes during it
  std::atomic<bool> closing_{false};  // every pass ends after its current archive
  platform::NetCutoff close_cutoff_;  // the close's end of the upload in hand
  StateListener state_listener_;
};
