// A capture file read through the serial port interface, so that nmeacat
// hands the reader a file exactly as it hands it a port.
#pragma once

#include <atomic>
#include <fstream>
#include <string>

#include "platform/serial.h"

class FilePort : public platform::SerialPort {
 public:
  // At the end of the file the next read raises *stop_at_end: a port would
  // fall silent there, a file has nothing more to come.
  FilePort(const std::string& path, std::atomic<bool>* stop_at_end)
      : in_(path, std::ios::binary), stop_at_end_(stop_at_end) {}

  bool is_open() const { return in_.is_open(); }

  size_t Read(void* buffer, size_t size) override {
    if (closed_ || size == 0) return 0;
    in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    size_t got = static_cast<size_t>(in_.gcount());
    if (got == 0) stop_at_end_->store(true);
    return got;
  }

  void Interrupt() override { closed_ = true; }
  // The end of a file stops the reading rather than failing it.
  bool ReadFailed() const override { return closed_; }

 private:
  std::ifstream in_;
  std::atomic<bool>* stop_at_end_;
  std::atomic<bool> closed_{false};
};
