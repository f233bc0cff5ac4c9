#include "zip/zip_check.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "platform/file.h"

namespace {

constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;

uint32_t Little16(const std::string& bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

uint32_t Little32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Where the central directory lies, as the end record says.
struct DirectorySpan {
  uint64_t offset = 0;
  uint64_t size = 0;
};

// The end record is the file's last kEndRecordSize bytes; its directory must
// end right where the record begins.
bool SpanOf(const std::string& end_record, uint64_t file_size, DirectorySpan* span) {
  if (end_record.size() != kEndRecordSize || end_record.compare(0, 4, "PK\x05\x06") != 0) return false;
  span->size = Little32(end_record, 12);
  span->offset = Little32(end_record, 16);
  return span->offset + span->size == file_size - kEndRecordSize;
}

bool ReadAt(platform::File& file, uint64_t offset, size_t size, std::string* bytes) {
  bytes->assign(size, '\0');
  size_t done = 0;
  if (!file.Seek(offset)) return false;
  while (done < size) {
    size_t count = 0;
    if (!file.Read(&(*bytes)[done], size - done, &count) || count == 0) return false;
    done += count;
  }
  return true;
}

// The central headers one after another, each with its name; nothing after them.
bool ParseDirectory(const std::string& directory, std::vector<ZipDirectoryEntry>* entries) {
  size_t at = 0;
  while (at < directory.size()) {
    if (directory.size() - at < kCentralHeaderSize || directory.compare(at, 4, "PK\x01\x02") != 0) {
      return false;
    }
    size_t name_size = Little16(directory, at + 28);
    size_t extra_and_comment = Little16(directory, at + 30) + Little16(directory, at + 32);
    size_t next = at + kCentralHeaderSize + name_size + extra_and_comment;
    if (next > directory.size()) return false;
    entries->push_back({directory.substr(at + kCentralHeaderSize, name_size), Little32(directory, at + 16),
                        Little32(directory, at + 24)});
    at = next;
  }
  return true;
}

}  // namespace

bool ReadZipDirectory(const std::string& path, std::vector<ZipDirectoryEntry>* entries) {
  entries->clear();
  std::unique_ptr<platform::File> file = platform::OpenFileForRead(path);
  platform::FileInfo info;
  if (!file || !file->GetInfo(&info) || info.size < kEndRecordSize) return false;
  std::string end_record;
  DirectorySpan span;
  std::string directory;
  return ReadAt(*file, info.size - kEndRecordSize, kEndRecordSize, &end_record) &&
         SpanOf(end_record, info.size, &span) && ReadAt(*file, span.offset, span.size, &directory) &&
         ParseDirectory(directory, entries);
}

uint32_t ZipCrc32(const std::string& bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most 4 GiB a call.
  for (size_t at = 0; at < bytes.size(); at += 1u << 30) {
    size_t part = std::min<size_t>(bytes.size() - at, 1u << 30);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + at), static_cast<uInt>(part));
  }
  return static_cast<uint32_t>(crc);
}
