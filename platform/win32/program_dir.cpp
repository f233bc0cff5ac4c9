#include <windows.h>

#include <string>

#include "platform/program_dir.h"
#include "platform/text.h"

namespace platform {

std::string ExecutableFolder() {
  wchar_t path[520];
  DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring text(path, length);
  return WideToUtf8(text.substr(0, text.rfind(L'\\')));
}

}  // namespace platform
