// The toolkit's Windows tests, and dialog 102 as the toolkit shows it
// (ui-show) worked by the window driver from another process and pictured, on
// the Wine desktop every window test uses: the tests at 96 and 192 DPI, the
// pictures at 96, 144 and 192. The pictures stay in
// build/<preset>/test-output/ui/ for people to look at.
#include <gtest/gtest.h>

#include <filesystem>

#include "resources/resource.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver_client.h"
#include "tests/support/wine_desktop.h"

using testing_support::ChildProcess;
using testing_support::RunToEnd;
using testing_support::WindowDriver;
using testing_support::WineDesktop;

namespace {

// The colour of the pixel at (x, y) of a PNG as "R,G,B", through ImageMagick.
std::string PixelAt(const std::string& png, int x, int y) {
  const std::string at = std::to_string(x) + "," + std::to_string(y);
  std::string output;
  RunToEnd({"/usr/bin/convert", png, "-format",
            "%[fx:int(255*p{" + at + "}.r)],%[fx:int(255*p{" + at + "}.g)],%[fx:int(255*p{" + at + "}.b)]", "info:"},
           {}, 60, &output);
  return output;
}

// True when the left half of the picture's top rows show the Tracker caption's colour.
bool HasCaptionColour(const std::string& png, int width, int rows) {
  std::string output;
  RunToEnd({"/usr/bin/convert", png, "-crop", std::to_string(width / 2) + "x" + std::to_string(rows) + "+0+0", "-fill",
            "white", "+opaque",
            "rgb(16,140,231)", "-fill", "black", "-opaque", "rgb(16,140,231)", "-format", "%[fx:int(mean*10000)]",
            "info:"},
           {}, 60, &output);
  return !output.empty() && std::stoi(output) < 10000;
}

// What the driver reads and does on dialog 102 of another process: control
// texts, a typed text, a posted click on a check box, the list view, the
// start button's colour from the screen, and no message box.
void DriveDialog102(WindowDriver& driver) {
  std::string answer;
  EXPECT_FALSE(driver.Command("text 4242", &answer));
  EXPECT_EQ(answer, "no such control");
  EXPECT_FALSE(driver.Command("click 4242"));
  const std::pair<int, const char*> kTexts[] = {{IDC_POINT, "Создать точку"},
                                                {IDC_SEND, "Отправить треки"},
                                                {IDC_SAVE, "Сохранить настройки"},
                                                {IDC_OTHER_PORT, "Другой COM порт"}};
  for (const auto& [id, text] : kTexts) {
    ASSERT_TRUE(driver.Command("text " + std::to_string(id), &answer));
    EXPECT_EQ(answer, text) << id;
  }
  ASSERT_TRUE(driver.Command("set-text " + std::to_string(IDC_TRACK_NAME) + " Поездка на дачу"));
  ASSERT_TRUE(driver.Command("text " + std::to_string(IDC_TRACK_NAME), &answer));
  EXPECT_EQ(answer, "Поездка на дачу");
  ASSERT_TRUE(driver.Command("checked " + std::to_string(IDC_OTHER_PORT), &answer));
  EXPECT_EQ(answer, "0");
  ASSERT_TRUE(driver.Click(IDC_OTHER_PORT));
  EXPECT_TRUE(testing_support::PollFor(30, [&] {
    return driver.Command("checked " + std::to_string(IDC_OTHER_PORT), &answer) && answer == "1";
  }));
  std::vector<std::string> lines;
  EXPECT_TRUE(driver.ListCommand("list " + std::to_string(IDC_LOG_LIST), &lines));
  EXPECT_FALSE(driver.ListCommand("list " + std::to_string(IDC_PORT_LIST), &lines))
      << "a combo box is no list view";
  EXPECT_TRUE(driver.WaitForColour(IDC_START, "red", 60)) << driver.Colour(IDC_START);
  EXPECT_TRUE(driver.Boxes().empty());
  EXPECT_EQ(driver.WaitForExit(0), -1) << "the window's process still runs";
}

// On a desktop of the DPI, as many times larger as the windows on it.
void ToolkitWindowsPassTheirTestsAndDialog102IsDrivenAndPicturedAt(int dpi) {
  auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
  const std::string test_exe = testing_support::WindowsProgram("tests/ui/ui_window_test.exe");
  const std::string show_exe = testing_support::WindowsProgram("tests/ui/ui-show.exe");
  const std::string missing = WineDesktop::Missing({test_exe, show_exe, testing_support::WindowDriverPath()});
  if (!missing.empty()) GTEST_SKIP() << missing;
  WineDesktop desktop(dpi);
  ASSERT_TRUE(desktop.Start(std::to_string(scaled(1280)) + "x" + std::to_string(scaled(900))));
  std::string output;
  if (dpi != 144) {  // the pictures alone at 144
    EXPECT_EQ(RunToEnd({testing_support::kWine, test_exe}, desktop.Environment(), 300, &output), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
  }

  const std::string folder = testing_support::WindowsBuild() + "/test-output/ui";
  std::filesystem::create_directories(folder);
  const auto sizes = dpi == 96 ? std::vector<std::pair<int, int>>{{700, 480}, {1000, 640}}
                               : std::vector<std::pair<int, int>>{{scaled(1000), scaled(640)}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(width);
    ChildProcess window;
    ASSERT_TRUE(window.Start({testing_support::kWine, show_exe, std::to_string(width), std::to_string(height)},
                             desktop.Environment(), true));
    std::string shown;
    ASSERT_TRUE(window.ReadLine(&shown, 120));
    if (!shown.empty() && shown.back() == '\r') shown.pop_back();  // a Windows console line end
    WindowDriver driver;
    ASSERT_TRUE(driver.Start(desktop.Environment()));
    ASSERT_TRUE(driver.WaitForWindow("Vantrek", 60));
    std::string rect;
    ASSERT_TRUE(driver.Command("rect", &rect));
    EXPECT_EQ(shown, "shown " + rect);

    // Wine hands the painted window to the X server on its own time: take
    // pictures until the Tracker caption's colour shows.
    const std::string png = folder + "/dialog102-" + std::to_string(width) + "x" + std::to_string(height) +
                            (dpi == 96 ? "" : "-" + std::to_string(dpi) + "dpi") + ".png";
    std::filesystem::remove(png);
    const int shown_width = std::stoi(rect.substr(rect.find(' ', rect.find(' ') + 1)));
    EXPECT_TRUE(testing_support::PollFor(
        30, [&] { return desktop.Screenshot(rect, png) && HasCaptionColour(png, shown_width, scaled(60)); }))
        << png;
    // The picture is of the whole window: the frame's title bar is above the client area.
    EXPECT_NE(PixelAt(png, width / 2, 2), PixelAt(png, width / 2, scaled(60))) << png;
    if (dpi == 96 && width == 700) DriveDialog102(driver);
  }
}

TEST(UiUnderWine, ToolkitWindowsPassTheirTestsAndDialog102IsDrivenAndPictured) {
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    ToolkitWindowsPassTheirTestsAndDialog102IsDrivenAndPicturedAt(dpi);
    if (HasFatalFailure() || IsSkipped()) return;
  }
}

}  // namespace
