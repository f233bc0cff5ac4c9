// When a finished track is sent, the intervals a user may choose for sending
// by time, and the service host of an installation without a setting for it.
#pragma once

#include <string>
#include <vector>

// Stored in properties.ini as the flags "Time", "Points" and "ByHands".
enum SendMode { kSendModeNone = -1, kSendByTime = 0, kSendByDistance = 1, kSendByHand = 2 };

// The interval texts of the form, in its order.
const std::vector<std::wstring>& IntervalOptions();

// Minutes of an interval text, compared exactly ("5 мин." gives 5, "1 час"
// 60); 0 for any text not in the list.
int IntervalMinutes(const std::wstring& text);

// A reserved name that never resolves, so nothing is sent anywhere by accident.
inline constexpr char kDefaultServiceHost[] = "rovelog.example";
