#include "platform/net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr intptr_t kNoSocket = -1;

// getaddrinfo's failures in the numbering Windows Sockets gives gethostbyname's.
long LookupErrorCode(int gai_error) {
  switch (gai_error) {
    case EAI_NONAME:
      return kLookupHostNotFound;
#ifdef EAI_NODATA
    case EAI_NODATA:
      return kLookupNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return kLookupNoData;
#endif
    case EAI_AGAIN:
      return kLookupTryAgain;
    default:
      return kLookupNoRecovery;
  }
}

bool SetNonBlocking(int fd, bool on) {
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

// A call that found no room or nothing to read gives a count of 0.
NetStatus CountOf(ssize_t count, size_t* done) {
  *done = 0;
  if (count >= 0) {
    *done = static_cast<size_t>(count);
    return NetStatus::kOk;
  }
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? NetStatus::kOk : NetStatus::kFailed;
}

}  // namespace

NetSession::NetSession() : started_(true) {}
NetSession::~NetSession() = default;

HostLookup LookUpHost(const std::string& name) {
  HostLookup result;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  int error = getaddrinfo(name.c_str(), nullptr, &hints, &list);
  if (error != 0) {
    result.error = LookupErrorCode(error);
    return result;
  }
  for (addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || entry->ai_addr == nullptr) continue;
    result.address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
    result.found = true;
    break;
  }
  freeaddrinfo(list);
  return result;
}

TcpSocket::TcpSocket(const NetCutoff* cutoff) : handle_(kNoSocket), cutoff_(cutoff) {}

bool TcpSocket::Open() {
  Close();
  handle_ = socket(AF_INET, SOCK_STREAM, 0);
  if (handle_ == kNoSocket) return false;
  int fd = static_cast<int>(handle_);
  int buffer = kSendBuffer;
  return SetNonBlocking(fd, true) && setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer) == 0;
}

NetStatus TcpSocket::StartConnect(uint32_t address, uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (connect(static_cast<int>(handle_), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
    return NetStatus::kOk;
  }
  return errno == EINPROGRESS ? NetStatus::kOk : NetStatus::kFailed;
}

NetStatus TcpSocket::ConnectOutcome() {
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(static_cast<int>(handle_), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
    return NetStatus::kFailed;
  }
  return NetStatus::kOk;
}

NetStatus TcpSocket::WaitReady(bool for_sending, int milliseconds) {
  pollfd entry{static_cast<int>(handle_), static_cast<short>(for_sending ? POLLOUT : POLLIN), 0};
  int ready = poll(&entry, 1, milliseconds);
  if (ready < 0 && errno != EINTR) return NetStatus::kFailed;
  // An error or a hang-up is ready too: the next call tells which.
  return ready > 0 ? NetStatus::kOk : NetStatus::kTimedOut;
}

NetStatus TcpSocket::SendSome(const char* data, size_t size, size_t* sent) {
  return CountOf(send(static_cast<int>(handle_), data, size, MSG_NOSIGNAL), sent);
}

NetStatus TcpSocket::ReceiveSome(char* buffer, size_t capacity, size_t* received) {
  ssize_t count = recv(static_cast<int>(handle_), buffer, capacity, 0);
  if (count == 0) return NetStatus::kClosed;
  return CountOf(count, received);
}

void TcpSocket::Close() {
  if (handle_ == kNoSocket) return;
  close(static_cast<int>(handle_));
  handle_ = kNoSocket;
}

}  // namespace platform
