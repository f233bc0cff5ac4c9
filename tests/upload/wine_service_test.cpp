// Runs the Windows build's service_client_test under Wine against the
// stand-in started here: the upload through Windows Sockets and the update
// check through WinInet, from Wine to this process's child over a slow link (7 s, past the limits).
#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/wine_prefix.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

namespace {

using testing_support::ScratchDir;
using testing_support::ServiceStandin;

TEST(WineServiceClient, UploadsAndChecksForUpdateThroughTheWindowsClients) {
  const std::string program = testing_support::WindowsProgram("tests/upload/service_client_test.exe");
  const std::string why = testing_support::WhyNotRunnable(program);
  if (!why.empty()) GTEST_SKIP() << why;
  ScratchDir dir;
  std::string archive = dir.File("track5.zip");
  ASSERT_TRUE(testing_support::MakeZip(archive, "track5.kml", testing_support::KmlWithPoints(6000)));
  ServiceStandin service({"--login", testing_support::kPilotLogin, "--password",
                          testing_support::kPilotPassword, "--link-rate", "30000"});
  ASSERT_TRUE(service.running());
  testing_support::WinePrefix wine;
  ASSERT_TRUE(wine.Boot());

  std::vector<std::string> env = wine.Environment();
  env.push_back("ROVELOG_STANDIN_PORT=" + std::to_string(service.port()));
  env.push_back("ROVELOG_STANDIN_ARCHIVE=" + testing_support::WindowsPath(archive));
  testing_support::ChildProcess client;
  ASSERT_TRUE(client.Start({testing_support::kWine, program}, env, true));
  // Line by line: the prefix's server may hold the output open after the end.
  std::string text;
  for (std::string line; text.find("[  PASSED  ]") == std::string::npos &&
                         text.find("[  FAILED  ]") == std::string::npos && client.ReadLine(&line, 120);)
    text += line + "\n";
  EXPECT_EQ(client.Wait(60), 0) << text;
  EXPECT_NE(text.find("[  PASSED  ] 4 tests."), std::string::npos) << text;
  EXPECT_EQ(text.find("SKIPPED"), std::string::npos) << text;
  EXPECT_EQ(testing_support::ReadFileBytes(service.StoredUpload(1, "track5.zip")),
            testing_support::ReadFileBytes(archive));
}

}  // namespace
