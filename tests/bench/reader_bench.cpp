// The fix reader on a day of 1 Hz receiver output (the synthetic 24-hour
// capture, 31 MB), beside a floor that only splits the same bytes into lines
// and beside gpsbabel reading the same file into a KML track.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "gps/nmea_reader.h"
#include "tests/fakes/memory_port.h"
#include "tests/support/test_support.h"

namespace {

std::string CapturePath() {
  std::string dir = testing_support::NmeaCaptureDir();
  return dir.empty() ? std::string() : dir + "/synthetic-24h-1hz.nmea";
}

// Read once for every benchmark; empty when the capture is absent.
const std::string& Capture() {
  static const std::string bytes = testing_support::ReadFileBytes(CapturePath());
  return bytes;
}

bool SkipWithoutCapture(benchmark::State& state) {
  if (!Capture().empty()) return false;
  state.SkipWithError("synthetic-24h-1hz.nmea is absent from ../shared/nmea: nothing to read");
  return true;
}

void BM_ReadFix(benchmark::State& state) {
  if (SkipWithoutCapture(state)) return;
  int64_t fixes = 0;
  for (auto _ : state) {
    // Copying 31 MB into the port is not the reader's work.
    state.PauseTiming();
    auto port = std::make_unique<testing_support::MemoryPort>(Capture());
    state.ResumeTiming();
    std::atomic<bool> stop{false};
    port->StopWhenDrained(&stop);
    FixReader reader(stop);
    GpsFix fix;
    for (;;) {
      double latitude = 0;
      double longitude = 0;
      if (!reader.ReadFix(port.get(), fix, latitude, longitude)) {
        ++fixes;
        benchmark::DoNotOptimize(latitude);
      } else if (stop) {
        break;
      }
    }
    state.PauseTiming();
    port.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Capture().size()));
  state.counters["fixes"] = benchmark::Counter(static_cast<double>(fixes) / state.iterations());
}
BENCHMARK(BM_ReadFix)->Unit(benchmark::kMillisecond);

// The floor: finding every line end and nothing more.
void BM_SplitLines(benchmark::State& state) {
  if (SkipWithoutCapture(state)) return;
  const std::string& bytes = Capture();
  for (auto _ : state) {
    size_t lines = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
      benchmark::DoNotOptimize(std::string_view(p, eol - p));
      p = eol + 1;
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

// gpsbabel turning the same file into a KML track: the reader should be at
// least ten times as fast.
void BM_Gpsbabel(benchmark::State& state) {
  if (SkipWithoutCapture(state)) return;
  std::string command = "TZ=UTC gpsbabel -t -i nmea -f '" + CapturePath() + "' -o kml,points=0 -F /dev/null";
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    int status = std::system(command.c_str());
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (status != 0) {
      state.SkipWithError("gpsbabel failed or is not installed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Capture().size()));
}
BENCHMARK(BM_Gpsbabel)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
