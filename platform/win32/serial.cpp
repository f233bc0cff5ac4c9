#include "platform/serial.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "base/read_buffer.h"
#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

// Milliseconds a read may take in all.
constexpr DWORD kReadTotalTimeout = 500;

class Win32SerialPort : public SerialPort {
 public:
  explicit Win32SerialPort(UniqueHandle handle)
      : handle_(std::move(handle)), interrupted_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  size_t Read(void* buffer, size_t size) override {
    if (size == 0) return 0;
    if (WaitForSingleObject(interrupted_.get(), 0) == WAIT_OBJECT_0) {
      failed_ = true;
      return 0;
    }
    bool line_up = buffered_.size() >= size || Fill();
    size_t got = buffered_.Take(buffer, size);
    failed_ = got == 0 && !line_up;
    return got;
  }

  bool ReadFailed() const override { return failed_; }

  // A read in progress is cancelled; one that has not reached ReadFile yet
  // ends by its own time-out, within half a second.
  void Interrupt() override {
    SetEvent(interrupted_.get());
    CancelIoEx(handle_.get(), nullptr);
  }

 private:
  // Fills the buffer from the line. False when the line failed: the device
  // is gone (the adapter unplugged, the line hung up) or the port was interrupted.
  bool Fill() {
    const ULONGLONG start = GetTickCount64();
    // A device that is gone fails ClearCommError. ReadFile on it may fail at
    // once or, as Wine's does on a hung-up pseudo-terminal, report success
    // after busy-waiting the whole time-out, so it is not called then.
    DWORD errors = 0;
    DWORD got = 0;
    bool up = ClearCommError(handle_.get(), &errors, nullptr) != FALSE && ReadLine(&got);
    // A silent port returns nothing only after the whole time-out. A device
    // that is gone returns at once; sleep out the time-out for it rather than
    // let the reader spin.
    ULONGLONG spent = GetTickCount64() - start;
    if (got == 0 && spent < kReadTotalTimeout) {
      WaitForSingleObject(interrupted_.get(), static_cast<DWORD>(kReadTotalTimeout - spent));
    }
    return up;
  }

  // One ReadFile for as much as the buffer takes: the port's time-outs end it
  // once the line pauses after a byte, or after the total time-out, so a
  // receiver's burst costs one call instead of one per byte. A read that
  // fails part way still counts the bytes it took: they are the end of the
  // stream.
  bool ReadLine(DWORD* got) {
    size_t free = 0;
    char* space = buffered_.Space(&free);
    bool read = ReadFile(handle_.get(), space, static_cast<DWORD>(free), got, nullptr) != FALSE;
    *got = std::min<DWORD>(*got, static_cast<DWORD>(free));
    buffered_.Commit(*got);
    return read;
  }

  UniqueHandle handle_;
  UniqueHandle interrupted_;
  base::ReadBuffer buffered_;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& name, const LineSettings& settings,
                                           SerialOpenError* error) {
  UniqueHandle handle(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    *error = SerialOpenError::kOpen;
    return nullptr;
  }
  SetupComm(handle.get(), 2048, 2048);
  DCB dcb = {};
  dcb.DCBlength = sizeof(dcb);
  if (!GetCommState(handle.get(), &dcb)) {
    *error = SerialOpenError::kGetState;
    return nullptr;
  }
  dcb.BaudRate = static_cast<DWORD>(settings.baud_rate);
  dcb.ByteSize = static_cast<BYTE>(settings.byte_size);
  dcb.Parity = static_cast<BYTE>(settings.parity);
  dcb.StopBits = static_cast<BYTE>(settings.stop_bits);
  if (!SetCommState(handle.get(), &dcb)) {
    *error = SerialOpenError::kSetState;
    return nullptr;
  }
  COMMTIMEOUTS timeouts = {};
  GetCommTimeouts(handle.get(), &timeouts);
  timeouts.ReadIntervalTimeout = 100;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = kReadTotalTimeout;
  timeouts.WriteTotalTimeoutMultiplier = 60;
  timeouts.WriteTotalTimeoutConstant = 2000;
  SetCommTimeouts(handle.get(), &timeouts);
  *error = SerialOpenError::kNone;
  return std::make_unique<Win32SerialPort>(std::move(handle));
}

}  // namespace platform
