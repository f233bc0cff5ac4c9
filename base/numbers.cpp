#include "base/numbers.h"

#include <charconv>
#include <climits>

namespace base {
namespace {

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

template <typename Char>
bool IsDigit(Char c) {
  return c >= '0' && c <= '9';
}

// Moves past leading blanks and one sign.
template <typename Char>
const Char* SkipBlanksAndSign(const Char* p, const Char* end, bool& negative) {
  while (p < end && IsBlank(*p)) ++p;
  negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  return p;
}

template <typename Char>
int ReadInteger(std::basic_string_view<Char> text) {
  const Char* end = text.data() + text.size();
  bool negative = false;
  const Char* p = SkipBlanksAndSign(text.data(), end, negative);
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long value = 0;
  for (; p < end && IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value < kLimit ? value : INT_MAX);
}

}  // namespace

int LeadingInteger(std::string_view text) { return ReadInteger(text); }

int LeadingInteger(std::wstring_view text) { return ReadInteger(text); }

double LeadingDecimal(std::string_view text) {
  const char* end = text.data() + text.size();
  bool negative = false;
  const char* p = SkipBlanksAndSign(text.data(), end, negative);
  // from_chars would take a second sign, inf and nan; atof's decimal text
  // begins with a digit or the point.
  if (p == end || !(IsDigit(*p) || *p == '.')) return 0;
  double value = 0;
  if (std::from_chars(p, end, value, std::chars_format::general).ec != std::errc()) return 0;
  return negative ? -value : value;
}

}  // namespace base
