// One run of Rovelog.exe as a user runs it, under Wine on a private display:
// a program folder of its own (the program keeps properties.ini and Tracks
// beside itself), the receiver simulator on a pseudo-terminal linked as the
// prefix's COM3, and the window driver working the window from outside.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver_client.h"
#include "tests/support/wine_desktop.h"

namespace testing_support {

class WindowRun {
 public:
  // The desktop (started, COM3 listed) outlives the run.
  explicit WindowRun(WineDesktop* desktop);
  ~WindowRun();

  // Why a window run cannot happen here, or empty.
  static std::string Missing();
  // A WineDesktop started with COM3 listed; false on failure.
  static bool PrepareDesktop(WineDesktop* desktop);

  const std::string& dir() const { return folder_.path(); }
  std::string TracksFile(const std::string& name) const { return folder_.File("Tracks/" + name); }
  // properties.ini with "COM=COM3" and these "Key=value" lines in section Properties.
  void WriteSettings(const std::vector<std::string>& lines);
  // The simulator with its options, linked as COM3 of the prefix.
  bool StartReceiver(const std::vector<std::string>& options);
  // Starts Rovelog.exe from the run's folder and waits for its window.
  bool StartWindow();
  WindowDriver& driver() { return *driver_; }
  // The program's exit status once it ended within the seconds, else -1.
  int WaitForExit(double seconds);
  // Ends the program as a crash or a power cut would, with no close.
  void Kill();
  // Keeps a picture of the window as test output (build/.../test-output/app/NAME.png).
  bool Screenshot(const std::string& name);

 private:
  WineDesktop* desktop_;
  ScratchDir folder_;
  ChildProcess receiver_;
  std::unique_ptr<ChildProcess> program_;
  std::unique_ptr<WindowDriver> driver_;
};

// The pictures of the start button, by the frame colour the screen shows.
inline constexpr char kStopped[] = "red";
inline constexpr char kNoPosition[] = "yellow";
inline constexpr char kReceiving[] = "green";

// Where a run's screenshots are kept.
std::string WindowScreenshotDir();
// The waypoint records in an archive's points.wpt.
int WaypointsIn(const std::string& archive);

}  // namespace testing_support
