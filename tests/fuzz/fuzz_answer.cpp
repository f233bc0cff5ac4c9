// The service's answer on arbitrary bytes: no crash, a code within what four
// characters can spell, and once the code reads as complete, no later byte
// of the answer changes it (the reader stops there).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "upload/upload_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string answer(reinterpret_cast<const char*>(data) + 1, size - 1);
  int code = ParseAnswerCode(answer);
  if (code != kNoAnswerCode && (code < -999 || code > 9999)) std::abort();
  if (code != kNoAnswerCode && answer.find('>') == std::string::npos) std::abort();
  AnswerMessage(code);
  // The first byte says where the answer arrived cut.
  std::string arrived = answer.substr(0, data[0] % (answer.size() + 1));
  if (AnswerCodeComplete(arrived) && ParseAnswerCode(arrived) != code) std::abort();
  return 0;
}
