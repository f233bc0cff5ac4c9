// What lets a second start from one program folder find the first: a lock
// held per program folder, and whether another process runs from ours.
// Windows only: the window is the one that keeps to one instance.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// Held while the object lives.
class ProgramFolderLock {
 public:
  virtual ~ProgramFolderLock() = default;
};

// Takes the lock of the running executable's folder, a named mutex (folders
// compare without regard to case). *first is false when another process of
// the same folder holds it already, or when it cannot be made.
std::unique_ptr<ProgramFolderLock> LockProgramFolder(bool* first);

// True when the process with the given id runs an executable from the running
// executable's folder, without regard to case; false when it cannot be asked.
bool RunsFromOurProgramFolder(uint32_t process_id);

}  // namespace platform
