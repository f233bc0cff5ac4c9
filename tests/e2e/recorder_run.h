// One whole run of the recorder: a folder that plays the program's folder,
// the receiver simulator on a pseudo-terminal linked as its COM3, and the
// headless driver taking commands and printing its event log.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/support/child_process.h"

namespace testing_support {

class RecorderRun {
 public:
  // The program's folder is a scratch folder, or a folder of the given name
  // (UTF-8) inside one.
  explicit RecorderRun(const std::string& folder_name = "");

  const std::string& dir() const { return dir_; }
  std::string TracksFile(const std::string& name) const { return dir_ + "/Tracks/" + name; }

  // Writes properties.ini with these "Key=value" lines in section Properties
  // ("COM=COM3" is added): bytes as they are, or as UTF-8 text behind its
  // byte-order mark, which Windows reads whatever its code page.
  void WriteSettings(const std::vector<std::string>& lines, bool utf8 = false);
  // Starts the simulator with its options and waits for the link of its
  // pseudo-terminal: COM3 in the run's folder, or the given path.
  bool StartReceiver(const std::vector<std::string>& options, const std::string& link = "");
  // Starts the headless driver (again, after a kill); answer is "yes" or
  // "no" for the leftover prompt.
  bool StartRecorder(const std::string& answer = "no");
  // Starts a recorder given by its whole command line and environment (the
  // Windows program under Wine).
  bool StartRecorder(const std::vector<std::string>& argv, const std::vector<std::string>& environment);
  void Command(const std::string& line);
  // Waits for the simulator to end (a lost receiver's line is then gone).
  bool WaitForReceiverEnd(double seconds);
  // Reads output lines until one holds the text; false after the seconds.
  bool WaitFor(const std::string& text, double seconds);
  // Sends quit, collects the rest of the output and returns the recorder's
  // exit status (a sanitizer's finding makes it non-zero).
  int Quit();
  ChildProcess& recorder() { return *recorder_; }

  // Every output line so far, and the track state messages among them.
  const std::vector<std::string>& output() const { return output_; }
  // The output so far as one text, for a failure's message.
  std::string Transcript() const;
  std::vector<int> States() const;
  bool Printed(const std::string& line) const;
  // The processor time the recorder has taken so far, in seconds.
  double CpuSeconds() const;

 private:
  ScratchDir folder_;
  std::string dir_;
  ChildProcess receiver_;
  std::unique_ptr<ChildProcess> recorder_;
  std::vector<std::string> output_;
};

// The positions of the simulator's route at 20 knots, as the track prints
// them ("longitude,latitude"), and whether a point line is one of them.
std::vector<std::pair<double, double>> RoutePositions(int epochs);
bool SamePosition(const std::string& line, const std::pair<double, double>& position);

// A receiver sends 30 fixes and then falls silent with its line open, or its
// line is lost (the pseudo-terminal closed, as an unplugged adapter's): the
// recorder, started by start_recorder, shows it within the silent-line limit
// without spinning, packs the track on a send request made then, and the
// track holds every fix sent, the last one too, and nothing else. With
// back_after, a lost receiver comes back that many seconds later as a new
// device under the same name: its fixes join the track in a second segment.
void ExpectAGoneReceiverNoticed(RecorderRun& run, bool lost, const std::string& com_link,
                                const std::function<bool()>& start_recorder, int back_after = 0);

// Files in a folder of the run matching a suffix, sorted.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix);
// One entry of a ZIP archive, read by unzip.
std::string ZipEntry(const std::string& archive, const std::string& entry);
// The point lines of a KML text.
std::vector<std::string> PointLines(const std::string& kml);
std::string HeadlessPath();

}  // namespace testing_support
