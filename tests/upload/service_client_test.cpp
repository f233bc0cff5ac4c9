// The client side of both exchanges with the service, built for every
// platform. Tests that need the stand-in run when ROVELOG_STANDIN_PORT names
// its port (wine_service_test starts it and runs this program under Wine);
// ROVELOG_STANDIN_ARCHIVE is then an archive the stand-in accepts for the
// pilot's account (tests/upload/pilot_account.h).
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/upload/pilot_account.h"
#include "update/auto_updater.h"
#include "upload/upload_archive.h"

namespace {

bool StandinGiven(ServiceAddress* service, std::string* archive) {
  const char* port = std::getenv("ROVELOG_STANDIN_PORT");
  const char* path = std::getenv("ROVELOG_STANDIN_ARCHIVE");
  if (port == nullptr || path == nullptr) return false;
  service->host = "127.0.0.1";
  service->port = static_cast<uint16_t>(std::atoi(port));
  *archive = path;
  return true;
}

#define SKIP_WITHOUT_STANDIN(service, archive)  \
  if (!StandinGiven(&(service), &(archive))) \
  GTEST_SKIP() << "no stand-in given (ROVELOG_STANDIN_PORT, ROVELOG_STANDIN_ARCHIVE)"

std::vector<std::wstring> Upload(const ServiceAddress& service, const std::string& archive, bool* accepted) {
  UploadParams params = testing_support::PilotParams();
  // Limits shorter than the stand-in's slow link takes for the request.
  platform::SocketTimeouts timeouts;
  timeouts.send_ms = timeouts.receive_ms = timeouts.answer_ms = 3000;
  LineList list;
  EventLog log(&list);
  *accepted = UploadArchive(log, params, service, archive, timeouts);
  return list.Lines();
}

TEST(ServiceClientWithStandin, UploadIsAccepted) {
  ServiceAddress service;
  std::string archive;
  SKIP_WITHOUT_STANDIN(service, archive);
  bool accepted = false;
  EXPECT_EQ(Upload(service, archive, &accepted), (std::vector<std::wstring>{L"Статус отправки:", L"ok"}));
  EXPECT_TRUE(accepted);
}

TEST(ServiceClientWithStandin, UpdateCheckReadsTheVersionText) {
  ServiceAddress service;
  std::string archive;
  SKIP_WITHOUT_STANDIN(service, archive);
  CAutoUpdater updater(service);
  std::wstring answer;
  EXPECT_EQ(updater.PostRequest(updater.UpdateCheckAddress(), answer), kPostAnswered);
  EXPECT_EQ(answer, L"win1_2");
  EXPECT_EQ(updater.CheckForUpdate().kind, UpdateVerdictKind::kUpToDate);
}

TEST(ServiceClient, UnknownHostIsReportedByItsLookedUpName) {
  ServiceAddress nowhere;
  nowhere.host = "nowhere.invalid";
  bool accepted = true;
  EXPECT_EQ(Upload(nowhere, "track1.zip", &accepted),
            std::vector<std::wstring>{L"Ресурс www.nowhere.invalid не найден"});
  EXPECT_FALSE(accepted);
}

TEST(ServiceClient, UpdateCheckOfAnUnknownHostGivesTheNameError) {
  ServiceAddress nowhere;
  nowhere.host = "nowhere.invalid";
  CAutoUpdater updater(nowhere);
  std::wstring answer;
  EXPECT_EQ(updater.PostRequest(updater.UpdateCheckAddress(), answer), 12007);
  EXPECT_FALSE(answer.empty());
  EXPECT_EQ(updater.CheckForUpdate().kind, UpdateVerdictKind::kNoVerdict);
}

}  // namespace
