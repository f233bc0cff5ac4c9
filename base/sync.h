// Synchronisation between the logger's threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace base {

// An auto-reset event: Set leaves it signalled until one wait takes the
// signal; repeated Sets before that count once.
class AutoResetEvent {
 public:
  void Set();
  void Reset();
  // Waits up to the time-out; true when the signal was taken.
  bool WaitFor(std::chrono::milliseconds timeout);
  // Waits without a time limit.
  void Wait();

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

}  // namespace base
