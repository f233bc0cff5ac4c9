// The Windows recorder under wine64: COM3 is a pseudo-terminal fed by the
// simulator, and the track ends as an archive in the run's folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/recorder_run.h"
#include "tests/tools/wine_prefix.h"

using testing_support::FilesIn;
using testing_support::PointLines;
using testing_support::RecorderRun;

namespace {

TEST(RecorderUnderWine, RecordsFromAComPortAndPacksTheTrack) {
  const std::string exe = testing_support::Win64Program("tools/rovelog-headless.exe");
  struct stat info;
  if (stat(exe.c_str(), &info) != 0) GTEST_SKIP() << exe << " is absent: build the win64 preset first";
  if (stat(testing_support::kWine, &info) != 0) GTEST_SKIP() << "wine64 is not installed";
  testing_support::WinePrefix wine;
  ASSERT_TRUE(wine.Boot());
  RecorderRun run;
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5", "Track=Поездка"});
  ASSERT_TRUE(run.StartReceiver({"--speed", "20", "--pace", "epoch", "--speedup", "10", "--hold", "120",
                                 "--epochs", "900"},
                                wine.ComLink(3)));
  ASSERT_TRUE(run.StartRecorder({testing_support::kWine, exe, "--dir", testing_support::WindowsPath(run.dir()),
                                 "--answer", "no"},
                                wine.Environment()));
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 60));
  run.Command("point");
  ASSERT_TRUE(run.WaitFor("создана", 30));
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(run.WaitFor("Чтение координат", 30));
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 60));
  ASSERT_EQ(run.Quit(), 0);

  ASSERT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{"track0.zip"});
  std::string archive = run.TracksFile("ToSend/track0.zip");
  EXPECT_GE(PointLines(testing_support::ZipEntry(archive, "track.kml")).size(), 5u);
  EXPECT_NE(testing_support::ZipEntry(archive, "points.wpt").find("\r\n0,"), std::string::npos);
  // The Russian track name made its folder through the code page 1251.
  EXPECT_TRUE(std::filesystem::exists(run.dir() + "/Tracks/Sended"));
}

}  // namespace
