// Runs the Windows build's service_client_test under wine64 against the
// stand-in started here: the upload through Windows Sockets and the update
// check through WinInet, over loopback from Wine to this process's child.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

namespace {

using testing_support::ScratchDir;
using testing_support::ServiceStandin;

const std::string kWineRun = std::string(ROVELOG_SOURCE_DIR) + "/scripts/wine-run.sh";

std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

// A fresh Wine prefix for this test alone, its server stopped at the end.
class WinePrefix {
 public:
  WinePrefix() { ready_ = Run("wineboot -i >/dev/null 2>&1") == 0; }
  ~WinePrefix() { std::system(("WINEPREFIX=" + dir_.File("prefix") + " /usr/lib/wine/wineserver64 -k 2>/dev/null").c_str()); }
  bool ready() const { return ready_; }
  int Run(const std::string& command_and_redirects, const std::string& environment = "") const {
    std::string line = "WINEPREFIX=" + dir_.File("prefix") + " " + environment + " " + kWineRun + " " +
                       command_and_redirects;
    return std::system(line.c_str());
  }

 private:
  ScratchDir dir_;
  bool ready_ = false;
};

TEST(WineServiceClient, UploadsAndChecksForUpdateThroughTheWindowsClients) {
  std::string program = std::string(ROVELOG_SOURCE_DIR) + "/build/win64/tests/upload/service_client_test.exe";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << program << " is absent: build the win64 preset first";
  ScratchDir dir;
  std::string archive = dir.File("track5.zip");
  ASSERT_TRUE(testing_support::MakeZip(archive, "track5.kml", testing_support::KmlWithPoints(50)));
  ServiceStandin service({"--login", testing_support::kPilotLogin, "--password", testing_support::kPilotPassword});
  ASSERT_TRUE(service.running());
  WinePrefix wine;
  ASSERT_TRUE(wine.ready());

  std::string output = dir.File("output.txt");
  std::string environment = "ROVELOG_STANDIN_PORT=" + std::to_string(service.port()) +
                            " ROVELOG_STANDIN_ARCHIVE='" + WindowsPath(archive) + "'";
  int status = wine.Run(program + " >" + output + " 2>&1", environment);
  std::string text = testing_support::ReadFileBytes(output);
  EXPECT_EQ(status, 0) << text;
  EXPECT_NE(text.find("[  PASSED  ] 4 tests."), std::string::npos) << text;
  EXPECT_EQ(text.find("SKIPPED"), std::string::npos) << text;
  EXPECT_EQ(testing_support::ReadFileBytes(service.StoredUpload(1, "track5.zip")),
            testing_support::ReadFileBytes(archive));
}

}  // namespace
