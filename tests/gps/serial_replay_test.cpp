// Every real receiver capture, sent by the simulator through a pseudo-terminal
// and read by the fix reader through the serial port, gives the fixes of the
// independent reading of the file.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <thread>

#include "gps/nmea_reader.h"
#include "platform/serial.h"
#include "tests/gps/capture_reading.h"
#include "tests/support/test_support.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::ChildProcess;

class ReplayedCapture : public testing::TestWithParam<std::string> {};

TEST_P(ReplayedCapture, GivesTheFixesOfTheFileThroughAPseudoTerminal) {
  const std::string capture = GetParam();
  ChildProcess sim;
  // Fast pace keeps the line full, so no read times out before the end.
  ASSERT_TRUE(sim.Start({testing_support::SimulatorPath(), "--file", capture, "--pace", "fast", "--hold", "60"}));
  std::string path;
  ASSERT_TRUE(sim.ReadLine(&path, 10));
  platform::SerialOpenError error = platform::SerialOpenError::kNone;
  auto port = platform::OpenSerialPort(path, platform::LineSettings(), &error);
  ASSERT_NE(port, nullptr);
  std::atomic<bool> stop{false};
  FixReader reader(stop);
  std::vector<testing_support::ExpectedFix> delivered;
  std::thread track([&] { delivered = testing_support::ReadFixesUntilStopped(reader, port.get(), stop); });
  // The simulator ends once the reader has taken every byte.
  int status = sim.Wait(90);
  stop = true;
  track.join();
  ASSERT_EQ(status, 0) << "the reader did not take the whole capture";
  std::vector<testing_support::ExpectedFix> expected =
      testing_support::ExpectedFixes(testing_support::ReadFileBytes(capture));
  EXPECT_EQ(testing_support::FixMismatch(expected, delivered), "");
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(info.param.find_last_of('/') + 1);
  name = name.substr(0, name.rfind('.'));
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(RealCaptures, ReplayedCapture, testing::ValuesIn(testing_support::NmeaCaptures()),
                         TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReplayedCapture);

}  // namespace
