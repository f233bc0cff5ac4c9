#include "platform/net.h"

// winsock2.h must come before windows.h, which other headers may pull in.
#include <winsock2.h>

#include <cstring>

namespace platform {

namespace {

constexpr intptr_t kNoSocket = static_cast<intptr_t>(INVALID_SOCKET);

SOCKET Handle(intptr_t handle) { return static_cast<SOCKET>(handle); }

// A call that found no room or nothing to read gives a count of 0.
NetStatus CountOf(int count, size_t* done) {
  *done = 0;
  if (count != SOCKET_ERROR) {
    *done = static_cast<size_t>(count);
    return NetStatus::kOk;
  }
  return WSAGetLastError() == WSAEWOULDBLOCK ? NetStatus::kOk : NetStatus::kFailed;
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

TcpSocket::TcpSocket(const NetCutoff* cutoff) : handle_(kNoSocket), cutoff_(cutoff) {}

bool TcpSocket::Open() {
  Close();
  handle_ = static_cast<intptr_t>(socket(AF_INET, SOCK_STREAM, 0));
  if (handle_ == kNoSocket) return false;
  u_long non_blocking = 1;
  int buffer = kSendBuffer;
  return ioctlsocket(Handle(handle_), FIONBIO, &non_blocking) == 0 &&
         setsockopt(Handle(handle_), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&buffer),
                    sizeof buffer) == 0;
}

NetStatus TcpSocket::StartConnect(uint32_t address, uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (connect(Handle(handle_), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
    return NetStatus::kOk;
  return WSAGetLastError() == WSAEWOULDBLOCK ? NetStatus::kOk : NetStatus::kFailed;
}

NetStatus TcpSocket::ConnectOutcome() {
  int error = 0;
  int size = sizeof error;
  if (getsockopt(Handle(handle_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
      error != 0) {
    return NetStatus::kFailed;
  }
  return NetStatus::kOk;
}

NetStatus TcpSocket::WaitReady(bool for_sending, int milliseconds) {
  // A refused connection shows as an exception, not as room to send.
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(Handle(handle_), &ready);
  FD_SET(Handle(handle_), &failed);
  timeval wait{};
  wait.tv_sec = milliseconds / 1000;
  wait.tv_usec = (milliseconds % 1000) * 1000;
  int count =
      for_sending ? select(0, nullptr, &ready, &failed, &wait) : select(0, &ready, nullptr, &failed, &wait);
  if (count == SOCKET_ERROR) return NetStatus::kFailed;
  return count > 0 ? NetStatus::kOk : NetStatus::kTimedOut;
}

NetStatus TcpSocket::SendSome(const char* data, size_t size, size_t* sent) {
  return CountOf(send(Handle(handle_), data, static_cast<int>(size), 0), sent);
}

NetStatus TcpSocket::ReceiveSome(char* buffer, size_t capacity, size_t* received) {
  int count = recv(Handle(handle_), buffer, static_cast<int>(capacity), 0);
  if (count == 0) return NetStatus::kClosed;
  return CountOf(count, received);
}

void TcpSocket::Close() {
  if (handle_ == kNoSocket) return;
  closesocket(Handle(handle_));
  handle_ = kNoSocket;
}

}  // namespace platform
