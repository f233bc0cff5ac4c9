// The serial ports the system knows of, as the registry lists them.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct SerialPortEntry {
  std::wstring device;  // the value's name, e.g. \Device\Serial0
  std::wstring port;    // the value's data, e.g. COM3
};

// Every value of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in registry order, each
// read whole however long its name or data. False when the key cannot be
// opened (no such key, or a system without a registry).
bool ListSerialPorts(std::vector<SerialPortEntry>* ports);

}  // namespace platform
