// Lets one thread close a port while another thread reads it.
//
// A reader enters the gate before it touches the handle and leaves after. The
// handle is released by whoever is last: Close when nobody is inside, else the
// last reader to leave. So a read never uses a released handle, whose number
// the system may already have given to another file.
#pragma once

#include <functional>
#include <mutex>

namespace platform {

class CloseGate {
 public:
  // False once the gate is closed; otherwise the caller may use the handle
  // until it calls Leave.
  bool Enter();
  // True when the caller must release the handle now.
  bool Leave();
  // Closes the gate. wake runs under the gate's lock while readers are inside,
  // to end their waits. True when the caller must release the handle now (no
  // reader inside and not closed before).
  bool Close(const std::function<void()>& wake);
  bool IsClosed();

 private:
  std::mutex lock_;
  int readers_ = 0;
  bool closed_ = false;
};

}  // namespace platform
