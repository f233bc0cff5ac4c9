// Local date and time, and their texts in the pictures of GetDateFormat and
// GetTimeFormat ("dd'.'MM'.'yy", "hh':'mm':'ss").
#pragma once

#include <string>

namespace platform {

struct LocalTime {
  int year = 0;    // four digits
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
};

// The current local time (GetLocalTime on Windows).
LocalTime CurrentLocalTime();

// The date formatted with a date picture for the system default locale: dd,
// MM and yy are two-digit day, month and year; text in single quotes is
// copied as it stands.
std::wstring FormatDatePicture(const LocalTime& time, const std::wstring& picture);

// The time formatted with a time picture and 24-hour hours forced: hh, mm and
// ss are two-digit hour, minute and second; quoted text is copied.
std::wstring FormatTimePicture(const LocalTime& time, const std::wstring& picture);

}  // namespace platform
