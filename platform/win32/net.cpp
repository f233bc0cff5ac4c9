#include "platform/net.h"

// winsock2.h must come before windows.h, which other headers may pull in.
#include <winsock2.h>

#include <cstring>

namespace platform {

namespace {

constexpr intptr_t kNoSocket = static_cast<intptr_t>(INVALID_SOCKET);

NetStatus StatusOfLastError() {
  return WSAGetLastError() == WSAETIMEDOUT ? NetStatus::kTimedOut : NetStatus::kFailed;
}

bool SetWait(SOCKET s, int option, int milliseconds) {
  DWORD wait = static_cast<DWORD>(milliseconds);
  return setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&wait), sizeof wait) == 0;
}

bool SetNonBlocking(SOCKET s, bool on) {
  u_long mode = on ? 1 : 0;
  return ioctlsocket(s, FIONBIO, &mode) == 0;
}

// Waits for a non-blocking connect to finish: writable means connected, an
// exception means refused.
NetStatus FinishConnect(SOCKET s, int timeout_ms) {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval wait{};
  wait.tv_sec = timeout_ms / 1000;
  wait.tv_usec = (timeout_ms % 1000) * 1000;
  int ready = select(0, nullptr, &writable, &failed, &wait);
  if (ready == 0) return NetStatus::kTimedOut;
  if (ready < 0 || FD_ISSET(s, &failed) || !FD_ISSET(s, &writable)) return NetStatus::kFailed;
  return NetStatus::kOk;
}

}  // namespace

NetSession::NetSession() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

NetSession::~NetSession() {
  if (started_) WSACleanup();
}

HostLookup LookUpHost(const std::string& name) {
  HostLookup result;
  const hostent* host = gethostbyname(name.c_str());
  if (host == nullptr) {
    result.error = WSAGetLastError();
    return result;
  }
  // A result without an IPv4 address counts as a failure without a code.
  if (host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list[0] == nullptr) return result;
  u_long address;
  memcpy(&address, host->h_addr_list[0], sizeof address);
  result.address = address;
  result.found = true;
  return result;
}

TcpSocket::TcpSocket() : handle_(kNoSocket) {}
TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Open() {
  Close();
  handle_ = static_cast<intptr_t>(socket(AF_INET, SOCK_STREAM, 0));
  return handle_ != kNoSocket;
}

NetStatus TcpSocket::Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts) {
  SOCKET s = static_cast<SOCKET>(handle_);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (!SetNonBlocking(s, true)) return NetStatus::kFailed;
  NetStatus status = NetStatus::kOk;
  if (connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    status = WSAGetLastError() == WSAEWOULDBLOCK ? FinishConnect(s, timeouts.connect_ms) : NetStatus::kFailed;
  }
  if (status != NetStatus::kOk) return status;
  receive_ms_ = timeouts.receive_ms;
  answer_ms_ = timeouts.answer_ms;
  if (!SetNonBlocking(s, false) || !SetWait(s, SO_SNDTIMEO, timeouts.send_ms)) return NetStatus::kFailed;
  return NetStatus::kOk;
}

NetStatus TcpSocket::SendAll(const char* data, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    // send takes an int count: hand over at most 1 MiB per call.
    int piece = static_cast<int>(size - sent < (1u << 20) ? size - sent : (1u << 20));
    int count = send(static_cast<SOCKET>(handle_), data + sent, piece, 0);
    if (count == SOCKET_ERROR) return StatusOfLastError();
    sent += static_cast<size_t>(count);
  }
  StartAnswerTime();
  return NetStatus::kOk;
}

NetStatus TcpSocket::Receive(char* buffer, size_t capacity, size_t* received) {
  *received = 0;
  // A wait of 0 would mean no limit.
  int wait = NextReceiveWait();
  if (wait == 0) return NetStatus::kTimedOut;
  if (!SetWait(static_cast<SOCKET>(handle_), SO_RCVTIMEO, wait)) return NetStatus::kFailed;
  int count = recv(static_cast<SOCKET>(handle_), buffer, static_cast<int>(capacity), 0);
  if (count == SOCKET_ERROR) return StatusOfLastError();
  if (count == 0) return NetStatus::kClosed;
  *received = static_cast<size_t>(count);
  return NetStatus::kOk;
}

void TcpSocket::Close() {
  if (handle_ == kNoSocket) return;
  closesocket(static_cast<SOCKET>(handle_));
  handle_ = kNoSocket;
}

}  // namespace platform
