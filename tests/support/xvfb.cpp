#include "tests/support/xvfb.h"

#include <unistd.h>

namespace testing_support {

namespace {
constexpr char kXvfb[] = "/usr/bin/Xvfb";
}

bool HaveXvfb() { return access(kXvfb, X_OK) == 0; }

bool Xvfb::Start(const std::string& screen_size) {
  // -displayfd 1: the server chooses a free display and writes its number to
  // our pipe once it accepts connections, so several tests can run at once.
  // Its error output stays ours: when it cannot start, it says why there.
  if (!server_.Start({kXvfb, "-displayfd", "1", "-screen", "0", screen_size + "x24", "-nolisten", "tcp"}))
    return false;
  std::string number;
  if (!server_.ReadLine(&number, 60) || number.empty()) return false;
  display_ = ":" + number;
  return true;
}

}  // namespace testing_support
