#include "tests/e2e/window_run.h"

#include <filesystem>

#include "tests/e2e/recorder_run.h"

namespace fs = std::filesystem;

namespace testing_support {

namespace {

std::string ProgramPath() { return ShippedRovelog(); }

// Every waypoint record of the waypoint file ends with the same fixed fields.
constexpr char kWaypointTail[] = ",40263.82877, 2, 1, 3, 0, 65535,";

}  // namespace

WindowRun::WindowRun(WineDesktop* desktop) : desktop_(desktop) {
  UnpackShippedRovelog(folder_.path());
}

WindowRun::~WindowRun() {
  // The driver first: it holds the program's process open.
  driver_.reset();
  if (program_) program_->Stop(10);
  receiver_.Stop();
}

std::string WindowRun::Missing() {
  if (NmeaCaptureDir().empty()) return "../shared/nmea is absent: receiver captures not available";
  return WineDesktop::Missing({ProgramPath(), WindowDriverPath()});
}

bool WindowRun::PrepareDesktop(WineDesktop* desktop) { return desktop->Start() && desktop->ListSerialPort("COM3"); }

void WindowRun::WriteSettings(const std::vector<std::string>& lines) {
  std::string text = "[Properties]\r\nCOM=COM3\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  WriteFileBytes(folder_.File("properties.ini"), text);
}

bool WindowRun::StartReceiver(const std::vector<std::string>& options) {
  return StartLinkedSimulator(receiver_, desktop_->prefix().ComLink(3), options);
}

bool WindowRun::StartWindow() {
  program_ = std::make_unique<ChildProcess>();
  driver_ = std::make_unique<WindowDriver>();
  return program_->Start({kWine, folder_.File("Rovelog.exe")}, desktop_->Environment(), true) &&
         driver_->Start(desktop_->Environment()) && driver_->WaitForWindow("Vantrek", 120);
}

int WindowRun::WaitForExit(double seconds) { return program_ ? program_->Wait(seconds) : -1; }

void WindowRun::Kill() {
  if (program_) program_->Stop(10);
}

bool WindowRun::Screenshot(const std::string& name) {
  std::string rect;
  fs::create_directories(WindowScreenshotDir());
  return driver_->Command("rect", &rect) && desktop_->Screenshot(rect, WindowScreenshotDir() + "/" + name + ".png");
}

std::string WindowScreenshotDir() { return WindowsBuild() + "/test-output/app"; }

int WaypointsIn(const std::string& archive) {
  const std::string waypoints = ZipEntry(archive, "points.wpt");
  int count = 0;
  for (size_t at = waypoints.find(kWaypointTail); at != std::string::npos; at = waypoints.find(kWaypointTail, at + 1))
    ++count;
  return count;
}

}  // namespace testing_support
