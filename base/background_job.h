// One job at a time on a thread of its own, for a thread that must not wait:
// the window hands long work (a sending pass, the update check, the close)
// to a job, and the job tells it when it is over by posting a message.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
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
  bool Busy() const { return *busy_; }
  // Waits until the running job has ended; not for a thread that must not wait.
  void Wait();
  // Lets a running job end on its own, after this object: for a job that
  // keeps what it touches alive itself and whose owner is going away.
  void LetRunOut();

 private:
  // Shared with the job's thread, which may outlive this object.
  std::shared_ptr<std::atomic<bool>> busy_ = std::make_shared<std::atomic<bool>>(false);
  std::thread thread_;
};

}  // namespace base
