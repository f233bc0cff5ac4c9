// The program's entry: the common controls, one instance per program folder,
// and the main window run until it ends.
#pragma once

#include <memory>

#include "platform/single_instance.h"

// One running Rovelog.exe per program folder: two would share one Tracks
// folder and one COM port and upload the same archives twice.
class SingleInstance {
 public:
  SingleInstance();
  // True when no other Rovelog.exe of this folder runs; this one then holds the folder.
  bool first() const { return first_; }
  // Brings the main window of the other instance of this folder to the
  // front, out of the notification area if need be; false when it has none.
  static bool HandOver();

 private:
  bool first_ = false;
  std::unique_ptr<platform::ProgramFolderLock> lock_;
};

class CRovelogApp {
 public:
  // Runs the program; its exit code.
  int Run();
};
