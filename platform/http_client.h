// One HTTP POST with an empty body, taken in the steps of the update check:
// send, read the status, read the body. Windows uses its Internet client
// (WinInet); POSIX speaks HTTP/1.1 over platform/net.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class HttpSendStatus {
  kSent,
  kFailed,  // a step failed without an error code of the Internet client
  kError,   // a step failed with an error code, given with its system text
};

// Error codes of the Internet client that the POSIX backend reports too.
inline constexpr long kHttpErrorTimeout = 12002;         // ERROR_INTERNET_TIMEOUT
inline constexpr long kHttpErrorNameNotResolved = 12007;  // ERROR_INTERNET_NAME_NOT_RESOLVED
inline constexpr long kHttpErrorConnectionAborted = 12030;  // ERROR_INTERNET_CONNECTION_ABORTED
inline constexpr long kHttpErrorCannotConnect = 12029;   // ERROR_INTERNET_CANNOT_CONNECT

// Each step's limit (connect, send, receive): a service that accepts and
// never answers ends the check with kHttpErrorTimeout.
inline constexpr int kHttpStepTimeoutMs = 30000;

// The whole exchange's limit from Send on, whatever the service sends: the
// connection and each step together end within it.
inline constexpr int kHttpExchangeLimitMs = 60000;

// The system's text for an error code of the Internet client.
std::wstring HttpErrorText(long code);

// The longest body ReadBody takes; anything longer is a failed read.
inline constexpr size_t kHttpBodyLimit = 64 * 1024;

class HttpPost {
 public:
  HttpPost();
  ~HttpPost();
  HttpPost(const HttpPost&) = delete;
  HttpPost& operator=(const HttpPost&) = delete;

  // Connects to host at port (80 is the default HTTP port) and sends a POST
  // of object (a path without its leading slash) with no headers of ours and
  // no body. On kError, *error holds the code and *error_text the system's
  // text for it, at most 1023 characters.
  HttpSendStatus Send(const std::wstring& host, uint16_t port, const std::wstring& object, long* error,
                      std::wstring* error_text);
  // The answer's status code; false when it cannot be read.
  bool QueryStatus(int* status);
  // The whole body as bytes; false on a read error or a body over kHttpBodyLimit.
  bool ReadBody(std::string* body);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
