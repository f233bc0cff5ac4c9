#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include "platform/ini_text.h"
#include "tests/support/test_support.h"

namespace {

const std::wstring kAlphabet =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890"
    L"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя-_";

TEST(Scramble, RoundTripsEveryAlphabetCharacterAtEveryKeyPosition) {
  CIniFile ini;
  ASSERT_EQ(kAlphabet.size(), 130u);
  // Every character at 40 positions: past the key's end and round again.
  for (wchar_t c : kAlphabet) {
    std::wstring text(40, c);
    text[5] = L' ';
    std::wstring scrambled = ini.Scramble(text, true);
    ASSERT_EQ(scrambled.size(), text.size());
    EXPECT_EQ(scrambled[5], L' ');
    EXPECT_EQ(ini.Scramble(scrambled, false), text);
  }
  std::wstring mixed = L"Пароль с пробелами and Ёлка-2_x";
  EXPECT_NE(ini.Scramble(mixed, true), mixed);
  EXPECT_EQ(ini.Scramble(ini.Scramble(mixed, true), false), mixed);
}

TEST(Scramble, KeyPositionsFollowTheCharacterIndex) {
  CIniFile ini;
  std::wstring plain(25, L'B');
  std::wstring scrambled = ini.Scramble(plain, true);
  // A space second keeps its place; the third character still uses key position 2.
  EXPECT_EQ(ini.Scramble(L"B B", true)[2], scrambled[2]);
  EXPECT_EQ(ini.Scramble(L"B B", true)[1], L' ');
  // Index 18 stands for the end of the key: shift 129, so B becomes A.
  EXPECT_EQ(scrambled[18], L'A');
  // Index 19 starts again at key position 1.
  EXPECT_EQ(scrambled[19], scrambled[1]);
  EXPECT_NE(scrambled[1], scrambled[2]);
}

TEST(Scramble, CharactersOutsideTheAlphabetComeBackAsUnderscores) {
  CIniFile ini;
  EXPECT_EQ(ini.Scramble(ini.Scramble(L"pa!ss.", true), false), L"pa_ss_");
  EXPECT_EQ(ini.Scramble(L"", true), L"");
}

TEST(CIniFile, WritesAndReadsBesideTheProgram) {
  testing_support::ScratchDir dir;
  testing_support::ProgramFolderGuard program_folder(dir.path());
  CIniFile ini;
  EXPECT_EQ(ini.GetIniPath(), dir.File("properties.ini"));
  EXPECT_EQ(ini.ReadValue(L"Properties", L"Privacy"), L"");
  ini.WriteValue(L"Properties", L"Privacy", L"Только мне");
  ini.WriteValue(L"Properties", L"Login", L"pilot");
  EXPECT_EQ(ini.ReadValue(L"Properties", L"Privacy"), L"Только мне");
  // The file carries Windows' bytes: cp1251 text and CR LF lines.
  EXPECT_EQ(testing_support::ReadFileBytes(dir.File("properties.ini")),
            "[Properties]\r\nPrivacy=\xD2\xEE\xEB\xFC\xEA\xEE \xEC\xED\xE5\r\nLogin=pilot\r\n");
  // Values come back cut to 259 characters.
  ini.WriteValue(L"Properties", L"Track", std::wstring(400, L'x'));
  EXPECT_EQ(ini.ReadValue(L"Properties", L"Track"), std::wstring(259, L'x'));
  // A text the code page cannot hold turns the file into UTF-16 LE, which keeps every value.
  ini.WriteValue(L"Properties", L"Track", L"Маршрут ✓");
  EXPECT_EQ(ini.ReadValue(L"Properties", L"Track"), L"Маршрут ✓");
  EXPECT_EQ(ini.ReadValue(L"Properties", L"Privacy"), L"Только мне");
  EXPECT_EQ(testing_support::ReadFileBytes(dir.File("properties.ini")).substr(0, 2), "\xFF\xFE");
}

struct HandWritten {
  const char* name;
  std::string file;
  const wchar_t* key;
  const wchar_t* value;
};

class IniReading : public testing::TestWithParam<HandWritten> {};

TEST_P(IniReading, ReadsFilesWrittenByHandAsWindowsDoes) {
  const HandWritten& c = GetParam();
  EXPECT_EQ(platform::IniRead(c.file, L"Properties", c.key, 260), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReading,
    testing::Values(
        HandWritten{"spaces", "[Properties]\r\n  Login  =  pilot  \r\n", L"Login", L"pilot"},
        HandWritten{"comment", "[Properties]\r\n;Login=x\r\nLogin=y\r\n", L"Login", L"y"},
        HandWritten{"quotes", "[Properties]\r\nLogin=\"pilot\"\r\n", L"Login", L"pilot"},
        HandWritten{"missing_section", "[Other]\r\nLogin=pilot\r\n", L"Login", L""},
        HandWritten{"duplicate_keys", "[Properties]\r\nLogin=first\r\nLogin=second\r\n", L"Login", L"first"},
        HandWritten{"key_without_equals", "[Properties]\r\nLogin\r\nTrack=t\r\n", L"Track", L"t"},
        HandWritten{"case", "[PROPERTIES]\r\nlogin=pilot\r\n", L"Login", L"pilot"},
        HandWritten{"lf_only", "[Properties]\nLogin=pilot\n", L"Login", L"pilot"}),
    [](const testing::TestParamInfo<HandWritten>& info) { return info.param.name; });

TEST(IniReading, SurvivesHugeAndBrokenFiles) {
  std::string huge = "[Properties]\r\n" + std::string(100 * 1024, 'a') + "\r\nLogin=pilot\r\n";
  while (huge.size() < 10 * 1024 * 1024) huge += "Key" + std::to_string(huge.size()) + "=v\r\n";
  EXPECT_EQ(platform::IniRead(huge, L"Properties", L"Login", 260), L"pilot");
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  EXPECT_LE(platform::IniRead(garbage, L"Properties", L"Login", 260).size(), 259u);
  // A UTF-16 file with a byte-order mark, as Notepad saves it.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Properties]\r\nLogin=pilot\r\n")) utf16 += std::string(1, c) + '\0';
  // Windows reads such a file as Unicode.
  EXPECT_EQ(platform::IniRead(utf16, L"Properties", L"Login", 260), L"pilot");
}

}  // namespace
