// Runs the main window's in-process tests (main_window_test.exe of the
// Windows build under test) on the Wine desktop every window test uses, with
// a receiver simulator linked as COM3, extra serial ports in the registry, the
// service stand-in and one that accepts and never answers. Pictures the tests
// take of the window are kept as PNG files in build/<preset>/test-output/app/.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/support/child_process.h"
#include "tests/support/wine_desktop.h"
#include "tests/upload/service_standin.h"

using testing_support::ChildProcess;
using testing_support::RunToEnd;

namespace fs = std::filesystem;

namespace {

// Serial ports beside Wine's own: one whose device name is far longer than
// 40 characters, and COM10 after COM1.
const std::pair<const char*, const char*> kSerialPorts[] = {
    {"\\Device\\Serial10", "COM10"},
    {"\\Device\\VirtualSerialPortWithAVeryLongDeviceNameThatGoesOnAndOn", "COM7"},
    {"\\Device\\Serial3", "COM3"},
};

// The failures of a test program's output, each with its message: the whole
// output is long and a report may keep only its head.
std::string FailuresIn(const std::string& output) {
  std::istringstream lines(output);
  std::string line, failures;
  bool in_failure = false;
  while (std::getline(lines, line)) {
    bool marked = line.rfind("[", 0) == 0;  // a test's start or end ends a failure's message
    if (marked) in_failure = false;
    if (line.find(": Failure") != std::string::npos) in_failure = true;
    if (in_failure || line.rfind("[  FAILED  ]", 0) == 0) failures += line + "\n";
  }
  return failures;
}

TEST(MainWindowUnderWine, InProcessTestsPass) {
  const std::string exe = testing_support::WindowsProgram("tests/app/main_window_test.exe");
  const std::string missing = testing_support::WineDesktop::Missing({exe});
  if (!missing.empty()) GTEST_SKIP() << missing;

  testing_support::WineDesktop desktop;
  ASSERT_TRUE(desktop.Start());
  for (const auto& [device, port] : kSerialPorts) ASSERT_TRUE(desktop.ListSerialPort(port, device));
  std::vector<std::string> env = desktop.Environment();
  ChildProcess receiver;
  ASSERT_TRUE(testing_support::StartLinkedSimulator(receiver, desktop.prefix().ComLink(3),
                                                    {"--speed", "20", "--pace", "epoch", "--speedup", "5", "--loop"}));
  testing_support::ServiceStandin service;
  ASSERT_TRUE(service.running());
  testing_support::ServiceStandin silent({"--mode", "hang"});
  ASSERT_TRUE(silent.running());

  const std::string pictures = testing_support::WindowsBuild() + "/test-output/app";
  // The whole runs of the window keep their pictures here too: only the
  // pictures this test takes are replaced.
  const char* const shots[] = {"main-window-stopped", "main-window-recording"};
  fs::create_directories(pictures);
  for (const char* name : shots) fs::remove(pictures + "/" + name + ".bmp");
  env.push_back("ROVELOG_SHOT_DIR=" + testing_support::WindowsPath(pictures));
  env.push_back("ROVELOG_TEST_COM3=1");
  env.push_back("ROVELOG_TEST_PORTS=1");
  env.push_back("ROVELOG_TEST_SERVER=127.0.0.1:" + std::to_string(service.port()));
  env.push_back("ROVELOG_TEST_SILENT_SERVER=127.0.0.1:" + std::to_string(silent.port()));
  std::string output;
  EXPECT_EQ(RunToEnd({testing_support::kWine, exe}, env, 400, &output), 0) << FailuresIn(output) << output;
  std::printf("%s", output.c_str());  // what each case measured, for a verbose run
  EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
  EXPECT_EQ(output.find("[  SKIPPED ]"), std::string::npos) << output;
  receiver.Stop();

  for (const char* name : shots) {
    const std::string bmp = pictures + "/" + name + ".bmp";
    ASSERT_TRUE(fs::exists(bmp)) << bmp;
    std::string converted;
    EXPECT_EQ(RunToEnd({"/usr/bin/convert", bmp, pictures + "/" + name + ".png"}, {}, 60, &converted), 0) << converted;
    fs::remove(bmp);
  }
}

}  // namespace
