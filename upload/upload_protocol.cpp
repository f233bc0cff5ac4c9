#include "upload/upload_protocol.h"

#include <climits>
#include <cstring>

#include "platform/text.h"
#include "upload/base64.h"

namespace {

// Case folding enough for the privacy captions: Latin and Russian letters.
wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  if (c >= 0x0410 && c <= 0x042F) return static_cast<wchar_t>(c + 0x20);  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<wchar_t>(c + 0x50);  // Ѐ..Џ, Ё among them
  return c;
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

struct Interval {
  const char* caption;  // Windows-1251 bytes
  int minutes;
};

// "мин." is EC E8 ED 2E, "час" F7 E0 F1, "часа" F7 E0 F1 E0, "часов" F7 E0 F1 EE E2.
constexpr Interval kIntervals[] = {
    {"1 \xEC\xE8\xED.", 1},     {"5 \xEC\xE8\xED.", 5},   {"10 \xEC\xE8\xED.", 10},
    {"15 \xEC\xE8\xED.", 15},   {"20 \xEC\xE8\xED.", 20}, {"30 \xEC\xE8\xED.", 30},
    {"45 \xEC\xE8\xED.", 45},   {"1 \xF7\xE0\xF1", 60},   {"2 \xF7\xE0\xF1\xE0", 120},
    {"4 \xF7\xE0\xF1\xE0", 240}, {"6 \xF7\xE0\xF1\xEE\xE2", 360},
};

constexpr char kDelimiter[] = "\r\n--BoUnDaRy";

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
  std::string body = "--BoUnDaRy";
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

void SetUploadParams(UploadParams& params, const UploadSettings& settings) {
  params.login = platform::WideToAnsi(settings.login);
  params.password = platform::WideToAnsi(settings.password);
  params.track_name = platform::WideToAnsi(settings.track_name);
  params.track_folder = platform::WideToUtf8(settings.track_name);
  params.interval_or_distance = platform::WideToAnsi(settings.interval_or_distance);
  if (auto code = PrivacyCode(settings.privacy_caption)) params.privacy_code = *code;
  params.send_mode = settings.send_mode;
  params.thinning = settings.thinning;
}

std::optional<std::string> PrivacyCode(const std::wstring& caption) {
  if (EqualsNoCase(caption, L"Только мне")) return "1";
  if (EqualsNoCase(caption, L"Для друзей")) return "2";
  if (EqualsNoCase(caption, L"Для всех")) return "3";
  return std::nullopt;
}

int IntervalMinutes(const std::string& caption) {
  for (const Interval& interval : kIntervals) {
    if (caption == interval.caption) return interval.minutes;
  }
  return 0;
}

std::string SendInfo(int send_mode, const std::string& interval_or_distance) {
  int kind = -1;
  int value = -1;
  switch (send_mode) {
    case 0:
      kind = 1;
      value = IntervalMinutes(interval_or_distance);
      break;
    case 1:
      kind = 2;
      value = LeadingInteger(interval_or_distance);
      break;
    case 2:
      kind = 3;
      value = 0;
      break;
    default:
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
  size_t body_length = before.size() + Base64Length(archive.size()) + strlen(kDelimiter);
  std::string request = "POST /upkmlwpt_api.php HTTP/1.1\r\nHost: " + host_header +
                        "\r\nContent-Type: multipart/form-data; boundary=BoUnDaRy\r\nContent-Length: " +
                        std::to_string(body_length) + "\r\n\r\n";
  request.reserve(request.size() + body_length + 2);
  request += before;
  AppendBase64(archive, request);
  request += kDelimiter;
  request += "\r\n";
  return request;
}

int ParseAnswerCode(const std::string& answer) {
  size_t mark = answer.find('>');
  if (mark == std::string::npos || answer.size() <= mark + 3) return kNoAnswerCode;
  return LeadingInteger(answer.substr(mark + 3, 4));
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

int LeadingInteger(const std::string& text) {
  size_t at = text.find_first_not_of(" \t\n\v\f\r");
  if (at == std::string::npos) return 0;
  bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}
