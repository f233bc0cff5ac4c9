// CheckTrackFile on files it may meet: arbitrary bytes (it must end, stay
// within bounds and not crash), and recordings cut at any byte (the result
// must be well-formed KML holding every complete point line, and a second
// check must leave it as it is).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/file_layer.h"
#include "tests/track/kml_shape.h"
#include "track/track_check.h"
#include "track/track_file.h"

namespace {

// The files of this run, removed when the fuzzer exits.
class ScratchFiles {
 public:
  ~ScratchFiles() {
    std::error_code error;
    for (const std::string& path : paths_) std::filesystem::remove(path, error);
  }
  std::string Path(const std::string& name) {
    std::string path =
        (std::filesystem::temp_directory_path() / ("fuzz_check_track_" + tag_ + "_" + name)).string();
    if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    return path;
  }

 private:
  std::string tag_ = std::to_string(std::random_device{}());
  std::vector<std::string> paths_;
};

std::string ScratchPath(const char* name) {
  static ScratchFiles files;
  return files.Path(name);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckArbitraryBytes(const std::string& bytes) {
  std::string path = ScratchPath("bytes.kml");
  WriteBytes(path, bytes);
  bool no_coordinates = CheckTrackFile(path);
  std::string after = platform::ReadWholeFile(path);
  // A rebuild adds at most three end tags per block start and one per open
  // element: never more than a few times the input.
  Require(after.size() <= 4 * bytes.size() + 64);
  if (no_coordinates) Require(after == bytes);
}

// Drives the track writer with the bytes: each one opens a new segment or
// offers a fix with a thinning distance of its own.
std::string Recording(const std::string& events) {
  std::string path = ScratchPath("whole.kml");
  KmlTrackFile file;
  TrackPosition last;
  file.Begin(path);
  file.OpenSegment();
  for (size_t i = 0; i < events.size(); ++i) {
    auto event = static_cast<unsigned char>(events[i]);
    if (event % 8 == 0) {
      file.CloseSegment();
      file.OpenSegment();
      continue;
    }
    double latitude = 43.1 + event * 0.0013 + i * 0.0001, longitude = 131.88 - event * 0.0007;
    file.PointStep(latitude, longitude, event / 7.0, event % 16, last);
  }
  file.CloseSegment();
  file.End();
  return platform::ReadWholeFile(path);
}

void CheckCutRecording(const std::string& bytes) {
  if (bytes.size() < 2) return;
  std::string whole = Recording(bytes.substr(2));
  size_t cut =
      (static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1])) % (whole.size() + 1);
  std::string prefix = whole.substr(0, cut);
  std::vector<std::string> complete;
  for (const track_testing::PointLine& line : track_testing::PointLinesOf(whole)) {
    if (line.end <= cut) complete.push_back(line.text);
  }
  std::string path = ScratchPath("cut.kml");
  WriteBytes(path, prefix);
  Require(CheckTrackFile(path) == complete.empty());
  std::string after = platform::ReadWholeFile(path);
  if (complete.empty()) {
    Require(after == prefix);
    return;
  }
  track_testing::KmlShape shape = track_testing::ReadKmlShape(after);
  Require(shape.well_formed && shape.points == complete);
  Require(!CheckTrackFile(path) && platform::ReadWholeFile(path) == after);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    CheckArbitraryBytes(bytes);
  } else {
    CheckCutRecording(bytes);
  }
  return 0;
}
