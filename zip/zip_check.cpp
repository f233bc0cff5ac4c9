#include "zip/zip_check.h"

#include <cstdint>

namespace {

constexpr size_t kEndRecordSize = 22;

uint32_t Little32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

bool IsCompleteZip(const std::string& bytes) {
  if (bytes.size() < kEndRecordSize) return false;
  size_t end_record = bytes.size() - kEndRecordSize;
  if (bytes.compare(end_record, 4, "PK\x05\x06") != 0) return false;
  uint64_t directory_size = Little32(bytes, end_record + 12);
  uint64_t directory_offset = Little32(bytes, end_record + 16);
  if (directory_offset + directory_size != end_record) return false;
  return directory_size == 0 || bytes.compare(directory_offset, 4, "PK\x01\x02") == 0;
}
