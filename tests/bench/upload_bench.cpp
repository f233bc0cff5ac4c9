// The upload request for archives of 1 MB and 10 MB, beside its floor: the
// plain Base64 encoding of the same bytes, which the request cannot beat.
#include <benchmark/benchmark.h>

#include <random>

#include "tests/upload/pilot_account.h"
#include "upload/base64.h"
#include "upload/upload_protocol.h"

namespace {

std::string RandomArchive(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

void BM_BuildUploadRequest(benchmark::State& state) {
  std::string archive = RandomArchive(static_cast<size_t>(state.range(0)));
  UploadParams params = testing_support::PilotParams();
  for (auto _ : state) {
    std::string request = BuildUploadRequest(params, "127.0.0.1:8080", "track7.zip", archive);
    benchmark::DoNotOptimize(request.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Base64Floor(benchmark::State& state) {
  std::string archive = RandomArchive(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::string text;
    AppendBase64(archive, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_BuildUploadRequest)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Floor)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
