#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <thread>

extern char** environ;

namespace testing_support {

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ChildProcess::~ChildProcess() {
  CloseInput();
  Stop();
  if (output_ >= 0) close(output_);
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env,
                         bool discard_errors) {
  int pipe_ends[2];
  int input_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) return false;
  if (pipe2(input_ends, O_CLOEXEC) != 0) return false;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // Our entries replace inherited ones of the same name.
  std::vector<char*> env;
  for (const std::string& entry : extra_env) env.push_back(const_cast<char*>(entry.c_str()));
  for (char** entry = environ; *entry; ++entry) {
    std::string name(*entry, std::strcspn(*entry, "="));
    bool replaced = std::any_of(extra_env.begin(), extra_env.end(),
                                [&](const std::string& ours) { return ours.rfind(name + "=", 0) == 0; });
    if (!replaced) env.push_back(*entry);
  }
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, input_ends[0], STDIN_FILENO);
  if (discard_errors) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  int result = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  close(input_ends[0]);
  output_ = pipe_ends[0];
  input_ = input_ends[1];
  if (result != 0) pid_ = -1;
  return result == 0;
}

// Adds what comes within the seconds to pending_; false at the end of output.
bool ChildProcess::Fill(double seconds) {
  pollfd ready = {output_, POLLIN, 0};
  if (poll(&ready, 1, static_cast<int>(seconds * 1000)) <= 0) return true;
  char buffer[4096];
  ssize_t count = read(output_, buffer, sizeof(buffer));
  if (count <= 0) return false;
  pending_.append(buffer, static_cast<size_t>(count));
  return true;
}

bool ChildProcess::ReadLine(std::string* line, double seconds) {
  const double end = Now() + seconds;
  size_t at;
  while ((at = pending_.find('\n')) == std::string::npos) {
    if (Now() >= end || !Fill(end - Now())) return false;
  }
  *line = pending_.substr(0, at);
  pending_.erase(0, at + 1);
  return true;
}

std::string ChildProcess::ReadAll(double seconds) {
  const double end = Now() + seconds;
  while (Now() < end && Fill(end - Now())) {
  }
  std::string all;
  all.swap(pending_);
  return all;
}

int ChildProcess::Wait(double seconds) {
  const double end = Now() + seconds;
  while (pid_ > 0) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR)) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pid_ = -1;
      break;
    }
    if (Now() >= end) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status_;
}

int ChildProcess::Stop(double seconds) {
  if (pid_ <= 0) return status_;
  kill(pid_, SIGTERM);
  if (Wait(seconds) >= 0) return status_;
  kill(pid_, SIGKILL);
  return Wait(seconds);
}

bool ChildProcess::Write(const std::string& text) {
  signal(SIGPIPE, SIG_IGN);  // a child that is gone must not end the test
  size_t done = 0;
  while (input_ >= 0 && done < text.size()) {
    ssize_t count = write(input_, text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<size_t>(count);
  }
  return done == text.size();
}

void ChildProcess::CloseInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

std::string SimulatorPath() { return std::string(ROVELOG_BINARY_DIR) + "/tools/nmea-sim"; }

bool StartLinkedSimulator(ChildProcess& simulator, const std::string& link, const std::vector<std::string>& options) {
  std::vector<std::string> argv = {SimulatorPath(), "--link", link};
  argv.insert(argv.end(), options.begin(), options.end());
  if (!simulator.Start(argv)) return false;
  for (int i = 0; i < 500; ++i) {
    if (access(link.c_str(), F_OK) == 0) return true;
    usleep(20000);
  }
  return false;
}

}  // namespace testing_support
