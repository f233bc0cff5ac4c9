// The whole road of a recording: simulator → recorder → archives → the
// service stand-in → Sended.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>

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

// A program folder and a track name that no ANSI code page holds whole.
const char kProgramFolder[] = "Маршрут ✓ 日本";
const wchar_t kTrackName[] = L"Поездка Jürgen";

TEST(UploadRoad, EveryRecordedTrackReachesTheServiceAndSended) {
  testing_support::ServiceStandin service(
      {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
  ASSERT_TRUE(service.running());
  RecorderRun run(kProgramFolder);
  std::string password = platform::WideToUtf8(CIniFile().Scramble(L"secret", true));
  const std::string track = platform::WideToUtf8(kTrackName);
  // By distance, far enough that only the stop ends the track: the last pass
  // then runs while the sending thread waits, and takes an archive left
  // waiting from before as well.
  run.WriteSettings({"Points=True", "PointsCount=10000", "Prorezhivanie=5", "Track=" + track, "Login=pilot",
                     "Password=" + password, "Server=127.0.0.1:" + std::to_string(service.port())},
                    true);
  std::filesystem::create_directories(run.TracksFile("ToSend"));
  ASSERT_TRUE(testing_support::MakeZip(run.TracksFile("ToSend/track0.zip"), "track.kml",
                                       testing_support::KmlWithPoints(20)));
  std::string waiting = ReadFileBytes(run.TracksFile("ToSend/track0.zip"));
  ASSERT_TRUE(run.StartReceiver({"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "60",
                                 "--epochs", "600"}));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(run.WaitFor("= 1 Чтение координат", 20));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_TRUE(run.WaitFor("Отправлено 2 из 2", 60));
  ASSERT_EQ(run.Quit(), 0);

  EXPECT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{});
  // The folder bears the name as typed, in UTF-8; the wire carries it in cp1251.
  ASSERT_EQ(FilesIn(run.dir() + "/Tracks/Sended/" + track, ".zip"),
            (std::vector<std::string>{"track0.zip", "track1.zip"}));
  // The stand-in keeps what it accepted in arrival order, byte for byte what
  // left ToSend: the waiting archive and the recorded track with its points.
  std::set<std::string> sended;
  for (const char* name : {"track0.zip", "track1.zip"}) {
    sended.insert(ReadFileBytes(run.TracksFile("Sended/" + track + "/" + name)));
  }
  EXPECT_EQ(sended.count(waiting), 1u);
  std::set<std::string> stored;
  for (int upload = 1; upload <= 2; ++upload) {
    std::string folder = service.StoredUpload(upload, "");
    std::vector<std::string> archives = FilesIn(folder, ".zip");
    ASSERT_EQ(archives.size(), 1u) << folder;
    stored.insert(ReadFileBytes(folder + archives[0]));
    EXPECT_EQ(ReadFileBytes(service.StoredUpload(upload, "fields/track_name")), platform::WideToAnsi(kTrackName));
    if (archives[0] == "track1.zip") {
      EXPECT_GE(PointLines(ZipEntry(folder + archives[0], "track.kml")).size(), 8u);
    }
  }
  EXPECT_EQ(stored, sended);
}

// A stop ends a running pass after the archive in hand, and the next start
// does not wait for that archive: the old pass finishes it on its own thread.
TEST(UploadRoad, StartAfterStopDoesNotWaitForTheUploadInHand) {
  auto service = std::make_unique<testing_support::ServiceStandin>(std::vector<std::string>{"--mode", "hang"});
  ASSERT_TRUE(service->running());
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5", "Server=127.0.0.1:" + std::to_string(service->port())});
  std::filesystem::create_directories(run.TracksFile("ToSend"));
  ASSERT_TRUE(testing_support::MakeZip(run.TracksFile("ToSend/track0.zip"), "track.kml",
                                       testing_support::KmlWithPoints(20)));
  ASSERT_TRUE(run.StartReceiver({"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "60",
                                 "--epochs", "900"}));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  run.Command("send");  // ends the track: a pass begins and hangs on its first archive
  ASSERT_TRUE(run.WaitFor("+ Отправка данных на сервер", 30));
  // Past the pause of a second before the archive: a stop within it would
  // upload nothing at all.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  run.Command("start");
  // Only the new recording's track thread posts state 2, and a start that
  // waited for the hung pass would not have begun it. (Its first fix may come
  // before the start's own log lines, so the state is what is waited for.)
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  EXPECT_FALSE(run.Printed("+ Произошла ошибка при отправке данных"));
  service.reset();  // the hung upload fails now, and its pass ends
  ASSERT_TRUE(run.WaitFor("+ Произошла ошибка при отправке данных", 30));
  ASSERT_EQ(run.Quit(), 0);
  // Nothing was accepted: every archive, the one that waited first among them, is still queued.
  EXPECT_TRUE(std::filesystem::exists(run.TracksFile("ToSend/track0.zip")));
  EXPECT_FALSE(std::filesystem::exists(run.TracksFile("Sended")) &&
               !std::filesystem::is_empty(run.TracksFile("Sended")));
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
