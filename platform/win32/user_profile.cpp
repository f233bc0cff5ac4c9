#include "platform/user_profile.h"

#include <windows.h>

#include <iterator>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

std::wstring SectionKey(const std::wstring& section) {
  wchar_t path[520] = {};
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring name = path;
  name = name.substr(name.find_last_of(L"\\/") + 1);
  name = name.substr(0, name.rfind(L'.'));
  return L"Software\\Local AppWizard-Generated Applications\\" + name + L"\\" + section;
}

}  // namespace

std::string ReadProfileBinary(const std::wstring& section, const std::wstring& name) {
  UniqueKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS)
    return "";
  DWORD type = 0, size = 0;
  std::string bytes;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_BINARY) {
    bytes.resize(size);
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                         &size) != ERROR_SUCCESS)
      bytes.clear();
  }
  return bytes;
}

bool WriteProfileBinary(const std::wstring& section, const std::wstring& name, const std::string& bytes) {
  UniqueKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

}  // namespace platform
