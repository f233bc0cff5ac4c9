#include "tools/nmea-sim/nmea_text.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

unsigned Checksum(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return sum;
}

std::string WithoutLineEnd(const std::string& line) {
  size_t end = line.find_last_not_of("\r\n");
  return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

}  // namespace

std::string Sentence(const std::string& body) {
  char tail[8];
  std::snprintf(tail, sizeof(tail), "*%02X\r\n", Checksum(body));
  return "$" + body + tail;
}

bool HasValidChecksum(const std::string& line) {
  std::string text = WithoutLineEnd(line);
  size_t star = text.size() >= 4 ? text.size() - 3 : std::string::npos;
  if (text.empty() || text[0] != '$' || star == std::string::npos || text[star] != '*') return false;
  char* end = nullptr;
  unsigned long given = std::strtoul(text.c_str() + star + 1, &end, 16);
  return end == text.c_str() + text.size() && given == Checksum(text.substr(1, star - 1));
}

std::string Field(const std::string& line, int n) {
  std::string text = WithoutLineEnd(line);
  text = text.substr(0, text.find('*'));
  size_t begin = 0;
  for (int i = 0; i < n; ++i) {
    begin = text.find(',', begin);
    if (begin == std::string::npos) return std::string();
    ++begin;
  }
  return text.substr(begin, text.find(',', begin) - begin);
}

int SentenceTime(const std::string& line) {
  static const struct {
    const char* kind;
    int field;
  } kTimed[] = {{"GGA", 1}, {"RMC", 1}, {"GLL", 5}, {"ZDA", 1}, {"GNS", 1}, {"GBS", 1}, {"GST", 1}, {"GRS", 1}};
  std::string id = Field(line, 0);
  if (id.size() != 6 || id[0] != '$') return -1;
  for (const auto& timed : kTimed) {
    if (id.compare(3, 3, timed.kind) != 0) continue;
    std::string time = Field(line, timed.field);
    return time.empty() ? -1 : std::atoi(time.c_str());
  }
  return -1;
}

}  // namespace sim
