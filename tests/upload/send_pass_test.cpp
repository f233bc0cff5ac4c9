// A sending pass of the logger against the service stand-in.
#include <gtest/gtest.h>

#include <filesystem>

#include "gps/gps_stat.h"
#include "platform/folders.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

namespace fs = std::filesystem;
using testing_support::MakeZip;

namespace {

TEST(SendAllArchives, StopsAtTheFirstRefusalAndKeepsTheRest) {
  testing_support::ServiceStandin service(
      {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
  ASSERT_TRUE(service.running());
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder(dir.path());
  std::string to_send = dir.File("Tracks/ToSend/");
  fs::create_directories(to_send);
  for (const char* name : {"track1.zip", "track2.zip", "track3.zip"}) {
    ASSERT_TRUE(MakeZip(to_send + name, "track.kml", testing_support::KmlWithPoints(5)));
  }
  // The pass goes in the folder's own order: the second it meets holds no track.
  std::vector<std::string> order = platform::FindFiles(to_send + "*.zip");
  ASSERT_EQ(order.size(), 3u);
  fs::remove(to_send + order[1]);
  ASSERT_TRUE(MakeZip(to_send + order[1], "notes.txt", "no track here"));

  MemoryLineList lines;
  EventLog log(&lines);
  CGpsLogger logger(&log);
  SettingsRecord record;
  record.login = L"pilot";
  record.password = L"secret";
  record.trackname = L"Morning";
  record.server = L"127.0.0.1:" + std::to_wstring(service.port());
  logger.SetSettings(record);
  logger.SendAllArchives();

  std::vector<std::wstring> text = lines.Lines();
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text[0], L"Отправка данных на сервер");
  EXPECT_EQ(text[1], L"Архивов к отправке 3 ");
  EXPECT_EQ(text[2], L"Отправлено 1 из 3");
  EXPECT_EQ(text.back(), L"Произошла ошибка при отправке данных");
  EXPECT_TRUE(fs::exists(dir.File("Tracks/Sended/Morning/track0.zip")));
  EXPECT_FALSE(fs::exists(to_send + order[0]));
  EXPECT_TRUE(fs::exists(to_send + order[1]));
  EXPECT_TRUE(fs::exists(to_send + order[2]));
}

TEST(SendAllArchives, EmptyFolderStillLogsTheHeader) {
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder(dir.path());
  MemoryLineList lines;
  EventLog log(&lines);
  CGpsLogger logger(&log);
  logger.SendAllArchives();
  EXPECT_EQ(lines.Lines(), (std::vector<std::wstring>{L"Отправка данных на сервер", L"Архивов к отправке 0 ", L"", L""}));
}

}  // namespace
