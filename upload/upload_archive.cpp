#include "upload/upload_archive.h"

#include <algorithm>

#include "platform/file_layer.h"
#include "platform/text.h"

namespace {

// The most of an answer we read: the code comes early, nothing after it counts.
constexpr size_t kAnswerLimit = 64 * 1024;
// The most of a status line the event log shows: an answer that is not HTTP
// may have no line end at all.
constexpr size_t kStatusLineShown = 200;

// Reads until the answer is complete (AnswerComplete), the peer closes or the
// limit is reached. kOk with the text so far, or kClosed when nothing came at
// all.
platform::NetStatus ReadAnswer(platform::TcpSocket& socket, std::string* answer) {
  char buffer[4096];
  while (!AnswerComplete(*answer) && answer->size() < kAnswerLimit) {
    size_t count = 0;
    size_t room = std::min(sizeof buffer, kAnswerLimit - answer->size());
    platform::NetStatus status = socket.Receive(buffer, room, &count);
    if (status == platform::NetStatus::kClosed) break;
    if (status != platform::NetStatus::kOk) return status;
    answer->append(buffer, count);
  }
  return answer->empty() ? platform::NetStatus::kClosed : platform::NetStatus::kOk;
}

void LogLookupFailure(EventLog& log, const std::string& name, long error) {
  switch (error) {
    case platform::kLookupHostNotFound:
      log.AddLine(L"Ресурс " + platform::AnsiToWide(name) + L" не найден");
      break;
    case platform::kLookupNoData:
      log.AddLine(L"Не получены данные о состоянии ресурса");
      break;
    case 0:
      log.AddLine(L"Ресурс " + platform::AnsiToWide(name) + L" недоступен.");
      break;
    default:
      log.AddLine(L"Ошибка: " + std::to_wstring(error) + L"\n");
      break;
  }
}

}  // namespace

bool ResolveServiceHost(EventLog& log, const ServiceAddress& service, uint32_t* address) {
  std::string name = LookupName(service.host);
  platform::HostLookup lookup = platform::LookUpHost(name);
  if (!lookup.found) {
    LogLookupFailure(log, name, lookup.error);
    return false;
  }
  *address = lookup.address;
  return true;
}

bool UploadArchive(EventLog& log, const UploadParams& params, const ServiceAddress& service,
                   const std::string& archive_path, const platform::SocketTimeouts& timeouts,
                   int* answer_code, const platform::NetCutoff* cutoff) {
  if (answer_code) *answer_code = kNoAnswerCode;
  platform::NetSession session;
  if (!session.started()) {
    log.AddLine(L"Невозможно инициализировать сокет");
    return false;
  }
  uint32_t address = 0;
  if (!ResolveServiceHost(log, service, &address)) return false;
  platform::TcpSocket socket(cutoff);
  if (!socket.Open()) {
    log.AddLine(L"Невозможно создать сокет");
    return false;
  }
  // An archive that cannot be read, or an empty file, is nothing to send.
  std::string archive = platform::ReadWholeFile(archive_path);
  if (archive.empty()) {
    log.AddLine(L"Не удалось прочитать архив " + platform::Utf8ToWide(archive_path));
    return false;
  }
  std::string request =
      BuildUploadRequest(params, HostHeader(service), ArchiveFileName(archive_path), archive);
  if (socket.Connect(address, service.port, timeouts) != platform::NetStatus::kOk) {
    log.AddLine(L"Ошибка соединения");
    return false;
  }
  if (socket.SendAll(request.data(), request.size()) != platform::NetStatus::kOk) {
    log.AddLine(L"Произошла ошибка при отправке данных");
    return false;
  }
  std::string answer;
  platform::NetStatus status = ReadAnswer(socket, &answer);
  if (status == platform::NetStatus::kClosed) {
    log.AddLine(L"Соединение было закрыто. Ответ не получен");
    return false;
  }
  if (status != platform::NetStatus::kOk) {
    log.AddLine(L"Ошибка получения данных");
    return false;
  }
  std::string status_line = AnswerStatusLine(answer);
  if (!IsSuccessStatus(status_line)) {
    log.AddLine(L"Сервер ответил: " + platform::AnsiToWide(status_line.substr(0, kStatusLineShown)));
    return false;
  }
  int code = ParseAnswerCode(AnswerBody(answer));
  if (answer_code) *answer_code = code;
  log.AddLine(L"Статус отправки:");
  log.AddLine(AnswerMessage(code));
  return code == kAnswerAccepted;
}
