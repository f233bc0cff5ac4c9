// Where the simulator's bytes go: a pseudo-terminal it creates, a device or
// file, or standard output.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace sim {

class Output {
 public:
  virtual ~Output() = default;
  // Writes everything; false when the stop flag rose or the write failed.
  virtual bool Write(const char* data, size_t size) = 0;
  // Called at the end of the data: keeps the line open until the reader has
  // taken what was sent, at most the given seconds.
  virtual void Hold(double seconds) = 0;
};

// The stop flag the signal handlers raise; every wait of the simulator ends
// when it rises.
extern std::atomic<bool> stop_requested;
void InstallStopHandlers();

// Sleeps until the steady-clock time in seconds (see Now) or the stop flag.
void SleepUntil(double when);
double Now();

// A new pseudo-terminal in raw mode; the reader's side is *path, also linked
// from link when that is not empty (the link goes with the object).
std::unique_ptr<Output> OpenPseudoTerminal(const std::string& link, std::string* path);

// A device (set to raw 4800 8N1 when it is a terminal) or a file; "-" is
// standard output.
std::unique_ptr<Output> OpenDevice(const std::string& path);

}  // namespace sim
