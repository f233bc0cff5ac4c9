#include "tests/gps/capture_reading.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace testing_support {
namespace {

// RMC sentences of these talkers are read; any other identifier is not.
bool IsReadRmc(const std::string& identifier) {
  static const char* const kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"};
  if (identifier.size() != 5 || identifier.compare(2, 3, "RMC") != 0) return false;
  for (const char* talker : kTalkers) {
    if (identifier.compare(0, 2, talker) == 0) return true;
  }
  return false;
}

// The text after each "$" up to the next one; the last sentence only when
// its checksum digits finish it.
std::vector<std::string> SplitSentences(const std::string& bytes) {
  std::vector<std::string> sentences;
  size_t start = bytes.find('$');
  while (start != std::string::npos) {
    size_t next = bytes.find('$', start + 1);
    std::string sentence = bytes.substr(start + 1, next == std::string::npos ? next : next - start - 1);
    size_t star = sentence.find('*');
    if (next == std::string::npos && (star == std::string::npos || sentence.size() < star + 3)) break;
    sentences.push_back(sentence);
    start = next;
  }
  return sentences;
}

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(text);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (text.empty() || text.back() == ',') fields.push_back("");
  return fields;
}

// ddmm.mmm or dddmm.mmm to degrees.
double Degrees(const std::string& field) {
  double value = std::atof(field.c_str());
  double degrees = std::floor(value / 100);
  return degrees + (value - degrees * 100) / 60;
}

// The text of a sentence carries "*" and two hexadecimal digits after it.
bool ChecksumMatches(const std::string& sentence, size_t star) {
  std::string digits = sentence.substr(star + 1, 2);
  if (digits.size() != 2 || !std::isxdigit(static_cast<unsigned char>(digits[0])) ||
      !std::isxdigit(static_cast<unsigned char>(digits[1]))) {
    return false;
  }
  return std::stoi(digits, nullptr, 16) == std::stoi(ChecksumDigits(sentence.substr(0, star)), nullptr, 16);
}

// fields[0] is the time, the first field after the identifier's comma. The
// fields read are the time, status, latitude, longitude, speed and date.
bool Dropped(const std::vector<std::string>& fields, bool checked) {
  if (fields.size() < 8) return true;
  for (size_t i : {0, 1, 2, 4, 6, 8}) {
    if (i >= fields.size()) break;
    bool cut_by_dollar = !checked && i + 1 == fields.size();
    if (fields[i].size() + (cut_by_dollar ? 1 : 0) > FixReader::kMaxFieldLength) return true;
  }
  return false;
}

// Without a checksum the last field runs into the next "$" and is not taken.
ExpectedFix FixOf(const std::vector<std::string>& fields, bool checked) {
  ExpectedFix fix;
  fix.time = std::atoi(fields[0].c_str());
  fix.valid = fields[1] == "A";
  if (!fix.valid) return fix;
  fix.latitude = Degrees(fields[2]) * (fields[3] == "S" ? -1 : 1);
  fix.longitude = Degrees(fields[4]) * (fields[5] == "W" ? -1 : 1);
  fix.speed = std::atof(fields[6].c_str());
  size_t complete = checked ? fields.size() : fields.size() - 1;
  if (complete > 8) fix.date = std::atoi(fields[8].c_str());
  return fix;
}

std::string Describe(const ExpectedFix& fix) {
  std::ostringstream text;
  text.precision(12);
  text << "time " << fix.time << (fix.valid ? " A" : " V");
  if (fix.valid) {
    text << " lat " << fix.latitude << " lon " << fix.longitude << " speed " << fix.speed << " date "
         << fix.date;
  }
  return text.str();
}

bool Matches(const ExpectedFix& expected, const ExpectedFix& delivered) {
  if (expected.time != delivered.time || expected.valid != delivered.valid) return false;
  if (!expected.valid) return true;
  return std::fabs(expected.latitude - delivered.latitude) <= 1e-9 &&
         std::fabs(expected.longitude - delivered.longitude) <= 1e-9 && expected.speed == delivered.speed &&
         (expected.date == ExpectedFix::kNoDate || expected.date == delivered.date);
}

}  // namespace

std::string ChecksumDigits(const std::string& text) {
  unsigned sum = 0;
  for (char c : text) sum ^= static_cast<unsigned char>(c);
  static const char kHex[] = "0123456789ABCDEF";
  return {kHex[sum >> 4], kHex[sum & 15]};
}

std::vector<ExpectedFix> ExpectedFixes(const std::string& bytes) {
  std::vector<ExpectedFix> fixes;
  for (const std::string& sentence : SplitSentences(bytes)) {
    if (!IsReadRmc(sentence.substr(0, 5))) continue;
    size_t star = sentence.find('*');
    bool checked = star != std::string::npos;
    if (checked && !ChecksumMatches(sentence, star)) continue;
    std::string text = sentence.substr(0, star);
    std::vector<std::string> fields = SplitFields(text.size() > 6 ? text.substr(6) : "");
    if (!Dropped(fields, checked)) fixes.push_back(FixOf(fields, checked));
  }
  return fixes;
}

ExpectedFix DeliveredFix(const GpsFix& fix, double latitude, double longitude) {
  ExpectedFix delivered;
  delivered.time = fix.time;
  delivered.valid = fix.valid;
  delivered.latitude = latitude;
  delivered.longitude = longitude;
  delivered.speed = fix.speed;
  delivered.date = fix.date;
  return delivered;
}

std::vector<ExpectedFix> ReadFixesUntilStopped(FixReader& reader, platform::SerialPort* port,
                                               const std::atomic<bool>& stop) {
  std::vector<ExpectedFix> fixes;
  GpsFix fix;
  for (;;) {
    double latitude = 0;
    double longitude = 0;
    if (!reader.ReadFix(port, fix, latitude, longitude)) {
      fixes.push_back(DeliveredFix(fix, latitude, longitude));
    } else if (stop) {
      return fixes;
    }
  }
}

std::string FixMismatch(const std::vector<ExpectedFix>& expected, const std::vector<ExpectedFix>& delivered) {
  for (size_t i = 0; i < expected.size() && i < delivered.size(); ++i) {
    if (!Matches(expected[i], delivered[i])) {
      return "fix " + std::to_string(i) + ": expected " + Describe(expected[i]) + ", delivered " +
             Describe(delivered[i]);
    }
  }
  if (expected.size() != delivered.size()) {
    return std::to_string(expected.size()) + " fixes expected, " + std::to_string(delivered.size()) +
           " delivered";
  }
  return "";
}

}  // namespace testing_support
