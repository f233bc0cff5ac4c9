#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/program_dir.h"
#include "platform/text.h"

namespace platform {

std::wstring ExecutableFolder() {
  wchar_t path[520];
  DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring text(path, length);
  return text.substr(0, text.rfind(L'\\'));
}

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace platform
