#include "upload/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

size_t Base64Length(size_t size) { return (size + 2) / 3 * 4; }

void AppendBase64(const std::string& bytes, std::string& out) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t size = bytes.size();
  size_t at = out.size();
  out.resize(at + Base64Length(size));
  char* dest = &out[at];
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    unsigned group = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
    *dest++ = kAlphabet[group >> 18];
    *dest++ = kAlphabet[(group >> 12) & 63];
    *dest++ = kAlphabet[(group >> 6) & 63];
    *dest++ = kAlphabet[group & 63];
  }
  size_t rest = size - i;
  if (rest == 0) return;
  unsigned group = data[i] << 16;
  if (rest == 2) group |= data[i + 1] << 8;
  *dest++ = kAlphabet[group >> 18];
  *dest++ = kAlphabet[(group >> 12) & 63];
  *dest++ = rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
  *dest = '=';
}
