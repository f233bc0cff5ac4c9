#include "gps/serial_connection.h"

#include <gtest/gtest.h>

#include <climits>

#include "eventlog/line_list.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace {

TEST(PortNumberFromText, TakesTheDigitsRightAfterTheFirstThreeCharacters) {
  const struct {
    const wchar_t* text;
    int number;
  } kCases[] = {
      {L"COM3", 3},    {L"COM12", 12}, {L"COM12;Prolific", 12}, {L"COM007", 7},       {L"USB4", 4},
      {L"COM", 0},     {L"CO", 0},     {L"", 0},                {L"COMx5", 0},        {L"COM 5", 0},
      {L"COM-3", 0},   {L"COM99999999999999", INT_MAX},
  };
  for (const auto& c : kCases) EXPECT_EQ(PortNumberFromText(c.text), c.number) << platform::WideToUtf8(c.text);
}

TEST(PortDeviceName, UsesTheDeviceNamespaceFromNineOn) {
  EXPECT_EQ(PortDeviceName(0), "COM0");
  EXPECT_EQ(PortDeviceName(8), "COM8");
  EXPECT_EQ(PortDeviceName(9), "\\\\.\\COM9");
  EXPECT_EQ(PortDeviceName(12), "\\\\.\\COM12");
}

TEST(OpenPort, PortZeroCannotBeOpenedAndLogsTheOpenMessage) {
  testing_support::ScratchDir folder;  // holds no link that could stand for COM0
  testing_support::ProgramFolderGuard program_folder(folder.path());
  LineList lines;
  EventLog log(&lines);
  EXPECT_EQ(OpenPort(log, PortNumberFromText(L"COM"), 4800, 8, 0, 0), nullptr);
  EXPECT_EQ(lines.Lines(), std::vector<std::wstring>{L"Ошибка: Невозможно открыть RS232 порт."});
}

}  // namespace
