// Runs the main window's in-process tests (main_window_test.exe of the
// Windows build under test) under Wine on a private Xvfb display with Wine's virtual desktop,
// a receiver simulator linked as COM3, the service stand-in and one that
// accepts and never answers, and extra
// serial ports in the registry. Pictures the tests take of the window are kept as PNG files in
// build/<preset>/test-output/app/.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/tools/child_process.h"
#include "tests/tools/wine_prefix.h"
#include "tests/tools/xvfb.h"
#include "tests/upload/service_standin.h"

using testing_support::ChildProcess;

namespace fs = std::filesystem;

namespace {

int RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env, std::string* output) {
  ChildProcess process;
  if (!process.Start(argv, env, true)) return -1;
  *output = process.ReadAll(400);
  return process.Wait(60);
}

// Serial ports beside Wine's own: one whose device name is far longer than
// 40 characters, and COM10 after COM1.
const std::pair<const char*, const char*> kSerialPorts[] = {
    {"\\Device\\Serial10", "COM10"},
    {"\\Device\\VirtualSerialPortWithAVeryLongDeviceNameThatGoesOnAndOn", "COM7"},
    {"\\Device\\Serial3", "COM3"},
};

bool AddSerialPorts(const std::vector<std::string>& env) {
  for (const auto& [device, port] : kSerialPorts) {
    std::string output;
    if (RunProgram({testing_support::kWine, "reg", "add", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/v", device, "/d",
                    port, "/f"},
                   env, &output) != 0)
      return false;
  }
  return true;
}

bool StartReceiver(ChildProcess* receiver, const std::string& link) {
  if (!receiver->Start({testing_support::SimulatorPath(), "--link", link, "--speed", "20", "--pace", "epoch",
                        "--speedup", "5", "--loop"},
                       {}, true))
    return false;
  for (int i = 0; i < 500; ++i) {
    if (fs::exists(link)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(MainWindowUnderWine, InProcessTestsPass) {
  const std::string exe = testing_support::WindowsProgram("tests/app/main_window_test.exe");
  const std::string why = testing_support::WhyNotRunnable(exe);
  if (!why.empty()) GTEST_SKIP() << why;
  if (!testing_support::HaveXvfb()) GTEST_SKIP() << "Xvfb is not installed";

  testing_support::Xvfb display;
  ASSERT_TRUE(display.Start("1280x900"));
  testing_support::WinePrefix wine;
  std::vector<std::string> env = wine.Environment();
  env.push_back(display.Variable());
  ASSERT_TRUE(wine.Boot());
  ASSERT_TRUE(wine.UseVirtualDesktop("1280x900", {display.Variable()}));
  ASSERT_TRUE(AddSerialPorts(env));
  ChildProcess receiver;
  ASSERT_TRUE(StartReceiver(&receiver, wine.ComLink(3)));
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
  EXPECT_EQ(RunProgram({testing_support::kWine, exe}, env, &output), 0) << output;
  EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
  EXPECT_EQ(output.find("[  SKIPPED ]"), std::string::npos) << output;
  receiver.Stop();

  for (const char* name : shots) {
    const std::string bmp = pictures + "/" + name + ".bmp";
    ASSERT_TRUE(fs::exists(bmp)) << bmp;
    std::string converted;
    EXPECT_EQ(RunProgram({"/usr/bin/convert", bmp, pictures + "/" + name + ".png"}, {}, &converted), 0) << converted;
    fs::remove(bmp);
  }
}

}  // namespace
