// Closing Rovelog.exe's window while it records, at several moments, and a
// crash for comparison: the process ends within the network time-outs,
// no track is lost, and the next start has nothing to repair (or, after the
// crash, asks and packs what was left); that start's stop then sends every
// archive, the ones left waiting included.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/recorder_run.h"
#include "tests/e2e/window_run.h"
#include "tests/upload/service_standin.h"

using namespace testing_support;

namespace {

enum class Moment { kWhileReceiving, kRightAfterStop, kDuringHungUpload, kCrash };

struct CloseCase {
  const char* name;
  Moment moment;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

constexpr char kCapture[] = "/sirf2-haicom-hi305n-moving.nmea";
constexpr char kTrack[] = "Evening";
// An upload that hangs holds the close up to the socket's receive time-out.
constexpr double kUploadTimeoutSeconds = 60;

class WindowClose : public ::testing::TestWithParam<CloseCase> {
 protected:
  void SetUp() override {
    const std::string missing = WindowRun::Missing();
    if (!missing.empty()) GTEST_SKIP() << missing;
    ASSERT_TRUE(WindowRun::PrepareDesktop(&desktop_));
    run_ = std::make_unique<WindowRun>(&desktop_);
  }

  // By distance, farther than the capture walks: only the stop, the close or
  // the send button ends a track.
  void UseService(const ServiceStandin& service) {
    run_->WriteSettings({"Points=True", "PointsCount=10000", "Prorezhivanie=1", std::string("Track=") + kTrack,
                         "Server=127.0.0.1:" + std::to_string(service.port())});
  }

  void StartReceiving() {
    ASSERT_TRUE(run_->StartWindow());
    std::string answer;
    ASSERT_TRUE(run_->driver().Command("click " + std::to_string(IDC_START), &answer)) << answer;
  }

  void WaitForReceiving() {
    ASSERT_TRUE(run_->driver().WaitForColour(IDC_START, kReceiving, 60)) << run_->driver().Colour(IDC_START);
  }

  size_t Archives() const {
    return FilesIn(run_->dir() + "/Tracks/ToSend", ".zip").size() +
           FilesIn(run_->dir() + "/Tracks/Sended/" + kTrack, ".zip").size();
  }
  size_t LeftTracks() const { return FilesIn(run_->dir() + "/Tracks", ".kml").size(); }

  // The first run up to its end at the case's moment; the time the program
  // may take to end.
  double EndFirstRun(Moment moment) {
    WindowDriver& driver = run_->driver();
    switch (moment) {
      case Moment::kWhileReceiving:
        EXPECT_TRUE(driver.Command("close"));
        return 60;
      case Moment::kRightAfterStop:
        // Both are posted: the close comes while the track is being packed.
        EXPECT_TRUE(driver.Click(IDC_START));
        EXPECT_TRUE(driver.Command("close"));
        return 60;
      case Moment::kDuringHungUpload:
        // The send button ends the track; its archive's upload then hangs.
        // The stop packs another track, and a pass by hand waits for the
        // hung one on its worker while the window answers and closes.
        EXPECT_TRUE(driver.Click(IDC_SEND));
        EXPECT_TRUE(driver.WaitForLine(IDC_LOG_LIST, "Отправка данных на сервер", 60));
        EXPECT_TRUE(driver.Click(IDC_START));
        EXPECT_TRUE(driver.WaitForColour(IDC_START, kStopped, 60));
        EXPECT_TRUE(driver.Click(IDC_SEND));
        EXPECT_TRUE(driver.Command("close"));
        // The window goes at once; the process waits for the upload in hand.
        EXPECT_TRUE(PollFor(30, [&] {
          std::string visible;
          return driver.Command("visible", &visible) && visible == "0";
        }));
        EXPECT_EQ(run_->WaitForExit(0), -1);
        return kUploadTimeoutSeconds + 60;
      case Moment::kCrash:
        run_->Kill();
        return 30;
    }
    return 0;
  }

  WineDesktop desktop_;
  std::unique_ptr<WindowRun> run_;
};

TEST_P(WindowClose, NoTrackIsLostAndTheNextRunSendsEverything) {
  const CloseCase& c = GetParam();
  {
    ServiceStandin first(c.moment == Moment::kDuringHungUpload ? std::vector<std::string>{"--mode", "hang"}
                                                               : std::vector<std::string>{});
    ASSERT_TRUE(first.running());
    UseService(first);
    ASSERT_TRUE(run_->StartReceiver({"--file", NmeaCaptureDir() + kCapture, "--pace", "epoch", "--loop"}));
    ASSERT_NO_FATAL_FAILURE(StartReceiving());
    ASSERT_NO_FATAL_FAILURE(WaitForReceiving());
    ASSERT_TRUE(run_->driver().WaitForLine(IDC_LOG_LIST, "Чтение координат", 30));
    const double seconds = EndFirstRun(c.moment);
    const int status = run_->WaitForExit(seconds);
    if (c.moment != Moment::kCrash) {
      EXPECT_EQ(status, 0) << "the program did not end within " << seconds << " s";
    }
  }
  const size_t archives = Archives();
  const size_t left = LeftTracks();
  if (c.moment == Moment::kCrash) {
    EXPECT_EQ(left, 1u) << "the crash leaves the track being written";
  } else {
    EXPECT_EQ(left, 0u) << "the close packs the track";
    EXPECT_GE(archives, 1u);
    for (const std::string& name : FilesIn(run_->dir() + "/Tracks/ToSend", ".zip")) {
      EXPECT_FALSE(PointLines(ZipEntry(run_->TracksFile("ToSend/" + name), "track.kml")).empty()) << name;
    }
  }

  ServiceStandin second;
  ASSERT_TRUE(second.running());
  UseService(second);
  ASSERT_NO_FATAL_FAILURE(StartReceiving());
  WindowDriver& driver = run_->driver();
  if (c.moment == Moment::kCrash) {
    ShownBox box;
    ASSERT_TRUE(driver.WaitForBox(&box, 60));
    EXPECT_EQ(box.caption, "Незавершенная операция");
    EXPECT_NE(box.text.find("Упаковать в архив?"), std::string::npos) << box.text;
    ASSERT_TRUE(driver.Command("answer 6"));  // Yes
  }
  ASSERT_NO_FATAL_FAILURE(WaitForReceiving());
  EXPECT_TRUE(driver.Boxes().empty()) << driver.Boxes().front().caption;
  ASSERT_TRUE(driver.Click(IDC_START));
  ASSERT_TRUE(driver.WaitForColour(IDC_START, kStopped, 60));
  // Everything goes up: what the first run left and the second run's track.
  EXPECT_TRUE(PollFor(120, [&] {
    return FilesIn(run_->dir() + "/Tracks/ToSend", ".zip").empty() &&
           FilesIn(run_->dir() + "/Tracks/Sended/" + kTrack, ".zip").size() == archives + left + 1;
  })) << Archives() << " archives, " << LeftTracks() << " tracks left";
  EXPECT_EQ(LeftTracks(), 0u);
  ASSERT_TRUE(driver.Command("close"));
  EXPECT_EQ(run_->WaitForExit(60), 0);
}

INSTANTIATE_TEST_SUITE_P(Moments, WindowClose,
                         ::testing::Values(CloseCase{"WhileReceiving", Moment::kWhileReceiving},
                                           CloseCase{"RightAfterStop", Moment::kRightAfterStop},
                                           CloseCase{"DuringHungUpload", Moment::kDuringHungUpload},
                                           CloseCase{"Crash", Moment::kCrash}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

}  // namespace
