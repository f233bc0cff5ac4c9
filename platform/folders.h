// Folder and file-name operations, the way the logger's working folders use
// them. Paths are UTF-8: the Windows backend hands them to the ...W calls as
// UTF-16, and on POSIX the bytes are the file name, so any program folder or
// track name works whatever the ANSI code page.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Names (without folder, UTF-8) of the entries matching a folder and a mask
// joined into one pattern, such as "C:\x\Tracks\" + "\*.kml" (a doubled
// separator is accepted); "*" and "?" match as on Windows, without regard to
// case. The order is the system's enumeration order.
std::vector<std::string> FindFiles(const std::string& pattern);

// Creates one folder level; false when it fails or exists.
bool CreateFolder(const std::string& path);
// Creates the folder with all missing parents; false when it fails or exists.
bool CreateFolderTree(const std::string& path);

// Moves or renames a file; fails when the destination exists.
bool MoveFileNoReplace(const std::string& from, const std::string& to);
// Renames a file over the destination in one step, written through to the
// disk: a reader, or a crash, sees the old file or the new one, never neither.
bool MoveFileReplacing(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace platform
