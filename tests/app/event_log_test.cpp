#include "app/event_log.h"

#include <gtest/gtest.h>

namespace {

TEST(EventLog, DetachedLogCountsMinusOneAndWritesNothing) {
  EventLog log(nullptr);
  EXPECT_EQ(log.GetCount(), -1);
  log.AddLine(L"x");
  log.SetLine(0, L"y");
  log.DeleteLine(0);
  EXPECT_EQ(log.GetCount(), -1);
}

TEST(EventLog, AddsSetsAndDeletesOnlyExistingLines) {
  MemoryLineList list;
  EventLog log(&list);
  log.AddLine(L"Текущая операция:");
  log.AddLine(L"");
  log.SetLine(5, L"past the end");
  log.DeleteLine(7);
  log.SetLine(1, L"Чтение координат  .");
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L"Текущая операция:", L"Чтение координат  ."}));
  log.DeleteLine(0);
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L"Чтение координат  ."}));
}

TEST(EventLog, TrimmingFromPastTheEndLeavesTheHeader) {
  MemoryLineList list;
  EventLog log(&list);
  for (int i = 0; i < 10; ++i) log.AddLine(std::to_wstring(i));
  // The track thread starts one past the last line and stops at index 2.
  for (int index = log.GetCount(); index > 2; --index) log.DeleteLine(index);
  log.AddLine(L"new");
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L"0", L"1", L"2", L"new"}));
}

TEST(EventLog, FormatsDateAndTimeWithSeparators) {
  platform::LocalTime evening;
  evening.year = 2026;
  evening.month = 12;
  evening.day = 8;
  evening.hour = 19;
  evening.minute = 5;
  evening.second = 9;
  EXPECT_EQ(EventLog::FormatTime(evening, L':', 3), L"19:05:09");
  EXPECT_EQ(EventLog::FormatTime(evening, L':', 2), L"19:05");
  EXPECT_EQ(EventLog::FormatTime(evening, L':', 1), L"19");
  EXPECT_EQ(EventLog::FormatTime(evening, 0, 3), L"190509");
  EXPECT_EQ(EventLog::FormatDate(evening, L'.'), L"08.12.26");
  EXPECT_EQ(EventLog::FormatDate(evening, L'_'), L"08_12_26");
  EXPECT_EQ(EventLog::FormatDate(evening, 0), L"081226");
}

TEST(EventLog, CurrentTimeHasTheFieldsAsked) {
  EXPECT_EQ(EventLog::FormatTime(L':', 3).size(), 8u);
  EXPECT_EQ(EventLog::FormatDate(L'.').size(), 8u);
}

}  // namespace
