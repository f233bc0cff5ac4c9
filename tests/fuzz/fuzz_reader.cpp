// The fix reader over arbitrary receiver output. Besides the sanitizers'
// findings it checks that neither the bursts in which bytes arrive nor a
// pause of the receiver changes a fix, that every byte is read, and that
// field numbers read like the C library's.
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gps/nmea_reader.h"
#include "base/numbers.h"
#include "tests/fakes/memory_port.h"

namespace {

struct Delivered {
  GpsFix fix;
  double latitude;
  double longitude;

  bool operator==(const Delivered& other) const {
    return fix.time == other.fix.time && fix.date == other.fix.date && fix.speed == other.fix.speed &&
           fix.valid == other.fix.valid && fix.altitude == other.fix.altitude &&
           fix.satellites == other.fix.satellites && fix.usedsatellites == other.fix.usedsatellites &&
           latitude == other.latitude && longitude == other.longitude;
  }
};

std::vector<Delivered> ReadAll(const std::string& bytes, testing_support::Chunking chunking, uint32_t seed,
                               size_t pause_at, int pause_reads) {
  std::atomic<bool> stop{false};
  testing_support::MemoryPort port(bytes, chunking, seed);
  port.PauseBefore(pause_at, pause_reads);
  port.StopWhenDrained(&stop);
  FixReader reader(stop);
  std::vector<Delivered> fixes;
  GpsFix fix;
  for (;;) {
    double latitude = 0;
    double longitude = 0;
    if (!reader.ReadFix(&port, fix, latitude, longitude)) {
      fixes.push_back({fix, latitude, longitude});
    } else if (stop) {
      break;
    }
  }
  if (!port.Drained()) std::abort();
  return fixes;
}

// DecimalValue against strtod, where strtod reads decimal text in range.
void CheckDecimalValue(const std::string& bytes) {
  std::string text(bytes.c_str());  // strtod stops at a NUL byte
  size_t start = text.find_first_not_of(" \t\n\v\f\r+-");
  if (start == std::string::npos || (text[start] != '.' && (text[start] < '0' || text[start] > '9'))) return;
  if (text.find_first_of("xX") != std::string::npos) return;
  errno = 0;
  double expected = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE || !std::isfinite(expected)) return;
  if (base::LeadingDecimal(text) != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  uint32_t seed = size > 0 ? data[0] * 257u + data[size - 1] : 1;
  std::vector<Delivered> steady = ReadAll(bytes, testing_support::Chunking::kWhole, seed, 0, 0);
  size_t pause_at = size > 0 ? seed % size : 0;
  if (ReadAll(bytes, testing_support::Chunking::kRandom, seed, pause_at, 3) != steady) std::abort();
  CheckDecimalValue(bytes.substr(0, 64));
  return 0;
}
