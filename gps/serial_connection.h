// Opening the receiver's COM port for the logger.
#pragma once

#include <memory>
#include <string>

#include "eventlog/event_log.h"
#include "platform/serial.h"

// The port number of a settings COM text: the digits right after its first
// three characters ("COM12" gives 12); no digits give 0.
int PortNumberFromText(const std::wstring& com_text);

// The device name of port n: "COMn" below 9, "\\.\COMn" from 9 on.
std::string PortDeviceName(int number);

// Opens port n with the line settings (DCB codes: parity 0 none, stop bits 0
// one). On failure appends the one line that names the failed step to the log
// and returns null.
std::unique_ptr<platform::SerialPort> OpenPort(EventLog& log, int number, int baud, int byte_size, int parity,
                                               int stop_bits);
