#include "platform/profile.h"

#include <windows.h>

#include <vector>

#include "platform/text.h"

namespace platform {

std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::string& path,
                              size_t buffer_chars) {
  if (buffer_chars == 0) return std::wstring();
  std::vector<wchar_t> buffer(buffer_chars, L'\0');
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                          static_cast<DWORD>(buffer.size()), Utf8ToWide(path).c_str());
  return std::wstring(buffer.data(), length);
}

bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::string& path) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), Utf8ToWide(path).c_str()) !=
         FALSE;
}

}  // namespace platform
