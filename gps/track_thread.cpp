// The track thread: fixes in, track files and waypoints out.
#include <cstdlib>
#include <cwctype>

#include "gps/gps_stat.h"
#include "platform/folders.h"
#include "base/numbers.h"
#include "platform/text.h"
#include "platform/thread.h"
#include "track/track_check.h"
#include "track/waypoint_file.h"
#include "upload/track_folders.h"
#include "upload/track_packing.h"

namespace {

const wchar_t* const kDots[6] = {L".", L". .", L". . .", L". . . .", L". . . . .", L". . . . . ."};
const wchar_t* const kArrows[6] = {L">", L"> >", L"> > >", L"> > > >", L"> > > > >", L"> > > > > >"};
// The events are looked at, never waited for: a wait per fix would let a
// fast receiver (10 fixes a second) outrun the thread. The port's read paces
// the loop: it waits when the line is silent.
constexpr auto kNoWait = std::chrono::milliseconds(0);

std::wstring Format(const wchar_t* format, const std::wstring& argument) {
  std::wstring text = format;
  size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace

struct CGpsLogger::TrackState {
  explicit TrackState(EventLog& log) : failures(log) {}

  SettingsRecord settings;  // the recording's: thinning, send mode, sending distance
  std::string path;
  KmlTrackFile file;
  bool failure_told = false;
  LogBlock failures;  // open while the track is recorded and finished
  bool segment = false;
  int progress = 0;
  int waypoint = 0;
  int travelled = 0;
  int sending_distance = 0;

  // The mark index cycles through the six marks.
  int NextMark() {
    if (progress == 6) progress = 0;
    return progress++;
  }
};

int CGpsLogger::TrackThreadProc(SendingRun& sending, bool pack_leftovers) {
  platform::RaiseCurrentThreadPriority();
  const SettingsRecord settings = recording_;
  // Here, not on the window's thread: a large leftover takes seconds to check and pack.
  track_counter_ = PrepareTrackFolders(*log_, Target().params.track_folder, pack_leftovers);
  last_position_ = TrackPosition();
  bool pass_requested = false;
  while (!bTreadStop) {
    pass_requested = RecordTrack(settings);
    if (pass_requested && !bTreadStop) sending.RequestPass();
  }
  ReleasePort();
  log_->SetStatus(L"Программа остановлена");
  // The sending thread's last wake: the last track's pass, or none.
  sending.Finish(pass_requested);
  // A start may come as soon as state 0 arrives.
  track_thread_running_ = false;
  PostState(kStateStopped);
  return 0;
}

bool CGpsLogger::RecordTrack(const SettingsRecord& settings) {
  std::string path = TrackFilePath(track_counter_);
  TrackState state(*log_);
  state.settings = settings;
  state.path = path;
  state.file.Begin(path);
  TellWriteFailure(state);
  state.sending_distance = base::LeadingInteger(settings.interval_or_distance);
  // A request that came while the previous track was being finished is dropped.
  end_of_track_event_.Reset();

  GpsFix fix;
  while (!bTreadStop) {
    double latitude = 0;
    double longitude = 0;
    bool failed = ReadReceiver(fix, latitude, longitude);
    HandleFix(failed, fix, latitude, longitude, state);
    // A distance of 0 or less sends by hand only, not at every fix.
    if (settings.send_mode == kSendByDistance && state.sending_distance > 0 &&
        state.travelled >= state.sending_distance) {
      end_of_track_event_.Set();
    }
    if (end_of_track_event_.WaitFor(kNoWait)) break;
  }
  return FinishTrack(path, state);
}

void CGpsLogger::HandleFix(bool failed, const GpsFix& fix, double latitude, double longitude,
                           TrackState& state) {
  if (failed) {
    ShowNoFix(L"Нет связи с GPS-устройсвом %s", state);
    return;
  }
  if (!fix.valid) {
    ShowNoFix(L"Потерян сигнал GPS  %s", state);
    return;
  }
  if (!state.segment) {
    state.progress = 0;
    state.segment = true;
    state.file.OpenSegment();
    PostState(kStateReceiving);
  }
  TakePointRequests(latitude, longitude, state);
  state.travelled += state.file.PointStep(latitude, longitude, fix.speed, state.settings.thinning, last_position_);
  state.file.FlushWhenDue(KmlTrackFile::Clock::now());
  // Coordinates come in, but a status that says they are being read would
  // hide that none of them reaches the disk.
  const wchar_t* status = TellWriteFailure(state) ? L"Ошибка записи трека  %s" : L"Чтение координат  %s";
  log_->SetStatus(Format(status, kDots[state.NextMark()]));
}

bool CGpsLogger::TellWriteFailure(TrackState& state) {
  if (!state.file.Failed()) return false;
  if (!state.failure_told) {
    state.failure_told = true;
    state.failures.log().AddLine(
        L"Ошибка записи трека: файл " + platform::Utf8ToWide(state.path) +
        L" не удалось создать или дописать (нет доступа к папке или нет места на диске)");
  }
  return true;
}

void CGpsLogger::ShowNoFix(const wchar_t* format, TrackState& state) {
  if (state.segment) {
    state.file.CloseSegment();
    state.segment = false;
    state.progress = 0;
    PostState(kStateNoFix);
  }
  log_->SetStatus(Format(format, kArrows[state.NextMark()]));
}

void CGpsLogger::TakePointRequests(double latitude, double longitude, TrackState& state) {
  if (point_event_.WaitFor(kNoWait)) {
    std::wstring name = EventLog::FormatTime(L':', 2) + L"/" + EventLog::FormatDate(L'_');
    CreatePoint(name, longitude, latitude, state.waypoint++);
  }
  if (named_point_event_.WaitFor(kNoWait)) {
    std::wstring name;
    {
      std::lock_guard<std::mutex> guard(point_name_lock_);
      name = point_name_;
    }
    // A comma would split the waypoint line's fields, and a line break (a
    // pasted name) its record.
    for (wchar_t& c : name) {
      if (c == L',' || std::iswcntrl(c)) c = L' ';
    }
    CreatePoint(name, longitude, latitude, state.waypoint++);
  }
}

void CGpsLogger::CreatePoint(const std::wstring& name, double longitude, double latitude, int number) {
  if (AppendWaypoint(WaypointsPath(), number, name, latitude, longitude)) {
    log_->AddLine(Format(L"Точка %s создана", name));
  } else {
    log_->AddLine(Format(L"Ошибка: точка %s не записана в файл points.wpt", name));
  }
}

bool CGpsLogger::FinishTrack(const std::string& path, TrackState& state) {
  if (state.segment) state.file.CloseSegment();
  state.file.End();
  TellWriteFailure(state);
  // The trim keeps the track's write error: after a stop it tells the user
  // why no file was made.
  log_->TrimToHeader();

  if (CheckTrackFile(path)) {
    platform::RemoveFile(path);
  } else {
    log_->AddSeparator();
    log_->AddLine(L"Последняя сессия: " + EventLog::FormatDate(L'.') + L" " + EventLog::FormatTime(L':', 3));
    log_->AddLine(L"");
    log_->AddLine(L"Упаковка данных в zip-архив");
    if (PackTrack(*log_, path, track_counter_)) log_->AddLine(L"Упаковано");
    log_->AddLine(L"");
  }

  ++track_counter_;
  SendMode mode = state.settings.send_mode;
  bool by_time_or_distance = mode == kSendByTime || mode == kSendByDistance;
  return by_time_or_distance || (mode == kSendByHand && !bTreadStop);
}
