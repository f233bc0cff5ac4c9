// A program the tests start and always stop again: the receiver simulator,
// Wine. The destructor ends the process (SIGTERM, then SIGKILL) and reaps it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (a path) with our environment, where "NAME=value" entries
  // of extra_env replace or add variables; its standard output comes to us,
  // its standard error goes to ours unless discarded (Wine's chatter).
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env = {},
             bool discard_errors = false);
  // The next line of its output without the line end; false at its end or
  // when none came within the seconds.
  bool ReadLine(std::string* line, double seconds);
  // Its output up to the end or the seconds, whichever is first.
  std::string ReadAll(double seconds);
  // Its exit status (128 + signal when killed); -1 when it still runs after
  // the seconds.
  int Wait(double seconds);
  // SIGTERM, up to the seconds for it to end, then SIGKILL.
  int Stop(double seconds = 5);
  // Sends text to its standard input; CloseInput ends that input.
  bool Write(const std::string& text);
  void CloseInput();
  pid_t pid() const { return pid_; }

 private:
  bool Fill(double seconds);

  pid_t pid_ = -1;
  int output_ = -1;
  int input_ = -1;
  int status_ = -1;
  std::string pending_;
};

// The receiver simulator of this build.
std::string SimulatorPath();
// Starts the simulator with its options, its line linked at the path, and
// waits up to ten seconds for the link to appear; false when it did not.
bool StartLinkedSimulator(ChildProcess& simulator, const std::string& link, const std::vector<std::string>& options);

}  // namespace testing_support
