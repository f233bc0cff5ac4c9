// The KML point step and the check of 24-hour tracks (one fix a second: 86,400
// points a day), each beside its floor.
//
// glibc serves blocks above 32 MiB by fresh mappings, so at 16 days every read
// pays its page faults again: the check and its floor both step up there. Run
// with MALLOC_MMAP_THRESHOLD_=200000000 to see the growth without that step.
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <string>

#include "platform/file.h"
#include "platform/file_layer.h"
#include "tests/support/test_support.h"
#include "track/track_check.h"
#include "track/track_file.h"

namespace {

constexpr int kPointsPerDay = 86400;
// About 10 m north per fix.
constexpr double kStep = 0.00009;

testing_support::ScratchDir& Scratch() {
  static testing_support::ScratchDir scratch;
  return scratch;
}

// Every fix 10 m from the last with a thinning distance of 5 m: each is
// written, straight to the system. With flush_every > 0 the flush to the disk
// is due at every fix (points at 1 Hz find it due at every tenth).
void BM_PointStep(benchmark::State& state) {
  KmlTrackFile file;
  file.Begin(Scratch().File("step.kml"));
  file.OpenSegment();
  TrackPosition last;
  double latitude = 43.1155;
  KmlTrackFile::Clock::time_point now;
  for (auto _ : state) {
    latitude += kStep;
    benchmark::DoNotOptimize(file.PointStep(latitude, 131.885612, 12.5, 5, last));
    if (state.range(0) > 0) file.FlushWhenDue(now += KmlTrackFile::kFlushInterval);
  }
  file.CloseSegment();
  file.End();
}
BENCHMARK(BM_PointStep)->Arg(0)->Arg(1);

// Floor of the flushed step: a ready line written and flushed to the disk.
void BM_LineFlushedToDiskFloor(benchmark::State& state) {
  std::unique_ptr<platform::File> out = platform::CreateFileForWrite(Scratch().File("disk.txt"));
  const std::string line = "131.885612,43.1155123,12.5\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(out->Write(line.data(), line.size()) && out->Flush());
}
BENCHMARK(BM_LineFlushedToDiskFloor);

// Fixes that the thinning drops: the distance alone.
void BM_PointStepThinnedOut(benchmark::State& state) {
  KmlTrackFile file;
  file.Begin(Scratch().File("thinned.kml"));
  file.OpenSegment();
  TrackPosition last{43.1155, 131.885612};
  double latitude = 43.1155;
  for (auto _ : state) {
    latitude += 1e-9;
    benchmark::DoNotOptimize(file.PointStep(latitude, 131.885612, 12.5, 1000000, last));
  }
  file.End();
}
BENCHMARK(BM_PointStepThinnedOut);

// Floor of the point step: a ready line written and flushed.
void BM_FlushedLineFloor(benchmark::State& state) {
  std::ofstream out(Scratch().File("floor.txt"), std::ios::binary);
  for (auto _ : state) {
    out << "131.885612,43.1155123,12.5\r\n";
    out.flush();
  }
}
BENCHMARK(BM_FlushedLineFloor);

// A finished track of `days` times 86,400 points in one segment an hour,
// written once per size by the track writer itself.
const std::string& DayTrack(int days) {
  static std::map<int, std::string> paths;
  std::string& path = paths[days];
  if (!path.empty()) return path;
  path = Scratch().File("day" + std::to_string(days) + ".kml");
  KmlTrackFile file;
  file.Begin(path);
  TrackPosition last;
  double latitude = 43.1155;
  for (int i = 0; i < days * kPointsPerDay; ++i) {
    if (i % 3600 == 0) {
      if (i > 0) file.CloseSegment();
      file.OpenSegment();
    }
    latitude += kStep / 40;  // 16 days stay within 35 degrees of latitude
    file.PointStep(latitude, 131.885612, 12.5, 0, last);
  }
  file.CloseSegment();
  file.End();
  return path;
}

// One, four and sixteen days, timed in milliseconds, expected to grow linearly.
void DaySizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

void SetSize(benchmark::State& state, const std::string& path) {
  auto bytes = static_cast<int64_t>(platform::ReadWholeFile(path).size());
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetComplexityN(state.range(0) * kPointsPerDay);
}

void BM_CheckTrackFile(benchmark::State& state) {
  const std::string& path = DayTrack(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CheckTrackFile(path));
  SetSize(state, path);
}
BENCHMARK(BM_CheckTrackFile)->Apply(DaySizes);

// A track cut inside its last point line: the check rewrites the whole file.
void BM_CheckCutTrackFile(benchmark::State& state) {
  const std::string& whole = DayTrack(static_cast<int>(state.range(0)));
  std::string text = platform::ReadWholeFile(whole);
  std::string cut = text.substr(0, text.rfind("</coordinates>") - 5);
  std::string path = Scratch().File("cut.kml");
  for (auto _ : state) {
    state.PauseTiming();
    testing_support::WriteFileBytes(path, cut);
    state.ResumeTiming();
    benchmark::DoNotOptimize(CheckTrackFile(path));
  }
  SetSize(state, whole);
}
BENCHMARK(BM_CheckCutTrackFile)->Apply(DaySizes);

// Floor of the check: reading the file, which it cannot avoid.
void BM_ReadWholeFileFloor(benchmark::State& state) {
  const std::string& path = DayTrack(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(platform::ReadWholeFile(path));
  SetSize(state, path);
}
BENCHMARK(BM_ReadWholeFileFloor)->Apply(DaySizes);

}  // namespace
