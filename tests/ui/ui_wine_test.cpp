// The toolkit's Windows tests and screenshots of dialog 102, run under Wine
// on a private Xvfb display with Wine's virtual desktop (so windows have frames).
// The screenshots stay in build/<preset>/test-output/ui/ for people to look at.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/tools/child_process.h"
#include "tests/tools/wine_prefix.h"
#include "tests/tools/xvfb.h"

using testing_support::ChildProcess;

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

int RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env, std::string* output) {
  ChildProcess process;
  if (!process.Start(argv, env, true)) return -1;
  *output = process.ReadAll(300);
  return process.Wait(60);
}

// The pixels of a PNG as "R,G,B" of the colour at (x, y), through ImageMagick.
std::string PixelAt(const std::string& png, int x, int y) {
  std::string output;
  RunProgram({"/usr/bin/convert", png, "-format", "%[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                                               "}.r)],%[fx:int(255*p{" + std::to_string(x) + "," +
                                               std::to_string(y) + "}.g)],%[fx:int(255*p{" + std::to_string(x) +
                                               "," + std::to_string(y) + "}.b)]",
       "info:"},
      {}, &output);
  return output;
}

class UiUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& program : {test_exe_, show_exe_}) {
      const std::string why = testing_support::WhyNotRunnable(program);
      if (!why.empty()) GTEST_SKIP() << why;
    }
    if (!testing_support::HaveXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(display_.Start("1280x900"));
    env_ = wine_.Environment();
    env_.push_back(display_.Variable());
    ASSERT_TRUE(wine_.Boot());
    ASSERT_TRUE(wine_.UseVirtualDesktop("1280x900", {display_.Variable()}));
  }

  // Shows dialog 102 at the client size and keeps a picture of its window.
  void Screenshot(int width, int height, const std::string& png) {
    ChildProcess show;
    ASSERT_TRUE(show.Start({testing_support::kWine, show_exe_, std::to_string(width), std::to_string(height)}, env_,
                           true));
    std::string line;
    ASSERT_TRUE(show.ReadLine(&line, 120));
    std::istringstream words(line);
    std::string shown;
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(words >> shown >> x >> y >> w >> h) << line;
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                             std::to_string(y);
    // Wine hands the painted window to the X server on its own time: take
    // pictures until the Tracker caption's colour shows.
    for (int attempt = 0; attempt < 50; ++attempt) {
      std::string output;
      ASSERT_EQ(RunProgram({"/usr/bin/import", "-display", display_.display(), "-window", "root", "-crop", crop, "+repage",
                     png},
                    {}, &output),
                0)
          << output;
      if (HasCaptionColour(png, w)) break;
    }
    EXPECT_TRUE(HasCaptionColour(png, w)) << png;
    show.Stop();
  }

  static bool HasCaptionColour(const std::string& png, int width) {
    std::string output;
    RunProgram({"/usr/bin/convert", png, "-crop", std::to_string(width / 2) + "x60+0+0", "-fill", "white", "+opaque",
         "rgb(16,140,231)", "-fill", "black", "-opaque", "rgb(16,140,231)", "-format", "%[fx:int(mean*10000)]",
         "info:"},
        {}, &output);
    return !output.empty() && std::stoi(output) < 10000;
  }

  const std::string test_exe_ = testing_support::WindowsProgram("tests/ui/ui_window_test.exe");
  const std::string show_exe_ = testing_support::WindowsProgram("tests/ui/ui-show.exe");
  testing_support::Xvfb display_;
  testing_support::WinePrefix wine_;
  std::vector<std::string> env_;
};

TEST_F(UiUnderWine, ToolkitWindowsPassTheirTestsAndDialog102IsPictured) {
  std::string output;
  EXPECT_EQ(RunProgram({testing_support::kWine, test_exe_}, env_, &output), 0) << output;
  EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;

  const std::string folder = testing_support::WindowsBuild() + "/test-output/ui";
  std::filesystem::create_directories(folder);
  for (const auto& [width, height] : {std::pair{700, 480}, std::pair{1000, 640}}) {
    const std::string png = folder + "/dialog102-" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    std::filesystem::remove(png);
    Screenshot(width, height, png);
    ASSERT_TRUE(Exists(png));
    // The picture is of the whole window: the frame's title bar is above the client area.
    EXPECT_NE(PixelAt(png, width / 2, 2), PixelAt(png, width / 2, 60)) << png;
  }
}

}  // namespace
