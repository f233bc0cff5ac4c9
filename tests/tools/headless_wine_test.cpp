// The Windows headless driver under Wine: its arguments come from the wide
// command line and its output is UTF-8, whatever the ANSI code page.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/wine_prefix.h"

namespace {

using testing_support::ChildProcess;
using testing_support::WinePrefix;

TEST(HeadlessUnderWine, TakesACyrillicFolderAndPrintsUtf8) {
  const std::string exe = testing_support::WindowsProgram("tools/rovelog-headless.exe");
  const std::string why = testing_support::WhyNotRunnable(exe);
  if (!why.empty()) GTEST_SKIP() << why;
  WinePrefix wine;
  ASSERT_TRUE(wine.Boot());
  testing_support::ScratchDir scratch;
  std::string folder = scratch.File("Поездки");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  // The track name "Поездка" as a Russian Windows stores it: code page 1251.
  ASSERT_TRUE(testing_support::WriteFileBytes(folder + "/properties.ini",
                                              "[Properties]\r\nLogin=pilot\r\nTrack=\xCF\xEE\xE5\xE7\xE4\xEA\xE0\r\n"));
  ChildProcess headless;
  ASSERT_TRUE(headless.Start({testing_support::kWine, exe, "--dir", testing_support::WindowsPath(folder)},
                             wine.Environment(), true));
  headless.Write("settings\nquit\n");
  headless.CloseInput();
  std::string output = headless.ReadAll(60);
  EXPECT_EQ(headless.Wait(30), 0);
  // Both values come from the folder's settings; the name is printed in UTF-8.
  EXPECT_NE(output.find("login=pilot"), std::string::npos) << output;
  EXPECT_NE(output.find("track=Поездка"), std::string::npos) << output;
}

}  // namespace
