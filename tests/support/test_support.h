// Helpers shared by the tests: the receiver captures beside the project and
// scratch folders that clean up after themselves.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// The folder of receiver captures (../shared/nmea), or empty when it is absent.
std::string NmeaCaptureDir();

// The capture files of that folder (*.nmea), sorted, without the synthetic
// 24-hour file unless asked for.
std::vector<std::string> NmeaCaptures(bool include_synthetic = false);

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Polls the condition every fifth of a second until it holds or the seconds pass.
bool PollFor(double seconds, const std::function<bool()>& condition);

// A fresh empty folder, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  // path() joined with a relative name.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Makes a folder (UTF-8) the program's folder for as long as the object
// lives, so that a failed assertion cannot leave it set for later tests.
class ProgramFolderGuard {
 public:
  explicit ProgramFolderGuard(const std::string& folder);
  ~ProgramFolderGuard();
  ProgramFolderGuard(const ProgramFolderGuard&) = delete;
  ProgramFolderGuard& operator=(const ProgramFolderGuard&) = delete;
};

}  // namespace testing_support

// Skips the current test with a message when the shared captures are absent.
#define SKIP_WITHOUT_CAPTURES()                                              \
  if (testing_support::NmeaCaptureDir().empty())                             \
  GTEST_SKIP() << "../shared/nmea is absent: receiver captures not available"
