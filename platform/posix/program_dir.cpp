#include <limits.h>
#include <unistd.h>

#include <string>

#include "platform/program_dir.h"
#include "platform/text.h"

namespace platform {

std::wstring ExecutableFolder() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return L".";
  std::string text(path, static_cast<size_t>(length));
  return Utf8ToWide(text.substr(0, text.rfind('/')));
}

}  // namespace platform
