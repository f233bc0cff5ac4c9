#include "platform/file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/posix/calendar.h"

namespace platform {

namespace {

UtcCalendar CalendarOf(time_t seconds) {
  struct tm parts {};
  gmtime_r(&seconds, &parts);
  return CalendarFields(parts);
}

// The birth time where the file system records one, else the last write.
int64_t CreationTime(int fd, const struct stat& status) {
  struct statx extended {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 && (extended.stx_mask & STATX_BTIME)) {
    return extended.stx_btime.tv_sec;
  }
  return status.st_mtim.tv_sec;
}

uint32_t AttributesOf(const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return kAttributeDirectory;
  uint32_t attributes = kAttributeArchive;
  if ((status.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
  return attributes;
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  bool Read(void* buffer, size_t size, size_t* count) override {
    ssize_t result;
    do {
      result = read(fd_, buffer, size);
    } while (result < 0 && errno == EINTR);
    *count = result > 0 ? static_cast<size_t>(result) : 0;
    return result >= 0;
  }

  bool Write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t result = write(fd_, bytes, size);
      if (result < 0 && errno == EINTR) continue;
      if (result <= 0) return false;
      bytes += result;
      size -= static_cast<size_t>(result);
    }
    return true;
  }

  bool Seek(uint64_t offset) override {
    return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
  }

  bool Truncate(uint64_t size) override {
    return ftruncate(fd_, static_cast<off_t>(size)) == 0 && Seek(size);
  }

  bool GetInfo(FileInfo* info) override {
    struct stat status {};
    if (fstat(fd_, &status) != 0) return false;
    info->attributes = AttributesOf(status);
    info->size = static_cast<uint64_t>(status.st_size);
    info->creation_unix = CreationTime(fd_, status);
    info->last_access_unix = status.st_atim.tv_sec;
    info->last_write_unix = status.st_mtim.tv_sec;
    info->last_write_utc = CalendarOf(status.st_mtim.tv_sec);
    return true;
  }

  bool Flush() override { return fsync(fd_) == 0; }

 private:
  int fd_;
};

std::unique_ptr<File> Open(const std::string& path, int flags) {
  int fd;
  do {
    fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixFile>(fd);
}

}  // namespace

std::unique_ptr<File> OpenFileForRead(const std::string& path) {
  std::unique_ptr<File> file = Open(path, O_RDONLY);
  // Windows will not open a directory as a file; neither do we.
  FileInfo info;
  if (file && file->GetInfo(&info) && (info.attributes & kAttributeDirectory)) return nullptr;
  return file;
}

std::unique_ptr<File> CreateFileForWrite(const std::string& path) {
  return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

std::unique_ptr<File> OpenFileForAppend(const std::string& path) {
  return Open(path, O_WRONLY | O_CREAT | O_APPEND);
}

void OpenFileStream(std::ifstream& stream, const std::string& path, std::ios::openmode mode) {
  stream.open(path, mode);
}

void OpenFileStream(std::ofstream& stream, const std::string& path, std::ios::openmode mode) {
  stream.open(path, mode);
}

}  // namespace platform
