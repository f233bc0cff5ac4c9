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
// Renames a file over the destination in one step: a reader, or a crash,
// sees the old file or the new one, never neither. Neither back end flushes
// the file's bytes here (MOVEFILE_WRITE_THROUGH does not on one volume): the
// caller flushes the file before.
bool MoveFileReplacing(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);

// Puts the folder's names on the disk: on POSIX a file created, renamed or
// deleted in it survives a power cut only after this. NTFS keeps names in the
// order they were made, so on Windows it does nothing and returns true.
bool FlushFolder(const std::string& path);

}  // namespace platform
