// The NMEA 0183 fix reader. It works on the receiver's byte stream one byte
// at a time, with no line buffering, and returns at each RMC sentence; GGA
// and GSA sentences met on the way fill the rest of the fix. A sentence that
// carries a checksum is used only when the checksum matches.
#pragma once

#include <atomic>
#include <cstddef>

#include "gps/gps_fix.h"
#include "platform/serial.h"

// Reads fixes from one port for one logger. Keeps one byte of state between
// calls: when the "$" that ended a sentence was the last byte read, the next
// call starts with that sentence.
class FixReader {
 public:
  // A field the reader takes a value from that is longer than this drops its
  // sentence: an NMEA sentence has at most 82 characters, so such a field is
  // not one. Other fields are passed over whatever their length.
  static constexpr size_t kMaxFieldLength = 82;
  // Hunt reads that leave a 0 or LF byte current (LF bytes met between
  // sentences, or empty reads after one) before a call gives up. A failed
  // read (a line that is gone) ends the call at once, wherever it comes.
  static constexpr int kFailLimit = 50;

  // stop is the logger's stop flag; it is tested before every read.
  explicit FixReader(const std::atomic<bool>& stop);

  // Reads the port until one RMC sentence of a satellite-system talker (GP,
  // GN, GL, GA, GB, BD, GQ, GI) has been parsed and returns false: fix holds
  // its time, date, speed and validity, latitude and longitude its position
  // in signed degrees. A sentence with "*" ends at its two checksum digits,
  // so its fix is returned as soon as they are read; one without ends at the
  // next "$". What follows the digits is passed over by the hunt for the next
  // "$". Returns true on failure: kFailLimit hunt reads in this call that
  // left an LF or NUL byte current, a failed read, or the stop flag. Only
  // sentences that end are stored; one whose checksum is not the XOR of its
  // text, one with a taken field longer than kMaxFieldLength, an RMC cut
  // before its speed field, or one the line's failure cut, is dropped. Fields
  // not read keep their values. A receiver that goes quiet inside a sentence
  // keeps the call waiting until the stop flag is set or the line fails.
  bool ReadFix(platform::SerialPort* port, GpsFix& fix, double& latitude, double& longitude);

  // Forgets the sentence start kept from the last call: for a newly opened
  // port.
  void Reset();

  // Whether the last read brought nothing: a failed call then ended in the
  // line's silence, not in noise such as a receiver's burst of NUL bytes at
  // boot, which is data still coming.
  bool EndedInSilence() const { return last_read_empty_; }

 private:
  enum class Kind { kOther, kRmc, kGga, kGsa };
  // How reading one sentence ended; kInterrupted is the stop flag or a
  // failed read.
  enum class Outcome { kFix, kNext, kInterrupted };
  // How reading one field ended: at a comma, at the "*" or "$" that ends the
  // text, or not at all.
  enum class FieldEnd { kComma, kChecksum, kDollar, kOverlong, kInterrupted };
  // Whether a sentence whose text has ended may be used.
  enum class Check { kGood, kBad, kInterrupted };

  static Kind KindOf(const char identifier[5]);
  bool HuntSentenceStart();
  Outcome ReadSentence(GpsFix& fix, double& latitude, double& longitude);
  bool ReadIdentifier(char identifier[5]);
  Outcome SkipOther();
  Outcome ReadGgaOrGsa(Kind kind, GpsFix& fix);
  Outcome ReadRmc(GpsFix& fix, double& latitude, double& longitude);
  bool ReadHemisphere(char& letter, int& commas);
  // Reads one field up to its comma or the end of the text; a taken field is
  // kept in field_ and bounded, another is only passed over.
  FieldEnd ReadField(bool taken);
  Check FinishSentence();
  static Outcome OutcomeOf(Check check);
  bool TextEnded() const { return current_ == '$' || current_ == '*'; }
  // One byte of a sentence's text; every byte before the "*" enters the
  // checksum.
  bool TextByte() {
    if (!NextByte()) return false;
    if (!TextEnded()) checksum_ ^= static_cast<unsigned char>(current_);
    return true;
  }
  // One byte inside a sentence. The receiver may pause there: an empty read
  // adds nothing and the reader waits for the next byte until the stop flag
  // is set or a read fails.
  bool NextByte() {
    for (;;) {
      if (Stopped()) return false;
      if (ReadByte()) return true;
      if (port_->ReadFailed()) return false;
    }
  }
  // A failed read leaves 0 current: a line that is gone reads as a silent one.
  bool ReadByte() {
    last_read_empty_ = port_->Read(&current_, 1) != 1;
    if (last_read_empty_ && port_->ReadFailed()) current_ = 0;
    return !last_read_empty_;
  }
  // Counts one read towards failure; true once the limit is reached.
  bool CountFailure() { return ++failcounter_ >= kFailLimit; }
  bool Stopped() const { return stop_.load(std::memory_order_relaxed); }
  std::string_view Field() const { return std::string_view(field_, field_size_); }

  const std::atomic<bool>& stop_;
  platform::SerialPort* port_ = nullptr;
  // The byte last read; an empty read leaves it as it was. A "$" here at the
  // end of a call is the start of the next sentence.
  char current_ = 0;
  int failcounter_ = 0;
  bool last_read_empty_ = false;
  // The XOR of the sentence's text so far.
  unsigned char checksum_ = 0;
  char field_[kMaxFieldLength];
  size_t field_size_ = 0;
  // The last field had characters (a field passed over keeps none).
  bool field_empty_ = true;
};
