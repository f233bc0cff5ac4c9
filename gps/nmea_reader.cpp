#include "gps/nmea_reader.h"

#include "base/numbers.h"

namespace {

// The RMC fields up to the speed (time, status, latitude and its hemisphere,
// longitude and its hemisphere, speed) end in seven commas. A sentence cut
// before them, by a receiver glitch or a cold start, would deliver a fix
// marked valid with a missing coordinate taken as 0 (a cold-starting
// GPS-320FW sends "$GPRMC,000346.03,A,4808" followed by NUL bytes).
constexpr int kRmcCommasThroughSpeed = 7;
// An unknown sentence is passed over this many bytes at a time.
constexpr int kSkipLength = 10;

// Talkers of the satellite systems: GPS, combined, GLONASS, Galileo, BeiDou
// (both spellings), QZSS and NavIC. Proprietary sentences begin with "P" and
// never match ("$PGRMC" is not an RMC sentence).
bool IsSatelliteTalker(char first, char second) {
  static constexpr char kTalkers[][2] = {{'G', 'P'}, {'G', 'N'}, {'G', 'L'}, {'G', 'A'},
                                         {'G', 'B'}, {'B', 'D'}, {'G', 'Q'}, {'G', 'I'}};
  for (const auto& talker : kTalkers) {
    if (talker[0] == first && talker[1] == second) return true;
  }
  return false;
}

// A coordinate field, ddmm.mmm for latitude or dddmm.mmm for longitude: the
// degrees are the integer value divided by 100, the minutes the text after
// the degree digits.
double Coordinate(std::string_view field, size_t degree_digits, bool negative) {
  int degrees = base::LeadingInteger(field) / 100;
  double minutes = field.size() > degree_digits ? base::LeadingDecimal(field.substr(degree_digits)) : 0;
  double value = minutes / 60 + degrees;
  return negative ? -value : value;
}

// The value of two hexadecimal digits, or -1 when they are not two digits.
int HexByte(char high, char low) {
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  int first = digit(high);
  int second = digit(low);
  return first < 0 || second < 0 ? -1 : first * 16 + second;
}

}  // namespace

FixReader::FixReader(const std::atomic<bool>& stop) : stop_(stop) {}

void FixReader::Reset() { current_ = 0; }

bool FixReader::ReadFix(platform::SerialPort* port, GpsFix& fix, double& latitude, double& longitude) {
  port_ = port;
  failcounter_ = 0;
  // Each call starts with a clear current byte, unless the last call ended on
  // the "$" of the sentence to read now.
  if (current_ != '$') current_ = 0;
  for (;;) {
    if (!HuntSentenceStart()) return true;
    switch (ReadSentence(fix, latitude, longitude)) {
      case Outcome::kFix:
        return false;
      case Outcome::kInterrupted:
        // The stop flag, or a failed read: the line is gone.
        return true;
      case Outcome::kNext:
        break;
    }
  }
}

// Reads until the current byte is "$". An LF or NUL byte, and an empty read
// while one is current (a silent receiver), count towards failure over the
// whole call; other bytes and empty reads after them do not. A failed read
// ends the call: waiting on a line that is gone only delays its reopening.
bool FixReader::HuntSentenceStart() {
  while (current_ != '$') {
    if (Stopped()) return false;
    if (!ReadByte() && port_->ReadFailed()) return false;
    if ((current_ == 0 || current_ == '\n') && CountFailure()) return false;
  }
  return true;
}

FixReader::Kind FixReader::KindOf(const char identifier[5]) {
  if (!IsSatelliteTalker(identifier[0], identifier[1])) return Kind::kOther;
  std::string_view type(identifier + 2, 3);
  if (type == "RMC") return Kind::kRmc;
  if (type == "GGA") return Kind::kGga;
  if (type == "GSA") return Kind::kGsa;
  return Kind::kOther;
}

FixReader::Outcome FixReader::ReadSentence(GpsFix& fix, double& latitude, double& longitude) {
  char identifier[5];
  if (!ReadIdentifier(identifier)) return Outcome::kInterrupted;
  Kind kind = KindOf(identifier);
  switch (kind) {
    case Kind::kRmc:
      return ReadRmc(fix, latitude, longitude);
    case Kind::kGga:
    case Kind::kGsa:
      return ReadGgaOrGsa(kind, fix);
    case Kind::kOther:
      break;
  }
  return SkipOther();
}

// The five characters after "$". A "$" among them starts the identifier
// again: the sentence before it was cut short.
bool FixReader::ReadIdentifier(char identifier[5]) {
  checksum_ = 0;
  for (int count = 0; count < 5;) {
    if (!TextByte()) return false;
    if (current_ == '$') {
      count = 0;
      checksum_ = 0;
    } else {
      identifier[count++] = current_;
    }
  }
  return true;
}

// Passes over up to ten bytes of a sentence that is not read, as one read of
// ten bytes would, but stops at a "$" so that a short sentence ("$ADPMB,5,0")
// does not swallow the start of the next one. An empty read ends the skip as
// the time-out ends such a read. The hunt goes on from the last byte.
FixReader::Outcome FixReader::SkipOther() {
  for (int count = 0; count < kSkipLength; ++count) {
    if (Stopped()) return Outcome::kInterrupted;
    if (!ReadByte() || current_ == '$') break;
  }
  return Outcome::kNext;
}

// GGA gives the satellites in use (field 7) and the altitude (field 9); GSA
// counts its non-empty satellite fields (3 to 14). Fields count from 1 after
// the identifier; the last one runs up to the "*" or the next "$".
FixReader::Outcome FixReader::ReadGgaOrGsa(Kind kind, GpsFix& fix) {
  GpsFix next = fix;
  int number = 0;
  int used = 0;
  if (!TextByte()) return Outcome::kInterrupted;  // the comma after the identifier
  while (!TextEnded()) {
    ++number;
    bool gga = kind == Kind::kGga;
    FieldEnd end = ReadField(gga && (number == 7 || number == 9));
    if (end == FieldEnd::kInterrupted) return Outcome::kInterrupted;
    if (end == FieldEnd::kOverlong) return Outcome::kNext;
    if (gga) {
      if (number == 7) next.satellites = base::LeadingInteger(Field());
      if (number == 9) next.altitude = base::LeadingDecimal(Field());
    } else {
      if (number >= 3 && number <= 14 && !field_empty_) ++used;
      next.usedsatellites = used;
    }
  }
  Check check = FinishSentence();
  if (check != Check::kGood) return OutcomeOf(check);
  fix = next;
  return Outcome::kNext;
}

// The RMC fields by their count: 1 time, 2 status, 3 latitude, 4 longitude,
// 5 speed, 7 date. The hemisphere after each coordinate is read with its
// comma as two bytes and is not counted, so the speed, the course and the
// date of the standard numbering (7, 8, 9) count as 5, 6 and 7. When a
// hemisphere is empty those two bytes are the next separators and the later
// fields shift; such fixes are not valid and their position is not used.
FixReader::Outcome FixReader::ReadRmc(GpsFix& fix, double& latitude, double& longitude) {
  GpsFix next = fix;
  double next_latitude = latitude;
  double next_longitude = longitude;
  int number = 0;
  int commas = 0;
  if (!TextByte()) return Outcome::kInterrupted;  // the comma after the identifier
  while (!TextEnded()) {
    ++number;
    FieldEnd end = ReadField(number <= 5 || number == 7);
    if (end == FieldEnd::kInterrupted) return Outcome::kInterrupted;
    if (end == FieldEnd::kOverlong) return Outcome::kNext;
    if (end == FieldEnd::kDollar) break;  // a field the next sentence cut off is not taken
    if (end == FieldEnd::kComma) ++commas;
    switch (number) {
      case 1:
        next.time = base::LeadingInteger(Field());
        break;
      case 2:
        next.valid = Field() == "A";
        break;
      case 3:
      case 4: {
        bool latitude_field = number == 3;
        std::string_view field = Field();
        char letter = 0;
        if (!ReadHemisphere(letter, commas)) return Outcome::kInterrupted;
        double value = Coordinate(field, latitude_field ? 2 : 3, letter == (latitude_field ? 'S' : 'W'));
        (latitude_field ? next_latitude : next_longitude) = value;
        break;
      }
      case 5:
        next.speed = base::LeadingDecimal(Field());
        break;
      case 7:
        next.date = base::LeadingInteger(Field());
        break;
      default:
        break;
    }
  }
  Check check = FinishSentence();
  if (check != Check::kGood) return OutcomeOf(check);
  if (commas < kRmcCommasThroughSpeed) return Outcome::kNext;
  fix = next;
  latitude = next_latitude;
  longitude = next_longitude;
  return Outcome::kFix;
}

// The two bytes after a coordinate: its hemisphere letter and comma. The end
// of the text ends them.
bool FixReader::ReadHemisphere(char& letter, int& commas) {
  for (int count = 0; count < 2 && !TextEnded(); ++count) {
    if (!TextByte()) return false;
    if (count == 0) letter = current_;
    if (current_ == ',') ++commas;
  }
  return true;
}

FixReader::FieldEnd FixReader::ReadField(bool taken) {
  field_size_ = 0;
  field_empty_ = true;
  for (;;) {
    if (!TextByte()) return FieldEnd::kInterrupted;
    if (current_ == ',') return FieldEnd::kComma;
    if (current_ == '*') return FieldEnd::kChecksum;
    // A "$" ends the sentence inside the field and is kept as its last character.
    field_empty_ = false;
    if (taken) {
      if (field_size_ == kMaxFieldLength) return FieldEnd::kOverlong;
      field_[field_size_++] = current_;
    }
    if (current_ == '$') return FieldEnd::kDollar;
  }
}

// Text that ends at a "$" carries no checksum and stands as it is. After a
// "*" come two hexadecimal digits that must be the XOR of the text, and the
// sentence is complete: the receiver may say nothing more for a long while
// (the last fix before it falls silent, or before the user stops). What
// follows the digits (the line end, NUL padding, a binary message of another
// protocol that the receiver interleaves) is the hunt's, which counts a
// silence after them as after any line.
FixReader::Check FixReader::FinishSentence() {
  if (current_ == '$') return Check::kGood;
  char digits[2];
  for (char& digit : digits) {
    if (!NextByte()) return Check::kInterrupted;
    if (current_ == '$') return Check::kBad;
    digit = current_;
  }
  current_ = 0;
  return HexByte(digits[0], digits[1]) == checksum_ ? Check::kGood : Check::kBad;
}

FixReader::Outcome FixReader::OutcomeOf(Check check) {
  return check == Check::kInterrupted ? Outcome::kInterrupted : Outcome::kNext;
}
