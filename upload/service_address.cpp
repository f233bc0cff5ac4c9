#include "upload/service_address.h"

#include "base/text_case.h"
#include "platform/text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Four dot-separated decimal numbers of 0 to 255.
bool IsIpv4Literal(const std::string& host) {
  size_t start = 0;
  for (int field = 0; field < 4; ++field) {
    size_t end = field < 3 ? host.find('.', start) : host.size();
    if (end == std::string::npos) return false;
    std::string number = host.substr(start, end - start);
    if (!AllDigits(number) || number.size() > 3 || std::stoi(number) > 255) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

ServiceAddress ParseServiceAddress(const std::wstring& setting) {
  ServiceAddress service;
  std::string text = Trim(platform::WideToAnsi(setting));
  if (text.empty()) return service;
  service.host = text;
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return service;
  std::string port = text.substr(colon + 1);
  if (!AllDigits(port) || port.size() > 5) return service;
  int number = std::stoi(port);
  if (number < 1 || number > 65535) return service;
  service.host = text.substr(0, colon);
  service.port = static_cast<uint16_t>(number);
  return service;
}

std::string HostHeader(const ServiceAddress& service) {
  if (service.port == 80) return service.host;
  return service.host + ":" + std::to_string(service.port);
}

std::string LookupName(const std::string& host) {
  if (IsIpv4Literal(host) || base::EqualsIgnoringCase(platform::AnsiToWide(host), L"localhost")) return host;
  return "www." + host;
}
