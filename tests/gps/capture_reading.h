// An independent reading of a receiver capture: the fixes the reader must
// deliver from it, found by splitting the text instead of following the
// reader's byte-wise steps. Tests compare what the reader delivers, through a
// memory port or a serial device, with this reading.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "gps/gps_fix.h"
#include "gps/nmea_reader.h"
#include "platform/serial.h"

namespace testing_support {

// What one delivered fix must hold. Position, speed and date are compared for
// valid fixes only: the rest of the system uses no more of an invalid one.
struct ExpectedFix {
  int time = 0;
  bool valid = false;
  double latitude = 0;
  double longitude = 0;
  double speed = 0;
  int date = kNoDate;

  // The sentence's date field was not complete: the reader keeps the
  // previous date, which is not compared.
  static constexpr int kNoDate = -1;
};

// The fixes in a capture, in order: one for each RMC sentence of a
// satellite-system talker. Where this differs from a plain line reader it
// follows the byte stream as the reader meets it:
// - a sentence begins at every "$", also after a stray byte or in the middle
//   of a line after a cut sentence, and runs up to the next "$": a line
//   without "$" belongs to the sentence before it; the last sentence of a
//   capture is finished only by its checksum digits (no "$" comes to end it);
// - a sentence with a "*" is dropped unless the two characters after it are
//   the hexadecimal XOR of the text before it; its text ends at the "*";
// - the character after the identifier is passed over as its comma;
// - a sentence cut before the comma after its speed field (fewer than seven
//   commas) is dropped, and so is one with a field the reader takes (time,
//   status, latitude, longitude, speed, date) longer than
//   FixReader::kMaxFieldLength characters, counting the "$" that ends the
//   last field of a sentence without "*";
// - a field is taken only when a comma or the "*" ends it (this matters for
//   the date).
// Fields are numbered as the standard numbers them; the reader's own count
// differs only where a hemisphere field is not one letter, which no valid
// fix of a real receiver has.
std::vector<ExpectedFix> ExpectedFixes(const std::string& bytes);

// The two uppercase hexadecimal digits of a sentence text's checksum: the
// XOR of its bytes (the text between "$" and "*").
std::string ChecksumDigits(const std::string& text);

// A fix as the reader delivered it.
ExpectedFix DeliveredFix(const GpsFix& fix, double latitude, double longitude);

// Calls ReadFix on the port until a call fails with the stop flag set, as the
// track thread does (latitude and longitude cleared before every call).
std::vector<ExpectedFix> ReadFixesUntilStopped(FixReader& reader, platform::SerialPort* port,
                                               const std::atomic<bool>& stop);

// Empty when the delivered fixes match the expected ones (coordinates to 1e-9
// degrees); otherwise the first difference, in words.
std::string FixMismatch(const std::vector<ExpectedFix>& expected, const std::vector<ExpectedFix>& delivered);

}  // namespace testing_support
