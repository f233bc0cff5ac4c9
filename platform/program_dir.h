// The program's folder: where properties.ini and Tracks live.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The path separator of file names on this system.
#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
inline constexpr char kPathSeparatorA = '\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
inline constexpr char kPathSeparatorA = '/';
#endif

// The folder of the running executable, without a trailing separator
// (GetModuleFileNameW up to its last backslash), unless a tool has named
// another folder with SetProgramFolder.
std::wstring ProgramFolder();

// Makes ProgramFolder return the given folder: the headless driver and tests
// use it to run the engine over a folder of their own.
void SetProgramFolder(const std::wstring& folder);

// The program's arguments after its name, in UTF-8. On Windows they come from
// the wide command line (CommandLineToArgvW), since main's argv holds only
// what the ANSI code page can; on POSIX they are argv's bytes.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace platform
