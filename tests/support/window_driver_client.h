// The native side of the window driver: starts window-driver.exe in a Wine
// prefix beside the program under test and speaks its line protocol, with
// waits that poll the window until something shows or the seconds pass.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace testing_support {

struct ShownBox {
  std::string caption;
  std::string text;
};

class WindowDriver {
 public:
  WindowDriver() = default;
  // Asks the driver to end, then stops it.
  ~WindowDriver();
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  // Starts the driver with the prefix's environment (and the DISPLAY).
  bool Start(const std::vector<std::string>& environment);
  // Sends one command; true on "ok", with the rest of that line in *answer
  // (the error's text on failure).
  bool Command(const std::string& line, std::string* answer = nullptr);
  // A command answered with "ok N" and N lines; false when it failed.
  bool ListCommand(const std::string& line, std::vector<std::string>* lines);

  // Polls for the window of that caption until it shows; false after the seconds.
  bool WaitForWindow(const std::string& caption, double seconds);
  bool Click(int id) { return Command("click " + std::to_string(id)); }
  std::vector<std::string> Lines(int list_id);
  // Polls the list until a line holds the text; false after the seconds.
  bool WaitForLine(int list_id, const std::string& text, double seconds);
  // "red", "yellow", "green", "other", or the error when nothing is coloured.
  std::string Colour(int id);
  bool WaitForColour(int id, const std::string& name, double seconds);
  std::vector<ShownBox> Boxes();
  // Polls until a message box shows; false after the seconds.
  bool WaitForBox(ShownBox* box, double seconds);
  // Polls until no message box of the program shows; false after the seconds.
  bool WaitForNoBox(double seconds);
  // The process's exit code once it ended within the seconds, else -1.
  int WaitForExit(double seconds);

 private:
  bool Exchange(const std::string& line, double seconds, std::string* answer);

  ChildProcess process_;
};

// The window driver of the build under test: it reads the target's memory,
// so it must be built for the target's bitness.
std::string WindowDriverPath();

}  // namespace testing_support
