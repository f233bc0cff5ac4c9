#include "gps/gps_stat.h"

#include "gps/serial_connection.h"
#include "platform/thread.h"
#include "upload/upload_protocol.h"

namespace {

// How long the reader waits on a silent line before its call fails: its
// limit of empty reads of half a second each.
constexpr auto kSilentLineLimit = FixReader::kFailLimit * std::chrono::milliseconds(500);

}  // namespace

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
  const int number = PortNumberFromText(settings.port);
  const platform::LineSettings line{4800, 8, 0, 0};
  std::unique_ptr<platform::SerialPort> port =
      OpenPort(*log_, number, line.baud_rate, line.byte_size, line.parity, line.stop_bits);
  if (!port) return false;
  // No track thread runs: the port and what reopens it are handed over as
  // the thread begins.
  port_gate_.Reopen();
  port_gate_.Attach(port.get());
  port_ = std::move(port);
  port_name_ = PortDeviceName(number);
  line_settings_ = line;
  last_open_ = std::chrono::steady_clock::now();
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

void CGpsLogger::ClosePort() { port_gate_.Close(); }

bool CGpsLogger::ReadReceiver(GpsFix& fix, double& latitude, double& longitude) {
  // The loss is told at once. While the device is gone, its port is tried
  // again once a second, and the call lasts as long as a silent line's
  // would: the window goes on telling of it as of a silence, and a new
  // device under the name is read as soon as it is there.
  const auto give_up = std::chrono::steady_clock::now() + kSilentLineLimit;
  while (!bTreadStop) {
    if (port_ || ReopenPort()) {
      if (!reader_.ReadFix(port_.get(), fix, latitude, longitude)) return false;
      // A silent line is opened again too; a noisy one is not, since
      // reopening would drop what it still brings.
      if (port_->ReadFailed() || reader_.EndedInSilence()) ReleasePort();
      return true;
    }
    if (std::chrono::steady_clock::now() >= give_up) break;
  }
  return true;
}

bool CGpsLogger::ReopenPort() {
  auto now = std::chrono::steady_clock::now();
  // The wait paces the tries while the device is gone; a stop ends it.
  if (port_gate_.WaitForClose(last_open_ + std::chrono::seconds(1) - now)) return false;
  last_open_ = std::chrono::steady_clock::now();
  // Unlike the first open, a failed try is not logged: it repeats every second.
  platform::SerialOpenError error = platform::SerialOpenError::kNone;
  std::unique_ptr<platform::SerialPort> port = platform::OpenSerialPort(port_name_, line_settings_, &error);
  if (!port || !port_gate_.Attach(port.get())) return false;
  port_ = std::move(port);
  reader_.Reset();
  return true;
}

void CGpsLogger::ReleasePort() {
  port_gate_.Detach();
  port_.reset();
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
  return pass_by_hand_.Run(
      [this, target] { passes_.SendAllArchives(*log_, target, [this] { return !closing_; }); },
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

void CGpsLogger::SetArchivePause(int milliseconds) {
  std::lock_guard<std::mutex> guard(target_lock_);
  target_.archive_pause_ms = milliseconds;
}

UploadTarget CGpsLogger::Target() {
  std::lock_guard<std::mutex> guard(target_lock_);
  UploadTarget target = target_;
  target.cutoff = &close_cutoff_;
  return target;
}
