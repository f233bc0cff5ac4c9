#include "settings/settings_model.h"

#include <climits>
#include <cwctype>

#include "settings/ini_file.h"

namespace {

constexpr wchar_t kSection[] = L"Properties";
constexpr wchar_t kYes[] = L"Yes";
constexpr wchar_t kNo[] = L"No";
constexpr wchar_t kTrue[] = L"True";
constexpr wchar_t kFalse[] = L"False";
constexpr wchar_t kDefaultDistance[] = L"100";
constexpr int kLeastThinning = 5;

struct Interval {
  const wchar_t* text;
  int milliseconds;
};

constexpr Interval kIntervals[] = {
    {L"1 мин.", 60000},      {L"5 мин.", 300000},     {L"10 мин.", 600000},  {L"15 мин.", 900000},
    {L"20 мин.", 1200000},   {L"30 мин.", 1800000},   {L"45 мин.", 2700000}, {L"1 час", 3600000},
    {L"2 часа", 7200000},    {L"4 часа", 14400000},   {L"6 часов", 21600000},
};

// The number at the start of a text, as _wtoi reads it: white space, an
// optional sign, the digits up to the first other character; no digits give
// 0, and a number beyond the range of int gives its nearest end.
int LeadingNumber(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
  bool negative = i < text.size() && text[i] == L'-';
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void WriteKey(const CIniFile& ini, const wchar_t* key, const std::wstring& value) {
  ini.WriteValue(kSection, key, value);
}

const wchar_t* YesNo(bool value) { return value ? kYes : kNo; }

// The send mode's keys, in the order the save writes them: the flags of the
// mode, both texts emptied, then the chosen text.
void WriteSendMode(const CIniFile& ini, const SettingsForm& form) {
  switch (form.sendmode) {
    case kSendByTime:
      WriteKey(ini, L"Time", kTrue);
      WriteKey(ini, L"Points", kFalse);
      WriteKey(ini, L"TimeInterval", L"");
      WriteKey(ini, L"ByHands", kFalse);
      WriteKey(ini, L"PointsCount", L"");
      WriteKey(ini, L"TimeInterval", form.interval);
      break;
    case kSendByDistance:
      WriteKey(ini, L"Points", kTrue);
      WriteKey(ini, L"Time", kFalse);
      WriteKey(ini, L"TimeInterval", L"");
      WriteKey(ini, L"ByHands", kFalse);
      WriteKey(ini, L"PointsCount", L"");
      WriteKey(ini, L"PointsCount", form.distance);
      break;
    case kSendByHand:
      WriteKey(ini, L"ByHands", kTrue);
      WriteKey(ini, L"Time", kFalse);
      WriteKey(ini, L"Points", kFalse);
      WriteKey(ini, L"TimeInterval", L"");
      WriteKey(ini, L"PointsCount", L"");
      break;
    default:
      break;  // the radio group always holds a mode
  }
}

}  // namespace

const std::vector<std::wstring>& PrivacyOptions() {
  static const std::vector<std::wstring> options = {L"Только мне", L"Для друзей", L"Для всех"};
  return options;
}

const std::vector<std::wstring>& IntervalOptions() {
  static const std::vector<std::wstring> options = [] {
    std::vector<std::wstring> texts;
    for (const Interval& interval : kIntervals) texts.push_back(interval.text);
    return texts;
  }();
  return options;
}

const std::vector<std::wstring>& DistanceOptions() {
  static const std::vector<std::wstring> options = {L"50",  L"100",  L"200",  L"300",  L"500",  L"800",
                                                    L"1000", L"1500", L"3000", L"5000", L"8000", L"10000"};
  return options;
}

int IntervalToMilliseconds(const std::wstring& text) {
  for (const Interval& interval : kIntervals) {
    if (text == interval.text) return interval.milliseconds;
  }
  return 0;
}

int SendTimerPeriod(const SettingsRecord& record) {
  return record.SendMode == kSendByTime ? IntervalToMilliseconds(record.intervalordistance) : 0;
}

bool MissingSendInterval(const SettingsRecord& record) {
  return record.SendMode == kSendByTime && SendTimerPeriod(record) == 0;
}

SettingsModel::SettingsModel() { ResetSettingsRecord(); }

void SettingsModel::ResetSettingsRecord() {
  record_ = SettingsRecord();
  record_.server = kDefaultServer;
}

void SettingsModel::LoadSettingsRecord() {
  CIniFile ini;
  auto read = [&ini](const wchar_t* key) { return ini.ReadValue(kSection, key); };
  record_.port = read(L"COM");
  record_.login = read(L"Login");
  record_.password = ini.Scramble(read(L"Password"), false);
  record_.privacy = read(L"Privacy");
  record_.trackname = read(L"Track");
  record_.thinning = LeadingNumber(read(L"Prorezhivanie"));
  if (read(L"Time") == kTrue) {
    record_.SendMode = kSendByTime;
    record_.intervalordistance = read(L"TimeInterval");
  } else if (read(L"Points") == kTrue) {
    record_.SendMode = kSendByDistance;
    record_.intervalordistance = read(L"PointsCount");
    if (record_.intervalordistance.empty()) record_.intervalordistance = kDefaultDistance;
  }
  if (read(L"ByHands") == kTrue) record_.SendMode = kSendByHand;
  std::wstring server = read(L"Server");
  record_.server = server.empty() ? std::wstring(kDefaultServer) : server;
}

SettingsForm SettingsModel::ShowSettings() {
  LoadSettingsRecord();
  CIniFile ini;
  SettingsForm form;
  form.otherport = ini.ReadValue(kSection, L"OtherCOM") == kYes;
  if (form.otherport) {
    form.otherporttext = record_.port;
  } else {
    form.portentry = record_.port;
  }
  form.autotrack = ini.ReadValue(kSection, L"AutoTrack") == kYes;
  form.login = record_.login;
  form.password = record_.password;
  form.trackname = record_.trackname;
  form.thinningtext = std::to_wstring(record_.thinning);
  form.privacy = record_.privacy;
  form.sendmode = record_.SendMode;
  if (record_.SendMode == kSendByTime) form.interval = record_.intervalordistance;
  if (record_.SendMode == kSendByDistance) form.distance = record_.intervalordistance;
  return form;
}

SettingsForm SettingsModel::SaveSettings(const SettingsForm& form) {
  CIniFile ini;
  // The port: the free name, or the list entry up to its ";" (COM3; \Device\Serial0 gives COM3).
  std::wstring port = form.otherport ? form.otherporttext : form.portentry.substr(0, form.portentry.find(L';'));
  WriteKey(ini, L"OtherCOM", YesNo(form.otherport));
  WriteKey(ini, L"COM", port);
  WriteKey(ini, L"AutoTrack", YesNo(form.autotrack));
  WriteKey(ini, L"Login", form.login);
  WriteKey(ini, L"Password", ini.Scramble(form.password, true));
  WriteKey(ini, L"Track", form.trackname);
  int thinning = LeadingNumber(form.thinningtext);
  WriteKey(ini, L"Prorezhivanie", std::to_wstring(thinning < kLeastThinning ? kLeastThinning : thinning));
  WriteKey(ini, L"Privacy", form.privacy);
  WriteSendMode(ini, form);
  ResetSettingsRecord();
  return ShowSettings();
}
