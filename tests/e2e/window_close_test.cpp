// Closing Rovelog.exe's window while it records, at several moments (a box
// or dialog waiting for an answer, an update check that drips, a hung upload,
// the end of the Windows session), and a crash for comparison: the process
// ends within the network time-outs,
// no track is lost, and the next start has nothing to repair (or, after the
// crash, asks and packs what was left); that start's stop then sends every
// archive, the ones left waiting included.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "tests/e2e/recorder_run.h"
#include "tests/e2e/window_run.h"
#include "tests/upload/service_standin.h"

using namespace testing_support;

namespace {

enum class Moment {
  kWhileReceiving,
  kRightAfterStop,
  kBoxOpen,
  kDialogOpen,
  kDrippingUpdate,
  kDuringHungUpload,
  kEndOfSession,
  kCrash
};

struct CloseCase {
  const char* name;
  Moment moment;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

constexpr char kCapture[] = "/sirf2-haicom-hi305n-moving.nmea";
constexpr char kTrack[] = "Evening";
// An upload that hangs holds the close up to the socket's receive time-out.
constexpr double kUploadTimeoutSeconds = 60;
// A close waits for no answer and no update check: a few seconds pack the
// track, with room for a loaded machine.
constexpr double kPromptCloseSeconds = 10;

// The services of the first run, by the moment it ends at.
std::vector<std::string> FirstServiceMode(Moment moment) {
  if (moment == Moment::kDuringHungUpload) return {"--mode", "hang"};
  // A head that takes minutes to come, a byte every five seconds.
  if (moment == Moment::kDrippingUpdate) return {"--mode", "trickle", "--trickle-pause", "5"};
  return {};
}

// Ended with no close of its own: the exit status says nothing.
bool EndsKilled(Moment moment) { return moment == Moment::kCrash || moment == Moment::kEndOfSession; }

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
      case Moment::kBoxOpen:
      case Moment::kDialogOpen: {
        // The update verdict's box, or the named point's dialog with a name
        // typed, left unanswered.
        ShownBox box;
        EXPECT_TRUE(driver.Click(moment == Moment::kBoxOpen ? IDC_UPDATE : IDC_NAMED_POINT));
        EXPECT_TRUE(driver.WaitForBox(&box, 60));
        if (moment == Moment::kDialogOpen) {
          EXPECT_TRUE(driver.Command("box-set-text " + std::to_string(IDC_POINT_NAME) + " Never"));
        }
        EXPECT_TRUE(driver.Command("close"));
        return kPromptCloseSeconds;
      }
      case Moment::kDrippingUpdate:
        EXPECT_TRUE(driver.Click(IDC_UPDATE));
        EXPECT_TRUE(PollFor(10, [&] {
          std::string enabled;
          return driver.Command("enabled " + std::to_string(IDC_UPDATE), &enabled) && enabled == "0";
        }));
        EXPECT_TRUE(driver.Command("close"));
        return kPromptCloseSeconds;
      case Moment::kDuringHungUpload: {
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
        std::string visible;
        EXPECT_TRUE(PollFor(30, [&] { return driver.Command("visible", &visible) && visible == "0"; }));
        EXPECT_EQ(run_->WaitForExit(0), -1);
        return kUploadTimeoutSeconds + 60;
      }
      case Moment::kEndOfSession:
        // Windows ends the process once the window has answered the end.
        EXPECT_TRUE(driver.Command("end-session"));
        run_->Kill();
        return 30;
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
    ServiceStandin first(FirstServiceMode(c.moment));
    ASSERT_TRUE(first.running());
    UseService(first);
    ASSERT_TRUE(run_->StartReceiver({"--file", NmeaCaptureDir() + kCapture, "--pace", "epoch", "--loop"}));
    ASSERT_NO_FATAL_FAILURE(StartReceiving());
    ASSERT_NO_FATAL_FAILURE(WaitForReceiving());
    ASSERT_TRUE(run_->driver().WaitForLine(IDC_LOG_LIST, "Чтение координат", 30));
    const double seconds = EndFirstRun(c.moment);
    const auto ending = std::chrono::steady_clock::now();
    const int status = run_->WaitForExit(seconds);
    std::printf("the program ended %.1f s after the moment\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - ending).count());
    if (!EndsKilled(c.moment)) {
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
      if (c.moment == Moment::kDialogOpen) {
        EXPECT_EQ(WaypointsIn(run_->TracksFile("ToSend/" + name)), 0) << "a name not given makes no point";
      }
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
                                           CloseCase{"BoxOpen", Moment::kBoxOpen},
                                           CloseCase{"DialogOpen", Moment::kDialogOpen},
                                           CloseCase{"DrippingUpdate", Moment::kDrippingUpdate},
                                           CloseCase{"DuringHungUpload", Moment::kDuringHungUpload},
                                           CloseCase{"EndOfSession", Moment::kEndOfSession},
                                           CloseCase{"Crash", Moment::kCrash}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

}  // namespace
