#include "gps/close_gate.h"

bool CloseGate::Attach(platform::SerialPort* port) {
  std::lock_guard<std::mutex> guard(lock_);
  if (is_closed_) return false;
  port_ = port;
  return true;
}

void CloseGate::Detach() {
  std::lock_guard<std::mutex> guard(lock_);
  port_ = nullptr;
}

void CloseGate::Close() {
  std::lock_guard<std::mutex> guard(lock_);
  is_closed_ = true;
  if (port_) port_->Interrupt();
  closed_.notify_all();
}

bool CloseGate::WaitForClose(std::chrono::steady_clock::duration time) {
  std::unique_lock<std::mutex> guard(lock_);
  return closed_.wait_for(guard, time, [this] { return is_closed_; });
}

void CloseGate::Reopen() {
  std::lock_guard<std::mutex> guard(lock_);
  is_closed_ = false;
  port_ = nullptr;
}
