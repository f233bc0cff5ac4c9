// What a test of a Windows program's windows needs from outside: a private
// X display, a fresh Wine prefix whose programs share one virtual desktop on
// it (so a driver sees the windows it drives), and screenshots of it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/wine_prefix.h"
#include "tests/support/xvfb.h"

namespace testing_support {

class WineDesktop {
 public:
  // dpi: the screen's DPI for the desktop's programs.
  explicit WineDesktop(int dpi = 96) : wine_("ru_RU.UTF-8", dpi) {}
  // Why the test cannot run here (the build's Wine loader or Xvfb missing, a
  // program of the build under test absent), or empty.
  static std::string Missing(const std::vector<std::string>& programs);
  // Starts the display, boots the prefix and sets its desktop; false on failure.
  bool Start(const std::string& size = "1280x900");
  // The prefix's variables with the DISPLAY.
  const std::vector<std::string>& Environment() const { return env_; }
  WinePrefix& prefix() { return wine_; }
  // Lists the port (COM3) where Windows lists serial ports, under the device
  // name or one of ours: Wine's registry knows only its own devices, not a
  // dosdevices link. False on failure.
  bool ListSerialPort(const std::string& name, const std::string& device = "");
  // Saves the screen's rectangle "X Y W H" (as the driver's rect answers) as
  // a PNG; false when ImageMagick's import failed.
  bool Screenshot(const std::string& rect, const std::string& png) const;

 private:
  Xvfb display_;
  WinePrefix wine_;
  std::vector<std::string> env_;
};

// Runs a program to its end (up to the seconds), discarding its error output.
int RunToEnd(const std::vector<std::string>& argv, const std::vector<std::string>& env, double seconds,
             std::string* output);

}  // namespace testing_support
