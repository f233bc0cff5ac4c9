// Files the engine reads and writes: the sources and the archive of the ZIP
// writer, the track file, the waypoint file and the repaired track.
//
// Paths are UTF-8, as everywhere in the program: the Windows backend hands
// them to the ...W calls as UTF-16, and on POSIX the bytes are the file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "platform/clock.h"

namespace platform {

// Windows file attribute bits, as GetFileInformationByHandle reports them.
inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;

// A moment as calendar fields in UTC (FileTimeToSystemTime of a file time):
// the fields of a local time, without the time zone applied.
using UtcCalendar = LocalTime;

// What the file system tells about an open file.
//
// On POSIX the attributes are made up the way NTFS usually shows the same
// file: a directory is 0x10; anything else carries the archive bit 0x20, and
// the read-only bit 0x01 when its owner may not write it; hidden and system
// are never set. Files without a recorded creation time report their last
// write as creation.
struct FileInfo {
  uint32_t attributes = 0;
  uint64_t size = 0;
  // Seconds since 1970-01-01 00:00 UTC.
  int64_t creation_unix = 0;
  int64_t last_access_unix = 0;
  int64_t last_write_unix = 0;
  UtcCalendar last_write_utc;
};

// An open file; closed when the object goes.
class File {
 public:
  virtual ~File() = default;
  // Reads up to size bytes at the current position; *count is 0 at the end
  // of the file. False on a read error.
  virtual bool Read(void* buffer, size_t size, size_t* count) = 0;
  // Writes all size bytes at the current position; false when any is not
  // written (disk full, I/O error).
  virtual bool Write(const void* data, size_t size) = 0;
  // Moves the position to offset bytes from the start.
  virtual bool Seek(uint64_t offset) = 0;
  // Cuts the file to size bytes and leaves the position there.
  virtual bool Truncate(uint64_t size) = 0;
  virtual bool GetInfo(FileInfo* info) = 0;
  // Puts the bytes written so far on the disk (fsync, FlushFileBuffers): a
  // power cut may lose what was written after the last flush, never before.
  virtual bool Flush() = 0;
};

// Opens an existing file for reading from its start; others may read it
// meanwhile but not write it (Windows sharing; POSIX has none). Null when it
// does not exist or cannot be opened.
std::unique_ptr<File> OpenFileForRead(const std::string& path);

// Creates a file for writing with normal attributes, replacing any file of
// that name; others may read it meanwhile (a viewer of the track being
// recorded) but not write it (Windows sharing). Null when it cannot be
// created.
std::unique_ptr<File> CreateFileForWrite(const std::string& path);

// Opens a file for writing at its end, creating it empty when it is missing;
// others may read it meanwhile. Null when it cannot be opened.
std::unique_ptr<File> OpenFileForAppend(const std::string& path);

// Opens a standard file stream on a path with the given mode: through the
// UTF-16 name on Windows (a narrow name there would go through the ANSI code
// page). The stream's state tells whether it opened.
void OpenFileStream(std::ifstream& stream, const std::string& path, std::ios::openmode mode);
void OpenFileStream(std::ofstream& stream, const std::string& path, std::ios::openmode mode);

}  // namespace platform
