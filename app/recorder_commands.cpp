#include "app/recorder_commands.h"

RecorderCommands::RecorderCommands(CGpsLogger& logger, EventLog& log, View view)
    : logger_(logger), log_(log), view_(std::move(view)) {}

void RecorderCommands::StartStop(const SettingsRecord& record) {
  if (running_) {
    Stop();
  } else if (CanStart()) {
    Start(record);
  }
}

void RecorderCommands::Stop() {
  logger_.Stop();
  running_ = false;
  if (view_.running_changed) view_.running_changed(false);
  if (timer_mode_ == kSendByTime) view_.set_send_timer(0);
  timer_mode_ = kSendModeNone;
}

void RecorderCommands::Start(const SettingsRecord& record) {
  starting_ = true;
  // The header goes first, before any line of the recording's threads.
  bool started = logger_.Start(record, [this] {
    log_.ShowHeader();
    log_.AddLine(L"Подключение к COM порту - успешно");
    log_.AddLine(L"Прием данных с GPS");
  });
  starting_ = false;
  if (!started) {
    log_.AddLine(L"Ошибка подключения к COM порту");
    logger_.Stop();
    return;
  }
  running_ = true;
  if (view_.running_changed) view_.running_changed(true);
  if (record.send_mode != kSendByTime) return;
  timer_mode_ = kSendByTime;
  if (MissingSendInterval(record)) {
    view_.warn(L"Неверные параметры",
               L"Не выставлено время для отправки.\nОтправка возможна только в ручном режиме.");
    return;
  }
  view_.set_send_timer(SendTimerPeriod(record));
}

bool RecorderCommands::SendNow(const SettingsRecord& record, const CGpsLogger::Done& ended) {
  if (running_) {
    logger_.RequestEndOfTrack();
    return true;
  }
  if (logger_.SendingByHand()) return false;
  log_.Clear();
  logger_.SetSettings(record);
  return logger_.SendAllArchives(ended);
}

void RecorderCommands::CreatePoint() {
  if (running_) logger_.RequestPoint();
}

void RecorderCommands::CreateNamedPoint(const std::wstring& name) {
  if (name.empty()) return;
  logger_.SetPointName(name);
  logger_.RequestNamedPoint();
}

void RecorderCommands::OnSendTimer() {
  if (running_) logger_.RequestEndOfTrack();
}
