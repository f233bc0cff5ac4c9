#include "tests/zip/zip_test_files.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace zip_testing {

namespace {

// A small linear congruential generator: the same bytes on every system.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  double Unit() { return Next() / 16777216.0; }  // 0 to 1

 private:
  uint32_t state_ = 12345;
};

}  // namespace

std::string TrackText(int points) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
      "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n<Document>\r\n<Placemark>\r\n"
      "<name>track</name>\r\n<LineString>\r\n<coordinates>\r\n";
  Random random;
  double longitude = 37.6184231, latitude = 55.7512443, speed = 22.4;
  double heading_east = 0.00004, heading_north = 0.00002;
  char line[64];
  for (int i = 0; i < points; ++i) {
    // Roughly a second's drive, with the heading and the speed wandering.
    heading_east += (random.Unit() - 0.5) * 0.000004;
    heading_north += (random.Unit() - 0.5) * 0.000004;
    speed += (random.Unit() - 0.5) * 1.5;
    if (speed < 0) speed = -speed;
    longitude += heading_east;
    latitude += heading_north;
    std::snprintf(line, sizeof(line), "%.7f,%.7f,%.1f\r\n", longitude, latitude, speed);
    text += line;
  }
  return text + "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n</Document>\r\n</kml>\r\n";
}

std::string NoiseBytes(size_t size) {
  Random random;
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random.Next());
  return bytes;
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

void SetLastWriteUnix(const std::string& path, int64_t unix_seconds) {
  using namespace std::chrono;
  // The file clock's epoch lies a whole number of seconds from the system clock's.
  seconds offset = round<seconds>(fs::file_time_type::clock::now().time_since_epoch()) -
                   round<seconds>(system_clock::now().time_since_epoch());
  auto since_epoch = duration_cast<fs::file_time_type::duration>(seconds(unix_seconds) + offset);
  fs::last_write_time(path, fs::file_time_type(since_epoch));
}

}  // namespace zip_testing
