#include "zip/deflate_stream.h"

namespace {

// Level 8: lazy matching with good length 32, lazy 128, nice 258, chain 1024.
constexpr int kLevel = 8;
// A negative window size asks zlib for a raw stream; 15 bits is 32 KiB.
constexpr int kRawWindowBits = -15;
constexpr int kMemoryLevel = 8;

}  // namespace

DeflateStream::~DeflateStream() {
  if (bInitialised) deflateEnd(&stream_);
}

bool DeflateStream::Begin() {
  if (bInitialised) return deflateReset(&stream_) == Z_OK;
  stream_ = z_stream{};
  bInitialised =
      deflateInit2(&stream_, kLevel, Z_DEFLATED, kRawWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  return bInitialised;
}
