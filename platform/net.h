// Sockets and name lookup for the upload: IPv4 and TCP only, results as codes.
#pragma once

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

// How long one blocked socket call may wait, in milliseconds. A send or a
// receive that makes progress starts its wait anew.
struct SocketTimeouts {
  int connect_ms = 30000;
  int send_ms = 60000;
  int receive_ms = 60000;
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
  // Connects to an address (network byte order) and port, and sets the send
  // and receive waits of the time-outs for the calls that follow.
  NetStatus Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts);
  // Sends every byte, going on after partial sends.
  NetStatus SendAll(const char* data, size_t size);
  // Receives what is there (at least one byte) up to capacity; kClosed when
  // the peer closed the connection before sending anything more.
  NetStatus Receive(char* buffer, size_t capacity, size_t* received);
  void Close();

 private:
  intptr_t handle_;
};

}  // namespace platform
