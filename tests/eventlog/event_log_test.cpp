#include "eventlog/event_log.h"

#include <gtest/gtest.h>

#include <thread>

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
  LineList list;
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

TEST(EventLog, HeaderStatusRowAndTrimKeepTheirRows) {
  LineList list;
  EventLog log(&list);
  log.AddLine(L"left from before");
  log.ShowHeader();
  log.AddLine(L"Подключение к COM порту - успешно");
  log.SetStatus(L"Чтение координат  .");
  for (int i = 0; i < 10; ++i) log.AddLine(std::to_wstring(i));
  log.TrimToHeader();
  log.AddSeparator();
  const std::wstring separator(33, L'-');
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L"Текущая операция:", L"Чтение координат  .", L"", separator}));
  log.TrimToHeader();
  log.TrimToHeader();
  EXPECT_EQ(list.Count(), EventLog::kHeaderRows);
}

// The end of a track keeps an open block whole, its row found where it
// stands; once the block is closed and trimmed, its row changes nothing.
TEST(EventLog, ABlockBeingWrittenStaysWholeAcrossTheEndOfATrack) {
  LineList list;
  EventLog log(&list);
  log.ShowHeader();
  log.AddLine(L"Точка 1 создана");
  LineId progress = 0;
  {
    LogBlock pass(log);
    pass.log().AddLine(L"Отправка данных на сервер");
    progress = pass.log().AddLine(L"");
    log.TrimToHeader();
    log.AddLine(L"Упаковано");
    pass.log().AddLine(L"Статус отправки:");
    pass.log().SetLineOf(progress, L"Отправлено 1 из 1");
    EXPECT_EQ(list.Lines(),
              (std::vector<std::wstring>{L"Текущая операция:", L"", L"", L"Отправка данных на сервер",
                                         L"Отправлено 1 из 1", L"Статус отправки:", L"Упаковано"}));
  }
  log.TrimToHeader();
  log.AddLine(L"next");
  log.SetLineOf(progress, L"Отправлено 2 из 2");
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L"Текущая операция:", L"", L"", L"next"}));
}

// A window keeps a copy of the lines by applying each change it hears of;
// writers on several threads must leave it equal to the list itself.
TEST(LineList, ChangesHeardInOrderRebuildTheListFromManyWriters) {
  LineList list;
  std::vector<std::wstring> mirror;
  int changes = 0;
  list.SetListener([&](const LineChange& change) {
    ++changes;
    switch (change.kind) {
      case LineChange::kInserted:
        mirror.insert(mirror.begin() + change.index, change.text);
        break;
      case LineChange::kChanged:
        mirror[change.index] = change.text;
        break;
      case LineChange::kDeleted:
        mirror.erase(mirror.begin() + change.index);
        break;
    }
  });
  EventLog log(&list);
  log.ShowHeader();
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&log, t] {
      for (int i = 0; i < 200; ++i) {
        log.AddLine(std::to_wstring(t) + L":" + std::to_wstring(i));
        log.SetStatus(std::to_wstring(i));
        if (i % 50 == 49) log.TrimToHeader();
        log.DeleteLine(i % 7 + EventLog::kHeaderRows);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  list.Clear();
  log.AddLine(L"after");
  EXPECT_EQ(mirror, list.Lines());
  EXPECT_GT(changes, 4 * 200 * 2);
  EXPECT_EQ(list.Line(0), L"after");
  EXPECT_EQ(list.Line(1), L"");
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
