// Built for Windows only and run under Wine with the Russian code page:
// the portable INI engine and the cp1251 codec of the POSIX backend are held
// against the real GetPrivateProfileStringW, WritePrivateProfileStringW and
// WideCharToMultiByte, byte for byte, over many generated files. Run again
// with the code page of a Western system (1252), the profile layer keeps
// Russian text and reads a Russian system's file.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "platform/ini_text.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::ScratchDir;
using testing_support::WriteFileBytes;

// The comparisons only mean something when Windows' ANSI code page is 1251.
bool RussianCodePage() { return platform::WideToAnsi(L"Ж") == "\xC6"; }

#define REQUIRE_RUSSIAN_CODE_PAGE() \
  ASSERT_TRUE(RussianCodePage()) << "run under Wine with LC_ALL=ru_RU.UTF-8 (code page 1251)"

TEST(Cp1251AgainstWindows, EveryCharacterEncodesAsWindowsDoes) {
  REQUIRE_RUSSIAN_CODE_PAGE();
  int differences = 0;
  for (wchar_t c = 1; c < 0xFFFF; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;  // halves of pairs: not characters
    std::wstring one(1, c);
    if (base::cp1251::Encode(one) != platform::WideToAnsi(one) && ++differences < 10) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<int>(c);
    }
  }
  EXPECT_EQ(differences, 0);
  std::wstring pair = L"a\xD83D\xDE00z";  // one character beyond U+FFFF
  EXPECT_EQ(platform::WideToAnsi(pair), "a??z");
}

TEST(Cp1251AgainstWindows, EveryByteDecodesAsWindowsDoes) {
  REQUIRE_RUSSIAN_CODE_PAGE();
  for (int byte = 1; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(base::cp1251::Decode(one), platform::AnsiToWide(one)) << byte;
  }
}

// Files made of the pieces that trip INI readers: sections with odd spacing
// and text after "]", keys without "=", comments, quotes, NULs, every kind of
// line end, Russian text, long values, byte-order marks.
class IniGenerator {
 public:
  explicit IniGenerator(unsigned seed) : random_(seed) {}

  std::wstring Section() {
    return Pick<std::wstring>({L"Properties", L"properties", L" Properties ", L"Other", L"", L"S", L"s",
                               L"Свойства", L"свойства", L"A]B"});
  }

  std::wstring Key() {
    return Pick<std::wstring>({L"COM", L"com", L" Login ", L"Password", L"a", L"", L";c", L"Ключ", L"ключ",
                               L"É", L"é", L"noeq", L"k"});
  }

  std::wstring Value() {
    return Pick<std::wstring>({L"", L"x", L"  v  ", L"\"q\"", L"'q'", L"\"a", L"Только мне", L"Для всех",
                               L"é€№", L"a=b", L"\"", L"''", std::wstring(300, L'L'),
                               L"\"" + std::wstring(258, L'Q') + L"\"", L"tab\there"});
  }

  std::string File() {
    std::wstring text;
    int lines = Number(0, 14);
    for (int i = 0; i < lines; ++i) text += Line() + LineEnd();
    if (Number(0, 3) == 0) text += Line();  // no line end after the last line
    switch (Number(0, 9)) {
      case 0: return Utf16(text, true);
      case 1: return Utf16(text, false);
      case 2: return "\xEF\xBB\xBF" + platform::WideToUtf8(text);
      default: return platform::WideToAnsi(text);
    }
  }

  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  template <typename T>
  T Pick(std::initializer_list<T> items) {
    return *(items.begin() + Number(0, static_cast<int>(items.size()) - 1));
  }

  std::wstring Space() { return Pick<std::wstring>({L"", L"", L" ", L"\t", L"  ", L"\x1A", L"\v"}); }

  std::wstring LineEnd() { return Pick<std::wstring>({L"\r\n", L"\r\n", L"\n", L"\r", L"\r\r\n", L"\n\n"}); }

  std::wstring Line() {
    switch (Number(0, 11)) {
      case 0: case 1:
        return Space() + L"[" + Space() + Section() + Space() + L"]" + Pick<std::wstring>({L"", L"junk", L" ;x"});
      case 2: return Pick<std::wstring>({L"", L"   ", L"[Unclosed", L"[]", L"=", L"==x", L"; comment"});
      case 3: return Key();  // a key without "="
      case 4: return Key() + Pick<std::wstring>({L"=", L"\0" L"x=", L"=\0" L"z"}) + Value();
      case 5: {
        std::wstring junk;
        for (int n = Number(1, 12); n > 0; --n) junk += static_cast<wchar_t>(Number(1, 0x45F));
        return junk;
      }
      default: return Space() + Key() + Space() + L"=" + Space() + Value() + Space();
    }
  }

  static std::string Utf16(const std::wstring& text, bool little_endian) {
    std::string out = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (wchar_t c : text) {
      char low = static_cast<char>(c & 0xFF);
      char high = static_cast<char>((c >> 8) & 0xFF);
      out += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return out;
  }

  std::mt19937 random_;
};

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Printable(const std::wstring& text) { return Printable(platform::WideToUtf8(text)); }

TEST(IniEngineAgainstWindows, ReadsAndWritesGeneratedFilesAlike) {
  REQUIRE_RUSSIAN_CODE_PAGE();
  ScratchDir dir;
  IniGenerator generate(12345);
  int mismatches = 0;
  for (int round = 0; round < 3000 && mismatches < 5; ++round) {
    // A fresh name each round: Windows caches profiles by name.
    std::string path = dir.File("case" + std::to_string(round) + ".ini");
    std::string bytes = generate.File();
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    for (int step = 0; step < 4; ++step) {
      std::wstring section = generate.Section();
      std::wstring key = generate.Key();
      if (generate.Number(0, 1) == 0) {
        size_t size = generate.Number(0, 3) == 0 ? generate.Number(0, 6) : 260;
        std::wstring windows = platform::ReadProfileValue(section, key, path, size);
        std::wstring ours = platform::IniRead(bytes, section, key, size);
        if (windows != ours) {
          ++mismatches;
          ADD_FAILURE() << "read [" << Printable(section) << "] " << Printable(key) << " size " << size
                        << " of " << Printable(bytes) << "\n windows: " << Printable(windows)
                        << "\n ours:    " << Printable(ours);
        }
        continue;
      }
      std::wstring value = generate.Value();
      ASSERT_TRUE(platform::WriteProfileValue(section, key, value, path));
      std::string windows = ReadFileBytes(path);
      // A value the code page cannot hold is written into the file turned into UTF-16.
      std::string ours = platform::IniLosslessFor(bytes, value);
      std::string before = ours;
      platform::IniWrite(before, section, key, value, &ours);
      if (windows != ours) {
        ++mismatches;
        ADD_FAILURE() << "write [" << Printable(section) << "] " << Printable(key) << "=" << Printable(value)
                      << " into " << Printable(bytes) << "\n windows: " << Printable(windows)
                      << "\n ours:    " << Printable(ours);
      }
      bytes = windows;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(ProfileUnderWesternCodePage, KeepsRussianTextAndReadsARussianSystemsFile) {
  ASSERT_EQ(platform::WideToAnsi(L"\u00FCЖ"), "\xFC?") << "run under Wine with LC_ALL=en_US.UTF-8 (code page 1252)";
  ScratchDir dir;
  const std::string russian = dir.File("russian.ini");
  ASSERT_TRUE(WriteFileBytes(russian, "[Properties]\r\nTrack=\xCC\xE0\xF0\xF8\xF0\xF3\xF2 1\r\n"));
  ASSERT_TRUE(platform::WriteProfileValue(L"Properties", L"Login", L"pilot", russian));
  EXPECT_EQ(platform::ReadProfileValue(L"Properties", L"Track", russian, 260), L"Маршрут 1");
  // Text the code page holds stays in it, byte for byte; Russian text turns the file into UTF-16.
  const std::string western = dir.File("western.ini");
  ASSERT_TRUE(platform::WriteProfileValue(L"Properties", L"Login", L"J\u00FCrgen", western));
  EXPECT_EQ(ReadFileBytes(western), "[Properties]\r\nLogin=J\xFCrgen\r\n");
  ASSERT_TRUE(platform::WriteProfileValue(L"Properties", L"Privacy", L"Только мне", western));
  EXPECT_EQ(ReadFileBytes(western).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(platform::ReadProfileValue(L"Properties", L"Privacy", western, 260), L"Только мне");
  EXPECT_EQ(platform::ReadProfileValue(L"Properties", L"Login", western, 260), L"J\u00FCrgen");
}

}  // namespace
