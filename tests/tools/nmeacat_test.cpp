// nmeacat prints the fixes the reader delivers: from capture files here, and
// as the Windows program under Wine from a COM port that is a pseudo-terminal
// fed by the receiver simulator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/gps/capture_reading.h"
#include "tests/support/test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/wine_prefix.h"

namespace {

using testing_support::ChildProcess;
using testing_support::ExpectedFix;
using testing_support::ScratchDir;


std::string NmeacatPath() { return std::string(ROVELOG_BINARY_DIR) + "/tools/nmeacat"; }

// nmeacat's lines back as fixes; the "no fix" lines are counted.
std::vector<ExpectedFix> ParseOutput(const std::string& output, int* no_fix_lines) {
  std::vector<ExpectedFix> fixes;
  *no_fix_lines = 0;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a Windows console's line end
    if (line == "no fix") {
      ++*no_fix_lines;
      continue;
    }
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    EXPECT_EQ(fields.size(), 6u) << line;
    if (fields.size() != 6) continue;
    ExpectedFix fix;
    fix.time = std::atoi(fields[0].c_str());
    fix.valid = fields[1] == "A";
    fix.latitude = std::strtod(fields[2].c_str(), nullptr);
    fix.longitude = std::strtod(fields[3].c_str(), nullptr);
    fix.speed = std::strtod(fields[4].c_str(), nullptr);
    fix.date = std::atoi(fields[5].c_str());
    fixes.push_back(fix);
  }
  return fixes;
}

std::vector<ExpectedFix> ExpectedFixesOf(const std::string& capture) {
  return testing_support::ExpectedFixes(testing_support::ReadFileBytes(capture));
}

// Runs nmeacat to its end; its output.
std::string RunNmeacat(const std::vector<std::string>& args, int* status) {
  ChildProcess cat;
  std::vector<std::string> argv = {NmeacatPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  if (!cat.Start(argv)) return std::string();
  std::string output = cat.ReadAll(60);
  *status = cat.Wait(10);
  return output;
}

TEST(Nmeacat, PrintsTheFixesOfEveryCaptureFileAndEndsWithIt) {
  SKIP_WITHOUT_CAPTURES();
  for (const std::string& capture : testing_support::NmeaCaptures()) {
    SCOPED_TRACE(capture);
    int status = -1;
    int no_fix = 0;
    std::vector<ExpectedFix> printed = ParseOutput(RunNmeacat({capture}, &status), &no_fix);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testing_support::FixMismatch(ExpectedFixesOf(capture), printed), "");
  }
}

TEST(Nmeacat, PrintsNoFixAfterFiftyLinesWithoutOneAndStopsAtTheAskedCount) {
  ScratchDir dir;
  std::string lines;
  for (int i = 0; i < 60; ++i) lines += "$GPGSV,1,1,00*79\r\n";
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("silent.nmea"), lines));
  int status = -1;
  EXPECT_EQ(RunNmeacat({dir.File("silent.nmea")}, &status), "no fix\n");
  EXPECT_EQ(status, 0);

  const std::string rmc = "$GPRMC,081836,A,3751.65,S,14507.36,E,000.0,360.0,130998,011.3,E*62\r\n";
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("fixes.nmea"), rmc + rmc + rmc + rmc));
  EXPECT_EQ(RunNmeacat({"--fixes", "2", dir.File("fixes.nmea")}, &status),
            "081836,A,-37.860833333,145.122666667,0,130998\n"
            "081836,A,-37.860833333,145.122666667,0,130998\n");
  RunNmeacat({dir.File("missing.nmea")}, &status);
  EXPECT_NE(status, 0);
}

std::string WindowsNmeacat() {
  const char* given = std::getenv("ROVELOG_WIN64_NMEACAT");
  return given ? given : testing_support::WindowsProgram("tools/nmeacat.exe");
}

// The captures read under Wine: a western and a southern-eastern route.
std::vector<std::string> WineCaptures() {
  std::vector<std::string> chosen;
  for (const std::string& capture : testing_support::NmeaCaptures()) {
    if (capture.find("garmin-15x") != std::string::npos || capture.find("haicom") != std::string::npos) {
      chosen.push_back(capture);
    }
  }
  return chosen;
}

TEST(NmeacatUnderWine, ReadsCapturesFromComPortsThatArePseudoTerminals) {
  SKIP_WITHOUT_CAPTURES();
  const std::string exe = WindowsNmeacat();
  const std::string why = testing_support::WhyNotRunnable(exe);
  if (!why.empty()) GTEST_SKIP() << why << " (or set ROVELOG_WIN64_NMEACAT)";
  std::vector<std::string> captures = WineCaptures();
  ASSERT_EQ(captures.size(), 2u);
  testing_support::WinePrefix wine;
  ASSERT_TRUE(wine.Boot());
  // COM3 by its plain name, COM12 by the device-namespace name.
  const int kPorts[] = {3, 12};
  for (size_t i = 0; i < captures.size(); ++i) {
    SCOPED_TRACE(captures[i]);
    std::vector<ExpectedFix> expected = ExpectedFixesOf(captures[i]);
    ASSERT_FALSE(expected.empty());
    ChildProcess sim;
    ASSERT_TRUE(sim.Start({testing_support::SimulatorPath(), "--file", captures[i], "--pace", "fast", "--hold",
                           "120", "--link", wine.ComLink(kPorts[i])}));
    std::string path;
    ASSERT_TRUE(sim.ReadLine(&path, 10));
    ChildProcess cat;
    ASSERT_TRUE(cat.Start({testing_support::kWine, exe, "--fixes", std::to_string(expected.size()), "COM" + std::to_string(kPorts[i])},
                          wine.Environment(), true));
    // Read line by line: a wineserver started by this process may hold its
    // output open after it ends.
    std::string output;
    int fixes = 0;
    for (std::string line; fixes < static_cast<int>(expected.size()) && cat.ReadLine(&line, 120);) {
      output += line + "\n";
      if (line.rfind("no fix", 0) != 0) ++fixes;
    }
    EXPECT_EQ(cat.Wait(30), 0);
    int no_fix = 0;
    EXPECT_EQ(testing_support::FixMismatch(expected, ParseOutput(output, &no_fix)), "");
  }
}

}  // namespace
