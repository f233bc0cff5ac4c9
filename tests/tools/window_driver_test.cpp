// The window driver against dialog 102 as the toolkit shows it (ui-show):
// it finds the window, reads and writes control texts, reads the list view
// and the start button's colour from the screen, and sees no message box.
#include <gtest/gtest.h>

#include "tests/tools/child_process.h"
#include "tests/tools/window_driver_client.h"
#include "tests/tools/wine_desktop.h"

using testing_support::ChildProcess;
using testing_support::WindowDriver;
using testing_support::WineDesktop;

namespace {

TEST(WindowDriverUnderWine, ReadsAndWorksDialog102OfAnotherProcess) {
  const std::string show = testing_support::WindowsProgram("tests/ui/ui-show.exe");
  const std::string missing = WineDesktop::Missing({show, testing_support::WindowDriverPath()});
  if (!missing.empty()) GTEST_SKIP() << missing;
  WineDesktop desktop;
  ASSERT_TRUE(desktop.Start());
  ChildProcess window;
  ASSERT_TRUE(window.Start({testing_support::kWine, show, "700", "480"}, desktop.Environment(), true));
  std::string shown;
  ASSERT_TRUE(window.ReadLine(&shown, 120));
  if (!shown.empty() && shown.back() == '\r') shown.pop_back();  // a Windows console line end

  WindowDriver driver;
  ASSERT_TRUE(driver.Start(desktop.Environment()));
  ASSERT_TRUE(driver.WaitForWindow("Vantrek", 60));
  std::string answer;
  EXPECT_FALSE(driver.Command("text 4242", &answer));
  EXPECT_EQ(answer, "no such control");
  EXPECT_FALSE(driver.Command("click 4242"));

  struct Case {
    int id;
    const char* text;
  };
  for (const Case& c : {Case{1017, "Создать точку"}, Case{1012, "Отправить треки"}, Case{1013, "Сохранить настройки"},
                        Case{1014, "Другой COM порт"}}) {
    ASSERT_TRUE(driver.Command("text " + std::to_string(c.id), &answer));
    EXPECT_EQ(answer, c.text) << c.id;
  }
  ASSERT_TRUE(driver.Command("set-text 1005 Поездка на дачу"));
  ASSERT_TRUE(driver.Command("text 1005", &answer));
  EXPECT_EQ(answer, "Поездка на дачу");

  // The check box toggles through a posted click, as a user's would.
  ASSERT_TRUE(driver.Command("checked 1014", &answer));
  EXPECT_EQ(answer, "0");
  ASSERT_TRUE(driver.Click(1014));
  EXPECT_TRUE(testing_support::PollFor(30, [&] { return driver.Command("checked 1014", &answer) && answer == "1"; }));

  std::vector<std::string> lines;
  EXPECT_TRUE(driver.ListCommand("list 1000", &lines));
  EXPECT_FALSE(driver.ListCommand("list 1001", &lines)) << "a combo box is no list view";
  EXPECT_TRUE(driver.WaitForColour(1002, "red", 60)) << driver.Colour(1002);
  EXPECT_TRUE(driver.Boxes().empty());

  ASSERT_TRUE(driver.Command("rect", &answer));
  EXPECT_EQ(shown, "shown " + answer);
  EXPECT_EQ(driver.WaitForExit(0), -1) << "the window's process still runs";
}

}  // namespace
