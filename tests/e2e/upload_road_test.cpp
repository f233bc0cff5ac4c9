// The whole road of a recording: simulator → recorder → archives → the
// service stand-in → Sended.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/text.h"
#include "settings/ini_file.h"
#include "tests/e2e/recorder_run.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

using testing_support::FilesIn;
using testing_support::PointLines;
using testing_support::ReadFileBytes;
using testing_support::RecorderRun;
using testing_support::ZipEntry;

namespace {

TEST(UploadRoad, EveryRecordedTrackReachesTheServiceAndSended) {
  testing_support::ServiceStandin service(
      {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
  ASSERT_TRUE(service.running());
  RecorderRun run;
  std::string password = platform::WideToAnsi(CIniFile().Scramble(L"secret", true));
  run.WriteSettings({"Points=True", "PointsCount=500", "Prorezhivanie=5", "Track=Morning", "Login=pilot",
                     "Password=" + password, "Server=127.0.0.1:" + std::to_string(service.port())});
  ASSERT_TRUE(run.StartReceiver({"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "60",
                                 "--epochs", "600"}));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  // Two tracks of 500 m go while recording; the stop comes while the
  // sending thread waits for the third.
  ASSERT_TRUE(run.WaitFor("Отправлено 1 из 1", 60));
  ASSERT_TRUE(run.WaitFor("Отправлено 1 из 1", 60));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  // By distance, the track ended by the stop is sent in one last pass.
  ASSERT_TRUE(run.WaitFor("+ Отправка данных на сервер", 30));
  ASSERT_EQ(run.Quit(), 0);

  EXPECT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{});
  std::vector<std::string> sent = FilesIn(run.dir() + "/Tracks/Sended/Morning", ".zip");
  ASSERT_GE(sent.size(), 2u);
  // The stand-in keeps what it accepted in arrival order; each is byte for
  // byte an archive that left ToSend, and holds the recorded points.
  std::set<std::string> sended_bytes;
  for (const std::string& name : sent) sended_bytes.insert(ReadFileBytes(run.TracksFile("Sended/Morning/" + name)));
  size_t points = 0;
  for (size_t i = 0; i < sent.size(); ++i) {
    std::string kept = service.StoredUpload(static_cast<int>(i + 1), "");
    ASSERT_TRUE(std::filesystem::is_directory(kept)) << kept;
    std::vector<std::string> archives = FilesIn(kept, ".zip");
    ASSERT_EQ(archives.size(), 1u);
    std::string bytes = ReadFileBytes(kept + "/" + archives[0]);
    EXPECT_EQ(sended_bytes.count(bytes), 1u) << archives[0];
    points += PointLines(ZipEntry(kept + "/" + archives[0], "track.kml")).size();
  }
  EXPECT_GE(points, 15u);
}

}  // namespace

namespace {

TEST(UpdateCommand, PrintsTheVerdictOfTheService) {
  const char* versions[] = {"win1_2", "win1_3"};
  const char* verdicts[] = {"? Нет доступных обновлений. -> ok", "? Доступна новая версия программы."};
  for (int i = 0; i < 2; ++i) {
    testing_support::ServiceStandin service({"--version-text", versions[i]});
    ASSERT_TRUE(service.running());
    RecorderRun run;
    run.WriteSettings({"Server=127.0.0.1:" + std::to_string(service.port())});
    ASSERT_TRUE(run.StartRecorder());
    run.Command("update");
    ASSERT_TRUE(run.WaitFor("? ", 30));
    EXPECT_EQ(run.output().back().rfind(verdicts[i], 0), 0u) << run.output().back();
    ASSERT_EQ(run.Quit(), 0);
  }
}

}  // namespace
