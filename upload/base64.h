// Base64 of RFC 4648: the standard alphabet, "=" filling the last group, no
// line breaks.
#pragma once

#include <cstddef>
#include <string>

// The length of the encoding of size bytes.
size_t Base64Length(size_t size);

// Appends the encoding of bytes to out.
void AppendBase64(const std::string& bytes, std::string& out);
