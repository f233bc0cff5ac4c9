#include "settings/settings_model.h"

#include <iterator>
#include <utility>

#include "base/numbers.h"
#include "platform/text.h"
#include "settings/ini_file.h"

namespace {

constexpr wchar_t kSection[] = L"Properties";
constexpr wchar_t kYes[] = L"Yes";
constexpr wchar_t kNo[] = L"No";
constexpr wchar_t kTrue[] = L"True";
constexpr wchar_t kFalse[] = L"False";
constexpr wchar_t kDefaultDistance[] = L"100";
constexpr int kLeastThinning = 5;

// Writes one key; a failed write clears *written and the later keys are still tried.
void WriteKey(const CIniFile& ini, const wchar_t* key, const std::wstring& value, bool* written) {
  if (!ini.WriteValue(kSection, key, value)) *written = false;
}

const wchar_t* YesNo(bool value) { return value ? kYes : kNo; }

std::wstring DefaultServer() {
  return std::wstring(std::begin(kDefaultServiceHost), std::end(kDefaultServiceHost) - 1);
}

// The send mode's keys, in the order the save writes them: the flags of the
// mode, both texts emptied, then the chosen text.
void WriteSendMode(const CIniFile& ini, const SettingsForm& form, bool* written) {
  std::vector<std::pair<const wchar_t*, std::wstring>> writes;
  switch (form.send_mode) {
    case kSendByTime:
      writes = {{L"Time", kTrue},     {L"Points", kFalse},    {L"TimeInterval", L""},
                {L"ByHands", kFalse}, {L"PointsCount", L""}, {L"TimeInterval", form.interval}};
      break;
    case kSendByDistance:
      writes = {{L"Points", kTrue},   {L"Time", kFalse},      {L"TimeInterval", L""},
                {L"ByHands", kFalse}, {L"PointsCount", L""}, {L"PointsCount", form.distance}};
      break;
    case kSendByHand:
      writes = {{L"ByHands", kTrue}, {L"Time", kFalse}, {L"Points", kFalse}, {L"TimeInterval", L""}, {L"PointsCount", L""}};
      break;
    case kSendModeNone:
      break;  // the radio group always holds a mode
  }
  for (const auto& [key, value] : writes) WriteKey(ini, key, value, written);
}

// The profile functions drop the white space around a value; what else the
// file gives back otherwise than typed, it could not store.
std::wstring WithoutOuterSpaces(const std::wstring& text) {
  size_t first = text.find_first_not_of(L" \t");
  return first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(L" \t") + 1 - first);
}

// The first typed text the shown form lost, or none. (The password is left
// out: its scrambling turns a character outside its alphabet into "_".)
const std::wstring* LostText(const SettingsForm& typed, const SettingsForm& shown) {
  const std::pair<const std::wstring*, const std::wstring*> texts[] = {
      {&typed.login, &shown.login}, {&typed.track_name, &shown.track_name}, {&typed.privacy, &shown.privacy}};
  for (const auto& [before, after] : texts) {
    if (WithoutOuterSpaces(*before) != WithoutOuterSpaces(*after)) return before;
  }
  return nullptr;
}

}  // namespace

const std::vector<PrivacyLevel>& PrivacyLevels() {
  static const std::vector<PrivacyLevel> levels = {{L"Только мне", "1"}, {L"Для друзей", "2"}, {L"Для всех", "3"}};
  return levels;
}

const std::vector<std::wstring>& DistanceOptions() {
  static const std::vector<std::wstring> options = {L"50",  L"100",  L"200",  L"300",  L"500",  L"800",
                                                    L"1000", L"1500", L"3000", L"5000", L"8000", L"10000"};
  return options;
}

int IntervalToMilliseconds(const std::wstring& text) { return IntervalMinutes(text) * 60000; }

int SendTimerPeriod(const SettingsRecord& record) {
  return record.send_mode == kSendByTime ? IntervalToMilliseconds(record.interval_or_distance) : 0;
}

bool MissingSendInterval(const SettingsRecord& record) {
  if (record.send_mode == kSendByDistance) return base::LeadingInteger(record.interval_or_distance) <= 0;
  return record.send_mode == kSendByTime && SendTimerPeriod(record) == 0;
}

SettingsModel::SettingsModel() { ResetSettingsRecord(); }

void SettingsModel::ResetSettingsRecord() {
  record_ = SettingsRecord();
  record_.server = DefaultServer();
}

void SettingsModel::LoadSettingsRecord() {
  CIniFile ini;
  auto read = [&ini](const wchar_t* key) { return ini.ReadValue(kSection, key); };
  record_.port = read(L"COM");
  record_.login = read(L"Login");
  record_.password = ini.Scramble(read(L"Password"), false);
  record_.privacy = read(L"Privacy");
  record_.track_name = read(L"Track");
  record_.thinning = base::LeadingInteger(read(L"Prorezhivanie"));
  if (read(L"Time") == kTrue) {
    record_.send_mode = kSendByTime;
    record_.interval_or_distance = read(L"TimeInterval");
  } else if (read(L"Points") == kTrue) {
    record_.send_mode = kSendByDistance;
    record_.interval_or_distance = read(L"PointsCount");
    if (record_.interval_or_distance.empty()) record_.interval_or_distance = kDefaultDistance;
  }
  if (read(L"ByHands") == kTrue) record_.send_mode = kSendByHand;
  std::wstring server = read(L"Server");
  record_.server = server.empty() ? DefaultServer() : server;
}

SettingsForm SettingsModel::ShowSettings() {
  LoadSettingsRecord();
  CIniFile ini;
  SettingsForm form;
  form.other_port = ini.ReadValue(kSection, L"OtherCOM") == kYes;
  if (form.other_port) {
    form.other_port_text = record_.port;
  } else {
    form.port_entry = record_.port;
  }
  form.auto_track = ini.ReadValue(kSection, L"AutoTrack") == kYes;
  form.login = record_.login;
  form.password = record_.password;
  form.track_name = record_.track_name;
  form.thinning_text = std::to_wstring(record_.thinning);
  form.privacy = record_.privacy;
  form.send_mode = record_.send_mode;
  if (record_.send_mode == kSendByTime) form.interval = record_.interval_or_distance;
  if (record_.send_mode == kSendByDistance) form.distance = record_.interval_or_distance;
  return form;
}

SettingsForm SettingsModel::SaveSettings(const SettingsForm& form, std::wstring* failure) {
  CIniFile ini;
  // The port: the free name, or the list entry up to its ";" (COM3; \Device\Serial0 gives COM3).
  bool written = true;
  std::wstring port = form.other_port ? form.other_port_text : form.port_entry.substr(0, form.port_entry.find(L';'));
  WriteKey(ini, L"OtherCOM", YesNo(form.other_port), &written);
  WriteKey(ini, L"COM", port, &written);
  WriteKey(ini, L"AutoTrack", YesNo(form.auto_track), &written);
  WriteKey(ini, L"Login", form.login, &written);
  WriteKey(ini, L"Password", ini.Scramble(form.password, true), &written);
  WriteKey(ini, L"Track", form.track_name, &written);
  int thinning = base::LeadingInteger(form.thinning_text);
  WriteKey(ini, L"Prorezhivanie", std::to_wstring(thinning < kLeastThinning ? kLeastThinning : thinning), &written);
  WriteKey(ini, L"Privacy", form.privacy, &written);
  WriteSendMode(ini, form, &written);
  std::wstring path = platform::Utf8ToWide(ini.GetIniPath());
  if (!written && failure) *failure = L"Файл " + path + L" недоступен для записи.";
  ResetSettingsRecord();
  SettingsForm shown = ShowSettings();
  const std::wstring* lost = written ? LostText(form, shown) : nullptr;
  if (lost && failure) *failure = L"Файл " + path + L" не сохранил текст \"" + *lost + L"\".";
  return shown;
}
