#include "platform/clock.h"

#include <time.h>

#include "platform/posix/calendar.h"

namespace platform {

LocalTime CalendarFields(const struct tm& parts) {
  LocalTime fields;
  fields.year = parts.tm_year + 1900;
  fields.month = parts.tm_mon + 1;
  fields.day = parts.tm_mday;
  fields.hour = parts.tm_hour;
  fields.minute = parts.tm_min;
  fields.second = parts.tm_sec;
  return fields;
}

LocalTime CurrentLocalTime() {
  time_t now = time(nullptr);
  struct tm parts {};
  localtime_r(&now, &parts);
  return CalendarFields(parts);
}

namespace {

void AppendTwoDigits(std::wstring& out, int value) {
  out += static_cast<wchar_t>(L'0' + value / 10 % 10);
  out += static_cast<wchar_t>(L'0' + value % 10);
}

// Interprets the picture as GetDateFormatW and GetTimeFormatW do for the
// letters we use: a doubled letter is a two-digit field, quoted text is
// literal, anything else is copied.
std::wstring FormatPicture(const LocalTime& time, const std::wstring& picture) {
  std::wstring out;
  for (size_t i = 0; i < picture.size(); ++i) {
    wchar_t c = picture[i];
    if (c == L'\'') {
      size_t end = picture.find(L'\'', i + 1);
      if (end == std::wstring::npos) end = picture.size();
      out += picture.substr(i + 1, end - i - 1);
      i = end;
      continue;
    }
    bool doubled = i + 1 < picture.size() && picture[i + 1] == c;
    int value = -1;
    switch (c) {
      case L'd': value = time.day; break;
      case L'M': value = time.month; break;
      case L'y': value = time.year % 100; break;
      case L'h': case L'H': value = time.hour; break;
      case L'm': value = time.minute; break;
      case L's': value = time.second; break;
      default: break;
    }
    if (value < 0) {
      out += c;
    } else if (doubled) {
      AppendTwoDigits(out, value);
      ++i;
    } else {
      out += std::to_wstring(value);
    }
  }
  return out;
}

}  // namespace

std::wstring FormatDatePicture(const LocalTime& time, const std::wstring& picture) {
  return FormatPicture(time, picture);
}

std::wstring FormatTimePicture(const LocalTime& time, const std::wstring& picture) {
  return FormatPicture(time, picture);
}

}  // namespace platform
