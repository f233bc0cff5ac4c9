// Text shared by the files the program writes: every line ends with CR LF and
// numbers take the general format of an output stream.
#pragma once

#include <initializer_list>
#include <string>

namespace track_text {

// Written explicitly through binary streams, so Linux and Windows store the
// same bytes.
inline constexpr char kLineBreak[] = "\r\n";

// Significant digits. Six for speeds; nine for latitude and longitude, since
// six leave only three decimals at longitudes of 100 degrees and more, a
// staircase of 40 to 90 m steps.
inline constexpr int kSpeedDigits = 6;
inline constexpr int kCoordinateDigits = 9;

// The lines, each followed by the line break.
std::string JoinLines(std::initializer_list<const char*> lines);

// The general format ("%g") with the given significant digits, trailing zeros
// removed, and an exponent of at least three digits as Windows prints it
// (0.00005 gives "5e-005"). The text is the same on every platform;
// infinities and NaN give "inf", "-inf" and "nan".
std::string FormatGeneral(double value, int significant_digits);

}  // namespace track_text
