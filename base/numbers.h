// Numbers at the start of a text, taken the way the C library's atoi and
// atof take them: leading blanks and one sign allowed, reading stops at the
// first character that does not fit, no digits give 0. The receiver's
// fields, the settings, the service's answer code and the distance text are
// all read this way.
#pragma once

#include <string_view>

namespace base {

// An integer beyond the range of int gives INT_MAX or INT_MIN.
int LeadingInteger(std::string_view text);
// The same for wide text: a character outside ASCII ends the number.
int LeadingInteger(std::wstring_view text);

// Decimal text with an optional exponent. Hexadecimal text and the words inf
// and nan, which no receiver sends, give 0, and so does a value beyond the
// range of double, so that a garbled field cannot put an infinite or
// undefined number into a track.
double LeadingDecimal(std::string_view text);

}  // namespace base
