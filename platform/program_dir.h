// The program's folder: where properties.ini and Tracks live.
#pragma once

#include <string>

namespace platform {

// The path separator of file names on this system.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The folder of the running executable as a UTF-8 path, without a trailing
// separator (GetModuleFileNameW up to its last backslash), unless a tool has
// named another folder with SetProgramFolder.
std::string ProgramFolder();

// Makes ProgramFolder return the given folder: the headless driver and tests
// use it to run the engine over a folder of their own.
void SetProgramFolder(const std::string& folder);

}  // namespace platform
