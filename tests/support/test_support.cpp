#include "tests/support/test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/program_dir.h"

namespace fs = std::filesystem;

namespace testing_support {

ProgramFolderGuard::ProgramFolderGuard(const std::string& folder) { platform::SetProgramFolder(folder); }

ProgramFolderGuard::~ProgramFolderGuard() { platform::SetProgramFolder(""); }

std::string NmeaCaptureDir() {
  fs::path dir = fs::path(ROVELOG_SHARED_DIR) / "nmea";
  std::error_code error;
  return fs::is_directory(dir, error) ? dir.string() : std::string();
}

std::vector<std::string> NmeaCaptures(bool include_synthetic) {
  std::vector<std::string> files;
  std::string dir = NmeaCaptureDir();
  if (dir.empty()) return files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".nmea") continue;
    if (!include_synthetic && name.rfind("synthetic", 0) == 0) continue;
    files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() /
                 ("rovelog-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  path_ = dir.string();
}

ScratchDir::~ScratchDir() {
  std::error_code error;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(path_, error);
}

std::string ScratchDir::File(const std::string& name) const { return (fs::path(path_) / name).string(); }

bool PollFor(double seconds, const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return true;
}

}  // namespace testing_support
