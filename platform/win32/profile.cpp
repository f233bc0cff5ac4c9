#include "platform/profile.h"

#include <windows.h>

#include <vector>

#include "platform/file.h"
#include "platform/file_layer.h"
#include "platform/ini_text.h"
#include "platform/text.h"

namespace platform {

namespace {

// Rewritten in place, as the profile functions do: the file keeps its
// identity and rights.
bool ReplaceBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out;
  OpenFileStream(out, path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::string& path,
                              size_t buffer_chars) {
  if (buffer_chars == 0) return std::wstring();
  // A file from a Russian system that this code page would misread is read
  // by our own equal of the profile functions, leaving the file as it is.
  std::string bytes = ReadWholeFile(path);
  std::string readable = IniReadable(bytes);
  if (readable != bytes) return IniRead(readable, section, key, buffer_chars);
  std::vector<wchar_t> buffer(buffer_chars, L'\0');
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                          static_cast<DWORD>(buffer.size()), Utf8ToWide(path).c_str());
  return std::wstring(buffer.data(), length);
}

bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::string& path) {
  // A text the ANSI code page cannot hold, or a Russian file it would
  // misread, turns the file into UTF-16 first, which the call keeps.
  std::string bytes = ReadWholeFile(path);
  std::string lossless = IniLosslessFor(bytes, value);
  if (lossless != bytes && !ReplaceBytes(path, lossless)) return false;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), Utf8ToWide(path).c_str()) !=
         FALSE;
}

}  // namespace platform
