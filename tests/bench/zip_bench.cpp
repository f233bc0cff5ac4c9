// The ZIP writer packing a 24-hour track beside its floor: raw zlib deflate of
// the same bytes in memory at the same setting (level 8, raw stream, 16 KiB
// chunks). Goal: at most 1.1 times the floor's time, the same compressed size.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/zip/zip_test_files.h"
#include "zip/zip_writer.h"

namespace {

constexpr int kPointsPerDay = 86400;  // one point a second
constexpr size_t kChunk = 16384;

const std::string& DayTrack() {
  static const std::string track = zip_testing::TrackText(kPointsPerDay);
  return track;
}

void BM_ZipWriterDayTrack(benchmark::State& state) {
  testing_support::ScratchDir dir;
  testing_support::WriteFileBytes(dir.File("track.kml"), DayTrack());
  std::string source = dir.File("track.kml");
  std::string archive = dir.File("track0.zip");
  for (auto _ : state) {
    CZipWriter writer;
    if (writer.Create(archive) != ZipResult::kOk || writer.AddFile("track.kml", source) != ZipResult::kOk ||
        writer.Close() != ZipResult::kOk) {
      state.SkipWithError("the writer failed");
      return;
    }
  }
  // Entry data is what remains without the headers and the end record.
  const auto headers = (30 + 9 + 17) + (46 + 9 + 9) + 22;
  state.counters["compressed"] =
      static_cast<double>(std::filesystem::file_size(dir.File("track0.zip")) - headers);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * DayTrack().size()));
}
BENCHMARK(BM_ZipWriterDayTrack)->Unit(benchmark::kMillisecond);

void BM_RawDeflateFloor(benchmark::State& state) {
  const std::string& track = DayTrack();
  std::vector<unsigned char> out(kChunk);
  size_t compressed = 0;
  for (auto _ : state) {
    z_stream stream{};
    deflateInit2(&stream, 8, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    compressed = 0;
    for (size_t at = 0;; at += kChunk) {
      size_t count = at < track.size() ? std::min(kChunk, track.size() - at) : 0;
      int flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(track.data() + (count ? at : 0)));
      stream.avail_in = static_cast<uInt>(count);
      do {
        stream.next_out = out.data();
        stream.avail_out = kChunk;
        deflate(&stream, flush);
        compressed += kChunk - stream.avail_out;
      } while (stream.avail_out == 0);
      if (flush == Z_FINISH) break;
    }
    deflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["compressed"] = static_cast<double>(compressed);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * track.size()));
}
BENCHMARK(BM_RawDeflateFloor)->Unit(benchmark::kMillisecond);

}  // namespace
