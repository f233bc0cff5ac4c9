#include "gps/gps_stat.h"

#include "gps/serial_connection.h"
#include "platform/thread.h"
#include "upload/track_folders.h"

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
  track_counter_ = PrepareTrackFolders(*log_, params_.track_folder, question_);
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
  if (track_thread_.joinable()) track_thread_.join();
  if (send_thread_.joinable()) send_thread_.join();
}

int CGpsLogger::SendThreadProc() {
  platform::RaiseCurrentThreadPriority();
  while (!bTreadStop) {
    send_event_.Wait();
    if (sending_ends_) break;
    SendAllArchives();
  }
  return 0;
}

void CGpsLogger::SetSettings(const SettingsRecord& settings) {
  UploadSettings upload;
  upload.login = settings.login;
  upload.password = settings.password;
  upload.track_name = settings.trackname;
  upload.privacy_caption = settings.privacy;
  upload.interval_or_distance = settings.intervalordistance;
  upload.send_mode = settings.SendMode;
  upload.thinning = settings.thinning;
  SetUploadParams(params_, upload);
  service_ = ParseServiceAddress(settings.server);
}
