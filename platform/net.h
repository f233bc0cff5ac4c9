// Sockets and name lookup for the upload: IPv4 and TCP only, results as codes.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Keeps the socket layer started for its lifetime (WSAStartup 2.2 and
// WSACleanup on Windows; nothing to do on POSIX). Every other call of this
// header needs one alive in the process.
class NetSession {
 public:
  NetSession();
  ~NetSession();
  NetSession(const NetSession&) = delete;
  NetSession& operator=(const NetSession&) = delete;
  bool started() const { return started_; }

 private:
  bool started_;
};

// Look-up errors in the numbering of Windows Sockets, whatever the system.
inline constexpr long kLookupHostNotFound = 11001;  // WSAHOST_NOT_FOUND
inline constexpr long kLookupTryAgain = 11002;      // WSATRY_AGAIN
inline constexpr long kLookupNoRecovery = 11003;    // WSANO_RECOVERY
inline constexpr long kLookupNoData = 11004;        // WSANO_DATA

struct HostLookup {
  bool found = false;
  uint32_t address = 0;  // the first IPv4 address, network byte order
  long error = 0;        // when not found: a code above or another system code; 0 when none was given
};

// Looks up the IPv4 addresses of a name (or takes an IPv4 literal as it is).
HostLookup LookUpHost(const std::string& name);

// How long blocked socket calls may wait, in milliseconds. A send or a
// receive that makes progress starts its wait anew; the answer as a whole,
// though, must come within answer_ms of the end of the request, so that a
// server dripping its answer a byte at a time cannot hold the caller.
struct SocketTimeouts {
  int connect_ms = 30000;
  int send_ms = 60000;
  int receive_ms = 60000;
  int answer_ms = 60000;
};

enum class NetStatus {
  kOk,
  kClosed,    // the peer closed the connection (receive only)
  kTimedOut,  // the wait of SocketTimeouts ran out
  kFailed,    // any other error
};

// One TCP socket, closed when the object goes.
class TcpSocket {
 public:
  TcpSocket();
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Creates the IPv4 stream socket; false when the system refuses.
  bool Open();
  // Connects to an address (network byte order) and port, and keeps the
  // time-outs for the calls that follow.
  NetStatus Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts);
  // Sends every byte, going on after partial sends. Once all is sent, the
  // answer's time starts.
  NetStatus SendAll(const char* data, size_t size);
  // Receives what is there (at least one byte) up to capacity; kClosed when
  // the peer closed the connection before sending anything more; kTimedOut
  // when the receive wait or the answer's time ran out.
  NetStatus Receive(char* buffer, size_t capacity, size_t* received);
  void Close();

 private:
  using Clock = std::chrono::steady_clock;

  void StartAnswerTime() { answer_deadline_ = Clock::now() + std::chrono::milliseconds(answer_ms_); }
  // How long the next receive may wait: the receive wait, cut to what is
  // left of the answer's time; 0 when nothing is left.
  int NextReceiveWait() const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(answer_deadline_ - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<decltype(left)>(left, receive_ms_));
  }

  intptr_t handle_;
  int receive_ms_ = SocketTimeouts().receive_ms;
  int answer_ms_ = SocketTimeouts().answer_ms;
  // No answer is awaited before the first request is sent.
  Clock::time_point answer_deadline_ = Clock::time_point::max();
};

}  // namespace platform
