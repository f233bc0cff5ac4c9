#include "settings/send_mode.h"

namespace {

struct Interval {
  const wchar_t* text;
  int minutes;
};

constexpr Interval kIntervals[] = {
    {L"1 мин.", 1},   {L"5 мин.", 5},   {L"10 мин.", 10},  {L"15 мин.", 15}, {L"20 мин.", 20},   {L"30 мин.", 30},
    {L"45 мин.", 45}, {L"1 час", 60},   {L"2 часа", 120},  {L"4 часа", 240}, {L"6 часов", 360},
};

}  // namespace

const std::vector<std::wstring>& IntervalOptions() {
  static const std::vector<std::wstring> options = [] {
    std::vector<std::wstring> texts;
    for (const Interval& interval : kIntervals) texts.push_back(interval.text);
    return texts;
  }();
  return options;
}

int IntervalMinutes(const std::wstring& text) {
  for (const Interval& interval : kIntervals) {
    if (text == interval.text) return interval.minutes;
  }
  return 0;
}
