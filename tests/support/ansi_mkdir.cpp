// ansi-mkdir FOLDER: makes a folder the way earlier releases made theirs, the
// wide name turned into the ANSI code page and handed to CreateDirectoryA, so
// that tests can leave behind what an older Rovelog left. Exit status 0 when
// the folder was made.
#include <windows.h>
#include <shellapi.h>

#include <string>

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr || count != 2) return 2;
  int size = WideCharToMultiByte(CP_ACP, 0, args[1], -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, args[1], -1, ansi.data(), size, nullptr, nullptr);
  LocalFree(args);
  return size > 0 && CreateDirectoryA(ansi.c_str(), nullptr) ? 0 : 1;
}
