#include "platform/folders.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/text.h"
#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& path) { return Utf8ToWide(path); }

}  // namespace

std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  UniqueSearch search(FindFirstFileW(Wide(pattern).c_str(), &found));
  if (!search.valid()) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(WideToUtf8(name));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

bool CreateFolder(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0; }

bool CreateFolderTree(const std::string& path) {
  return SHCreateDirectoryExW(nullptr, Wide(path).c_str(), nullptr) == ERROR_SUCCESS;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  return MoveFileW(Wide(from).c_str(), Wide(to).c_str()) != 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool FileExists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FlushFolder(const std::string&) { return true; }

}  // namespace platform
