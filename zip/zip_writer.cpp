#include "zip/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>

#include "platform/file_layer.h"

namespace {

constexpr size_t kBufferSize = 16384;
constexpr size_t kMaxNameBytes = 259;

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr uint32_t kEndRecordSignature = 0x06054B50;
// Host 11 and format version 2.3.
constexpr uint16_t kVersionMadeBy = 0x0B17;
constexpr uint16_t kVersionNeeded = 20;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
// Flag bit 1 says "maximum compression" for deflate; bit 3 announces a data
// descriptor, which only the provisional header claims.
constexpr uint16_t kFlagMaximumCompression = 2;
constexpr uint16_t kFlagDataDescriptor = 8;

// The extended time stamp field: 4 bytes of ID and size, a flags byte, then
// three times in the local header but only the modification time centrally.
constexpr uint16_t kTimeStampFieldId = 0x5455;
constexpr uint8_t kTimeStampAllThree = 7;  // modification, access, creation
constexpr uint16_t kLocalTimeStampLength = 17;
constexpr uint16_t kCentralTimeStampLength = 9;
constexpr uint16_t kFieldHeaderLength = 4;

constexpr uint32_t kDosAttributeBits = platform::kAttributeReadOnly | platform::kAttributeHidden |
                                       platform::kAttributeSystem | platform::kAttributeDirectory |
                                       platform::kAttributeArchive;
constexpr uint32_t kExternalRegularFile = 0x80000000;
constexpr uint32_t kExternalDirectory = 0x40000000;
constexpr uint32_t kExternalOwnerRead = 0x01000000;
constexpr uint32_t kExternalOwnerWrite = 0x00800000;

// Appends little-endian fields to a record.
class RecordBytes {
 public:
  RecordBytes& U8(uint8_t value) {
    bytes_ += static_cast<char>(value);
    return *this;
  }
  RecordBytes& U16(uint16_t value) { return U8(value & 0xFF).U8(value >> 8); }
  RecordBytes& U32(uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
  RecordBytes& Text(const std::string& text) {
    bytes_ += text;
    return *this;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Files of these kinds are compressed already: deflate would only cost time.
bool HasStoredSuffix(const std::string& name) {
  static const char* const kArchiveSuffixes[] = {".z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string suffix = name.substr(dot);
  // The suffixes are ASCII: the bytes of any other character never match them.
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::find(std::begin(kArchiveSuffixes), std::end(kArchiveSuffixes), suffix) !=
         std::end(kArchiveSuffixes);
}

uint32_t ExternalAttributes(uint32_t attributes) {
  uint32_t dos = attributes & kDosAttributeBits;
  uint32_t external = dos | kExternalOwnerRead;
  external |= (dos & platform::kAttributeDirectory) ? kExternalDirectory : kExternalRegularFile;
  if (!(dos & platform::kAttributeReadOnly)) external |= kExternalOwnerWrite;
  return external;
}

// The DOS time stamp packs the UTC calendar fields as they are.
uint16_t DosDate(const platform::UtcCalendar& time) {
  return static_cast<uint16_t>(((time.year - 1980) & 0x7F) << 9 | (time.month & 0x0F) << 5 |
                               (time.day & 0x1F));
}

uint16_t DosTime(const platform::UtcCalendar& time) {
  return static_cast<uint16_t>((time.hour & 0x1F) << 11 | (time.minute & 0x3F) << 5 | time.second / 2);
}

// The fields that the local and the central header share, from "version
// needed" to "extra field length".
void AppendCommonFields(RecordBytes& out, const ZipEntryRecord& entry, uint16_t extra_length) {
  out.U16(kVersionNeeded).U16(entry.flags).U16(entry.method).U16(entry.dos_time).U16(entry.dos_date);
  out.U32(entry.crc).U32(entry.compressed_size).U32(entry.uncompressed_size);
  out.U16(static_cast<uint16_t>(entry.name.size())).U16(extra_length);
}

std::string LocalHeader(const ZipEntryRecord& entry) {
  RecordBytes out;
  out.U32(kLocalHeaderSignature);
  AppendCommonFields(out, entry, kLocalTimeStampLength);
  out.Text(entry.name);
  out.U16(kTimeStampFieldId).U16(kLocalTimeStampLength - kFieldHeaderLength).U8(kTimeStampAllThree);
  out.U32(entry.modified).U32(entry.accessed).U32(entry.created);
  return out.bytes();
}

void AppendCentralHeader(RecordBytes& out, const ZipEntryRecord& entry) {
  out.U32(kCentralHeaderSignature).U16(kVersionMadeBy);
  AppendCommonFields(out, entry, kCentralTimeStampLength);
  out.U16(0).U16(0).U16(0);  // comment length, disk number start, internal attributes
  out.U32(entry.external_attributes).U32(entry.local_header_offset);
  out.Text(entry.name);
  // The flags byte still says 7 although only the modification time follows.
  out.U16(kTimeStampFieldId).U16(kCentralTimeStampLength - kFieldHeaderLength).U8(kTimeStampAllThree);
  out.U32(entry.modified);
}

}  // namespace

CZipWriter::CZipWriter()
    : buffer_(std::make_unique<unsigned char[]>(kBufferSize)),
      input_(std::make_unique<unsigned char[]>(kBufferSize)) {}

CZipWriter::~CZipWriter() {
  if (output_) Close();
}

ZipResult CZipWriter::Create(const std::string& path) {
  if (output_) return ZipResult::kArgumentFailure;
  return Create(platform::Files().CreateForWrite(path));
}

ZipResult CZipWriter::Create(std::unique_ptr<platform::File> output) {
  if (output_) return ZipResult::kArgumentFailure;
  if (!output) return ZipResult::kFileError;
  output_ = std::move(output);
  bytes_written_ = 0;
  bDamaged = false;
  entries_.clear();
  return ZipResult::kOk;
}

ZipResult CZipWriter::AddFile(const std::string& entry_name, const std::string& source_path) {
  if (!output_ || entry_name.empty()) return ZipResult::kArgumentFailure;
  if (bDamaged) return ZipResult::kWriteFailure;
  ZipEntryRecord record;
  record.name = entry_name;
  std::replace(record.name.begin(), record.name.end(), '\\', '/');
  if (record.name.size() > kMaxNameBytes) return ZipResult::kArgumentFailure;
  record.method = HasStoredSuffix(record.name) ? kMethodStored : kMethodDeflated;

  std::unique_ptr<platform::File> source = platform::OpenFileForRead(source_path);
  platform::FileInfo info;
  if (!source || !source->GetInfo(&info)) return ZipResult::kFileError;
  record.flags = kFlagDataDescriptor;
  record.external_attributes = ExternalAttributes(info.attributes);
  record.uncompressed_size = static_cast<uint32_t>(info.size);
  record.compressed_size = record.method == kMethodStored ? record.uncompressed_size : 0;
  record.modified = static_cast<uint32_t>(info.last_write_unix);
  record.accessed = static_cast<uint32_t>(info.last_access_unix);
  record.created = static_cast<uint32_t>(info.creation_unix);
  record.dos_time = DosTime(info.last_write_utc);
  record.dos_date = DosDate(info.last_write_utc);
  record.local_header_offset = bytes_written_;

  ZipResult result = WriteEntry(*source, record);
  if (result != ZipResult::kOk) {
    RollBack(record.local_header_offset);
    return result;
  }
  entries_.push_back(std::move(record));
  return ZipResult::kOk;
}

ZipResult CZipWriter::WriteEntry(platform::File& source, ZipEntryRecord& record) {
  if (!WriteOut(LocalHeader(record))) return ZipResult::kWriteFailure;
  uint32_t data_start = bytes_written_;
  record.uncompressed_size = 0;  // from here on: the bytes actually read
  ZipResult result =
      record.method == kMethodDeflated ? WriteDeflated(source, record) : WriteStored(source, record);
  if (result != ZipResult::kOk) return result;
  record.compressed_size = bytes_written_ - data_start;
  record.flags &= static_cast<uint16_t>(~kFlagDataDescriptor);

  std::string final_header = LocalHeader(record);
  if (!output_->Seek(record.local_header_offset)) return ZipResult::kSeekFailure;
  if (!output_->Write(final_header.data(), final_header.size())) return ZipResult::kWriteFailure;
  if (!output_->Seek(bytes_written_)) return ZipResult::kSeekFailure;
  return ZipResult::kOk;
}

ZipResult CZipWriter::WriteDeflated(platform::File& source, ZipEntryRecord& record) {
  if (!deflater_) deflater_ = std::make_unique<DeflateStream>();
  if (!deflater_->Begin()) return ZipResult::kWriteFailure;
  record.flags |= kFlagMaximumCompression;
  z_stream* stream = deflater_->get();
  stream->next_out = buffer_.get();
  stream->avail_out = kBufferSize;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    size_t count = 0;
    if (!source.Read(input_.get(), kBufferSize, &count)) return ZipResult::kFileError;
    record.crc = crc32(record.crc, input_.get(), static_cast<uInt>(count));
    record.uncompressed_size += static_cast<uint32_t>(count);
    flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
    stream->next_in = input_.get();
    stream->avail_in = static_cast<uInt>(count);
    // Output space left over means the encoder took all input (or, with
    // Z_FINISH, ended the stream); a full buffer goes out and it goes on.
    for (;;) {
      if (deflate(stream, flush) == Z_STREAM_ERROR) return ZipResult::kWriteFailure;
      if (stream->avail_out != 0) break;
      if (!FlushOutput(kBufferSize)) return ZipResult::kWriteFailure;
    }
  }
  return FlushOutput(kBufferSize - stream->avail_out) ? ZipResult::kOk : ZipResult::kWriteFailure;
}

bool CZipWriter::FlushOutput(size_t size) {
  z_stream* stream = deflater_->get();
  stream->next_out = buffer_.get();
  stream->avail_out = kBufferSize;
  return WriteOut(buffer_.get(), size);
}

ZipResult CZipWriter::WriteStored(platform::File& source, ZipEntryRecord& record) {
  for (;;) {
    size_t count = 0;
    if (!source.Read(buffer_.get(), kBufferSize, &count)) return ZipResult::kFileError;
    if (count == 0) return ZipResult::kOk;
    record.crc = crc32(record.crc, buffer_.get(), static_cast<uInt>(count));
    record.uncompressed_size += static_cast<uint32_t>(count);
    if (!WriteOut(buffer_.get(), count)) return ZipResult::kWriteFailure;
  }
}

bool CZipWriter::WriteOut(const std::string& bytes) { return WriteOut(bytes.data(), bytes.size()); }

bool CZipWriter::WriteOut(const void* data, size_t size) {
  if (size != 0 && !output_->Write(data, size)) return false;
  bytes_written_ += static_cast<uint32_t>(size);
  return true;
}

void CZipWriter::RollBack(uint32_t offset) {
  bDamaged = !output_->Truncate(offset);
  bytes_written_ = offset;
}

ZipResult CZipWriter::Close() { return Finish(false); }

ZipResult CZipWriter::CloseFlushed() { return Finish(true); }

ZipResult CZipWriter::Finish(bool flush) {
  if (!output_) return ZipResult::kArgumentFailure;
  RecordBytes directory;
  for (const ZipEntryRecord& entry : entries_) AppendCentralHeader(directory, entry);
  uint32_t directory_offset = bytes_written_;
  uint32_t directory_size = static_cast<uint32_t>(directory.bytes().size());
  uint16_t count = static_cast<uint16_t>(entries_.size());
  directory.U32(kEndRecordSignature).U16(0).U16(0).U16(count).U16(count);
  directory.U32(directory_size).U32(directory_offset).U16(0);

  bool written = !bDamaged && WriteOut(directory.bytes()) && (!flush || output_->Flush());
  output_.reset();
  deflater_.reset();
  entries_.clear();
  return written ? ZipResult::kOk : ZipResult::kWriteFailure;
}
