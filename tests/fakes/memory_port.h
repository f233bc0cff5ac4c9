// A serial port over bytes in memory, for tests, fuzzing and benchmarks: it
// delivers a byte string the way a receiver's output reaches a port, in
// bursts, and then falls silent (every read returns 0, as a time-out does)
// or, when asked, is lost (every read fails, as on an unplugged adapter).
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/serial.h"

namespace testing_support {

// How the bytes arrive. A read never crosses the end of a burst (chunk): on a
// real port the pause after a burst ends a read with what has come.
enum class Chunking {
  kWhole,    // one burst: a read of k bytes gets k bytes while they last
  kOneByte,  // every read gets at most one byte
  kRandom,   // bursts of 1 to 64 bytes, the same for the same seed
};

class MemoryPort : public platform::SerialPort {
 public:
  explicit MemoryPort(std::string bytes, Chunking chunking = Chunking::kWhole, uint32_t seed = 1)
      : bytes_(std::move(bytes)), chunking_(chunking), random_state_(seed | 1) {}

  size_t Read(void* buffer, size_t size) override {
    ++reads_;
    // The reader reads one byte at a time: that path is kept cheap, so that
    // benchmarks measure the reader rather than this port.
    if (size == 1 && position_ < burst_end_) {
      *static_cast<char*>(buffer) = bytes_[position_++];
      return 1;
    }
    if (closed_ || size == 0) return Empty();
    if (pause_left_ > 0 && position_ == pause_offset_) {
      --pause_left_;
      return Empty();
    }
    if (position_ == bytes_.size()) {
      if (stop_when_drained_ != nullptr && empty_reads_before_stop_-- <= 0) stop_when_drained_->store(true);
      return Empty();
    }
    if (position_ == chunk_end_) chunk_end_ = position_ + NextChunkSize();
    size_t limit = std::min(chunk_end_, bytes_.size());
    if (pause_left_ > 0 && pause_offset_ > position_) limit = std::min(limit, pause_offset_);
    burst_end_ = limit;
    size_t count = std::min(size, limit - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }

  void Interrupt() override {
    closed_ = true;
    burst_end_ = 0;
  }

  bool ReadFailed() const override { return closed_ || (lost_when_drained_ && Drained()); }

  // Once every byte is delivered and that many more reads came back empty,
  // the next read sets *stop: the user stops a logger whose receiver has gone
  // quiet.
  void StopWhenDrained(std::atomic<bool>* stop, int empty_reads_before = 0) {
    stop_when_drained_ = stop;
    empty_reads_before_stop_ = empty_reads_before;
  }
  // Once every byte is delivered, reads fail: the device is gone.
  void LoseWhenDrained() { lost_when_drained_ = true; }
  // The receiver pauses before the byte at offset: that many reads return 0.
  void PauseBefore(size_t offset, int empty_reads) {
    pause_offset_ = offset;
    pause_left_ = empty_reads;
    burst_end_ = 0;
  }

  bool Drained() const { return position_ == bytes_.size(); }
  size_t position() const { return position_; }
  int reads() const { return reads_; }
  int empty_reads() const { return empty_reads_; }

 private:
  size_t Empty() {
    ++empty_reads_;
    return 0;
  }

  size_t NextChunkSize() {
    switch (chunking_) {
      case Chunking::kWhole:
        return bytes_.size();
      case Chunking::kOneByte:
        return 1;
      case Chunking::kRandom:
        break;
    }
    // xorshift32: the same bursts on every platform for one seed.
    random_state_ ^= random_state_ << 13;
    random_state_ ^= random_state_ >> 17;
    random_state_ ^= random_state_ << 5;
    return 1 + random_state_ % 64;
  }

  std::string bytes_;
  Chunking chunking_;
  uint32_t random_state_;
  size_t position_ = 0;
  size_t chunk_end_ = 0;
  // Bytes before this offset can be delivered without further checks: the
  // end of the current burst, or a pause, whichever comes first.
  size_t burst_end_ = 0;
  size_t pause_offset_ = 0;
  int pause_left_ = 0;
  bool closed_ = false;
  bool lost_when_drained_ = false;
  std::atomic<bool>* stop_when_drained_ = nullptr;
  int empty_reads_before_stop_ = 0;
  int reads_ = 0;
  int empty_reads_ = 0;
};

}  // namespace testing_support
