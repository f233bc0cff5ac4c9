// The Windows recorder under Wine: COM3 is a pseudo-terminal fed by the
// simulator, the track ends as an archive, and the archive goes to the
// service stand-in and on into Sended, under the code pages of a Russian and
// of a Western Windows.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp1251.h"
#include "platform/text.h"
#include "settings/ini_file.h"
#include "tests/e2e/recorder_run.h"
#include "tests/support/wine_prefix.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

using testing_support::FilesIn;
using testing_support::PointLines;
using testing_support::ReadFileBytes;
using testing_support::RecorderRun;

namespace {

namespace fs = std::filesystem;

const std::string kRecorder = testing_support::WindowsProgram("tools/rovelog-headless.exe");

#define SKIP_WITHOUT_WINE_PROGRAMS()                                    \
  const std::string why = testing_support::WhyNotRunnable(kRecorder); \
  if (!why.empty()) GTEST_SKIP() << why

// Settings for sending by hand to the stand-in as the pilot, in UTF-8.
std::vector<std::string> SendingSettings(const testing_support::ServiceStandin& service, const std::string& track) {
  return {"ByHands=True", "Prorezhivanie=5", "Track=" + track, "Login=pilot",
          "Password=" + platform::WideToUtf8(CIniFile().Scramble(L"secret", true)),
          "Server=127.0.0.1:" + std::to_string(service.port())};
}

bool StartWineRecorder(RecorderRun& run, const testing_support::WinePrefix& wine) {
  return run.StartRecorder(
      {testing_support::kWine, kRecorder, "--dir", testing_support::WindowsPath(run.dir()), "--answer", "no"},
      wine.Environment());
}

TEST(RecorderUnderWine, RecordsSendsAndFilesTheTrackUnderEitherCodePage) {
  SKIP_WITHOUT_WINE_PROGRAMS();
  const std::string track = "Маршрут 1";
  // The track name as a Russian system gives it (code page 1251): in its
  // properties.ini, and on the wire under either code page.
  const std::string russian_track = "\xCC\xE0\xF0\xF8\xF0\xF3\xF2 1";
  const struct {
    const char* locale;
    std::string saved_start;  // properties.ini after a save: as it was, or turned into UTF-16 LE
  } kCodePages[] = {{"ru_RU.UTF-8", "[Properties]"}, {"en_US.UTF-8", "\xFF\xFE"}};
  for (const auto& page : kCodePages) {
    SCOPED_TRACE(page.locale);
    testing_support::ServiceStandin service(
        {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
    ASSERT_TRUE(service.running());
    testing_support::WinePrefix wine(page.locale);
    ASSERT_TRUE(wine.Boot());
    RecorderRun run("Маршрут ✓ 日本");
    std::vector<std::string> settings;
    for (const std::string& line : SendingSettings(service, track)) {
      settings.push_back(base::cp1251::Encode(platform::Utf8ToWide(line)));
    }
    settings.push_back(base::cp1251::Encode(L"Privacy=Только мне"));
    run.WriteSettings(settings, false);
    // Saved as the form shows them, then read back by the next start.
    ASSERT_TRUE(StartWineRecorder(run, wine));
    run.Command("save");
    ASSERT_TRUE(run.WaitFor("# saved", 30)) << run.Transcript();
    ASSERT_EQ(run.Quit(), 0);
    EXPECT_EQ(ReadFileBytes(run.dir() + "/properties.ini").substr(0, page.saved_start.size()), page.saved_start);
    ASSERT_TRUE(run.StartReceiver({"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "120",
                                   "--epochs", "900"},
                                  wine.ComLink(3)));
    ASSERT_TRUE(StartWineRecorder(run, wine));
    run.Command("settings");
    EXPECT_TRUE(run.WaitFor("track=" + track, 30)) << run.Transcript();
    EXPECT_TRUE(run.WaitFor("privacy=Только мне", 30)) << run.Transcript();
    run.Command("start");
    ASSERT_TRUE(run.WaitFor("# state 2", 60));
    run.Command("point Родник Jürgen");
    ASSERT_TRUE(run.WaitFor("создана", 30));
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(run.WaitFor("Чтение координат", 30));
    run.Command("stop");
    ASSERT_TRUE(run.WaitFor("# state 0", 60));
    run.Command("send");
    ASSERT_TRUE(run.WaitFor("Отправлено 1 из 1", 60));
    ASSERT_EQ(run.Quit(), 0);

    EXPECT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{});
    ASSERT_EQ(FilesIn(run.dir() + "/Tracks/Sended/" + track, ".zip"), std::vector<std::string>{"track0.zip"});
    std::string archive = run.TracksFile("Sended/" + track + "/track0.zip");
    EXPECT_GE(PointLines(testing_support::ZipEntry(archive, "track.kml")).size(), 5u);
    // The waypoint's name in code page 1251, where ü has the best fit u.
    EXPECT_NE(testing_support::ZipEntry(archive, "points.wpt").find("\r\n0,\xD0\xEE\xE4\xED\xE8\xEA Jurgen,"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(service.StoredUpload(1, "track0.zip")), ReadFileBytes(archive));
    EXPECT_EQ(ReadFileBytes(service.StoredUpload(1, "fields/track_name")), russian_track);
    EXPECT_EQ(ReadFileBytes(service.StoredUpload(1, "fields/pvt")), "1");
  }
}

// The Windows serial backend with the same receivers as the native run.
TEST(RecorderUnderWine, NoticesAReceiverThatFallsSilentOrIsLostAndKeepsItsLastFix) {
  SKIP_WITHOUT_WINE_PROGRAMS();
  for (bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "lost" : "silent");
    testing_support::WinePrefix wine("ru_RU.UTF-8");
    ASSERT_TRUE(wine.Boot());
    RecorderRun run;
    testing_support::ExpectAGoneReceiverNoticed(run, lost, wine.ComLink(3),
                                                [&] { return StartWineRecorder(run, wine); });
  }
}

// The new device behind COM3 is the dosdevices link pointed at a new pseudo-terminal.
TEST(RecorderUnderWine, ReadsAReceiverPluggedBackUnderTheSameName) {
  SKIP_WITHOUT_WINE_PROGRAMS();
  for (int back_after : {2, 30}) {
    SCOPED_TRACE(back_after);
    testing_support::WinePrefix wine("ru_RU.UTF-8");
    ASSERT_TRUE(wine.Boot());
    RecorderRun run;
    testing_support::ExpectAGoneReceiverNoticed(
        run, true, wine.ComLink(3), [&] { return StartWineRecorder(run, wine); }, back_after);
  }
}

// On a Russian Windows the folder an earlier release made through the ANSI
// calls is the one the wide calls find: the archive joins it.
TEST(RecorderUnderWine, FilesIntoTheSendedFolderAnEarlierReleaseMade) {
  SKIP_WITHOUT_WINE_PROGRAMS();
  const std::string old_maker = testing_support::WindowsProgram("tests/support/ansi-mkdir.exe");
  testing_support::ServiceStandin service(
      {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
  ASSERT_TRUE(service.running());
  testing_support::WinePrefix wine("ru_RU.UTF-8");
  ASSERT_TRUE(wine.Boot());
  RecorderRun run;
  const std::string track = "Поездка";
  fs::create_directories(run.TracksFile("ToSend"));
  fs::create_directories(run.TracksFile("Sended"));
  testing_support::ChildProcess maker;
  ASSERT_TRUE(maker.Start({testing_support::kWine, old_maker,
                           testing_support::WindowsPath(run.TracksFile("Sended/" + track))},
                          wine.Environment(), true));
  ASSERT_EQ(maker.Wait(60), 0);
  ASSERT_TRUE(testing_support::WriteFileBytes(run.TracksFile("Sended/" + track + "/track4.zip"), "older"));
  ASSERT_TRUE(testing_support::MakeZip(run.TracksFile("ToSend/track0.zip"), "track.kml",
                                       testing_support::KmlWithPoints(20)));
  run.WriteSettings(SendingSettings(service, track), true);
  ASSERT_TRUE(StartWineRecorder(run, wine));
  run.Command("send");
  ASSERT_TRUE(run.WaitFor("Отправлено 1 из 1", 60)) << run.Transcript();
  ASSERT_EQ(run.Quit(), 0) << run.Transcript();

  std::vector<std::string> folders;
  for (const auto& entry : fs::directory_iterator(run.TracksFile("Sended"))) {
    folders.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(folders, std::vector<std::string>{track}) << run.Transcript();
  EXPECT_EQ(FilesIn(run.TracksFile("Sended/" + track), ".zip"), (std::vector<std::string>{"track4.zip", "track5.zip"}))
      << run.Transcript();
}

}  // namespace
