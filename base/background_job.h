// One job at a time on a thread of its own, for a thread that must not wait:
// the window hands long work (a sending pass, the update check, the close)
// to a job, and the job tells it when it is over by posting a message.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace base {

class BackgroundJob {
 public:
  BackgroundJob() = default;
  // Waits for a job still running.
  ~BackgroundJob();
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Runs job on a new thread, then ended on the same thread once Busy() is
  // false again, so that the owner told by ended may run the next job at
  // once (from the owner's thread, never from ended itself). False, and
  // nothing done, while a job is running.
  bool Run(std::function<void()> job, std::function<void()> ended = {});
  bool Busy() const { return busy_; }
  // Waits until the running job has ended; not for a thread that must not wait.
  void Wait();

 private:
  std::atomic<bool> busy_{false};
  std::thread thread_;
};

}  // namespace base
