// nmeacat: prints the fixes the reader takes from a receiver or a capture.
//
//   nmeacat [--fixes N] SOURCE
//
// One line per fix: time,status,latitude,longitude,speed,date; "no fix" for
// each read that found none.

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "gps/nmea_reader.h"
#include "gps/serial_connection.h"
#include "platform/serial.h"
#include "tools/nmeacat/file_port.h"

namespace {

const char kUsage[] =
    R"(Usage: nmeacat [--fixes N] SOURCE

Reads NMEA 0183 from SOURCE the way the recorder does and prints one line per
fix delivered:
  time,status,latitude,longitude,speed,date
(UTC hhmmss, A or V, signed degrees with 9 decimals, knots, ddmmyy), and
"no fix" for each read that found none (about 50 lines or 25 seconds without
a usable RMC sentence).

SOURCE is a COM port (COM3, COM12), a serial device path (POSIX), or a
capture file, which is read to its end. A port is read at 4800 baud, 8 data
bits, no parity, one stop bit until Ctrl+C.

  --fixes N   stop after N fixes
  -h, --help  show this text
)";

std::atomic<bool> stop{false};

extern "C" void OnStopSignal(int) { stop = true; }

// "COM12" is given as the device name the recorder opens for port 12.
std::string PortName(const std::string& source) {
  bool com = source.size() > 3 && (source[0] | 0x20) == 'c' && (source[1] | 0x20) == 'o' &&
             (source[2] | 0x20) == 'm' && source.find_first_not_of("0123456789", 3) == std::string::npos;
  return com ? PortDeviceName(std::atoi(source.c_str() + 3)) : source;
}

std::unique_ptr<platform::SerialPort> OpenSource(const std::string& source) {
  std::error_code error;
  if (std::filesystem::is_regular_file(source, error)) {
    auto file = std::make_unique<FilePort>(source, &stop);
    if (file->is_open()) return file;
    std::fprintf(stderr, "nmeacat: cannot read %s\n", source.c_str());
    return nullptr;
  }
  static const char* const kSteps[] = {"", "cannot open the port", "cannot get the port's settings",
                                       "cannot set the line settings"};
  platform::SerialOpenError failed = platform::SerialOpenError::kNone;
  std::string name = PortName(source);
  auto port = platform::OpenSerialPort(name, platform::LineSettings(), &failed);
  if (!port) std::fprintf(stderr, "nmeacat: %s: %s\n", name.c_str(), kSteps[static_cast<int>(failed)]);
  return port;
}

// The shortest text that reads back as the same number.
std::string Shortest(double value) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof(text), value);
  return std::string(text, result.ptr);
}

void PrintFix(const GpsFix& fix, double latitude, double longitude) {
  std::printf("%06d,%c,%.9f,%.9f,%s,%06d\n", fix.time, fix.valid ? 'A' : 'V', latitude, longitude,
              Shortest(fix.speed).c_str(), fix.date);
}

}  // namespace

int main(int argc, char** argv) {
  long limit = 0;
  std::string source;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--fixes" && i + 1 < argc) {
      limit = std::atol(argv[++i]);
    } else if (source.empty() && arg.rfind("--", 0) != 0) {
      source = arg;
    } else {
      source.clear();
      break;
    }
  }
  if (source.empty() || limit < 0) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::unique_ptr<platform::SerialPort> port = OpenSource(source);
  if (!port) return 1;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  FixReader reader(stop);
  GpsFix fix;
  long fixes = 0;
  while (!stop && (limit == 0 || fixes < limit)) {
    double latitude = 0;
    double longitude = 0;
    if (!reader.ReadFix(port.get(), fix, latitude, longitude)) {
      PrintFix(fix, latitude, longitude);
      ++fixes;
    } else if (!stop) {
      std::puts("no fix");
    }
    // Whoever reads the lines sees each fix as it comes.
    std::fflush(stdout);
  }
  return 0;
}
