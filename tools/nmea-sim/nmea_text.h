// Small NMEA 0183 text helpers of the receiver simulator.
#pragma once

#include <string>

namespace sim {

// "$" + body + "*" + checksum + CR LF; the checksum is the XOR of the body's
// bytes, in two upper-case hex digits.
std::string Sentence(const std::string& body);

// True when the line (CR LF allowed at its end) is "$body*hh" with the right
// checksum.
bool HasValidChecksum(const std::string& line);

// The comma-separated field n of a sentence (0 is "$GPRMC"), without the
// checksum; empty when the sentence has fewer fields.
std::string Field(const std::string& line, int n);

// The UTC time of a sentence that carries one (GGA, RMC, GLL, ZDA, GNS, GBS,
// GST, GRS of any talker) in whole seconds as hhmmss; -1 for other sentences
// and empty time fields.
int SentenceTime(const std::string& line);

}  // namespace sim
