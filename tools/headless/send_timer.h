// The window's send timer (ID 1) for a program without a window: calls the
// action every period until it is killed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class SendTimer {
 public:
  explicit SendTimer(std::function<void()> action) : action_(std::move(action)) {}
  ~SendTimer() { Kill(); }

  // Starts (or restarts) the timer with a period in milliseconds.
  void Set(int period);
  void Kill();

 private:
  std::function<void()> action_;
  std::mutex lock_;
  std::condition_variable killed_;
  bool stop_ = false;
  std::thread thread_;
};
