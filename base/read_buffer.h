// The bytes one system read took from a serial line, handed out to later
// reads. Both serial backends keep one, so that a reader that asks for one
// byte at a time costs one system call per burst rather than per byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace base {

class ReadBuffer {
 public:
  // A few hundred bytes: a second of a 4800-baud line, or one epoch of a
  // 10 Hz receiver's usual sentences.
  static constexpr size_t kCapacity = 512;

  size_t size() const { return end_ - begin_; }

  // Room for one system read after the bytes not handed out yet; *free is
  // its size (never 0 while size() < kCapacity).
  char* Space(size_t* free) {
    if (begin_ > 0) {
      std::memmove(bytes_, bytes_ + begin_, size());
      end_ -= begin_;
      begin_ = 0;
    }
    *free = kCapacity - end_;
    return bytes_ + end_;
  }

  // The system read put count bytes into Space().
  void Commit(size_t count) { end_ += count; }

  // Moves up to count bytes out; returns how many.
  size_t Take(void* out, size_t count) {
    count = std::min(count, size());
    std::memcpy(out, bytes_ + begin_, count);
    begin_ += count;
    return count;
  }

 private:
  char bytes_[kCapacity];
  size_t begin_ = 0;
  size_t end_ = 0;
};

}  // namespace base
