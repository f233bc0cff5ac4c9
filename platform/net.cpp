// The waits of TcpSocket, alike on every system; the backends make the calls.
#include "platform/net.h"

#include <algorithm>

namespace platform {

namespace {

// The longest single wait: how late a cut-off may be seen.
constexpr int kWaitStepMs = 100;

// A request goes to the system in pieces no larger than it holds, so each
// send returns as soon as the link has taken that much.
constexpr size_t kSendPiece = kSendBuffer;

}  // namespace

void NetCutoff::CutAfter(int milliseconds) {
  Clock::rep at = (Clock::now() + std::chrono::milliseconds(milliseconds)).time_since_epoch().count();
  Clock::rep never = kNever;
  at_.compare_exchange_strong(never, at);
}

bool NetCutoff::Passed() const { return Clock::now().time_since_epoch().count() >= at_.load(); }

TcpSocket::~TcpSocket() { Close(); }

NetStatus TcpSocket::WaitUntil(bool for_sending, Clock::time_point deadline) {
  for (;;) {
    if (cutoff_ != nullptr && cutoff_->Passed()) return NetStatus::kFailed;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return NetStatus::kTimedOut;
    NetStatus status = WaitReady(for_sending, static_cast<int>(std::min<decltype(left)>(left, kWaitStepMs)));
    if (status != NetStatus::kTimedOut) return status;
  }
}

NetStatus TcpSocket::Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts) {
  timeouts_ = timeouts;
  NetStatus status = StartConnect(address, port);
  if (status == NetStatus::kOk) status = WaitUntil(true, After(timeouts_.connect_ms));
  return status == NetStatus::kOk ? ConnectOutcome() : status;
}

NetStatus TcpSocket::SendAll(const char* data, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    size_t count = 0;
    NetStatus status = SendSome(data + sent, std::min(size - sent, kSendPiece), &count);
    // No room: wait for the link to take some; each piece it takes starts the wait anew.
    if (status == NetStatus::kOk && count == 0) status = WaitUntil(true, After(timeouts_.send_ms));
    if (status != NetStatus::kOk) return status;
    sent += count;
  }
  answer_deadline_ = After(timeouts_.answer_ms);
  return NetStatus::kOk;
}

NetStatus TcpSocket::Receive(char* buffer, size_t capacity, size_t* received) {
  Clock::time_point deadline = std::min(After(timeouts_.receive_ms), answer_deadline_);
  for (;;) {
    NetStatus status = ReceiveSome(buffer, capacity, received);
    if (status != NetStatus::kOk || *received > 0) return status;
    status = WaitUntil(false, deadline);
    if (status != NetStatus::kOk) return status;
  }
}

}  // namespace platform
