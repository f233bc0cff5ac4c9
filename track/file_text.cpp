#include "track/file_text.h"

#include <cmath>
#include <cstdio>

namespace track_text {

namespace {

constexpr size_t kExponentDigits = 3;

// C libraries differ in the exponent's width ("5e-05" or "5e-005"): pad to three.
std::string WidenExponent(std::string text) {
  size_t mark = text.find('e');
  if (mark == std::string::npos) return text;
  size_t digits = mark + 2;  // past "e" and its sign
  size_t width = text.size() - digits;
  if (width < kExponentDigits) text.insert(digits, kExponentDigits - width, '0');
  return text;
}

}  // namespace

std::string JoinLines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text.append(line).append(kLineBreak);
  return text;
}

std::string FormatGeneral(double value, int significant_digits) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", significant_digits, value);
  return WidenExponent(buffer);
}

}  // namespace track_text
