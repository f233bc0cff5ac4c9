// Rovelog.exe as a user runs it, worked from outside by the window driver: a
// real receiver capture on COM3, recording by distance, a waypoint and a named one, the
// stop; the start button's picture read from the screen at every step, and
// every archive at the service stand-in byte for byte the one in Sended.
#include "tests/e2e/window_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/text.h"
#include "settings/ini_file.h"
#include "tests/e2e/recorder_run.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

using namespace testing_support;

namespace {

// Stationary, then walking 150 m; six epochs without a fix first.
constexpr char kCapture[] = "/sirf2-haicom-hi305n-moving.nmea";

std::set<std::string> Uploads(const ServiceStandin& service) {
  std::set<std::string> archives;
  for (int upload = 1; std::filesystem::exists(service.StoredUpload(upload, "")); ++upload) {
    for (const std::string& name : FilesIn(service.StoredUpload(upload, ""), ".zip"))
      archives.insert(ReadFileBytes(service.StoredUpload(upload, name)));
  }
  return archives;
}

TEST(WindowUnderWine, RecordsByDistanceAndEveryArchiveReachesTheService) {
  const std::string missing = WindowRun::Missing();
  if (!missing.empty()) GTEST_SKIP() << missing;
  ServiceStandin service({"--login", kPilotLogin, "--password", kPilotPassword});
  ASSERT_TRUE(service.running());
  WineDesktop desktop;
  ASSERT_TRUE(WindowRun::PrepareDesktop(&desktop));
  WindowRun run(&desktop);
  const std::string password = platform::WideToAnsi(CIniFile().Scramble(L"secret", true));
  run.WriteSettings({"Points=True", "PointsCount=50", "Prorezhivanie=1", "Track=Morning", "Login=pilot",
                     "Password=" + password, "Server=127.0.0.1:" + std::to_string(service.port())});
  ASSERT_TRUE(run.StartWindow());
  WindowDriver& driver = run.driver();

  ASSERT_TRUE(driver.WaitForColour(IDC_START, kStopped, 60)) << driver.Colour(IDC_START);
  std::string enabled;
  ASSERT_TRUE(driver.Command("enabled " + std::to_string(IDC_POINT), &enabled));
  EXPECT_EQ(enabled, "0");
  EXPECT_FALSE(driver.Click(IDC_POINT)) << "a point without a position";
  EXPECT_TRUE(run.Screenshot("whole-run-1-stopped"));

  // The receiver starts with the click, so its epochs without a fix come first.
  ASSERT_TRUE(run.StartReceiver(
      {"--file", NmeaCaptureDir() + kCapture, "--pace", "epoch", "--speedup", "2", "--loop"}));
  ASSERT_TRUE(driver.Click(IDC_START));
  ASSERT_TRUE(driver.WaitForColour(IDC_START, kNoPosition, 30)) << driver.Colour(IDC_START);
  EXPECT_TRUE(run.Screenshot("whole-run-2-no-position"));
  ASSERT_TRUE(driver.WaitForColour(IDC_START, kReceiving, 60)) << driver.Colour(IDC_START);
  EXPECT_TRUE(run.Screenshot("whole-run-3-receiving"));

  // A point, then a named one through the name dialog (the buttons work only
  // while coordinates come).
  ASSERT_TRUE(PollFor(60, [&] { return driver.Click(IDC_POINT); }));
  ASSERT_TRUE(driver.WaitForLine(IDC_LOG_LIST, "создана", 30));
  ASSERT_TRUE(PollFor(60, [&] { return driver.Click(IDC_NAMED_POINT); }));
  ShownBox dialog;
  ASSERT_TRUE(driver.WaitForBox(&dialog, 30));
  EXPECT_EQ(dialog.caption, "Точка с названием");
  ASSERT_TRUE(driver.Command("box-set-text " + std::to_string(IDC_POINT_NAME) + " Родник"));
  ASSERT_TRUE(driver.Command("answer 1"));
  ASSERT_TRUE(driver.WaitForLine(IDC_LOG_LIST, "Точка Родник создана", 30));
  EXPECT_TRUE(driver.WaitForNoBox(30));
  // The distance ends a track and its archive goes up while recording goes on.
  ASSERT_TRUE(driver.WaitForLine(IDC_LOG_LIST, "Отправлено 1 из 1", 120));
  EXPECT_TRUE(run.Screenshot("whole-run-4-recording-sent"));
  ASSERT_TRUE(driver.Click(IDC_START));
  ASSERT_TRUE(driver.WaitForColour(IDC_START, kStopped, 60)) << driver.Colour(IDC_START);

  // The stop packs the last track and sends it.
  ASSERT_TRUE(PollFor(120, [&] {
    return FilesIn(run.dir() + "/Tracks/ToSend", ".zip").empty() && FilesIn(run.dir() + "/Tracks", ".kml").empty() &&
           FilesIn(run.dir() + "/Tracks/Sended/Morning", ".zip").size() >= 2 &&
           Uploads(service).size() == FilesIn(run.dir() + "/Tracks/Sended/Morning", ".zip").size();
  }));
  EXPECT_TRUE(run.Screenshot("whole-run-5-stopped-sent"));
  std::set<std::string> sended;
  std::string waypoint_files;
  int waypoints = 0;
  for (const std::string& name : FilesIn(run.dir() + "/Tracks/Sended/Morning", ".zip")) {
    const std::string archive = run.TracksFile("Sended/Morning/" + name);
    sended.insert(ReadFileBytes(archive));
    EXPECT_FALSE(PointLines(ZipEntry(archive, "track.kml")).empty()) << name;
    waypoints += WaypointsIn(archive);
    waypoint_files += ZipEntry(archive, "points.wpt");
  }
  EXPECT_EQ(Uploads(service), sended);
  EXPECT_EQ(waypoints, 2);
  // The name as a Russian Windows writes it, in code page 1251.
  EXPECT_NE(waypoint_files.find(platform::WideToAnsi(L"Родник")), std::string::npos);

  ASSERT_TRUE(driver.Command("close"));
  EXPECT_EQ(run.WaitForExit(60), 0);
}

}  // namespace
