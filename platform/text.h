// Conversions between the program's wide text and the 8-bit texts it writes,
// and the UTF-8 its paths are kept in.
//
// The "ANSI code page" is the system's on Windows; on POSIX it is always
// Windows-1251, so files and requests carry the bytes a Russian Windows
// would write.
#pragma once

#include <string>

#include "base/cp1251.h"

namespace platform {

// Wide text to the ANSI code page as WideCharToMultiByte gives it: a character
// the code page cannot hold becomes its best-fit look-alike (é: e) or '?'.
std::string WideToAnsi(const std::wstring& text);

// ANSI code page bytes to wide text.
std::wstring AnsiToWide(const std::string& text);

// True when the text comes back whole through the ANSI code page: no
// character of it becomes '?' or a best-fit look-alike.
inline bool AnsiHolds(const std::wstring& text) { return AnsiToWide(WideToAnsi(text)) == text; }

// Wide text to the 8-bit text of files and the wire: the ANSI code page's
// bytes when it holds the text, otherwise Windows-1251's, the bytes a Russian
// system gives (a Cyrillic track name on a Western Windows). On a Russian
// system both are the same.
inline std::string WideToAnsiOr1251(const std::wstring& text) {
  return AnsiHolds(text) ? WideToAnsi(text) : base::cp1251::Encode(text);
}

// Wide text to UTF-8: a typed name that becomes part of a path, the output of
// our tools, and the paths of the ...W calls inside platform/.
std::string WideToUtf8(const std::wstring& text);

// UTF-8 to wide text: a path shown in a message, the command lines and
// standard input of our tools, and the paths handed to the ...W calls inside
// platform/.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace platform
