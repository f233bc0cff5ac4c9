#include "base/sync.h"

namespace base {

void AutoResetEvent::Set() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    signalled_ = true;
  }
  changed_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard<std::mutex> guard(lock_);
  signalled_ = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!changed_.wait_for(guard, timeout, [this] { return signalled_; })) return false;
  signalled_ = false;
  return true;
}

void AutoResetEvent::Wait() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return signalled_; });
  signalled_ = false;
}

}  // namespace base
