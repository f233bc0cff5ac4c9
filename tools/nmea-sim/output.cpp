#include "tools/nmea-sim/output.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

namespace sim {

std::atomic<bool> stop_requested{false};

namespace {

void OnStopSignal(int) { stop_requested = true; }

// A receiver's line: raw bytes at 4800 baud, 8 data bits, no parity, one stop bit.
void MakeRaw(int fd) {
  termios tty;
  if (tcgetattr(fd, &tty) != 0) return;
  cfmakeraw(&tty);
  tty.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&tty, B4800);
  cfsetospeed(&tty, B4800);
  tcsetattr(fd, TCSANOW, &tty);
}

class FdOutput : public Output {
 public:
  FdOutput(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdOutput() override {
    if (owned_) close(fd_);
  }

  bool Write(const char* data, size_t size) override {
    while (size > 0) {
      if (stop_requested) return false;
      ssize_t written = write(fd_, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      size -= static_cast<size_t>(written);
    }
    return true;
  }

  void Hold(double) override {
    if (isatty(fd_)) tcdrain(fd_);
  }

 private:
  int fd_;
  bool owned_;
};

class PseudoTerminal : public Output {
 public:
  PseudoTerminal(int master, int slave, std::string link)
      : master_(master, true), slave_(slave), link_(std::move(link)) {}
  ~PseudoTerminal() override {
    if (!link_.empty()) unlink(link_.c_str());
    close(slave_);
  }

  bool Write(const char* data, size_t size) override { return master_.Write(data, size); }

  // Our own descriptor of the reader's side shows how much is still unread.
  void Hold(double seconds) override {
    const double end = Now() + seconds;
    double empty_since = -1;
    while (!stop_requested && Now() < end) {
      int unread = 0;
      if (ioctl(slave_, FIONREAD, &unread) != 0) return;
      if (unread > 0) {
        empty_since = -1;
      } else if (empty_since < 0) {
        empty_since = Now();
      } else if (Now() - empty_since > 0.3) {
        return;
      }
      SleepUntil(std::fmin(end, Now() + 0.05));
    }
  }

 private:
  FdOutput master_;
  int slave_;  // kept open so the line stays up between readers
  std::string link_;
};

}  // namespace

void InstallStopHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked write or sleep ends at once
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void SleepUntil(double when) {
  timespec until;
  until.tv_sec = static_cast<time_t>(when);
  until.tv_nsec = static_cast<long>((when - static_cast<double>(until.tv_sec)) * 1e9);
  while (!stop_requested && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

std::unique_ptr<Output> OpenPseudoTerminal(const std::string& link, std::string* path) {
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return nullptr;
  const char* name = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : nullptr;
  int slave = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (slave < 0) {
    close(master);
    return nullptr;
  }
  *path = name;
  // Raw before the first byte: a line discipline in canonical mode would turn
  // CR into LF and echo everything back.
  MakeRaw(slave);
  if (!link.empty()) {
    struct stat info;
    if (lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) unlink(link.c_str());
    if (symlink(name, link.c_str()) != 0) {
      close(slave);
      close(master);
      return nullptr;
    }
  }
  return std::make_unique<PseudoTerminal>(master, slave, link);
}

std::unique_ptr<Output> OpenDevice(const std::string& path) {
  if (path == "-") return std::make_unique<FdOutput>(STDOUT_FILENO, false);
  int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  if (isatty(fd)) {
    MakeRaw(fd);
  } else {
    if (ftruncate(fd, 0) != 0 && errno != EINVAL) {
      close(fd);
      return nullptr;
    }
  }
  return std::make_unique<FdOutput>(fd, true);
}

}  // namespace sim
