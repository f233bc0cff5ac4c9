#include "platform/serial_ports.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

constexpr wchar_t kSerialKey[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// A registry string's text without the terminator the data may or may not carry.
std::wstring StringData(const std::vector<BYTE>& data, DWORD bytes) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

}  // namespace

bool ListSerialPorts(std::vector<SerialPortEntry>* ports) {
  ports->clear();
  UniqueKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return false;
  DWORD values = 0, longest_name = 0, largest_data = 0;
  RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longest_name,
                   &largest_data, nullptr, nullptr);
  // Sized from the key's own longest name and data, so every value fits.
  std::vector<wchar_t> name(longest_name + 1);
  std::vector<BYTE> data(largest_data + sizeof(wchar_t));
  for (DWORD index = 0; index < values; ++index) {
    DWORD name_chars = static_cast<DWORD>(name.size());
    DWORD data_bytes = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key.get(), index, name.data(), &name_chars, nullptr, &type, data.data(), &data_bytes) !=
        ERROR_SUCCESS)
      continue;  // a value changed under us; the others still count
    if (type != REG_SZ) continue;
    ports->push_back({std::wstring(name.data(), name_chars), StringData(data, data_bytes)});
  }
  return true;
}

}  // namespace platform
