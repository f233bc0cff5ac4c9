#include "app/recorder_commands.h"

#include "upload/track_folders.h"

RecorderCommands::RecorderCommands(CGpsLogger& logger, EventLog& log, View view)
    : logger_(logger), log_(log), view_(std::move(view)) {}

void RecorderCommands::StartStop(const SettingsRecord& record) {
  if (running()) {
    Stop();
  } else if (CanStart()) {
    Start(record);
  }
}

void RecorderCommands::OnTrackState(int state) {
  Phase finishing = Phase::kFinishing;
  if (state == kStateStopped) phase_.compare_exchange_strong(finishing, Phase::kStopped);
}

void RecorderCommands::Stop() {
  logger_.Stop();
  // The track thread clears its running flag just before it posts state 0:
  // while it runs, a state 0 is still to come and ends the finishing.
  phase_ = Phase::kFinishing;
  if (!logger_.TrackThreadRunning()) phase_ = Phase::kStopped;
  if (view_.running_changed) view_.running_changed(false);
  if (timer_mode_ == kSendByTime) view_.set_send_timer(0);
  timer_mode_ = kSendModeNone;
}

void RecorderCommands::Start(const SettingsRecord& record) {
  // The question's box lets queued clicks through: the phase refuses them.
  phase_ = Phase::kAsking;
  bool pack_leftovers = AskToPackLeftovers();
  // A close while the question was up ended it: nothing starts.
  if (logger_.Closing()) {
    phase_ = Phase::kStopped;
    return;
  }
  // The header goes first, before any line of the recording's threads.
  bool started = logger_.Start(record, pack_leftovers, [this] {
    log_.ShowHeader();
    log_.AddLine(L"Подключение к COM порту - успешно");
    log_.AddLine(L"Прием данных с GPS");
  });
  if (!started) {
    phase_ = Phase::kStopped;
    log_.AddLine(L"Ошибка подключения к COM порту");
    logger_.Stop();
    return;
  }
  phase_ = Phase::kRecording;
  if (view_.running_changed) view_.running_changed(true);
  if (record.send_mode != kSendByTime) return;
  timer_mode_ = kSendByTime;
  if (!WarnsOfMissingInterval(record)) view_.set_send_timer(SendTimerPeriod(record));
}

bool RecorderCommands::AskToPackLeftovers() {
  if (!HasLeftoverTracks() || !view_.ask) return false;
  return view_.ask(L"Незавершенная операция",
                   L"С прошлого запуска программы\nостались неупакованные файлы.\n\nУпаковать в архив?");
}

bool RecorderCommands::WarnsOfMissingInterval(const SettingsRecord& record) {
  return MissingSendInterval(record);
}

bool RecorderCommands::SendNow(const SettingsRecord& record, const CGpsLogger::Done& ended) {
  if (running()) {
    logger_.RequestEndOfTrack();
    return true;
  }
  if (logger_.SendingByHand()) return false;
  log_.Clear();
  logger_.SetSettings(record);
  return logger_.SendAllArchives(ended);
}

void RecorderCommands::CreatePoint() {
  if (running()) logger_.RequestPoint();
}

void RecorderCommands::CreateNamedPoint(const std::wstring& name) {
  if (name.empty()) return;
  logger_.SetPointName(name);
  logger_.RequestNamedPoint();
}

void RecorderCommands::OnSendTimer() {
  if (running()) logger_.RequestEndOfTrack();
}
