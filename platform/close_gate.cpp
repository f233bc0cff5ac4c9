#include "platform/close_gate.h"

namespace platform {

bool CloseGate::Enter() {
  std::lock_guard<std::mutex> guard(lock_);
  if (closed_) return false;
  ++readers_;
  return true;
}

bool CloseGate::Leave() {
  std::lock_guard<std::mutex> guard(lock_);
  --readers_;
  return closed_ && readers_ == 0;
}

bool CloseGate::Close(const std::function<void()>& wake) {
  std::lock_guard<std::mutex> guard(lock_);
  if (closed_) return false;
  closed_ = true;
  if (readers_ == 0) return true;
  wake();
  return false;
}

bool CloseGate::IsClosed() {
  std::lock_guard<std::mutex> guard(lock_);
  return closed_;
}

}  // namespace platform
