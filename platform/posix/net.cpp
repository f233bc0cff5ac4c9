#include "platform/net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
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

NetStatus StatusOfErrno() {
  return errno == EAGAIN || errno == EWOULDBLOCK ? NetStatus::kTimedOut : NetStatus::kFailed;
}

bool SetWait(int fd, int option, int milliseconds) {
  timeval wait{};
  wait.tv_sec = milliseconds / 1000;
  wait.tv_usec = (milliseconds % 1000) * 1000;
  return setsockopt(fd, SOL_SOCKET, option, &wait, sizeof wait) == 0;
}

bool SetNonBlocking(int fd, bool on) {
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

// Waits for a non-blocking connect to finish and gives its outcome.
NetStatus FinishConnect(int fd, int timeout_ms) {
  pollfd entry{fd, POLLOUT, 0};
  int ready;
  do {
    ready = poll(&entry, 1, timeout_ms);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return NetStatus::kTimedOut;
  if (ready < 0) return NetStatus::kFailed;
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) return NetStatus::kFailed;
  return NetStatus::kOk;
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

TcpSocket::TcpSocket() : handle_(kNoSocket) {}
TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Open() {
  Close();
  handle_ = socket(AF_INET, SOCK_STREAM, 0);
  return handle_ != kNoSocket;
}

NetStatus TcpSocket::Connect(uint32_t address, uint16_t port, const SocketTimeouts& timeouts) {
  int fd = static_cast<int>(handle_);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (!SetNonBlocking(fd, true)) return NetStatus::kFailed;
  NetStatus status = NetStatus::kOk;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    status = errno == EINPROGRESS ? FinishConnect(fd, timeouts.connect_ms) : NetStatus::kFailed;
  }
  if (status != NetStatus::kOk) return status;
  receive_ms_ = timeouts.receive_ms;
  answer_ms_ = timeouts.answer_ms;
  if (!SetNonBlocking(fd, false) || !SetWait(fd, SO_SNDTIMEO, timeouts.send_ms)) return NetStatus::kFailed;
  return NetStatus::kOk;
}

NetStatus TcpSocket::SendAll(const char* data, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    ssize_t count = send(static_cast<int>(handle_), data + sent, size - sent, MSG_NOSIGNAL);
    if (count < 0) {
      if (errno == EINTR) continue;
      return StatusOfErrno();
    }
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
  if (!SetWait(static_cast<int>(handle_), SO_RCVTIMEO, wait)) return NetStatus::kFailed;
  ssize_t count;
  do {
    count = recv(static_cast<int>(handle_), buffer, capacity, 0);
  } while (count < 0 && errno == EINTR);
  if (count < 0) return StatusOfErrno();
  if (count == 0) return NetStatus::kClosed;
  *received = static_cast<size_t>(count);
  return NetStatus::kOk;
}

void TcpSocket::Close() {
  if (handle_ == kNoSocket) return;
  close(static_cast<int>(handle_));
  handle_ = kNoSocket;
}

}  // namespace platform
