// The per-user profile of the program in the registry:
// HKCU\Software\Local AppWizard-Generated Applications\<executable's base name>\<section>.
// Windows only: the window keeps its placement there.
#pragma once

#include <string>

namespace platform {

// The raw bytes of the value; empty when it is missing.
std::string ReadProfileBinary(const std::wstring& section, const std::wstring& name);
// Stores the bytes as a binary value, creating the keys; false when it cannot.
bool WriteProfileBinary(const std::wstring& section, const std::wstring& name, const std::string& bytes);

}  // namespace platform
