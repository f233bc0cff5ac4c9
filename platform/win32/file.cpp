#include "platform/file.h"

#include <windows.h>

#include <utility>

#include "platform/text.h"
#include "platform/win32/calendar.h"
#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000;

int64_t Ticks(const FILETIME& time) {
  return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

int64_t UnixSeconds(const FILETIME& time) { return (Ticks(time) - kUnixEpochTicks) / kTicksPerSecond; }

bool CalendarOf(const FILETIME& time, UtcCalendar* calendar) {
  SYSTEMTIME fields;
  if (!FileTimeToSystemTime(&time, &fields)) return false;
  *calendar = CalendarFields(fields);
  return true;
}

class WindowsFile : public File {
 public:
  explicit WindowsFile(UniqueHandle handle) : handle_(std::move(handle)) {}

  bool Read(void* buffer, size_t size, size_t* count) override {
    DWORD done = 0;
    BOOL ok = ReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &done, nullptr);
    *count = ok ? done : 0;
    return ok != FALSE;
  }

  bool Write(const void* data, size_t size) override {
    DWORD done = 0;
    return WriteFile(handle_.get(), data, static_cast<DWORD>(size), &done, nullptr) && done == size;
  }

  bool Seek(uint64_t offset) override {
    LONG high = static_cast<LONG>(offset >> 32);
    DWORD low = SetFilePointer(handle_.get(), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
  }

  bool Truncate(uint64_t size) override { return Seek(size) && SetEndOfFile(handle_.get()); }

  bool GetInfo(FileInfo* info) override {
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(handle_.get(), &data)) return false;
    info->attributes = data.dwFileAttributes;
    info->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info->creation_unix = UnixSeconds(data.ftCreationTime);
    info->last_access_unix = UnixSeconds(data.ftLastAccessTime);
    info->last_write_unix = UnixSeconds(data.ftLastWriteTime);
    return CalendarOf(data.ftLastWriteTime, &info->last_write_utc);
  }

  bool Flush() override { return FlushFileBuffers(handle_.get()) != 0; }

 private:
  UniqueHandle handle_;
};

std::unique_ptr<File> Open(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
  UniqueHandle handle(CreateFileW(Utf8ToWide(path).c_str(), access, sharing, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) return nullptr;
  return std::make_unique<WindowsFile>(std::move(handle));
}

}  // namespace

std::unique_ptr<File> OpenFileForRead(const std::string& path) {
  return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

std::unique_ptr<File> CreateFileForWrite(const std::string& path) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

std::unique_ptr<File> OpenFileForAppend(const std::string& path) {
  // Read attributes: the writer asks for the size to know whether the file is new.
  std::unique_ptr<File> file = Open(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, OPEN_ALWAYS);
  FileInfo info;
  if (file && !(file->GetInfo(&info) && file->Seek(info.size))) return nullptr;
  return file;
}

void OpenFileStream(std::ifstream& stream, const std::string& path, std::ios::openmode mode) {
  stream.open(Utf8ToWide(path).c_str(), mode);
}

void OpenFileStream(std::ofstream& stream, const std::string& path, std::ios::openmode mode) {
  stream.open(Utf8ToWide(path).c_str(), mode);
}

}  // namespace platform
