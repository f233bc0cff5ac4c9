// A sending pass of the logger against the service stand-in.
#include "upload/send_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "gps/gps_stat.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

namespace fs = std::filesystem;
using testing_support::MakeZip;

namespace {

// The pass's pause before each archive, shortened from the product's second.
constexpr int kArchivePauseMs = 50;

// ToSend in the folder, holding track1.zip to track<count>.zip with a few
// points each; its path with the trailing separator.
std::string QueueOfTracks(const testing_support::ScratchDir& dir, int count, int points = 5) {
  std::string to_send = dir.File("Tracks/ToSend/");
  fs::create_directories(to_send);
  for (int i = 1; i <= count; ++i) {
    MakeZip(to_send + "track" + std::to_string(i) + ".zip", "track.kml",
            testing_support::KmlWithPoints(points));
  }
  return to_send;
}

// The stand-in with the test account, and a program folder whose queue holds
// that many tracks.
struct QueueAtTheStandin {
  explicit QueueAtTheStandin(int tracks) : to_send(QueueOfTracks(dir, tracks)) {}
  testing_support::ServiceStandin service{
      {"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword}};
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder{dir.path()};
  std::string to_send;

  // The test account's upload parameters, sent to this stand-in.
  UploadTarget Target() const {
    UploadTarget target;
    target.params = testing_support::PilotParams();
    target.service = service.address();
    target.archive_pause_ms = kArchivePauseMs;
    return target;
  }
};

// An archive the service refuses for itself (here: no track in it) waits for
// a later pass while the others still go; a refused password ends the pass.
TEST(SendAllArchives, ARefusedArchiveStaysQueuedAndThePassGoesOn) {
  QueueAtTheStandin queue(3);
  ASSERT_TRUE(queue.service.running());
  ASSERT_EQ(platform::FindFiles(queue.to_send + "*.zip").size(), 3u);
  // The pass goes in the folder's own order: the second it meets holds no track.
  std::vector<std::string> order = platform::FindFiles(queue.to_send + "*.zip");
  ASSERT_EQ(order.size(), 3u);
  fs::remove(queue.to_send + order[1]);
  ASSERT_TRUE(MakeZip(queue.to_send + order[1], "notes.txt", "no track here"));

  LineList lines;
  EventLog log(&lines);
  CGpsLogger logger(&log);
  logger.SetArchivePause(kArchivePauseMs);
  SettingsRecord record;
  record.login = L"pilot";
  record.password = L"secret";
  record.track_name = L"Morning";
  record.server = L"127.0.0.1:" + std::to_wstring(queue.service.port());
  logger.SetSettings(record);
  logger.SendAllArchives();
  logger.WaitForSending();

  std::vector<std::wstring> text = lines.Lines();
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text[0], L"Отправка данных на сервер");
  EXPECT_EQ(text[1], L"Архивов к отправке 3 ");
  EXPECT_EQ(text[2], L"Отправлено 2 из 3");
  EXPECT_EQ(std::count(text.begin(), text.end(), L"Архив " + platform::Utf8ToWide(order[1]) + L" не принят и остаётся в очереди"), 1);
  EXPECT_EQ(std::count(text.begin(), text.end(), L"Произошла ошибка при отправке данных"), 0);
  EXPECT_TRUE(fs::exists(queue.dir.File("Tracks/Sended/Morning/track0.zip")));
  EXPECT_TRUE(fs::exists(queue.dir.File("Tracks/Sended/Morning/track1.zip")));
  EXPECT_EQ(platform::FindFiles(queue.to_send + "*.zip"), std::vector<std::string>{order[1]});

  // A refused password is no fault of the archive: the pass ends there.
  ASSERT_TRUE(MakeZip(queue.to_send + "track4.zip", "track.kml", testing_support::KmlWithPoints(5)));
  record.password = L"wrong";
  logger.SetSettings(record);
  lines.Clear();
  logger.SendAllArchives();
  logger.WaitForSending();
  EXPECT_EQ(lines.Lines().back(), L"Произошла ошибка при отправке данных");
  EXPECT_EQ(platform::FindFiles(queue.to_send + "*.zip").size(), 2u);
}

// With Sended unusable, an accepted archive is marked in place: a second and
// third pass upload nothing again.
TEST(SendAllArchives, AnAcceptedArchiveIsNeverUploadedTwice) {
  QueueAtTheStandin queue(1);
  ASSERT_TRUE(queue.service.running());
  ASSERT_TRUE(fs::exists(queue.to_send + "track1.zip"));
  testing_support::WriteFileBytes(queue.dir.File("Tracks/Sended"), "a file where the folder should be");
  LineList lines;
  EventLog log(&lines);
  UploadTarget target = queue.Target();
  SendPassRunner runner;
  for (int pass = 0; pass < 3; ++pass) runner.SendAllArchives(log, target, nullptr);
  EXPECT_TRUE(fs::exists(queue.service.StoredUpload(1, "")));
  EXPECT_FALSE(fs::exists(queue.service.StoredUpload(2, "")));
  EXPECT_TRUE(fs::exists(queue.to_send + "track1.zip.sent"));
}

// Stopping, or closing the window, ends a pass once the archive in hand is
// done (or its pause); the rest wait in ToSend for the next pass.
TEST(SendAllArchives, APassToldToStopEndsAfterTheArchiveInHand) {
  QueueAtTheStandin queue(3);
  ASSERT_TRUE(queue.service.running());
  ASSERT_EQ(platform::FindFiles(queue.to_send + "*.zip").size(), 3u);
  LineList lines;
  EventLog log(&lines);
  UploadTarget target = queue.Target();
  SendPassRunner runner;
  int asked = 0;
  // Asked as the pass begins, then before each archive's pause and after it:
  // the fifth time, after one archive's pause, says stop.
  runner.SendAllArchives(log, target, [&] { return ++asked < 5; });
  EXPECT_EQ(asked, 5);
  EXPECT_EQ(platform::FindFiles(queue.to_send + "*.zip").size(), 2u);
  std::vector<std::wstring> text = lines.Lines();
  EXPECT_EQ(std::count(text.begin(), text.end(), L"Отправлено 1 из 3"), 1);
}

// A close gives the upload in hand its grace (1 s here), not the 13 s its
// archive takes through a link of 20,000 B/s: it stays queued, nothing arrives.
TEST(SendAllArchives, ACloseCutsASlowUploadOffAfterItsGraceAndTheArchiveStaysQueued) {
  testing_support::ServiceStandin service({"--link-rate", "20000"});
  ASSERT_TRUE(service.running());
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder(dir.path());
  std::string to_send = QueueOfTracks(dir, 1, 8000);
  LineList lines;
  EventLog log(&lines);
  CGpsLogger logger(&log);
  logger.SetArchivePause(kArchivePauseMs);
  SettingsRecord record;
  record.server = L"127.0.0.1:" + std::to_wstring(service.port());
  logger.SetSettings(record);
  logger.SetTimeouts({30000, 60000, 60000, 60000, 1000});
  ASSERT_TRUE(logger.SendAllArchives());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // past the pass's first wait
  logger.StopAndWait();
  EXPECT_EQ(lines.Lines().back(), L"Произошла ошибка при отправке данных");
  EXPECT_TRUE(fs::exists(to_send + "track1.zip"));
  EXPECT_FALSE(fs::exists(service.StoredUpload(1, "")));
}

// Wakes of the sending thread may merge; the passes asked for may not be lost,
// and the last wake ends the loop with or without a pass.
TEST(SendingRun, RunsAPassForEveryWakeThatBroughtRequestsThenEnds) {
  struct Case {
    int requests_before_finish;
    bool last_pass;
    int expected_passes;
  };
  for (const Case& c : {Case{0, false, 0}, Case{0, true, 1}, Case{2, false, 1}, Case{3, true, 1}}) {
    SendingRun run;
    for (int i = 0; i < c.requests_before_finish; ++i) run.RequestPass();
    run.Finish(c.last_pass);
    int passes = 0;
    run.Run([&] { ++passes; });
    EXPECT_EQ(passes, c.expected_passes) << c.requests_before_finish << " " << c.last_pass;
  }
  // A request that comes while a pass runs gets a pass of its own.
  SendingRun run;
  int passes = 0;
  run.RequestPass();
  run.Run([&] {
    if (++passes == 1) {
      run.RequestPass();
      run.Finish(false);
    }
  });
  EXPECT_EQ(passes, 2);
}

TEST(SendAllArchives, EmptyFolderStillLogsTheHeader) {
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder(dir.path());
  LineList lines;
  EventLog log(&lines);
  CGpsLogger logger(&log);
  logger.SetArchivePause(kArchivePauseMs);
  logger.SendAllArchives();
  logger.WaitForSending();
  EXPECT_EQ(lines.Lines(), (std::vector<std::wstring>{L"Отправка данных на сервер", L"Архивов к отправке 0 ", L"", L""}));
}

}  // namespace
