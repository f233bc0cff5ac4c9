#include "gps/serial_connection.h"

#include <climits>

int PortNumberFromText(const std::wstring& com_text) {
  int number = 0;
  for (size_t i = 3; i < com_text.size() && com_text[i] >= L'0' && com_text[i] <= L'9'; ++i) {
    int digit = com_text[i] - L'0';
    // No such port exists; stay in range rather than overflow.
    if (number > (INT_MAX - digit) / 10) return INT_MAX;
    number = number * 10 + digit;
  }
  return number;
}

std::string PortDeviceName(int number) {
  std::string name = "COM" + std::to_string(number);
  return number < 9 ? name : "\\\\.\\" + name;
}

std::unique_ptr<platform::SerialPort> OpenPort(EventLog& log, int number, int baud, int byte_size, int parity,
                                               int stop_bits) {
  platform::LineSettings settings;
  settings.baud_rate = baud;
  settings.byte_size = byte_size;
  settings.parity = parity;
  settings.stop_bits = stop_bits;
  platform::SerialOpenError error = platform::SerialOpenError::kNone;
  std::unique_ptr<platform::SerialPort> port = platform::OpenSerialPort(PortDeviceName(number), settings, &error);
  switch (error) {
    case platform::SerialOpenError::kNone:
      break;
    case platform::SerialOpenError::kOpen:
      log.AddLine(L"Ошибка: Невозможно открыть RS232 порт.");
      break;
    case platform::SerialOpenError::kGetState:
      log.AddLine(L"Ошибка: Невозможно получить системные коммуникационные настройки.");
      break;
    case platform::SerialOpenError::kSetState:
      log.AddLine(L"Ошибка: Проблемы в уснановках коммуникациооного устройства.");
      break;
  }
  return port;
}
