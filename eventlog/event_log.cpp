#include "eventlog/event_log.h"

EventLog::EventLog(LineList* control) : EventLog(control, 0) {}

int EventLog::GetCount() { return attached_ ? control_->Count() : -1; }

LineId EventLog::AddLine(const std::wstring& text) {
  if (!attached_) return 0;
  if (block_ != 0) return control_->AddToBlock(block_, text);
  // Any position past the end appends, even when another thread added a line
  // between the count and the insertion.
  return control_->Insert(GetCount() + 1, text);
}

void EventLog::SetLineOf(LineId line, const std::wstring& text) {
  if (attached_) control_->SetTextOf(line, text);
}

void EventLog::SetLine(int index, const std::wstring& text) {
  if (attached_) control_->SetText(index, text);
}

void EventLog::DeleteLine(int index) {
  if (attached_) control_->Delete(index);
}

void EventLog::Clear() {
  if (attached_) control_->Clear();
}

void EventLog::ShowHeader() {
  Clear();
  AddLine(L"Текущая операция:");
  AddLine(L"");
  AddLine(L"");
  AddSeparator();
}

void EventLog::SetStatus(const std::wstring& text) { SetLine(kStatusRow, text); }

void EventLog::TrimToHeader() {
  if (attached_) control_->TrimFrom(kHeaderRows);
}

void EventLog::AddSeparator() { AddLine(L"---------------------------------"); }

LogBlock::LogBlock(EventLog& log) : log_(log.control_, log.attached_ ? log.control_->OpenBlock() : 0) {}

LogBlock::~LogBlock() {
  if (log_.attached_) log_.control_->CloseBlock(log_.block_);
}

std::wstring EventLog::FormatDate(wchar_t separator) {
  return FormatDate(platform::CurrentLocalTime(), separator);
}

std::wstring EventLog::FormatTime(wchar_t separator, int fields) {
  return FormatTime(platform::CurrentLocalTime(), separator, fields);
}

std::wstring EventLog::FormatDate(const platform::LocalTime& time, wchar_t separator) {
  if (separator == 0) return platform::FormatDatePicture(time, L"ddMMyy");
  std::wstring quoted = std::wstring(L"'") + separator + L"'";
  return platform::FormatDatePicture(time, L"dd" + quoted + L"MM" + quoted + L"yy");
}

std::wstring EventLog::FormatTime(const platform::LocalTime& time, wchar_t separator, int fields) {
  std::wstring picture = L"hh";
  if (fields == 3 && separator == 0) {
    picture = L"hhmmss";
  } else if (fields >= 2 && separator != 0) {
    std::wstring quoted = std::wstring(L"'") + separator + L"'";
    picture += quoted + L"mm";
    if (fields == 3) picture += quoted + L"ss";
  }
  return platform::FormatTimePicture(time, picture);
}
