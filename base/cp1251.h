// Windows-1251, the ANSI code page of a Russian Windows, converted exactly as
// WideCharToMultiByte and MultiByteToWideChar do with no flags, best-fit
// mappings included (é is stored as e). OS-free: the POSIX backend of
// text.h uses it, and the Windows tests hold it against the real functions.
#pragma once

#include <string>

namespace base {
namespace cp1251 {

// Wide text to Windows-1251 bytes. A character with neither its own byte nor
// a best-fit byte becomes '?', once per UTF-16 unit (two for a character
// beyond U+FFFF, as Windows sees a surrogate pair).
std::string Encode(const std::wstring& text);

// Windows-1251 bytes to wide text; every byte has a character (0x98 is U+0098).
std::wstring Decode(const std::string& bytes);

}  // namespace cp1251
}  // namespace base
