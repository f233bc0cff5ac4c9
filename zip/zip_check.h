// What an archive's bytes are: whether they are a whole ZIP archive, and
// which entries its central directory records, without unpacking any.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the bytes end in an end-of-central-directory record (with no
// comment) whose central directory lies right before it and begins with a
// central header, or holds no entry at all.
bool IsCompleteZip(const std::string& bytes);

// One entry as the central directory records it: its name, the CRC-32 and
// the size of its bytes before compression.
struct ZipDirectoryEntry {
  std::string name;
  uint32_t crc = 0;
  uint64_t size = 0;
};

// Reads the central directory of the archive at path (UTF-8) from the end of
// the file: a few hundred bytes, whatever the archive's size. False when the
// file cannot be read or does not end in a whole directory as IsCompleteZip
// describes it.
bool ReadZipDirectory(const std::string& path, std::vector<ZipDirectoryEntry>* entries);

// The CRC-32 of bytes, as a ZIP entry records it.
uint32_t ZipCrc32(const std::string& bytes);
