#include "upload/upload_protocol.h"


#include "base/numbers.h"
#include "base/text_case.h"
#include "platform/text.h"
#include "upload/base64.h"

namespace {

const std::string kDelimiter = std::string("\r\n--") + kBoundary;

// One form field: its header line, the blank line, and the value.
void AppendField(std::string& body, const char* name, const std::string& value) {
  body += kDelimiter;
  body += "\r\nContent-Disposition: form-data; name=\"";
  body += name;
  body += "\"\r\n\r\n";
  body += value;
}

// The body up to the archive's Base64 text.
std::string BodyBeforeArchive(const UploadParams& params, const std::string& file_name) {
  std::string body = std::string("--") + kBoundary;
  body += "\r\nContent-Disposition: form-data; name=\"username\"\r\n\r\n";
  body += params.login;
  AppendField(body, "passwd", params.password);
  AppendField(body, "pvt", params.privacy_code);
  AppendField(body, "track_name", params.track_name);
  AppendField(body, "prog", kVersionTag);
  AppendField(body, "send_info", SendInfo(params.send_mode, params.interval_or_distance));
  // The file part reads "multipart/form-data" where the others read "form-data"; the service expects it so.
  body += kDelimiter;
  body += "\r\nContent-Disposition: multipart/form-data; name=\"filename\"; filename=\"";
  body += file_name;
  body += "\"\r\nContent-Type: text/plain\r\n\r\n";
  return body;
}

}  // namespace

void SetUploadParams(UploadParams& params, const SettingsRecord& settings) {
  params.login = platform::WideToAnsiOr1251(settings.login);
  params.password = platform::WideToAnsiOr1251(settings.password);
  params.track_name = platform::WideToAnsiOr1251(settings.track_name);
  params.track_folder = platform::WideToUtf8(settings.track_name);
  params.interval_or_distance = platform::WideToAnsiOr1251(settings.interval_or_distance);
  if (auto code = PrivacyCode(settings.privacy)) params.privacy_code = *code;
  params.send_mode = settings.send_mode;
}

std::optional<std::string> PrivacyCode(const std::wstring& caption) {
  for (const PrivacyLevel& level : PrivacyLevels()) {
    if (base::EqualsIgnoringCase(caption, level.caption)) return std::string(level.code);
  }
  return std::nullopt;
}

int IntervalMinutes(const std::string& caption) {
  // The bytes may be either code page's, so the list's own texts are encoded
  // the same way and compared, rather than the bytes decoded.
  for (const std::wstring& option : IntervalOptions()) {
    if (platform::WideToAnsiOr1251(option) == caption) return IntervalMinutes(option);
  }
  return 0;
}

std::string SendInfo(SendMode send_mode, const std::string& interval_or_distance) {
  int kind = -1;
  int value = -1;
  switch (send_mode) {
    case kSendByTime:
      kind = 1;
      value = IntervalMinutes(interval_or_distance);
      break;
    case kSendByDistance:
      kind = 2;
      value = base::LeadingInteger(interval_or_distance);
      break;
    case kSendByHand:
      kind = 3;
      value = 0;
      break;
    case kSendModeNone:
      break;
  }
  if (kind < 0 || value < 0) return std::string();
  return std::to_string(kind) + "_" + std::to_string(value);
}

std::string ArchiveFileName(const std::string& path) {
  size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string BuildUploadRequest(const UploadParams& params, const std::string& host_header,
                               const std::string& file_name, const std::string& archive) {
  std::string before = BodyBeforeArchive(params, file_name);
  size_t body_length = before.size() + Base64Length(archive.size()) + kDelimiter.size();
  std::string request = "POST /upkmlwpt_api.php HTTP/1.1\r\nHost: " + host_header +
                        "\r\nContent-Type: multipart/form-data; boundary=" + kBoundary + "\r\nContent-Length: " +
                        std::to_string(body_length) + "\r\n\r\n";
  request.reserve(request.size() + body_length + 2);
  request += before;
  AppendBase64(archive, request);
  request += kDelimiter;
  request += "\r\n";
  return request;
}

std::string AnswerStatusLine(const std::string& answer) {
  std::string line = answer.substr(0, answer.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

bool IsSuccessStatus(const std::string& status_line) {
  if (status_line.compare(0, 5, "HTTP/") != 0) return false;
  // "HTTP/1.1 204 No Content": three digits after the first space, the first a 2.
  size_t space = status_line.find(' ');
  std::string code = space == std::string::npos ? std::string() : status_line.substr(space + 1, 4);
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return code.size() >= 3 && code[0] == '2' && digit(code[1]) && digit(code[2]) && (code.size() == 3 || code[3] == ' ');
}

std::string AnswerBody(const std::string& answer) {
  // Servers end header lines with CR LF; a few with LF alone.
  size_t crlf = answer.find("\r\n\r\n");
  size_t lf = answer.find("\n\n");
  if (crlf < lf) return answer.substr(crlf + 4);
  return lf == std::string::npos ? std::string() : answer.substr(lf + 2);
}

bool AnswerComplete(const std::string& answer) {
  if (answer.find('\n') == std::string::npos) return false;
  return !IsSuccessStatus(AnswerStatusLine(answer)) || AnswerCodeComplete(AnswerBody(answer));
}

int ParseAnswerCode(const std::string& answer) {
  size_t mark = answer.find('>');
  if (mark == std::string::npos || answer.size() <= mark + 3) return kNoAnswerCode;
  return base::LeadingInteger(std::string_view(answer).substr(mark + 3, 4));
}

bool AnswerCodeComplete(const std::string& answer) {
  size_t mark = answer.find('>');
  return mark != std::string::npos && answer.size() >= mark + 3 + 4;
}

std::wstring AnswerMessage(int code) {
  switch (code) {
    case 1000:
      return L"ok";
    case 1001:
      return L"пароль не принят";
    case 1002:
      return L"Неправильное расширение файла. Должно быть kml";
    case 1003:
      return L"Ошибка загрузки файла";
    case 1004:
      return L"Ошибка при проверке файла - не найдены координаты";
    case 1005:
      return L"Размер файла превышает допустимый";
    case 0:
      return L"Данные приянты, но не найдено ни одной корректной координаты";
    default:
      return std::wstring();
  }
}
