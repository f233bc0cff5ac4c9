// serial_cost: what reading a receiver costs the recorder. The simulator sends
// a route at 1 Hz and at 10 Hz onto a pseudo-terminal at a 4800-baud pace
// (ten times faster for 10 Hz), and the fix reader reads it through the serial
// port as the logger's track thread does. For each rate it prints the port's
// system calls (read and poll, counted on the reading thread), the thread's
// wake-ups (voluntary context switches) and its processor time, per second and
// per minute, and the epochs lost, beside the goals for a 1 Hz receiver. The figures are for
// reading: only a failure to measure makes the exit status non-zero.
//
//   serial_cost [SECONDS PER RATE]   (default 15)
#include <poll.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gps/nmea_reader.h"
#include "platform/serial.h"
#include "tests/support/child_process.h"

// The program links with --wrap=read and --wrap=poll, so the port's calls come
// here first; only those of the reading thread are counted.
extern "C" {
ssize_t __real_read(int fd, void* buffer, size_t size);
int __real_poll(pollfd* fds, nfds_t count, int timeout);
}

namespace {

thread_local bool counting = false;
long reads = 0;
long polls = 0;

struct Cost {
  double seconds = 0;
  double cpu_seconds = 0;
  long reads = 0;
  long polls = 0;
  long wake_ups = 0;
  long fixes = 0;
};

double ThreadCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long ThreadWakeUps() {
  rusage usage;
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_nvcsw;
}

// Reads fixes until the epochs are in or stop rises. The figures cover the
// steady run from the first fix to the last, without the start's one-time costs.
void ReadFixes(platform::SerialPort* port, long epochs, const std::atomic<bool>& stop,
               std::atomic<bool>* done, Cost* cost) {
  FixReader reader(stop);
  GpsFix fix;
  double latitude = 0, longitude = 0;
  std::chrono::steady_clock::time_point start;
  double cpu = 0;
  long wake_ups = 0;
  while (!stop && cost->fixes < epochs) {
    if (reader.ReadFix(port, fix, latitude, longitude)) continue;
    if (++cost->fixes > 1) continue;
    start = std::chrono::steady_clock::now();
    cpu = ThreadCpuSeconds();
    wake_ups = ThreadWakeUps();
    counting = true;
  }
  counting = false;
  cost->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  cost->cpu_seconds = ThreadCpuSeconds() - cpu;
  cost->wake_ups = ThreadWakeUps() - wake_ups;
  *done = true;
}

// One run of the given epochs at the rate; false when the simulator or the
// port would not start. The simulator sends one epoch more: a sentence ends
// only at the next one's "$".
bool Measure(int rate, long epochs, Cost* cost) {
  testing_support::ChildProcess receiver;
  std::string path;
  if (!receiver.Start({testing_support::SimulatorPath(), "--speed", "20", "--pace", "epoch", "--speedup",
                       std::to_string(rate), "--epochs", std::to_string(epochs + 1), "--hold", "5"}) ||
      !receiver.ReadLine(&path, 10)) {
    std::fprintf(stderr, "serial_cost: the simulator did not start\n");
    return false;
  }
  platform::SerialOpenError error = platform::SerialOpenError::kNone;
  auto port = platform::OpenSerialPort(path, platform::LineSettings(), &error);
  if (!port) {
    std::fprintf(stderr, "serial_cost: cannot open %s\n", path.c_str());
    return false;
  }
  std::atomic<bool> stop{false};
  std::atomic<bool> done{false};
  reads = polls = 0;
  std::thread track(ReadFixes, port.get(), epochs, std::cref(stop), &done, cost);
  // Lost epochs would keep the reader waiting: give up a few seconds late.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(epochs / rate + 5);
  while (!done && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  stop = true;
  track.join();
  cost->reads = reads;
  cost->polls = polls;
  return true;
}

void Print(int rate, long epochs, const Cost& cost) {
  const double per_second = 1 / cost.seconds;
  std::printf(
      "%2d Hz  %5.1f s  %4ld lost  %6.1f reads/s  %6.1f polls/s  %6.1f calls/s  %6.1f wake-ups/s  %7.4f %%"
      "  %7.0f calls/min  %8.4f CPU s/min\n",
      rate, cost.seconds, epochs - cost.fixes, cost.reads * per_second, cost.polls * per_second,
      (cost.reads + cost.polls) * per_second, cost.wake_ups * per_second, 100 * cost.cpu_seconds * per_second,
      60 * (cost.reads + cost.polls) * per_second, 60 * cost.cpu_seconds * per_second);
}

}  // namespace

extern "C" {
ssize_t __wrap_read(int fd, void* buffer, size_t size) {
  if (counting) ++reads;
  return __real_read(fd, buffer, size);
}

int __wrap_poll(pollfd* fds, nfds_t count, int timeout) {
  if (counting) ++polls;
  return __real_poll(fds, count, timeout);
}
}

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 15;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: serial_cost [SECONDS PER RATE]\n");
    return 2;
  }
  std::printf("Reading a receiver through a pseudo-terminal, %.0f s per rate (CPU in %% of one core):\n",
              seconds);
  for (int rate : {1, 10}) {
    const long epochs = std::lround(seconds * rate) + 1;
    Cost cost;
    if (!Measure(rate, epochs, &cost)) return 1;
    Print(rate, epochs, cost);
  }
  std::printf(
      "Goal at 1 Hz: at most 5 reads/s, 10 calls/s, 0.05 %% of a core; at 10 Hz a fix for every epoch.\n");
  return 0;
}
