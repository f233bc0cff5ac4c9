// The command line and the console of the command-line tools: UTF-8 on every
// system, so that Cyrillic paths and log lines pass unchanged.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The program's arguments as UTF-8, its name first. Windows takes them from
// the wide command line (argv there is in the ANSI code page, which cannot
// hold every folder name); POSIX takes argv as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes a console show the UTF-8 text the program writes (code page 65001
// on Windows). Output to a pipe or a file carries the same bytes either way.
void UseUtf8Console();

}  // namespace platform
