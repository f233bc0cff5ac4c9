#include "platform/text.h"

#include <gtest/gtest.h>

#include "base/numbers.h"

namespace {

TEST(Text, RussianTextTakesItsWindows1251Bytes) {
  // The bytes a Russian Windows writes for the privacy text and for Ё/ё.
  EXPECT_EQ(platform::WideToAnsi(L"Только мне"), "\xD2\xEE\xEB\xFC\xEA\xEE \xEC\xED\xE5");
  EXPECT_EQ(platform::WideToAnsi(L"Ёё№"), "\xA8\xB8\xB9");
  EXPECT_EQ(platform::AnsiToWide("\xD2\xEE\xEB\xFC\xEA\xEE \xEC\xED\xE5"), L"Только мне");
}

TEST(Text, AnsiRoundTripKeepsEveryAssignedByte) {
  for (int byte = 1; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(platform::WideToAnsi(platform::AnsiToWide(one)), one) << byte;
  }
}

TEST(Text, Utf8RoundTripOfRussianAndAscii) {
  std::wstring text = L"Для всех: track_1.kml";
  std::string utf8 = platform::WideToUtf8(text);
  EXPECT_EQ(utf8, "\xD0\x94\xD0\xBB\xD1\x8F \xD0\xB2\xD1\x81\xD0\xB5\xD1\x85: track_1.kml");
  EXPECT_EQ(platform::Utf8ToWide(utf8), text);
}

TEST(LeadingInteger, ReadsLikeAtoiAndSaturates) {
  EXPECT_EQ(base::LeadingInteger(" \t\r\n+17x"), 17);
  EXPECT_EQ(base::LeadingInteger("-0042"), -42);
  EXPECT_EQ(base::LeadingInteger("- 5"), 0);
  EXPECT_EQ(base::LeadingInteger(""), 0);
  EXPECT_EQ(base::LeadingInteger("99999999999999999999"), 2147483647);
  EXPECT_EQ(base::LeadingInteger("-99999999999999999999"), -2147483647 - 1);
  // Wide text, as the settings hold it, reads the same way.
  EXPECT_EQ(base::LeadingInteger(std::wstring_view(L" -12м")), -12);
  EXPECT_EQ(base::LeadingInteger(std::wstring_view(L"\x0663")), 0);  // an Arabic-Indic three is no digit
}

}  // namespace
