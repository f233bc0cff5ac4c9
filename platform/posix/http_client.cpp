#include "platform/http_client.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/net.h"
#include "platform/text.h"

namespace platform {

namespace {

constexpr size_t kHeadLimit = 64 * 1024;

long ErrorOfStatus(NetStatus status, long otherwise) {
  return status == NetStatus::kTimedOut ? kHttpErrorTimeout : otherwise;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  size_t length = strlen(prefix);
  return text.size() - at >= length && strncasecmp(text.c_str() + at, prefix, length) == 0;
}

// Decodes a chunked body; *complete once the last (empty) chunk was seen.
// False when the framing is broken.
bool DecodeChunked(const std::string& raw, std::string* body, bool* complete) {
  body->clear();
  *complete = false;
  size_t at = 0;
  for (;;) {
    size_t line_end = raw.find("\r\n", at);
    if (line_end == std::string::npos) return true;
    char* end = nullptr;
    unsigned long size = strtoul(raw.c_str() + at, &end, 16);
    if (end == raw.c_str() + at || size > kHttpBodyLimit) return false;
    if (size == 0) {
      *complete = true;
      return true;
    }
    size_t data = line_end + 2;
    if (raw.size() < data + size + 2) return true;
    body->append(raw, data, size);
    at = data + size + 2;
  }
}

}  // namespace

// The texts Windows gives for the Internet client's codes we report.
std::wstring HttpErrorText(long code) {
  switch (code) {
    case kHttpErrorTimeout:
      return L"The operation timed out";
    case kHttpErrorNameNotResolved:
      return L"The server name or address could not be resolved";
    case kHttpErrorCannotConnect:
      return L"A connection with the server could not be established";
    default:
      return L"The connection with the server was terminated abnormally";
  }
}

struct HttpPost::Impl {
  NetSession session;
  NetCutoff limit;  // the whole exchange's, set as it begins
  TcpSocket socket{&limit};
  std::string received;  // bytes of the answer not yet taken
  long content_length = -1;
  bool chunked = false;

  // Receives more of the answer onto what is there.
  NetStatus ReceiveMore() {
    char buffer[4096];
    size_t count = 0;
    NetStatus status = socket.Receive(buffer, sizeof buffer, &count);
    received.append(buffer, count);
    return status;
  }

  void ReadHeaders(const std::string& head) {
    for (size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at)) {
      at += 2;
      if (StartsWithNoCase(head, at, "Content-Length:")) {
        content_length = strtol(head.c_str() + at + strlen("Content-Length:"), nullptr, 10);
      } else if (StartsWithNoCase(head, at, "Transfer-Encoding:")) {
        chunked = head.find("chunked", at) < head.find("\r\n", at);
      }
    }
  }
};

HttpPost::HttpPost() : impl_(std::make_unique<Impl>()) {}
HttpPost::~HttpPost() = default;

HttpSendStatus HttpPost::Send(const std::wstring& host, uint16_t port, const std::wstring& object, long* error,
                              std::wstring* error_text) {
  auto fail = [&](long code) {
    *error = code;
    *error_text = HttpErrorText(code);
    return HttpSendStatus::kError;
  };
  impl_->limit.CutAfter(kHttpExchangeLimitMs);
  if (!impl_->session.started() || !impl_->socket.Open()) return HttpSendStatus::kFailed;
  std::string name = WideToAnsi(host);
  HostLookup lookup = LookUpHost(name);
  if (!lookup.found) return fail(kHttpErrorNameNotResolved);
  const SocketTimeouts timeouts{kHttpStepTimeoutMs, kHttpStepTimeoutMs, kHttpStepTimeoutMs, kHttpStepTimeoutMs};
  NetStatus status = impl_->socket.Connect(lookup.address, port, timeouts);
  if (status != NetStatus::kOk) return fail(ErrorOfStatus(status, kHttpErrorCannotConnect));
  std::string host_header = port == 80 ? name : name + ":" + std::to_string(port);
  std::string request = "POST /" + WideToAnsi(object) + " HTTP/1.1\r\nHost: " + host_header +
                        "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  status = impl_->socket.SendAll(request.data(), request.size());
  if (status != NetStatus::kOk) return fail(ErrorOfStatus(status, kHttpErrorConnectionAborted));
  return HttpSendStatus::kSent;
}

bool HttpPost::QueryStatus(int* status) {
  std::string& received = impl_->received;
  size_t head_end;
  while ((head_end = received.find("\r\n\r\n")) == std::string::npos) {
    if (received.size() > kHeadLimit || impl_->ReceiveMore() != NetStatus::kOk) return false;
  }
  std::string head = received.substr(0, head_end + 2);
  received.erase(0, head_end + 4);
  // "HTTP/1.1 200 OK": the code follows the first space.
  size_t space = head.find(' ');
  if (head.compare(0, 5, "HTTP/") != 0 || space == std::string::npos) return false;
  char* end = nullptr;
  long code = strtol(head.c_str() + space + 1, &end, 10);
  if (end == head.c_str() + space + 1 || code < 100 || code > 999) return false;
  *status = static_cast<int>(code);
  impl_->ReadHeaders(head);
  return true;
}

bool HttpPost::ReadBody(std::string* body) {
  std::string& received = impl_->received;
  if (impl_->chunked) {
    bool complete = false;
    while (DecodeChunked(received, body, &complete) && !complete) {
      if (received.size() > 2 * kHttpBodyLimit || impl_->ReceiveMore() != NetStatus::kOk) return false;
    }
    return complete;
  }
  long expected = impl_->content_length;
  if (expected > static_cast<long>(kHttpBodyLimit)) return false;
  // Without a length the body ends where the server closes the connection.
  while (expected < 0 || received.size() < static_cast<size_t>(expected)) {
    if (received.size() > kHttpBodyLimit) return false;
    NetStatus status = impl_->ReceiveMore();
    if (status == NetStatus::kClosed && expected < 0) break;
    if (status != NetStatus::kOk) return false;
  }
  *body = expected < 0 ? received : received.substr(0, static_cast<size_t>(expected));
  return true;
}

}  // namespace platform
