// properties.ini beside the executable: single keys, and the scrambling that
// keeps the password out of plain sight (obfuscation, not encryption).
#pragma once

#include <string>

class CIniFile {
 public:
  CIniFile();

  // The full UTF-8 path of properties.ini in the program's folder, computed
  // anew on every call.
  std::string GetIniPath() const;

  // The value of the key, or empty when the file, section or key is missing;
  // read through a buffer of 260 characters, so at most 259 come back.
  std::wstring ReadValue(const std::wstring& section, const std::wstring& key) const;

  // Writes one key, creating the file and the section when needed; false
  // when the file could not be written (the save then shows its error box).
  bool WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;

  // Scrambles (flag true) or unscrambles (flag false) a text: a substitution
  // over the 130 characters of the alphabet, shifted by the key character of
  // each position. Spaces stay as they are; a character outside the alphabet
  // comes back from the round trip as "_". The output has the input's length.
  std::wstring Scramble(const std::wstring& text, bool flag) const;

 private:
  std::wstring alphabet;
};
