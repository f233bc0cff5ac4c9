#include "tools/headless/send_timer.h"

void SendTimer::Set(int period) {
  Kill();
  stop_ = false;
  thread_ = std::thread([this, period] {
    std::unique_lock<std::mutex> guard(lock_);
    while (!killed_.wait_for(guard, std::chrono::milliseconds(period), [this] { return stop_; })) {
      action_();
    }
  });
}

void SendTimer::Kill() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  killed_.notify_all();
  if (thread_.joinable()) thread_.join();
}
