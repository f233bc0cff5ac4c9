#include "platform/serial_ports.h"

namespace platform {

// There is no registry here; the headless driver names its port itself.
bool ListSerialPorts(std::vector<SerialPortEntry>* ports) {
  ports->clear();
  return false;
}

}  // namespace platform
