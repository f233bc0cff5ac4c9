#include "tests/support/wine_desktop.h"

#include <unistd.h>

#include <iostream>
#include <sstream>

#include "tests/support/child_process.h"

namespace testing_support {

std::string WineDesktop::Missing(const std::vector<std::string>& programs) {
  if (!HaveXvfb()) return "Xvfb is not installed";
  for (const std::string& program : programs) {
    const std::string why = WhyNotRunnable(program);
    if (!why.empty()) return why;
  }
  return "";
}

namespace {
// A test's set-up that failed says which step it was.
bool Failed(const std::string& step) {
  std::cerr << "Wine desktop: " << step << "\n";
  return false;
}
}  // namespace

bool WineDesktop::Start(const std::string& size) {
  if (!display_.Start(size)) return Failed("Xvfb reported no display");
  env_ = wine_.Environment();
  env_.push_back(display_.Variable());
  if (!wine_.Boot()) return Failed("the prefix did not boot");
  return wine_.UseVirtualDesktop(size, {display_.Variable()}) ||
         Failed("the virtual desktop could not be set");
}

bool WineDesktop::ListSerialPort(const std::string& name, const std::string& device) {
  std::string output;
  return RunToEnd({kWine64, "reg", "add", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/v",
                   device.empty() ? "\\Device\\Rovelog" + name : device, "/d", name, "/f"},
                  env_, 120, &output) == 0 ||
         Failed("reg add for " + name + " failed: " + output);
}

bool WineDesktop::Screenshot(const std::string& rect, const std::string& png) const {
  std::istringstream words(rect);
  int x = 0, y = 0, w = 0, h = 0;
  if (!(words >> x >> y >> w >> h)) return false;
  const std::string crop =
      std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" + std::to_string(y);
  std::string output;
  return RunToEnd({"/usr/bin/import", "-display", display_.display(), "-window", "root", "-crop", crop, "+repage", png},
                  {}, 60, &output) == 0;
}

int RunToEnd(const std::vector<std::string>& argv, const std::vector<std::string>& env, double seconds,
             std::string* output) {
  ChildProcess process;
  if (!process.Start(argv, env, true)) return -1;
  *output = process.ReadAll(seconds);
  return process.Wait(seconds);
}

}  // namespace testing_support
