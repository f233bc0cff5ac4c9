// INI reading and writing on arbitrary file bytes: no crash, no overrun, and
// values bounded by the reader's buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string file(reinterpret_cast<const char*>(data), size);
  if (platform::IniRead(file, L"Properties", L"Login", 260).size() > 259) std::abort();
  std::string written;
  if (platform::IniWrite(file, L"Properties", L"Login", L"pilot", &written) &&
      platform::IniRead(written, L"Properties", L"Login", 260).size() > 259) {
    std::abort();
  }
  return 0;
}
