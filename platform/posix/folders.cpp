#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

// Wildcard match without regard to ASCII case, as FindFirstFile matches.
bool MatchesMask(const char* mask, const char* name) {
  for (; *mask != '\0'; ++mask, ++name) {
    if (*mask == '*') {
      while (mask[1] == '*') ++mask;
      for (const char* rest = name;; ++rest) {
        if (MatchesMask(mask + 1, rest)) return true;
        if (*rest == '\0') return false;
      }
    }
    if (*name == '\0') return false;
    if (*mask != '?' && std::tolower(static_cast<unsigned char>(*mask)) !=
                            std::tolower(static_cast<unsigned char>(*name)))
      return false;
  }
  return *name == '\0';
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  size_t cut = pattern.rfind('/');
  std::string folder = cut == std::string::npos ? "." : pattern.substr(0, cut + 1);
  std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesMask(mask.c_str(), name.c_str())) names.push_back(name);
  }
  closedir(dir);
  return names;
}

bool CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool CreateFolderTree(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return false;
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0777);
  }
  return CreateFolder(path);
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  // A hard link fails when the destination exists, which rename would replace.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  return unlink(from.c_str()) == 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool FlushFolder(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool flushed = fsync(fd) == 0;
  close(fd);
  return flushed;
}

}  // namespace platform
