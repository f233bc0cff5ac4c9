#include "platform/http_client.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <iterator>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

struct InternetObject {
  using Handle = HINTERNET;
  static void Close(HINTERNET handle) { InternetCloseHandle(handle); }
};
using InternetHandle = UniqueOwner<InternetObject>;

using Clock = std::chrono::steady_clock;

// The defaults let a silent service hold the check for minutes. Set on the
// session for every request it makes, and on the request itself, which is
// where Wine's client takes the send and receive limits from. No step goes
// past the exchange's deadline: each byte read restarts the client's own
// receive limit, so a service that drips its answer is cut off only here.
bool SetStepTimeouts(HINTERNET handle, Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;
  DWORD timeout = static_cast<DWORD>(std::min<long long>(left, kHttpStepTimeoutMs));
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(handle, option, &timeout, sizeof(timeout));
  }
  return true;
}

}  // namespace

// The system's text for an Internet client error, cut to 1023 characters.
std::wstring HttpErrorText(long code) {
  wchar_t buffer[1024] = {};
  DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM;
  FormatMessageW(flags, GetModuleHandleW(L"wininet.dll"), static_cast<DWORD>(code), 0, buffer, static_cast<DWORD>(std::size(buffer) - 1),
                 nullptr);
  return buffer;
}

struct HttpPost::Impl {
  InternetHandle session;
  InternetHandle connection;
  InternetHandle request;
  Clock::time_point deadline;
};

HttpPost::HttpPost() : impl_(std::make_unique<Impl>()) {}
HttpPost::~HttpPost() {
  // Children before parents.
  impl_->request.Reset();
  impl_->connection.Reset();
  impl_->session.Reset();
}

HttpSendStatus HttpPost::Send(const std::wstring& host, uint16_t port, const std::wstring& object, long* error,
                              std::wstring* error_text) {
  // A step that fails with an error code reports it; without one it is a plain failure.
  auto fail = [&]() {
    DWORD code = GetLastError();
    if (code == 0) return HttpSendStatus::kFailed;
    *error = static_cast<long>(code);
    *error_text = HttpErrorText(static_cast<long>(code));
    return HttpSendStatus::kError;
  };
  impl_->deadline = Clock::now() + std::chrono::milliseconds(kHttpExchangeLimitMs);
  impl_->session.Reset(InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, L"", L"", 0));
  if (!impl_->session.valid()) return fail();
  SetStepTimeouts(impl_->session.get(), impl_->deadline);
  INTERNET_PORT server_port = port == 80 ? INTERNET_INVALID_PORT_NUMBER : port;
  impl_->connection.Reset(InternetConnectW(impl_->session.get(), host.c_str(), server_port, nullptr, nullptr,
                                           INTERNET_SERVICE_HTTP, 0, 0));
  if (!impl_->connection.valid()) return fail();
  impl_->request.Reset(HttpOpenRequestW(impl_->connection.get(), L"POST", object.c_str(), nullptr, nullptr,
                                        nullptr, INTERNET_FLAG_EXISTING_CONNECT, 0));
  if (!impl_->request.valid()) return fail();
  SetStepTimeouts(impl_->request.get(), impl_->deadline);
  if (!HttpSendRequestW(impl_->request.get(), nullptr, 0, nullptr, 0)) return fail();
  return HttpSendStatus::kSent;
}

bool HttpPost::QueryStatus(int* status) {
  DWORD code = 0;
  DWORD size = sizeof code;
  if (!HttpQueryInfoW(impl_->request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
    return false;
  }
  *status = static_cast<int>(code);
  return true;
}

bool HttpPost::ReadBody(std::string* body) {
  body->clear();
  // One byte per call until a call delivers none.
  for (;;) {
    char byte;
    DWORD count = 0;
    if (!SetStepTimeouts(impl_->request.get(), impl_->deadline)) return false;
    if (!InternetReadFile(impl_->request.get(), &byte, 1, &count)) return false;
    if (count == 0) return true;
    if (body->size() >= kHttpBodyLimit) return false;
    body->push_back(byte);
  }
}

}  // namespace platform
