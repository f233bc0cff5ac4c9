#include "platform/clock.h"

#include <windows.h>

#include "platform/win32/calendar.h"

namespace platform {

namespace {

SYSTEMTIME ToSystemTime(const LocalTime& time) {
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDay = static_cast<WORD>(time.day);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  system.wSecond = static_cast<WORD>(time.second);
  return system;
}

}  // namespace

LocalTime CalendarFields(const SYSTEMTIME& fields) {
  LocalTime calendar;
  calendar.year = fields.wYear;
  calendar.month = fields.wMonth;
  calendar.day = fields.wDay;
  calendar.hour = fields.wHour;
  calendar.minute = fields.wMinute;
  calendar.second = fields.wSecond;
  return calendar;
}

LocalTime CurrentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return CalendarFields(now);
}

std::wstring FormatDatePicture(const LocalTime& time, const std::wstring& picture) {
  SYSTEMTIME system = ToSystemTime(time);
  wchar_t text[54];
  int length = GetDateFormatW(LOCALE_SYSTEM_DEFAULT, 0, &system, picture.c_str(), text,
                              static_cast<int>(std::size(text)));
  return length > 0 ? std::wstring(text, length - 1) : std::wstring();
}

std::wstring FormatTimePicture(const LocalTime& time, const std::wstring& picture) {
  SYSTEMTIME system = ToSystemTime(time);
  wchar_t text[64];
  int length = GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_FORCE24HOURFORMAT, &system,
                              picture.c_str(), text, static_cast<int>(std::size(text)));
  return length > 0 ? std::wstring(text, length - 1) : std::wstring();
}

}  // namespace platform
