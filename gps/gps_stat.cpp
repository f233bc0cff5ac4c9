#include "gps/gps_stat.h"

#include "gps/serial_connection.h"
#include "platform/thread.h"
#include "upload/upload_protocol.h"

CGpsLogger::CGpsLogger(EventLog* log) : log_(log) {}

CGpsLogger::~CGpsLogger() { StopAndWait(); }

bool CGpsLogger::Start(SettingsRecord settings, bool pack_leftovers, const Done& opened) {
  if (track_thread_running_ || closing_) return false;
  // The previous track thread has posted its last state: the join only
  // collects what is left of it.
  if (track_thread_.joinable()) track_thread_.join();
  if (send_thread_.joinable()) stopped_senders_.push_back(std::move(send_thread_));
  SetSettings(settings);
  recording_ = settings;
  std::unique_ptr<platform::SerialPort> port =
      OpenPort(*log_, PortNumberFromText(settings.port), 4800, 8, 0, 0);
  if (!port) return false;
  {
    std::lock_guard<std::mutex> guard(port_guard_);
    port_ = std::move(port);
  }
  reader_.Reset();
  bTreadStop = false;
  // A waypoint asked for while nothing was recorded belongs to no track.
  point_event_.Reset();
  named_point_event_.Reset();
  if (opened) opened();
  auto sending = std::make_shared<SendingRun>();
  track_thread_running_ = true;
  track_thread_ = std::thread([this, sending, pack_leftovers] { TrackThreadProc(*sending, pack_leftovers); });
  send_thread_ = std::thread([this, sending] { SendThreadProc(*sending); });
  return true;
}

void CGpsLogger::Stop() {
  bTreadStop = true;
  ++stop_count_;
  ClosePort();
}

void CGpsLogger::StopAndWait() {
  closing_ = true;
  close_cutoff_.CutAfter(Target().timeouts.close_grace_ms);
  Stop();
  closer_.Wait();
  JoinThreads();
}

void CGpsLogger::BeginClose(Done closed) {
  closing_ = true;
  close_cutoff_.CutAfter(Target().timeouts.close_grace_ms);
  Stop();
  closer_.Run([this] { JoinThreads(); }, std::move(closed));
}

void CGpsLogger::JoinThreads() {
  if (track_thread_.joinable()) track_thread_.join();
  if (send_thread_.joinable()) send_thread_.join();
  for (std::thread& sender : stopped_senders_) sender.join();
  stopped_senders_.clear();
  pass_by_hand_.Wait();
}

void CGpsLogger::ClosePort() {
  std::shared_ptr<platform::SerialPort> port;
  {
    std::lock_guard<std::mutex> guard(port_guard_);
    port.swap(port_);
  }
  // A read waiting on the port returns at once; the track thread keeps its
  // own reference until that read is over.
  if (port) port->Close();
}

std::shared_ptr<platform::SerialPort> CGpsLogger::CurrentPort() {
  std::lock_guard<std::mutex> guard(port_guard_);
  return port_;
}

void CGpsLogger::RequestPoint() { point_event_.Set(); }

void CGpsLogger::SetPointName(const std::wstring& name) {
  std::lock_guard<std::mutex> guard(point_name_lock_);
  point_name_ = name;
}

void CGpsLogger::RequestNamedPoint() { named_point_event_.Set(); }

void CGpsLogger::RequestEndOfTrack() { end_of_track_event_.Set(); }

void CGpsLogger::PostState(int state) {
  if (state_listener_) state_listener_(state);
}

int CGpsLogger::SendThreadProc(SendingRun& sending) {
  platform::RaiseCurrentThreadPriority();
  sending.Run([this] {
    // The window's close waits for the pass in hand only: a pass asked for by
    // the track the close packed would hold it for another upload's time-outs,
    // and its archive waits in ToSend for the next run anyway.
    if (closing_) return;
    int stops = stop_count_;
    passes_.SendAllArchives(*log_, Target(), [this, stops] { return stop_count_ == stops && !closing_; });
  });
  return 0;
}

bool CGpsLogger::SendAllArchives(Done ended) {
  UploadTarget target = Target();
  return pass_by_hand_.Run([this, target] { passes_.SendAllArchives(*log_, target, [this] { return !closing_; }); },
                           std::move(ended));
}

void CGpsLogger::WaitForSending() { pass_by_hand_.Wait(); }

void CGpsLogger::SetSettings(const SettingsRecord& settings) {
  std::lock_guard<std::mutex> guard(target_lock_);
  TakeUploadSettings(target_, settings);
}

void CGpsLogger::SetTimeouts(const platform::SocketTimeouts& timeouts) {
  std::lock_guard<std::mutex> guard(target_lock_);
  target_.timeouts = timeouts;
}

UploadTarget CGpsLogger::Target() {
  std::lock_guard<std::mutex> guard(target_lock_);
  UploadTarget target = target_;
  target.cutoff = &close_cutoff_;
  return target;
}
