// The logger: owns the receiver's port, the track thread that turns fixes
// into track files and waypoints, and the sending thread that uploads the
// finished archives.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/event_log.h"
#include "gps/gps_fix.h"
#include "gps/nmea_reader.h"
#include "platform/serial.h"
#include "platform/sync.h"
#include "settings/settings_model.h"
#include "track/track_file.h"
#include "platform/net.h"
#include "upload/send_pass.h"

// RecordingState carried by the track state message.
enum RecordingState { kStateStopped = 0, kStateNoFix = 1, kStateReceiving = 2 };

class CGpsLogger {
 public:
  // Receives the track state message (the window posts it to its thread).
  using StateListener = std::function<void(int state)>;
  // Asks the user a yes/no question: the leftover-tracks prompt at start.
  using Question = std::function<bool(const std::wstring& caption, const std::wstring& text)>;
  explicit CGpsLogger(EventLog* log);
  // StopAndWait.
  ~CGpsLogger();
  CGpsLogger(const CGpsLogger&) = delete;
  CGpsLogger& operator=(const CGpsLogger&) = delete;

  // Takes the settings, opens the port, prepares the track folders (with the
  // leftover prompt) and begins the track and sending threads. False when the
  // port cannot be opened; nothing else is done then. Waits first for the
  // track thread of a previous run, dispatching the calling thread's window
  // messages meanwhile; its sending thread may go on with its last pass.
  bool Start(SettingsRecord settings);
  // The stop step: raises the stop flag and closes the port; the threads
  // finish the current track and end by themselves. A pass running then
  // ends after its current archive.
  void Stop();
  // Stops, ends any pass after its current archive, and waits for every
  // thread of the logger, dispatching the calling thread's window messages
  // meanwhile (closing the window).
  void StopAndWait();
  void ClosePort();

  // Takes the upload parameters from a settings record.
  void SetSettings(const SettingsRecord& settings);

  // Requests from the window; each counts once until the track thread takes it.
  void RequestPoint();
  // The name for the next named waypoint; RequestNamedPoint then asks for it.
  void SetPointName(const std::wstring& name);
  void RequestNamedPoint();
  void RequestEndOfTrack();

  // One sending pass over every archive in ToSend. Passes exclude each other;
  // one asked for from inside a pass's message pump is refused.
  void SendAllArchives();

  void SetStateListener(StateListener listener) { state_listener_ = std::move(listener); }
  void SetQuestion(Question question) { question_ = std::move(question); }
  void SetMessagePump(MessagePump pump) { message_pump_ = std::move(pump); }
  // The service's time-outs (tests shorten them).
  void SetNetworkTimeouts(const platform::SocketTimeouts& timeouts);

  std::atomic<bool> bTreadStop{false};

 private:
  struct TrackState;

  int TrackThreadProc(SendingRun& sending);
  int SendThreadProc(SendingRun& sending);
  // One track file from its header to its packing; true when it asked the
  // sending thread for a pass.
  bool RecordTrack(const std::string& tracks_dir, const UploadParams& params);
  void HandleFix(bool failed, const GpsFix& fix, double latitude, double longitude, TrackState& state);
  void ShowNoFix(const wchar_t* format, TrackState& state);
  // True when the track file failed; the first time, says so in the log.
  bool TellWriteFailure(TrackState& state);
  void TakePointRequests(double latitude, double longitude, TrackState& state);
  bool FinishTrack(const std::string& path, TrackState& state);
  void CreatePoint(const std::wstring& name, double longitude, double latitude, int number);
  void PostState(int state);
  std::shared_ptr<platform::SerialPort> CurrentPort();
  UploadTarget Target();

  EventLog* log_;
  std::mutex port_guard_;  // guards the port pointer itself, not the reads
  std::shared_ptr<platform::SerialPort> port_;
  platform::AutoResetEvent end_of_track_event_;
  platform::AutoResetEvent point_event_;
  platform::AutoResetEvent named_point_event_;
  std::mutex port_lock_;  // held around one ReadFix
  std::mutex target_lock_;  // the window changes the target while a pass may read it
  UploadTarget target_;
  int track_counter_ = 0;
  std::mutex point_name_lock_;
  std::wstring point_name_;
  TrackPosition last_position_;
  FixReader reader_{bTreadStop};

  std::thread track_thread_;
  std::thread send_thread_;
  std::vector<std::thread> stopped_senders_;  // sending threads of earlier recordings
  SendPassRunner passes_;
  std::atomic<int> stop_count_{0};      // a pass ends when a stop comes during it
  std::atomic<bool> closing_{false};    // every pass ends after its current archive
  StateListener state_listener_;
  Question question_;
  MessagePump message_pump_;
};
