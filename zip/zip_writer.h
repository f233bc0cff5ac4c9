// The ZIP archive writer: packs files from disk into a single-volume archive
// (PKWARE application note), each entry deflated (RFC 1951) or stored.
//
// Every entry is written in one pass straight to the archive: a provisional
// local header, the data, then the header rewritten with the CRC and sizes,
// so no data descriptors are needed. No encryption, comments, ZIP64 or
// spanning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file.h"
#include "zip/deflate_stream.h"

// Outcome of a writer operation.
enum class ZipResult {
  kOk,
  kFileError,        // the archive cannot be created, or a source cannot be opened, examined or read
  kArgumentFailure,  // empty or overlong entry name; no archive open (or one open already)
  kWriteFailure,     // the archive took fewer bytes than given, or the encoder failed
  kSeekFailure,      // the archive could not be positioned to rewrite a local header
};

// One entry as its headers describe it; kept until Close writes the central
// directory.
struct ZipEntryRecord {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dos_time = 0;
  uint16_t dos_date = 0;
  uint32_t crc = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  std::string name;  // UTF-8
  uint32_t external_attributes = 0;
  uint32_t local_header_offset = 0;
  // Low 32 bits of the Unix times of the extended time stamp field.
  uint32_t modified = 0;
  uint32_t accessed = 0;
  uint32_t created = 0;
};

// Used for one archive on the stack of one operation: Create, any number of
// AddFile, Close. A failed AddFile leaves the archive as it was before it, so
// the writer stays usable and Close still makes a valid archive of the
// entries added. Destroying an open writer closes it as Close does.
class CZipWriter {
 public:
  CZipWriter();
  ~CZipWriter();
  CZipWriter(const CZipWriter&) = delete;
  CZipWriter& operator=(const CZipWriter&) = delete;

  // Creates the archive at the UTF-8 path, replacing any file there, opened
  // for writing with no sharing until Close.
  ZipResult Create(const std::string& path);
  // Begins an archive on an output already open for writing at its start
  // (tests hand in one that fails on demand). Null is a file error.
  ZipResult Create(std::unique_ptr<platform::File> output);

  // Adds the file at the UTF-8 source_path as one entry named by the UTF-8
  // entry_name ('\' becomes '/', at most 259 bytes). Names ending in an
  // archive suffix (.zip, .gz, ...) are stored, everything else deflated.
  ZipResult AddFile(const std::string& entry_name, const std::string& source_path);

  // Writes the central directory and the end record and closes the archive
  // file; the file is closed and the encoder released even when that fails.
  ZipResult Close();
  // Closes as Close does, with the archive's bytes put on the disk first: an
  // archive about to take a name that says it is whole.
  ZipResult CloseFlushed();

 private:
  ZipResult Finish(bool flush);
  ZipResult WriteEntry(platform::File& source, ZipEntryRecord& record);
  ZipResult WriteDeflated(platform::File& source, ZipEntryRecord& record);
  ZipResult WriteStored(platform::File& source, ZipEntryRecord& record);
  // Sends the full output buffer, or its first 'size' bytes, to the archive.
  bool FlushOutput(size_t size);
  bool WriteOut(const std::string& bytes);
  bool WriteOut(const void* data, size_t size);
  // Cuts the archive back to 'offset' after a failed add.
  void RollBack(uint32_t offset);

  std::unique_ptr<platform::File> output_;
  uint32_t bytes_written_ = 0;
  // Set when a failed add could not be cut away: nothing more can make the
  // archive valid.
  bool bDamaged = false;
  std::vector<ZipEntryRecord> entries_;
  std::unique_ptr<unsigned char[]> buffer_;  // compressed output, or a stored chunk
  std::unique_ptr<unsigned char[]> input_;   // a chunk of the source for the encoder
  std::unique_ptr<DeflateStream> deflater_;  // made at the first deflated entry
};
