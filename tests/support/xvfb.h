// A private X display for tests that show windows: Xvfb on the first free
// display number (it picks one itself), stopped when the object goes.
#pragma once

#include <string>

#include "tests/support/child_process.h"

namespace testing_support {

class Xvfb {
 public:
  // Starts the server with one screen of the size ("1280x900"); false when it
  // could not be started or reported no display.
  bool Start(const std::string& screen_size = "1280x900");
  // ":N", empty before a successful Start.
  const std::string& display() const { return display_; }
  // "DISPLAY=:N" for a child's environment.
  std::string Variable() const { return "DISPLAY=" + display_; }

 private:
  ChildProcess server_;
  std::string display_;
};

// True when the Xvfb program is installed.
bool HaveXvfb();

}  // namespace testing_support
