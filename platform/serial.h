// A serial port opened for reading a GPS receiver.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// Line settings as the DCB takes them: parity 0 is none, stop bits 0 is one.
struct LineSettings {
  int baud_rate = 4800;
  int byte_size = 8;
  int parity = 0;
  int stop_bits = 0;
};

// Which step of opening failed.
enum class SerialOpenError { kNone, kOpen, kGetState, kSetState };

// An open port. Reads follow the Windows time-outs the port is opened with:
// a read of k bytes returns when k bytes came, when more than 100 ms pass
// between two bytes, or 500 ms after it began, with what arrived (maybe
// nothing), and never more than 512 bytes. To spare the processor a wake-up
// per byte, the port takes the line in bursts: one system read takes what has
// come, and reads are served from it until it is used up. So a byte may reach
// the reader late: once the line pauses (Windows) or up to a quarter of a
// second after it came (POSIX), always within the 500 ms. One owner opens,
// reads and destroys a port (destroying it gives the device up); only
// Interrupt may come from another thread, and only while the port lives.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Reads up to size bytes into buffer; returns the count (0 on time-out,
  // error or an interrupted port).
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Whether the last Read that returned 0 did so because the line failed (the
  // device is gone: a hang-up, an unplugged adapter) or the port was
  // interrupted, rather than because the line was silent. A failed read still
  // lasts the time-out, so a caller that reads on does not spin; only an
  // interrupted port's reads return at once.
  virtual bool ReadFailed() const = 0;
  // Ends a read waiting in another thread promptly; every later read returns
  // 0 at once and counts as failed. The device stays held until the port is
  // destroyed.
  virtual void Interrupt() = 0;
};

// Opens a port by its Windows name ("COM3", or "\\.\COM12" for 9 and above)
// with 2048-byte queues, the line settings and the read time-outs above; the
// other line settings keep what the driver reports. On POSIX the name COMn
// maps to the link "comn" in the program's folder when it exists, else to
// /dev/ttyS(n-1); any other name is taken as a device path. Returns null and
// sets *error to the failed step on failure.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name, const LineSettings& settings,
                                           SerialOpenError* error);

}  // namespace platform
