#include <limits.h>
#include <unistd.h>

#include <string>

#include "platform/program_dir.h"

namespace platform {

std::string ExecutableFolder() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return ".";
  std::string text(path, static_cast<size_t>(length));
  return text.substr(0, text.rfind('/'));
}

}  // namespace platform
