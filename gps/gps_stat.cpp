#include "gps/gps_stat.h"

#include "gps/serial_connection.h"
#include "platform/thread.h"
#include "upload/track_folders.h"
#include "upload/upload_protocol.h"

CGpsLogger::CGpsLogger(EventLog* log) : log_(log) {}

CGpsLogger::~CGpsLogger() {
  Stop();
  JoinThreads();
}

bool CGpsLogger::Start(SettingsRecord settings) {
  if (track_thread_.joinable() && !bTreadStop) return false;  // recording already
  JoinThreads();
  SetSettings(settings);
  std::unique_ptr<platform::SerialPort> port =
      OpenPort(*log_, PortNumberFromText(settings.port), 4800, 8, 0, 0);
  if (!port) return false;
  {
    std::lock_guard<std::mutex> guard(port_guard_);
    port_ = std::move(port);
  }
  reader_.Reset();
  track_counter_ = PrepareTrackFolders(*log_, Target().params.track_name, question_);
  bTreadStop = false;
  sending_ends_ = false;
  send_event_.Reset();
  track_thread_ = std::thread([this] { TrackThreadProc(); });
  send_thread_ = std::thread([this] { SendThreadProc(); });
  return true;
}

void CGpsLogger::Stop() {
  bTreadStop = true;
  ClosePort();
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

void CGpsLogger::JoinThreads() {
  // The window's thread may be the one waiting: a worker must never wait for
  // a thread that has stopped handling its messages.
  platform::JoinDispatchingMessages(track_thread_);
  platform::JoinDispatchingMessages(send_thread_);
}

int CGpsLogger::SendThreadProc() {
  platform::RaiseCurrentThreadPriority();
  RunSendThread(send_event_, bTreadStop, sending_ends_, [this] { SendAllArchives(); });
  return 0;
}

void CGpsLogger::SendAllArchives() { passes_.SendAllArchives(*log_, Target(), message_pump_); }

void CGpsLogger::SetSettings(const SettingsRecord& settings) {
  std::lock_guard<std::mutex> guard(target_lock_);
  TakeUploadSettings(target_, settings);
}

void CGpsLogger::SetNetworkTimeouts(const platform::SocketTimeouts& timeouts) {
  std::lock_guard<std::mutex> guard(target_lock_);
  target_.timeouts = timeouts;
}

UploadTarget CGpsLogger::Target() {
  std::lock_guard<std::mutex> guard(target_lock_);
  return target_;
}
