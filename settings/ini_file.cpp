#include "settings/ini_file.h"

#include "platform/profile.h"
#include "platform/program_dir.h"

namespace {

constexpr wchar_t kScrambleAlphabet[] =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890"
    L"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя-_";

// Every character of the key is in the alphabet and none is its first, so
// every shift is at least 0.
constexpr wchar_t kScrambleKey[] = L"QuorbelMintakaVane";

constexpr size_t kReadBufferChars = 260;

}  // namespace

CIniFile::CIniFile() : alphabet(kScrambleAlphabet) {}

std::string CIniFile::GetIniPath() const {
  return platform::ProgramFolder() + platform::kPathSeparator + "properties.ini";
}

std::wstring CIniFile::ReadValue(const std::wstring& section, const std::wstring& key) const {
  return platform::ReadProfileValue(section, key, GetIniPath(), kReadBufferChars);
}

bool CIniFile::WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) const {
  return platform::WriteProfileValue(section, key, value, GetIniPath());
}

std::wstring CIniFile::Scramble(const std::wstring& text, bool flag) const {
  const std::wstring key(kScrambleKey);
  const int size = static_cast<int>(alphabet.size());
  const int key_length = static_cast<int>(key.size());
  auto position = [this](wchar_t c) {
    size_t found = alphabet.find(c);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
  };
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L' ') {
      out += L' ';
      continue;
    }
    // Key positions run 0, 1, ..., 17, 18, 1, 2, ...; position 18 is the end
    // of the key, which counts as the alphabet's size.
    int j = i == 0 ? 0 : static_cast<int>((i - 1) % key_length) + 1;
    int shift = (j == key_length ? size : position(key[j])) - 1;
    int target = position(text[i]) + (flag ? shift : -shift);
    out += alphabet[((target % size) + size) % size];
  }
  return out;
}
