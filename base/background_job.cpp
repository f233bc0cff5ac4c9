#include "base/background_job.h"

#include <utility>

namespace base {

BackgroundJob::~BackgroundJob() { Wait(); }

bool BackgroundJob::Run(std::function<void()> job, std::function<void()> ended) {
  if (*busy_) return false;
  // The previous job has ended: what remains of its thread is collected at once.
  if (thread_.joinable()) thread_.join();
  *busy_ = true;
  thread_ = std::thread([busy = busy_, job = std::move(job), ended = std::move(ended)] {
    job();
    *busy = false;
    if (ended) ended();
  });
  return true;
}

void BackgroundJob::Wait() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundJob::LetRunOut() {
  if (thread_.joinable()) thread_.detach();
}

}  // namespace base
