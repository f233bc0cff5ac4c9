// Whole runs of the recorder: simulator → pseudo-terminal → headless driver
// → track files, waypoints and archives.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/e2e/recorder_run.h"
#include "tests/gps/capture_reading.h"
#include "tests/track/external_tool.h"
#include "tools/nmea-sim/route.h"
#include "track/track_check.h"

using testing_support::FilesIn;
using testing_support::PointLines;
using testing_support::ReadFileBytes;
using testing_support::RecorderRun;
using testing_support::RoutePositions;
using testing_support::SamePosition;
using testing_support::ZipEntry;

namespace {

// A route at 20 knots (about 10 m per second), sent ten times faster than life.
const std::vector<std::string> kFastRoute = {"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "60"};

std::vector<std::string> With(std::vector<std::string> options, const std::vector<std::string>& more) {
  options.insert(options.end(), more.begin(), more.end());
  return options;
}

// The log the printed changes leave when every insertion appended (no pass ran).
std::vector<std::string> FinalLog(const std::vector<std::string>& output) {
  std::vector<std::string> log;
  for (const std::string& line : output) {
    if (line.rfind("+ ", 0) == 0) log.push_back(line.substr(2));
    if (line.rfind("- ", 0) == 0) log.erase(log.begin() + std::stoi(line.substr(2)));
  }
  return log;
}
// Every point line is one of the route's epochs, in the route's order.
void ExpectPointsFollowTheRoute(const std::vector<std::string>& points, int epochs) {
  sim::RouteOptions options;
  options.speed_knots = 20;
  sim::Route route(options);
  std::vector<sim::RoutePoint> all;
  for (int i = 0; i < epochs; ++i) all.push_back(route.Next());
  size_t next = 0;
  for (const std::string& line : points) {
    double longitude = 0, latitude = 0, speed = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%lf", &longitude, &latitude, &speed), 3) << line;
    while (next < all.size() && (std::fabs(all[next].latitude - latitude) > 1e-7 ||
                                 std::fabs(all[next].longitude - longitude) > 1e-7)) {
      ++next;
    }
    ASSERT_LT(next, all.size()) << "not a point of the route, or out of order: " << line;
    EXPECT_NEAR(speed, 20, 1e-9);
  }
}

TEST(Recorder, RecordsWaypointsAndPacksTheTrackAtStop) {
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5", "Track=demo"});
  ASSERT_TRUE(run.StartReceiver(With(kFastRoute, {"--epochs", "400"})));
  ASSERT_TRUE(run.StartRecorder());
  // A waypoint asked for before the start belongs to no recording.
  run.Command("point Early");
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  run.Command("point");
  run.Command("point Camp, north");
  ASSERT_TRUE(run.WaitFor("+ Точка Camp  north создана", 20));
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(run.WaitFor("= 1 Чтение координат", 20));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_EQ(run.Quit(), 0);

  EXPECT_TRUE(run.Printed("+ Подключение к COM порту - успешно"));
  EXPECT_FALSE(run.Printed("+ Точка Early создана"));
  EXPECT_TRUE(run.Printed("= 1 Программа остановлена"));
  EXPECT_TRUE(run.Printed("+ Упаковано"));
  // By hand, a stop packs the track but sends nothing.
  EXPECT_FALSE(run.Printed("+ Отправка данных на сервер"));
  EXPECT_EQ(FilesIn(run.dir() + "/Tracks", ".kml"), std::vector<std::string>{});
  ASSERT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{"track0.zip"});

  std::string archive = run.TracksFile("ToSend/track0.zip");
  std::string kml = ZipEntry(archive, "track.kml");
  std::vector<std::string> points = PointLines(kml);
  EXPECT_GE(points.size(), 5u);
  ExpectPointsFollowTheRoute(points, 400);
  EXPECT_NE(kml.find("</coordinates>\r\n</LineString>\r\n</Placemark>\r\n</Folder>\r\n</Document>\r\n"),
            std::string::npos);
  std::string waypoints = ZipEntry(archive, "points.wpt");
  EXPECT_EQ(waypoints.rfind("OziExplorer Waypoint File Version 1.1\r\n", 0), 0u);
  // The two requests may be taken with one fix or two, in either order: the
  // numbers are 0 and 1, and the named one keeps its name without the comma.
  EXPECT_NE(waypoints.find("\r\n0,"), std::string::npos) << waypoints;
  EXPECT_NE(waypoints.find("\r\n1,"), std::string::npos) << waypoints;
  EXPECT_NE(waypoints.find(",Camp  north,"), std::string::npos) << waypoints;
  EXPECT_FALSE(std::filesystem::exists(run.TracksFile("points.wpt")));

  std::string file = run.TracksFile("check.kml");
  testing_support::WriteFileBytes(file, kml);
  EXPECT_EQ(std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()), 0);
}

// A receiver of ten fixes a second (USB receivers ignore the baud rate), and
// one that floods the line with NUL bytes while it boots: the recorder keeps
// up, so the last epoch is in the track soon after it was sent, and no epoch
// after the first one read is missing.
TEST(Recorder, KeepsUpWithFastAndFloodingReceivers) {
  struct Case {
    const char* name;
    int epochs;
    std::vector<std::string> faults;
  };
  const Case cases[] = {
      {"10 Hz", 200, {}},
      {"a 50 KB NUL burst", 60, {"--nul-burst", "10:50000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<double, double>> route = RoutePositions(c.epochs);
    RecorderRun run;
    run.WriteSettings({"ByHands=True", "Prorezhivanie=5"});
    ASSERT_TRUE(run.StartReceiver(With(With(kFastRoute, {"--epochs", std::to_string(c.epochs)}), c.faults)));
    ASSERT_TRUE(run.StartRecorder());
    run.Command("start");
    ASSERT_TRUE(run.WaitFor("# state 2", 20));
    // The route takes 20 s (or 6 s and the burst's 10 s) to send; a recorder
    // that falls behind takes a minute or more to write its last point.
    // The last epoch's RMC is complete at its checksum: no later "$" is
    // needed to end it.
    auto last_written = [&] {
      std::vector<std::string> points = PointLines(ReadFileBytes(run.TracksFile("track0.kml")));
      return !points.empty() && SamePosition(points.back(), route.back());
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (!last_written() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    run.Command("stop");
    ASSERT_TRUE(run.WaitFor("# state 0", 30));
    ASSERT_EQ(run.Quit(), 0);
    std::vector<std::string> points = PointLines(ZipEntry(run.TracksFile("ToSend/track0.zip"), "track.kml"));
    ASSERT_FALSE(points.empty());
    // Epochs sent before the recorder opened the port are not its to lose.
    size_t first = 0;
    while (first < route.size() && !SamePosition(points[0], route[first])) ++first;
    ASSERT_LT(first, 5u) << points[0];
    // Each epoch is 10 m from the last, beyond the 5 m thinning: all are written.
    ASSERT_EQ(points.size(), route.size() - first);
    for (size_t i = 0; i < points.size(); ++i) EXPECT_TRUE(SamePosition(points[i], route[first + i])) << i;
  }
}

// A Tracks folder that cannot hold files, and a disk that fills up after a
// few points (a file-size limit whose signal is ignored makes every later
// write fail as a full disk does): the log says so once, the status never
// claims coordinates are being recorded, no waypoint is reported made, and no
// packing is reported done.
TEST(Recorder, TrackFilesThatCannotBeWrittenAreReportedOnce) {
  struct Case {
    const char* name;
    bool tracks_is_a_file;
    const char* size_limit;  // in 512-byte blocks; empty for none
  };
  for (const Case& c : {Case{"no Tracks folder", true, ""}, Case{"a full disk", false, "2"}}) {
    SCOPED_TRACE(c.name);
    RecorderRun run;
    run.WriteSettings({"ByHands=True", "Prorezhivanie=5"});
    if (c.tracks_is_a_file) testing_support::WriteFileBytes(run.dir() + "/Tracks", "not a folder");
    ASSERT_TRUE(run.StartReceiver(With(kFastRoute, {"--epochs", "600"})));
    std::string limit = *c.size_limit ? std::string("ulimit -f ") + c.size_limit + "; " : "";
    ASSERT_TRUE(run.StartRecorder({"/bin/sh", "-c", "trap '' XFSZ; " + limit + "exec \"$0\" \"$@\"",
                                   testing_support::HeadlessPath(), "--dir", run.dir(), "--answer", "no"},
                                  {}));
    run.Command("start");
    ASSERT_TRUE(run.WaitFor("+ Ошибка записи трека: файл", 30));
    ASSERT_TRUE(run.WaitFor("= 1 Ошибка записи трека  .", 20));
    if (c.tracks_is_a_file) {
      run.Command("point Camp");
      ASSERT_TRUE(run.WaitFor("+ Ошибка: точка Camp не записана", 20));
    }
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(run.WaitFor("= 1 Ошибка записи трека", 20));
    run.Command("stop");
    ASSERT_TRUE(run.WaitFor("# state 0", 30));
    ASSERT_EQ(run.Quit(), 0);
    EXPECT_EQ(std::count_if(run.output().begin(), run.output().end(),
                            [](const std::string& line) { return line.rfind("+ Ошибка записи трека: файл", 0) == 0; }),
              1);
    // After the stop the error stands right below the header.
    EXPECT_EQ(FinalLog(run.output()).at(3).rfind("Ошибка записи трека: файл", 0), 0u) << run.Transcript();
    if (c.tracks_is_a_file) {
      EXPECT_FALSE(run.Printed("+ Упаковано"));
      EXPECT_FALSE(run.Printed("+ Точка Camp создана"));
      EXPECT_TRUE(std::none_of(run.output().begin(), run.output().end(), [](const std::string& line) {
        return line.rfind("= 1 Чтение координат", 0) == 0;
      }));
    } else {
      // What reached the disk before it filled is a well-formed track.
      std::string kml = ReadFileBytes(run.TracksFile("track0.kml"));
      if (kml.empty()) kml = ZipEntry(run.TracksFile("ToSend/track0.zip"), "track.kml");
      EXPECT_FALSE(PointLines(kml).empty());
    }
  }
}

TEST(Recorder, SignalLossClosesAndReopensSegments) {
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5"});
  ASSERT_TRUE(run.StartReceiver(With(kFastRoute, {"--nofix-every", "6", "--nofix-for", "3", "--epochs", "400"})));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  ASSERT_TRUE(run.WaitFor("# state 1", 20));
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  ASSERT_TRUE(run.WaitFor("= 1 Чтение координат", 20));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_EQ(run.Quit(), 0);

  std::vector<int> states = run.States();
  ASSERT_GE(states.size(), 4u);
  EXPECT_EQ(std::vector<int>(states.begin(), states.begin() + 3), (std::vector<int>{2, 1, 2}));
  EXPECT_EQ(states.back(), 0);
  EXPECT_TRUE(run.Printed("= 1 Потерян сигнал GPS  >"));
  std::string kml = ZipEntry(run.TracksFile("ToSend/track0.zip"), "track.kml");
  size_t placemarks = 0;
  for (size_t at = kml.find("<Placemark>"); at != std::string::npos; at = kml.find("<Placemark>", at + 1)) ++placemarks;
  EXPECT_GE(placemarks, 2u);
}

TEST(Recorder, SilentReceiverPostsNoStateAndLeavesNoTrack) {
  RecorderRun run;
  run.WriteSettings({"ByHands=True"});
  ASSERT_TRUE(run.StartReceiver({"--silence", "0:60", "--epochs", "1"}));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("+ Прием данных с GPS", 20));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_EQ(run.Quit(), 0);

  EXPECT_EQ(run.States(), std::vector<int>{0});
  EXPECT_TRUE(run.Printed("= 1 Нет связи с GPS-устройсвом >"));
  EXPECT_EQ(FilesIn(run.dir() + "/Tracks", ".kml"), std::vector<std::string>{});
  EXPECT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{});
}

TEST(Recorder, NoticesAReceiverThatFallsSilentOrIsLostAndKeepsItsLastFix) {
  for (bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "lost" : "silent");
    RecorderRun run;
    testing_support::ExpectAGoneReceiverNoticed(run, lost, "", [&] { return run.StartRecorder(); });
  }
}

// Past the silent-line limit too, the port is reopened by itself.
TEST(Recorder, ReadsAReceiverPluggedBackUnderTheSameName) {
  for (int back_after : {2, 30}) {
    SCOPED_TRACE(back_after);
    RecorderRun run;
    testing_support::ExpectAGoneReceiverNoticed(
        run, true, "", [&] { return run.StartRecorder(); }, back_after);
  }
}

TEST(Recorder, SendingByDistanceEndsTracksAtTheDistance) {
  RecorderRun run;
  run.WriteSettings({"Points=True", "PointsCount=50", "Prorezhivanie=5"});
  ASSERT_TRUE(run.StartReceiver(With(kFastRoute, {"--epochs", "400"})));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  for (int track = 0; track < 3; ++track) ASSERT_TRUE(run.WaitFor("+ Упаковано", 30));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_EQ(run.Quit(), 0);

  std::vector<std::string> archives = FilesIn(run.dir() + "/Tracks/ToSend", ".zip");
  ASSERT_GE(archives.size(), 3u);
  // Every track but the last one ended once its points added up to 50 m.
  for (size_t i = 0; i + 1 < archives.size(); ++i) {
    std::vector<std::string> points = PointLines(ZipEntry(run.TracksFile("ToSend/" + archives[i]), "track.kml"));
    ASSERT_FALSE(points.empty()) << archives[i];
    EXPECT_LE(points.size(), 8u) << archives[i];
  }
  // The service cannot be reached: the pass stops at the first archive.
  EXPECT_TRUE(run.Printed("+ Произошла ошибка при отправке данных"));
}

TEST(Recorder, KilledRecorderLosesNoWrittenPoint) {
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5"});
  ASSERT_TRUE(run.StartReceiver(With(kFastRoute, {"--epochs", "600"})));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 20));
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(run.WaitFor("= 1 Чтение координат", 20));
  kill(run.recorder().pid(), SIGKILL);
  run.recorder().Wait(10);
  std::vector<std::string> written = PointLines(ReadFileBytes(run.TracksFile("track0.kml")));
  ASSERT_GE(written.size(), 5u);

  // The next start finds the left-over track and packs it on "yes".
  ASSERT_TRUE(run.StartRecorder("yes"));
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("? С прошлого запуска программы", 20));
  ASSERT_TRUE(run.WaitFor("+ Прием данных с GPS", 20));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 30));
  ASSERT_EQ(run.Quit(), 0);

  std::vector<std::string> packed = PointLines(ZipEntry(run.TracksFile("ToSend/track1.zip"), "track.kml"));
  ASSERT_GE(packed.size(), written.size());
  EXPECT_EQ(std::vector<std::string>(packed.begin(), packed.begin() + written.size()), written);
}

}  // namespace

namespace {

// The point lines the thinning rule lets through from a capture's valid fixes:
// the first one, then each at least the thinning distance from the last one
// written (coordinates as the track prints them, with nine digits).
std::vector<std::pair<double, double>> ThinnedPositions(const std::vector<testing_support::ExpectedFix>& fixes,
                                                        int thinning) {
  std::vector<std::pair<double, double>> written;
  for (const testing_support::ExpectedFix& fix : fixes) {
    if (!fix.valid) continue;
    if (written.empty()) {
      written.emplace_back(fix.latitude, fix.longitude);
      continue;
    }
    int distance = TrackDistance(written.back().first, fix.latitude, written.back().second, fix.longitude);
    if (distance >= thinning && fix.latitude != 0 && fix.longitude != 0) written.emplace_back(fix.latitude, fix.longitude);
  }
  return written;
}

TEST(Recorder, RecordsARealCaptureAsTheThinningRulePredicts) {
  SKIP_WITHOUT_CAPTURES();
  std::string capture = testing_support::NmeaCaptureDir() + "/sirf2-haicom-hi305n-moving.nmea";
  std::vector<testing_support::ExpectedFix> fixes = testing_support::ExpectedFixes(ReadFileBytes(capture));
  ASSERT_GT(fixes.size(), 20u);
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=10"});
  ASSERT_TRUE(run.StartReceiver({"--file", capture, "--pace", "fast", "--hold", "120"}));
  ASSERT_TRUE(run.StartRecorder());
  run.Command("start");
  // Every delivered fix rewrites the status row; the capture is read when
  // the row has been still for five seconds (after the capture the silent
  // line shows only after about 25 s). The reader takes a fast capture as fast
  // as it comes, so a good part of it may be read before the start command
  // has laid out the log, and those rewrites are not seen: the track itself,
  // compared below point by point, tells whether all of it was read.
  size_t rewrites = 0;
  while (run.WaitFor("= 1 ", 5)) ++rewrites;
  ASSERT_GT(rewrites, 0u);
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 60));
  ASSERT_EQ(run.Quit(), 0);

  std::string kml = ZipEntry(run.TracksFile("ToSend/track0.zip"), "track.kml");
  std::vector<std::string> points = PointLines(kml);
  std::vector<std::pair<double, double>> expected = ThinnedPositions(fixes, 10);
  ASSERT_EQ(points.size(), expected.size());
  for (size_t i = 0; i < points.size(); ++i) {
    double longitude = 0, latitude = 0;
    ASSERT_EQ(std::sscanf(points[i].c_str(), "%lf,%lf", &longitude, &latitude), 2);
    EXPECT_NEAR(latitude, expected[i].first, 1e-6) << i;
    EXPECT_NEAR(longitude, expected[i].second, 1e-6) << i;
  }
  // Real readers take the file: xmllint, and gpsbabel finds the same points.
  std::string file = run.TracksFile("capture.kml");
  testing_support::WriteFileBytes(file, kml);
  EXPECT_EQ(std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()), 0);
  track_testing::GpsbabelTable table = track_testing::GpsbabelToCsv("-t -i kml", file);
  ASSERT_TRUE(table.ok) << table.log;
  EXPECT_EQ(table.rows.size(), expected.size());
}

}  // namespace
