#include "platform/console.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/text.h"

namespace platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    // Without the wide command line the ANSI one is the best there is.
    for (int i = 0; i < argc; ++i) arguments.push_back(WideToUtf8(AnsiToWide(argv[i])));
    return arguments;
  }
  for (int i = 0; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace platform
