// The update check: asks the service which version is current and gives the
// verdict for the user.
#pragma once

#include <string>

#include "platform/http_client.h"
#include "upload/service_address.h"

// Outcomes of CAutoUpdater::PostRequest besides an HTTP status (other than
// 200) and an error code of the Internet client (12000 and above).
inline constexpr int kPostAnswered = 1;        // status 200, the whole body read
inline constexpr int kPostFailed = -20;        // a step failed without an error code
inline constexpr int kPostNoStatus = -21;      // the status could not be read
inline constexpr int kPostBodyNotRead = -22;   // the body could not be read whole

enum class UpdateVerdictKind {
  kNoVerdict,   // the check failed; the text says how
  kUpToDate,    // "Нет доступных обновлений."
  kNewVersion,  // the service names another version
};

// What the window shows in its message box (information icon, OK button).
struct UpdateVerdict {
  UpdateVerdictKind kind = UpdateVerdictKind::kNoVerdict;
  std::wstring text;
  std::wstring caption;
};

// The verdict for an outcome of PostRequest and the answer it filled. The
// answer equals the version tag only exactly, with case and every byte.
UpdateVerdict UpdateVerdictFor(int outcome, const std::wstring& answer, const std::string& host);

class CAutoUpdater {
 public:
  // The check asks the service at this host and port (the upload's) and
  // gives up after limit_ms.
  explicit CAutoUpdater(const ServiceAddress& service = ServiceAddress(),
                        int limit_ms = platform::kHttpExchangeLimitMs);
  virtual ~CAutoUpdater() = default;

  // Runs one check and gives its verdict: the time-out's, when the service
  // has not answered whole within the limit.
  UpdateVerdict CheckForUpdate();

  // POSTs an empty body to host/object of address (at the service's port) and
  // returns the outcome: kPostAnswered with the body in answer, one byte to
  // one character; another HTTP status with answer unchanged; an error code of
  // the Internet client with the system's text in answer; or a code above.
  int PostRequest(const std::wstring& address, std::wstring& answer);

  // Splits host/object: a text holding "http" loses its first 7 characters;
  // the host is the text before the first '/', the object the text after it
  // (empty when there is no '/').
  static void SplitAddress(const std::wstring& address, std::wstring* host, std::wstring* object);

  // The service host, "/" and "checkv_vtkwin.php".
  std::wstring UpdateCheckAddress() const;

 private:
  ServiceAddress service_;
  int limit_ms_;
};
