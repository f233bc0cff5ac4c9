// What an archive is: whether it is a whole ZIP archive, and which entries
// its central directory records, read from the file's end without unpacking
// anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry as the central directory records it: its name, the CRC-32 and
// the size of its bytes before compression.
struct ZipDirectoryEntry {
  std::string name;
  uint32_t crc = 0;
  uint64_t size = 0;
};

// Reads the central directory of the archive at path (UTF-8) from the end of
// the file: a few hundred bytes, whatever the archive's size. True only for a
// whole archive: the file ends in an end-of-central-directory record (with no
// comment) whose directory lies right before it and is central headers one
// after another, or nothing at all. A writer that stopped early never wrote
// that record.
bool ReadZipDirectory(const std::string& path, std::vector<ZipDirectoryEntry>* entries);

// The CRC-32 of bytes, as a ZIP entry records it.
uint32_t ZipCrc32(const std::string& bytes);
