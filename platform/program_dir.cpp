#include "platform/program_dir.h"

#include <mutex>

namespace platform {

std::string ExecutableFolder();  // one per backend

namespace {
std::mutex override_lock;
std::string override_folder;
}  // namespace

std::string ProgramFolder() {
  {
    std::lock_guard<std::mutex> guard(override_lock);
    if (!override_folder.empty()) return override_folder;
  }
  return ExecutableFolder();
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard<std::mutex> guard(override_lock);
  override_folder = folder;
  while (override_folder.size() > 1 && override_folder.back() == kPathSeparator) override_folder.pop_back();
}

}  // namespace platform
