// The receiver simulator: its generated route, its sentences as an
// independent reader (gpsbabel) sees them, and the program's pacing, faults
// and output on pseudo-terminals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"
#include "tests/support/child_process.h"
#include "tools/nmea-sim/epochs.h"
#include "tools/nmea-sim/route.h"

namespace {

using namespace std::string_literals;
using testing_support::ChildProcess;
using testing_support::ScratchDir;
using testing_support::SimulatorPath;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line.substr(0, line.find('*')));
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

// Checked here without the simulator's own helpers.
bool ChecksumIsRight(const std::string& line) {
  size_t star = line.find('*');
  if (line.empty() || line[0] != '$' || star == std::string::npos || line.back() != '\r') return false;
  int sum = 0;
  for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
  return std::strtol(line.substr(star + 1, 2).c_str(), nullptr, 16) == sum && star + 4 == line.size();
}

// "ddmm.mmmmm" and its hemisphere as signed degrees.
double Angle(const std::string& text, const std::string& hemisphere) {
  size_t point = text.find('.');
  double degrees = std::atof(text.substr(0, point - 2).c_str()) + std::atof(text.substr(point - 2).c_str()) / 60;
  return hemisphere == "S" || hemisphere == "W" ? -degrees : degrees;
}

double Metres(double lat1, double lon1, double lat2, double lon2) {
  const double kRad = 3.14159265358979323846 / 180;
  double a = std::pow(std::sin((lat2 - lat1) * kRad / 2), 2) +
             std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::pow(std::sin((lon2 - lon1) * kRad / 2), 2);
  return 2 * 6371008.8 * std::asin(std::sqrt(a));
}

std::string RouteText(const sim::RouteOptions& options, int epochs) {
  sim::Route route(options);
  std::string text;
  for (int i = 0; i < epochs; ++i) text += route.Sentences(route.Next());
  return text;
}

// Runs the simulator to its end; its exit status.
int RunSimulator(std::vector<std::string> args, double seconds = 30) {
  args.insert(args.begin(), SimulatorPath());
  ChildProcess sim;
  if (!sim.Start(args)) return -1;
  return sim.Wait(seconds);
}

TEST(Route, EpochsAreGgaGsaGsvRmcWithRightChecksums) {
  for (std::string talker : {"GP", "GN"}) {
    sim::RouteOptions options;
    options.talker = talker;
    options.nofix_every = 3;
    options.nofix_for = 2;
    sim::Route route(options);
    for (int epoch = 0; epoch < 6; ++epoch) {
      std::vector<std::string> lines = Lines(route.Sentences(route.Next()));
      ASSERT_GE(lines.size(), 4u);
      for (const std::string& line : lines) EXPECT_TRUE(ChecksumIsRight(line)) << line;
      EXPECT_EQ(lines.front().substr(0, 6), "$" + talker + "GGA");
      EXPECT_EQ(lines[1].substr(0, 6), "$" + talker + "GSA");
      for (size_t i = 2; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].substr(3, 3), "GSV") << lines[i];
      EXPECT_EQ(lines.back().substr(0, 6), "$" + talker + "RMC");
      EXPECT_EQ(Fields(lines.back())[2], epoch % 5 < 3 ? "A" : "V") << epoch;
    }
  }
}

TEST(Route, MovesAtItsSpeedAlongItsCourseStopsAndLosesTheFix) {
  const struct {
    double lat, lon, speed, heading, turn;
  } kCases[] = {{55.751244, 37.618423, 10, 45, 0},
                {-33.5, -70.6, 30, 200, 10},
                {64.7, 179.99995, 20, 90, 0},  // across the date line
                {0.00001, -0.00001, 5, 315, -3}};
  for (const auto& c : kCases) {
    sim::RouteOptions options;
    options.start_latitude = c.lat;
    options.start_longitude = c.lon;
    options.speed_knots = c.speed;
    options.heading = c.heading;
    options.turn = c.turn;
    options.stop_every = 4;
    options.stop_for = 2;
    options.nofix_every = 7;
    options.nofix_for = 2;
    sim::Route route(options);
    sim::RoutePoint last = route.Next();
    EXPECT_NEAR(last.latitude, c.lat, 1e-6);
    EXPECT_NEAR(last.longitude, c.lon, 1e-6);
    for (int epoch = 1; epoch < 20; ++epoch) {
      sim::RoutePoint point = route.Next();
      std::vector<std::string> rmc = Fields(Lines(route.Sentences(point)).back());
      EXPECT_EQ(point.valid, epoch % 9 < 7);
      EXPECT_EQ(point.moving, epoch % 6 < 4);
      if (point.valid) {
        // The sentence carries exactly the point's position and speed.
        EXPECT_NEAR(Angle(rmc[3], rmc[4]), point.latitude, 1e-12);
        EXPECT_NEAR(Angle(rmc[5], rmc[6]), point.longitude, 1e-12);
        EXPECT_DOUBLE_EQ(std::atof(rmc[7].c_str()), point.moving ? c.speed : 0);
      } else {
        EXPECT_EQ(rmc[3] + rmc[4] + rmc[5] + rmc[6] + rmc[7], "");
      }
      // The vehicle moved in the second before this epoch if it was moving then.
      double expected = last.moving ? c.speed * 1852 / 3600 : 0;
      EXPECT_NEAR(Metres(last.latitude, last.longitude, point.latitude, point.longitude), expected, 0.05)
          << "epoch " << epoch;
      last = point;
    }
  }
}

TEST(Route, TimeAndDateRollOverAtMidnight) {
  const struct {
    int time, date, seconds, new_time, new_date;
  } kCases[] = {{235958, 311226, 2, 0, 10127},   {235959, 280224, 1, 0, 290224},
                {235959, 280223, 1, 0, 10323},   {120000, 81226, 3661, 130101, 81226},
                {0, 10100, 86400 * 2, 0, 30100}};
  for (const auto& c : kCases) {
    int time = c.time, date = c.date;
    sim::AddSeconds(c.seconds, &time, &date);
    EXPECT_EQ(time, c.new_time) << c.time << " " << c.date;
    EXPECT_EQ(date, c.new_date) << c.time << " " << c.date;
  }
  sim::RouteOptions options;
  options.start_time = 235959;
  options.start_date = 311226;
  sim::Route route(options);
  route.Next();
  std::vector<std::string> rmc = Fields(Lines(route.Sentences(route.Next())).back());
  EXPECT_EQ(rmc[1], "000000.00");
  EXPECT_EQ(rmc[9], "010127");
}

TEST(SplitIntoEpochs, StartsAnEpochWhereTheTimeChangesAndKeepsEveryByte) {
  const std::string text =
      "$PSRF,boot\r\n$GPGGA,100000.00,x*00\r\n$GPGSA,A\r\n$GPRMC,100000.50,A*00\r\n"
      "\x00garbage\n$GPZDA,100001.00*00\r\n$GPGLL,1,N,2,E,100001.00,A\r\n$GPRMC,100002,V\r\n$GPGSV,1"s;
  std::vector<std::string> epochs = sim::SplitIntoEpochs(text);
  ASSERT_EQ(epochs.size(), 3u);
  EXPECT_EQ(epochs[0].rfind("$PSRF", 0), 0u);
  EXPECT_EQ(epochs[1].rfind("$GPZDA", 0), 0u);
  EXPECT_EQ(epochs[2], "$GPRMC,100002,V\r\n$GPGSV,1");
  EXPECT_EQ(epochs[0] + epochs[1] + epochs[2], text);
}

TEST(NmeaSim, GpsbabelReadsTheGeneratedFixesAtThePredictedPositions) {
  if (std::system("gpsbabel -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "gpsbabel is not installed";
  ScratchDir dir;
  ASSERT_EQ(RunSimulator({"--device", dir.File("route.nmea"), "--pace", "fast", "--epochs", "30", "--start",
                          "-27.47,153.02", "--speed", "25", "--turn", "4", "--stop-every", "6", "--stop-for",
                          "3", "--nofix-every", "10", "--nofix-for", "4", "--talker", "GN"}),
            0);
  std::string command = "gpsbabel -t -i nmea -f " + dir.File("route.nmea") + " -o unicsv -F " + dir.File("route.csv");
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<std::string> rows = Lines(testing_support::ReadFileBytes(dir.File("route.csv")));
  ASSERT_FALSE(rows.empty());
  rows.erase(rows.begin());  // column names
  sim::RouteOptions options;
  options.start_latitude = -27.47;
  options.start_longitude = 153.02;
  options.speed_knots = 25;
  options.turn = 4;
  options.stop_every = 6;
  options.stop_for = 3;
  options.nofix_every = 10;
  options.nofix_for = 4;
  sim::Route route(options);
  size_t row = 0;
  for (int epoch = 0; epoch < 30; ++epoch) {
    sim::RoutePoint point = route.Next();
    if (!point.valid) continue;
    ASSERT_LT(row, rows.size());
    std::vector<std::string> columns = Fields(rows[row++]);
    EXPECT_NEAR(std::atof(columns[1].c_str()), point.latitude, 1e-6) << rows[row - 1];
    EXPECT_NEAR(std::atof(columns[2].c_str()), point.longitude, 1e-6) << rows[row - 1];
  }
  EXPECT_EQ(row, rows.size());
}

TEST(NmeaSim, FileOutputHonoursCutLoopAndGarbage) {
  sim::RouteOptions options;
  const std::string one = RouteText(options, 1);
  const std::string two = RouteText(options, 2);
  const std::string second = two.substr(one.size());
  const std::string first_line = second.substr(0, second.find('\n'));
  const struct {
    std::vector<std::string> args;
    std::string expected;
  } kCases[] = {
      {{"--epochs", "5", "--cut", "1"}, one},
      {{"--epochs", "5", "--cut", "1", "--mid-sentence"}, one + first_line.substr(0, first_line.size() / 2)},
      {{"--epochs", "2", "--loop", "--cut", "5"}, two + two + one},
      {{"--epochs", "2", "--silence", "1:0.1", "--mid-sentence"}, two},
  };
  for (const auto& c : kCases) {
    ScratchDir dir;
    std::vector<std::string> args = {"--device", dir.File("out.nmea"), "--pace", "fast"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ASSERT_EQ(RunSimulator(args), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(dir.File("out.nmea")), c.expected) << c.args[1] << c.args[3];
  }
  // Garbage comes between epochs and leaves every sentence whole.
  ScratchDir dir;
  ASSERT_EQ(RunSimulator({"--device", dir.File("out.nmea"), "--pace", "fast", "--epochs", "2", "--garbage-every",
                          "1", "--seed", "7"}),
            0);
  std::string noisy = testing_support::ReadFileBytes(dir.File("out.nmea"));
  EXPECT_EQ(noisy.rfind(one, 0), 0u);
  size_t after = noisy.find(second, one.size());
  ASSERT_NE(after, std::string::npos);
  EXPECT_GT(after, one.size());
  EXPECT_GT(noisy.size(), after + second.size());
}

TEST(NmeaSim, PacesEpochsAndLineRate) {
  const struct {
    std::vector<std::string> args;
    double at_least;  // seconds
  } kCases[] = {
      // Five epochs, two a second: four intervals of half a second.
      {{"--epochs", "5", "--speedup", "2"}, 2.0},
      // Six epochs at four times 480 bytes a second.
      {{"--epochs", "6", "--pace", "line", "--speedup", "4"},
       static_cast<double>(RouteText(sim::RouteOptions(), 6).size()) / (4 * 480)},
  };
  for (const auto& c : kCases) {
    ScratchDir dir;
    std::vector<std::string> args = {"--device", dir.File("out.nmea")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunSimulator(args), 0);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(took, c.at_least * 0.9) << c.args[1];
    EXPECT_LT(took, c.at_least * 3 + 2) << c.args[1];
  }
}

// Opens the reader's side the way a serial reader would: raw.
int OpenRaw(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  termios tty;
  if (fd >= 0 && tcgetattr(fd, &tty) == 0) {
    cfmakeraw(&tty);
    tty.c_cc[VMIN] = 0;
    tty.c_cc[VTIME] = 5;
    tcsetattr(fd, TCSANOW, &tty);
  }
  return fd;
}

TEST(NmeaSim, ReplaysAFileByteForByteOntoAPseudoTerminalAndHoldsItUntilRead) {
  SKIP_WITHOUT_CAPTURES();
  const std::string capture = testing_support::NmeaCaptures().front();
  const std::string bytes = testing_support::ReadFileBytes(capture);
  ScratchDir dir;
  ChildProcess sim;
  ASSERT_TRUE(sim.Start({SimulatorPath(), "--file", capture, "--pace", "fast", "--hold", "20", "--link",
                         dir.File("com3")}));
  std::string path;
  ASSERT_TRUE(sim.ReadLine(&path, 10));
  char target[256] = {};
  ASSERT_GT(readlink(dir.File("com3").c_str(), target, sizeof(target) - 1), 0);
  EXPECT_EQ(path, target);
  // Read late: what was sent waits in the line.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int fd = OpenRaw(path);
  ASSERT_GE(fd, 0);
  std::string got;
  char buffer[4096];
  for (ssize_t count; got.size() < bytes.size() && (count = read(fd, buffer, sizeof(buffer))) > 0;) {
    got.append(buffer, static_cast<size_t>(count));
  }
  EXPECT_EQ(got, bytes);
  // Everything taken: the hold ends long before its 20 seconds.
  EXPECT_EQ(sim.Wait(5), 0);
  close(fd);
  EXPECT_NE(access(dir.File("com3").c_str(), F_OK), 0) << "the link outlived the simulator";
}

TEST(NmeaSim, FallsSilentMidSentenceAndEndsCleanlyOnSigterm) {
  ScratchDir dir;
  ChildProcess sim;
  ASSERT_TRUE(sim.Start({SimulatorPath(), "--pace", "fast", "--silence", "1:1.5", "--mid-sentence", "--link",
                         dir.File("com5")}));
  std::string path;
  ASSERT_TRUE(sim.ReadLine(&path, 10));
  int fd = OpenRaw(path);
  ASSERT_GE(fd, 0);
  // Endless route: read until a pause of over a second shows the silence.
  std::string before;
  char buffer[256];
  auto last = std::chrono::steady_clock::now();
  double longest = 0;
  for (int i = 0; i < 2000 && longest < 1; ++i) {
    ssize_t count = read(fd, buffer, sizeof(buffer));
    auto now = std::chrono::steady_clock::now();
    if (count <= 0) continue;
    longest = std::max(longest, std::chrono::duration<double>(now - last).count());
    if (longest < 1) before.append(buffer, static_cast<size_t>(count));
    last = now;
  }
  close(fd);
  EXPECT_GE(longest, 1.0);
  const std::string one = RouteText(sim::RouteOptions(), 1);
  const std::string second = RouteText(sim::RouteOptions(), 2).substr(one.size());
  EXPECT_EQ(before, one + second.substr(0, second.find('\n') / 2));
  EXPECT_EQ(sim.Stop(2), 0);
  EXPECT_NE(access(dir.File("com5").c_str(), F_OK), 0);
}

}  // namespace
