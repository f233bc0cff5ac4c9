#include "update/auto_updater.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "base/background_job.h"
#include "platform/text.h"
#include "upload/upload_protocol.h"

namespace {

constexpr wchar_t kInformation[] = L"Информация";

}  // namespace

UpdateVerdict UpdateVerdictFor(int outcome, const std::wstring& answer, const std::string& host) {
  UpdateVerdict verdict;
  verdict.caption = kInformation;
  if (outcome != kPostAnswered) {
    verdict.text = L"Не удалось проверить наличие обновлений. Код ошибки: " + std::to_wstring(outcome);
    if (!answer.empty()) verdict.text += L"\n" + answer;
    return verdict;
  }
  if (answer == platform::AnsiToWide(kVersionTag)) {
    verdict.kind = UpdateVerdictKind::kUpToDate;
    verdict.text = L"Нет доступных обновлений.";
  } else {
    verdict.kind = UpdateVerdictKind::kNewVersion;
    verdict.text = L"Доступна новая версия программы.\nПерейдите на сайт http://" + platform::AnsiToWide(host) +
                   L" и скачайте новую версию.";
  }
  return verdict;
}

CAutoUpdater::CAutoUpdater(const ServiceAddress& service, int limit_ms) : service_(service), limit_ms_(limit_ms) {}

namespace {

// What the exchange leaves for the check, which may have given up on it.
struct Exchange {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  int outcome = 0;
  std::wstring answer;
};

}  // namespace

// The client's limits hold each step, but a service that drips the head of
// its answer holds the sending step as long as it likes: the exchange runs on
// a thread of its own, which the check leaves to run out at its limit.
UpdateVerdict CAutoUpdater::CheckForUpdate() {
  auto exchange = std::make_shared<Exchange>();
  base::BackgroundJob job;
  job.Run([exchange, updater = *this]() mutable {
    std::wstring answer;
    int outcome = updater.PostRequest(updater.UpdateCheckAddress(), answer);
    std::lock_guard<std::mutex> lock(exchange->mutex);
    exchange->outcome = outcome;
    exchange->answer = answer;
    exchange->done = true;
    exchange->ended.notify_all();
  });
  std::unique_lock<std::mutex> lock(exchange->mutex);
  bool done = exchange->ended.wait_for(lock, std::chrono::milliseconds(limit_ms_), [&] { return exchange->done; });
  job.LetRunOut();
  if (!done) {
    return UpdateVerdictFor(platform::kHttpErrorTimeout, platform::HttpErrorText(platform::kHttpErrorTimeout),
                            service_.host);
  }
  return UpdateVerdictFor(exchange->outcome, exchange->answer, service_.host);
}

int CAutoUpdater::PostRequest(const std::wstring& address, std::wstring& answer) {
  std::wstring host;
  std::wstring object;
  SplitAddress(address, &host, &object);
  platform::HttpPost post;
  long error = 0;
  std::wstring error_text;
  switch (post.Send(host, service_.port, object, &error, &error_text)) {
    case platform::HttpSendStatus::kFailed:
      return kPostFailed;
    case platform::HttpSendStatus::kError:
      answer = error_text;
      return static_cast<int>(error);
    case platform::HttpSendStatus::kSent:
      break;
  }
  int status = 0;
  if (!post.QueryStatus(&status)) return kPostNoStatus;
  if (status != 200) return status;
  std::string body;
  if (!post.ReadBody(&body)) return kPostBodyNotRead;
  // Each byte becomes the character of its value; no code page applies.
  answer.clear();
  for (char byte : body) answer += static_cast<wchar_t>(static_cast<unsigned char>(byte));
  return kPostAnswered;
}

void CAutoUpdater::SplitAddress(const std::wstring& address, std::wstring* host, std::wstring* object) {
  std::wstring text = address;
  if (text.find(L"http") != std::wstring::npos) text.erase(0, 7);
  size_t slash = text.find(L'/');
  *host = text.substr(0, slash);
  *object = slash == std::wstring::npos ? std::wstring() : text.substr(slash + 1);
}

std::wstring CAutoUpdater::UpdateCheckAddress() const {
  return platform::AnsiToWide(service_.host) + L"/checkv_vtkwin.php";
}
