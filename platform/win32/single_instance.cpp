#include "platform/single_instance.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <iterator>
#include <string>
#include <utility>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

// The folder of a process's executable, in lower case; empty when unknown.
std::wstring ProgramFolderOf(HANDLE process) {
  wchar_t path[1024] = {};
  DWORD length = static_cast<DWORD>(std::size(path));
  if (!QueryFullProcessImageNameW(process, 0, path, &length)) return std::wstring();
  std::wstring folder(path, length);
  folder = folder.substr(0, folder.find_last_of(L"\\/"));
  for (wchar_t& c : folder) c = static_cast<wchar_t>(std::towlower(c));
  return folder;
}

std::wstring OurProgramFolder() { return ProgramFolderOf(GetCurrentProcess()); }

// A mutex name from the folder (a name may not hold backslashes).
std::wstring InstanceMutexName() {
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : OurProgramFolder()) hash = (hash ^ static_cast<uint64_t>(c)) * 1099511628211ull;
  wchar_t name[64] = {};
  swprintf(name, std::size(name), L"Local\\Rovelog-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

class MutexLock : public ProgramFolderLock {
 public:
  explicit MutexLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}

 private:
  UniqueHandle mutex_;
};

}  // namespace

std::unique_ptr<ProgramFolderLock> LockProgramFolder(bool* first) {
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str()));
  *first = mutex.valid() && GetLastError() != ERROR_ALREADY_EXISTS;
  return std::make_unique<MutexLock>(std::move(mutex));
}

bool RunsFromOurProgramFolder(uint32_t process_id) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  return process.valid() && ProgramFolderOf(process.get()) == OurProgramFolder();
}

}  // namespace platform
