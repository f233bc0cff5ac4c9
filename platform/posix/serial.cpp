#include "platform/serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/program_dir.h"
#include "base/read_buffer.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The read time-outs the Windows backend sets on the port.
constexpr std::chrono::milliseconds kIntervalTimeout(100);
constexpr std::chrono::milliseconds kTotalTimeout(500);
// How long a busy line fills the driver's queue between two reads of it: the
// reader gets a quarter of a second of sentences per system call, and bytes
// reach it at most that late. A 1 Hz receiver costs about four reads a second.
constexpr std::chrono::milliseconds kReadPeriod(250);

// One owner for a file descriptor.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// "COM3" or "\\.\COM12" gives 3 or 12; any other name gives -1.
int ComNumber(const std::string& name) {
  std::string rest = name.rfind("\\\\.\\", 0) == 0 ? name.substr(4) : name;
  if (rest.size() < 4) return -1;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(rest[i])) != "COM"[i]) return -1;
  }
  int number = 0;
  for (size_t i = 3; i < rest.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(rest[i])) || number > 99999) return -1;
    number = number * 10 + (rest[i] - '0');
  }
  return number;
}

// COMn is the link "comn" in the program's folder (how tests and users map a
// port to a pseudo-terminal or a USB adapter), else the n-th 8250 port.
std::string DevicePath(const std::string& name) {
  int number = ComNumber(name);
  if (number < 0) return name;
  std::string link = ProgramFolder() + "/com" + std::to_string(number);
  struct stat info;
  if (lstat(link.c_str(), &info) == 0) return link;
  return "/dev/ttyS" + std::to_string(number - 1);
}

bool SpeedFor(int baud_rate, speed_t* speed) {
  static const struct {
    int rate;
    speed_t speed;
  } kSpeeds[] = {{110, B110},       {300, B300},       {600, B600},       {1200, B1200},    {2400, B2400},
                 {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},  {57600, B57600},
                 {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
  for (const auto& entry : kSpeeds) {
    if (entry.rate == baud_rate) {
      *speed = entry.speed;
      return true;
    }
  }
  return false;
}

// Raw mode, the POSIX counterpart of the Windows driver's byte stream (no line
// editing, no echo, no CR/LF translation), at the given line settings. Parity
// and stop bits take the DCB's codes.
bool ApplyLineSettings(const LineSettings& settings, termios* tty) {
  speed_t speed;
  if (!SpeedFor(settings.baud_rate, &speed) || settings.byte_size < 5 || settings.byte_size > 8 ||
      settings.parity < 0 || settings.parity > 4 || settings.stop_bits < 0 || settings.stop_bits > 2) {
    return false;
  }
  static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  cfmakeraw(tty);
  tty->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
  tty->c_cflag |= CLOCAL | CREAD | kSizes[settings.byte_size - 5];
  static const tcflag_t kParity[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR, PARENB | CMSPAR};
  tty->c_cflag |= kParity[settings.parity];
  if (settings.stop_bits != 0) tty->c_cflag |= CSTOPB;
  tty->c_cc[VMIN] = 0;
  tty->c_cc[VTIME] = 0;
  return cfsetispeed(tty, speed) == 0 && cfsetospeed(tty, speed) == 0;
}

// tcsetattr succeeds when any part of the change took; check the parts we need.
bool SettingsTook(int fd, const termios& wanted) {
  termios now;
  const tcflag_t kLine = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
  return tcgetattr(fd, &now) == 0 && (now.c_cflag & kLine) == (wanted.c_cflag & kLine) &&
         cfgetispeed(&now) == cfgetispeed(&wanted) && cfgetospeed(&now) == cfgetospeed(&wanted);
}

class PosixSerialPort : public SerialPort {
 public:
  PosixSerialPort(Fd device, Fd wake_read, Fd wake_write)
      : device_(std::move(device)), wake_read_(std::move(wake_read)), wake_write_(std::move(wake_write)) {}
  ~PosixSerialPort() override { GiveUpDevice(); }

  size_t Read(void* buffer, size_t size) override {
    if (size == 0) return 0;
    if (interrupted_) {
      failed_ = true;
      return 0;
    }
    Filled filled = buffered_.size() >= size ? Filled::kDone : Fill(std::min(size, base::ReadBuffer::kCapacity));
    size_t got = filled == Filled::kInterrupted ? 0 : buffered_.Take(buffer, size);
    failed_ = got == 0 && filled != Filled::kDone;
    return got;
  }

  bool ReadFailed() const override { return failed_; }

  void Interrupt() override {
    interrupted_ = true;
    Wake();
  }

 private:
  enum class Wait { kReady, kTimedOut, kInterrupted, kGone };
  // How filling the buffer ended: at its size or a time-out, by
  // Interrupt, or with the device gone.
  enum class Filled { kDone, kInterrupted, kGone };

  // Reads the device until the buffer holds size bytes, the line pauses for
  // the interval time-out after a byte, or the total time-out has passed.
  Filled Fill(size_t size) {
    const Clock::time_point deadline = Clock::now() + kTotalTimeout;
    for (;;) {
      if (WaitForWake(std::min(next_read_, deadline))) return Filled::kInterrupted;
      if (!ReadDevice()) return Gone(deadline);
      if (buffered_.size() >= size || Clock::now() >= deadline) return Filled::kDone;
      // Before the first byte the wait may last the whole read; after one,
      // only as long as the line may pause.
      bool waiting_for_first = buffered_.size() == 0;
      Clock::time_point limit =
          waiting_for_first ? deadline : std::min(deadline, Clock::now() + kIntervalTimeout);
      switch (WaitForDevice(limit)) {
        case Wait::kReady:
          // A quiet line woke: let the rest of the burst come before reading it.
          if (waiting_for_first) next_read_ = Clock::now() + kReadPeriod;
          break;
        case Wait::kTimedOut:
          return Filled::kDone;
        case Wait::kInterrupted:
          return Filled::kInterrupted;
        case Wait::kGone:
          return Gone(deadline);
      }
    }
  }

  // Sleeps out the time-out like a silent port rather than spin on a dead
  // descriptor.
  Filled Gone(Clock::time_point deadline) {
    return WaitForWake(deadline) ? Filled::kInterrupted : Filled::kGone;
  }

  // One read of whatever the driver holds, as much as the buffer takes; false
  // when the device is gone (hang-up, error).
  bool ReadDevice() {
    size_t free = 0;
    char* space = buffered_.Space(&free);
    ssize_t count;
    do {
      count = read(device_.get(), space, free);
    } while (count < 0 && errno == EINTR);
    // A read that filled the buffer left more behind, so the next one goes at once.
    bool filled = count > 0 && static_cast<size_t>(count) == free;
    next_read_ = Clock::now() + (filled ? Clock::duration::zero() : Clock::duration(kReadPeriod));
    if (count > 0) buffered_.Commit(static_cast<size_t>(count));
    // With no minimum count and no timer set, a raw line gives 0 when empty.
    return count >= 0 || errno == EAGAIN;
  }

  Wait WaitForDevice(Clock::time_point until) {
    for (;;) {
      pollfd fds[2] = {{device_.get(), POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
      int ready = poll(fds, 2, std::max(0, MillisecondsUntil(until)));
      if (ready < 0 && errno == EINTR) continue;
      if (fds[1].revents != 0) return Wait::kInterrupted;
      if (ready == 0) return Wait::kTimedOut;
      // A hung-up tty (its other side closed, its adapter unplugged) also
      // polls readable, and its reads give 0 as an empty line's do.
      if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return Wait::kGone;
      return ready > 0 && (fds[0].revents & POLLIN) != 0 ? Wait::kReady : Wait::kGone;
    }
  }

  // True when Interrupt woke us before the time.
  bool WaitForWake(Clock::time_point until) {
    for (;;) {
      int wait = MillisecondsUntil(until);
      if (wait <= 0) return false;
      pollfd wake = {wake_read_.get(), POLLIN, 0};
      int ready = poll(&wake, 1, wait);
      if (ready > 0) return true;
      if (ready < 0 && errno != EINTR) return false;
    }
  }

  static int MillisecondsUntil(Clock::time_point until) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    return static_cast<int>(left.count());
  }

  // The wake pipe is never drained: it stays readable, so every wait ends.
  void Wake() {
    char byte = 1;
    ssize_t written = write(wake_write_.get(), &byte, 1);
    (void)written;
  }

  // The tty's exclusive mode outlives our descriptor while the other side
  // stays open: clear it, so the device can be opened again at once.
  void GiveUpDevice() { ioctl(device_.get(), TIOCNXCL); }

  Fd device_;
  Fd wake_read_;
  Fd wake_write_;
  base::ReadBuffer buffered_;
  // The earliest time for the next read of the device.
  Clock::time_point next_read_;
  bool failed_ = false;
  std::atomic<bool> interrupted_{false};
};

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name, const LineSettings& settings,
                                           SerialOpenError* error) {
  *error = SerialOpenError::kOpen;
  Fd device(open(DevicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  // No sharing, as on Windows: the lock keeps out every other opener, root too.
  if (device.get() < 0 || flock(device.get(), LOCK_EX | LOCK_NB) != 0) return nullptr;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  Fd wake_read(wake[0]);
  Fd wake_write(wake[1]);
  termios tty;
  if (tcgetattr(device.get(), &tty) != 0) {
    *error = SerialOpenError::kGetState;
    return nullptr;
  }
  if (!ApplyLineSettings(settings, &tty) || tcsetattr(device.get(), TCSANOW, &tty) != 0 ||
      !SettingsTook(device.get(), tty)) {
    *error = SerialOpenError::kSetState;
    return nullptr;
  }
  // Programs that do not take the lock still meet the tty's own exclusive mode.
  ioctl(device.get(), TIOCEXCL);
  *error = SerialOpenError::kNone;
  return std::make_unique<PosixSerialPort>(std::move(device), std::move(wake_read), std::move(wake_write));
}

}  // namespace platform
