#include "track/file_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using track_text::FormatGeneral;

struct FormatCase {
  double value;
  int digits;
  const char* text;
};

TEST(FormatGeneral, PrintsLikeAWindowsOutputStream) {
  const FormatCase cases[] = {
      {0, 6, "0"},
      {22.4, 6, "22.4"},
      {100, 6, "100"},
      {123456, 6, "123456"},
      {1234567, 6, "1.23457e+006"},  // seven digits no longer fit: exponent form
      {0.0001, 6, "0.0001"},
      {0.00005, 6, "5e-005"},
      {-0.00005, 6, "-5e-005"},
      {1e20, 6, "1e+020"},
      {1e-300, 6, "1e-300"},  // already three digits: left alone
      {37.618423, 6, "37.6184"},
      {55.751244, 6, "55.7512"},
      {37.6184231, 9, "37.6184231"},
      {131.885612, 9, "131.885612"},
      {131.885612, 6, "131.886"},
      {-131.885612, 9, "-131.885612"},
      {-55.7512443, 9, "-55.7512443"},
      {55.75, 9, "55.75"},  // trailing zeros go
      {2, 9, "2"},          // and so does the decimal point
      {1.23456789012e11, 9, "1.23456789e+011"},
      {0.000123456789, 9, "0.000123456789"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatGeneral(c.value, c.digits), c.text) << c.value << " with " << c.digits << " digits";
  }
}

TEST(FormatGeneral, NumbersThatAreNotFiniteHaveOneSpelling) {
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), 6), "nan");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::quiet_NaN(), 6), "nan");
  EXPECT_EQ(FormatGeneral(HUGE_VAL, 9), "inf");
  EXPECT_EQ(FormatGeneral(-HUGE_VAL, 9), "-inf");
}

TEST(JoinLines, EndsEveryLineWithCrLf) {
  EXPECT_EQ(track_text::JoinLines({"a", "", "b c"}), "a\r\n\r\nb c\r\n");
}

}  // namespace
