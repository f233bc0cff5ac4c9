// The one owner of a raw deflate encoder.
#pragma once

#include <zlib.h>

// A zlib z_stream set up for raw deflate (no zlib or gzip wrapper) at level 8
// over a 32 KiB window, created on first use and reset for every later stream
// so one encoder serves every entry of an archive. Released with the object.
class DeflateStream {
 public:
  DeflateStream() = default;
  ~DeflateStream();
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;

  // Readies the encoder for a new stream; false when zlib cannot (no memory).
  bool Begin();

  z_stream* get() { return &stream_; }

 private:
  z_stream stream_{};
  bool bInitialised = false;
};
