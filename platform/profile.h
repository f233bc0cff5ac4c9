// Single keys of INI files (the profile strings of Windows). Paths are UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The value of the key in the section of the INI file at path, as
// GetPrivateProfileStringW with the default "" puts it into a buffer of
// buffer_chars characters: surrounding quotes stripped, at most
// buffer_chars - 1 characters. Empty when the file, the section or the key is
// missing.
std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::string& path,
                              size_t buffer_chars);

// Sets the key in the section of the INI file at path, as
// WritePrivateProfileStringW does, creating the file and the section when
// they are missing. False when the file cannot be written (a read-only file
// or folder); the file is then left as it was.
bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::string& path);

}  // namespace platform
