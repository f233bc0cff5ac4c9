// Sockets and name lookup for the upload: IPv4 and TCP only, results as codes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
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

// How long socket calls may wait, in milliseconds. The limits measure the
// service, not the link: a send waits at most send_ms for room to send more,
// however long the whole request takes, and the system holds only a small
// part of it at a time (kSendBuffer), so the request is sent when its bytes
// are nearly all on the wire. The answer as a whole must then come within
// answer_ms, so that a server dripping its answer a byte at a time cannot
// hold the caller; a receive that makes progress starts its receive_ms anew.
struct SocketTimeouts {
  int connect_ms = 30000;
  int send_ms = 60000;
  int receive_ms = 60000;
  int answer_ms = 60000;
  int close_grace_ms = 10000;  // what an upload in hand is still given once the program closes
};

// The most of a request the system holds unsent for us: on a 32 kbit/s link
// it leaves in a few seconds, and on a fast one it still fills the link.
inline constexpr int kSendBuffer = 16 * 1024;

// The moment at which every socket call that watches it gives up: the
// program's close sets it once, the uploads on other threads see it.
class NetCutoff {
 public:
  // From milliseconds from now; a cut-off already set stays.
  void CutAfter(int milliseconds);
  bool Passed() const;

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::rep kNever = std::numeric_limits<Clock::rep>::max();
  std::atomic<Clock::rep> at_{kNever};
};

enum class NetStatus {
  kOk,
  kClosed,    // the peer closed the connection (receive only)
  kTimedOut,  // the wait of SocketTimeouts ran out
  kFailed,    // any other error, or the cut-off passed
};

// One TCP socket, closed when the object goes. Its calls never block longer
// than SocketTimeouts allow, nor past the cut-off when one is given.
class TcpSocket {
 public:
  explicit TcpSocket(const NetCutoff* cutoff = nullptr);
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Creates the IPv4 stream socket; false when the system refuses.
  bool Open();
  // Connects to an address (network byte order) and port, and keeps the
  // time-outs for the calls that follow.
  NetStatus Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts);
  // Sends every byte, going on while the link takes more. Once all is sent,
  // the answer's time starts.
  NetStatus SendAll(const char* data, size_t size);
  // Receives what is there (at least one byte) up to capacity; kClosed when
  // the peer closed the connection before sending anything more; kTimedOut
  // when the receive wait or the answer's time ran out.
  NetStatus Receive(char* buffer, size_t capacity, size_t* received);
  void Close();

 private:
  using Clock = std::chrono::steady_clock;

  // The backend's calls, none of which waits. StartConnect gives kOk while
  // the connection is being made; SendSome and ReceiveSome give kOk with a
  // count of 0 when they would have to wait.
  NetStatus StartConnect(uint32_t address, uint16_t port);
  NetStatus ConnectOutcome();
  NetStatus SendSome(const char* data, size_t size, size_t* sent);
  NetStatus ReceiveSome(char* buffer, size_t capacity, size_t* received);
  // Waits at most milliseconds for room to send (or the connection's
  // outcome) or for something to read: kOk when there is, else kTimedOut.
  NetStatus WaitReady(bool for_sending, int milliseconds);
  // Waits in short steps, so that a cut-off set meanwhile is seen soon.
  NetStatus WaitUntil(bool for_sending, Clock::time_point deadline);

  static Clock::time_point After(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(milliseconds);
  }

  intptr_t handle_;
  const NetCutoff* cutoff_;
  SocketTimeouts timeouts_;
  // No answer is awaited before the first request is sent.
  Clock::time_point answer_deadline_ = Clock::time_point::max();
};

}  // namespace platform
