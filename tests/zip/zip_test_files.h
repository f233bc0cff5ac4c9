// Source files for the ZIP writer's tests and benchmark.
#pragma once

#include <cstdint>
#include <string>

namespace zip_testing {

// A track file as the recorder writes it: the KML header, then one
// "longitude,latitude,speed" line per point of a receiver moving about Moscow.
std::string TrackText(int points);

// Bytes that deflate cannot shrink.
std::string NoiseBytes(size_t size);

// Takes every write permission from a file (the read-only attribute on Windows).
void MakeReadOnly(const std::string& path);

// Sets a file's last write time to seconds since 1970-01-01 00:00 UTC.
void SetLastWriteUnix(const std::string& path, int64_t unix_seconds);

}  // namespace zip_testing
