#include "gps/nmea_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "tests/fakes/memory_port.h"
#include "tests/gps/capture_reading.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::Chunking;
using testing_support::ExpectedFix;
using testing_support::MemoryPort;

const std::string kGsv = "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n";
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n";
const std::string kButton = "$ADPMB,5,0\r\n";

// A sentence with its text, its checksum and a line end.
std::string Sentence(const std::string& text) {
  return "$" + text + "*" + testing_support::ChecksumDigits(text) + "\r\n";
}

// An RMC sentence with the given time, status, position and speed.
std::string Rmc(const std::string& talker, int time, const std::string& status, const std::string& position,
                const std::string& speed = "022.4") {
  return Sentence(talker + "RMC," + std::to_string(time) + "," + status + "," + position + "," + speed +
                  ",084.4,230394,003.1,W");
}
const std::string kMunich = "4807.038,N,01131.000,E";
const std::string kRmc = Rmc("GP", 123519, "A", kMunich);
// The RMC text of kRmc without "$" and checksum, and its time.
const std::string kRmcText = kRmc.substr(1, kRmc.find('*') - 1);
constexpr int kRmcTime = 123519;

// The outcome of one ReadFix call on a fresh reader, latitude and longitude
// preset to 99 so that a write shows.
struct Reading {
  bool failed = false;
  GpsFix fix;
  double latitude = 99;
  double longitude = 99;
};

Reading ReadOnce(const std::string& bytes) {
  std::atomic<bool> stop{false};
  MemoryPort port(bytes);
  port.StopWhenDrained(&stop);
  FixReader reader(stop);
  Reading reading;
  reading.failed = reader.ReadFix(&port, reading.fix, reading.latitude, reading.longitude);
  return reading;
}

std::vector<ExpectedFix> ReadAll(MemoryPort& port) {
  std::atomic<bool> stop{false};
  port.StopWhenDrained(&stop);
  FixReader reader(stop);
  return testing_support::ReadFixesUntilStopped(reader, &port, stop);
}

std::vector<ExpectedFix> ReadAll(const std::string& bytes) {
  MemoryPort port(bytes);
  return ReadAll(port);
}

TEST(ReadFix, SkipsGsvAndParsesTheRmcAfterIt) {
  Reading reading = ReadOnce(kGsv + kRmc + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_TRUE(reading.fix.valid);
  EXPECT_NEAR(reading.latitude, 48.1173, 1e-12);
  EXPECT_NEAR(reading.longitude, 11 + 31.0 / 60, 1e-12);
  EXPECT_DOUBLE_EQ(reading.fix.speed, 22.4);
  EXPECT_EQ(reading.fix.time, 123519);
  EXPECT_EQ(reading.fix.date, 230394);
}

TEST(ReadFix, SouthAndWestGiveNegativeDegrees) {
  struct Case {
    const char* position;
    double latitude;
    double longitude;
  } cases[] = {
      {"3751.650,S,14507.360,E", -(37 + 51.65 / 60), 145 + 7.36 / 60},
      {"5544.100,N,03736.000,W", 55 + 44.1 / 60, -(37 + 36.0 / 60)},
      {"0010.500,S,00020.250,W", -(10.5 / 60), -(20.25 / 60)},
  };
  for (const Case& c : cases) {
    Reading reading = ReadOnce(Rmc("GP", 1, "A", c.position) + kGsv);
    ASSERT_FALSE(reading.failed) << c.position;
    EXPECT_NEAR(reading.latitude, c.latitude, 1e-12) << c.position;
    EXPECT_NEAR(reading.longitude, c.longitude, 1e-12) << c.position;
  }
}

TEST(ReadFix, ValidOnlyWhenTheStatusIsExactlyA) {
  for (const char* status : {"V", "", "AA", "a"}) {
    GpsFix fix;
    fix.valid = true;  // left from an earlier fix
    double latitude = 0;
    double longitude = 0;
    std::atomic<bool> stop{false};
    MemoryPort port(Rmc("GP", 2, status, kMunich) + kGsv);
    FixReader reader(stop);
    ASSERT_FALSE(reader.ReadFix(&port, fix, latitude, longitude)) << status;
    EXPECT_FALSE(fix.valid) << status;
    EXPECT_EQ(fix.time, 2) << status;
  }
}

TEST(ReadFix, EmptyPositionFieldsShiftTheLaterFields) {
  // The hemisphere reads take the separators of the empty fields, so the
  // date text lands in the speed.
  Reading reading = ReadOnce(Sentence("GPRMC,235947,V,,,,,,,230394,,,N") + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_FALSE(reading.fix.valid);
  EXPECT_EQ(reading.fix.time, 235947);
  EXPECT_EQ(reading.latitude, 0);
  EXPECT_EQ(reading.longitude, 0);
  EXPECT_EQ(reading.fix.speed, 230394);
}

TEST(ReadFix, ParsesRmcRightAfterGga) {
  Reading reading = ReadOnce(kGga + kRmc + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_EQ(reading.fix.time, 123519);
  EXPECT_EQ(reading.fix.satellites, 8);
  EXPECT_DOUBLE_EQ(reading.fix.altitude, 545.4);
}

TEST(ReadFix, ParsesRmcRightAfterGsa) {
  Reading reading = ReadOnce(kGsa + kRmc + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_TRUE(reading.fix.valid);
  EXPECT_EQ(reading.fix.usedsatellites, 5);
}

TEST(ReadFix, EveryEpochYieldsAFixWhateverPrecedesTheRmc) {
  for (const std::string& before : {kGga, kGsa, kButton, std::string("$GPTXT$")}) {
    std::string bytes;
    for (int second = 0; second < 5; ++second) bytes += before + Rmc("GP", second, "A", kMunich);
    std::vector<ExpectedFix> fixes = ReadAll(bytes + before);
    ASSERT_EQ(fixes.size(), 5u) << before;
    for (int second = 0; second < 5; ++second) EXPECT_EQ(fixes[second].time, second) << before;
  }
}

TEST(ReadFix, ReadsTheRmcOfEverySatelliteTalkerAndNoOther) {
  for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
    std::vector<ExpectedFix> fixes = ReadAll(Rmc(talker, 7, "A", kMunich) + kGsv);
    ASSERT_EQ(fixes.size(), 1u) << talker;
    EXPECT_EQ(fixes[0].time, 7) << talker;
  }
  // A proprietary sentence, another talker, a similar identifier.
  for (const char* identifier : {"$PGRMC,", "$IIRMC,", "$GPRMB,"}) {
    std::string other = identifier + std::string("8,A,3751.650,S,14507.360,E,1.0,0.0,010101,,*00\r\n");
    std::vector<ExpectedFix> fixes = ReadAll(other + kRmc + kGsv);
    ASSERT_EQ(fixes.size(), 1u) << identifier;
    EXPECT_EQ(fixes[0].time, 123519) << identifier;
  }
}

TEST(ReadFix, AnOverlongGgaChangesNothing) {
  std::string overlong_gga = "$GPGGA,1,2,N,3,E,1," + std::string(200, '9') + ",0.9,545.4,M*00\r\n";
  Reading reading = ReadOnce(kGsa + overlong_gga + kRmc + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_EQ(reading.fix.usedsatellites, 5);
  EXPECT_EQ(reading.fix.satellites, 0);
  EXPECT_EQ(reading.fix.altitude, 0);
}

TEST(ReadFix, FailsAfterFiftyLineEndsOrNulBytesWhileHunting) {
  struct Case {
    std::string filler;
    int count;
    bool fails;
  } cases[] = {{kGsv, 49, false},
               {kGsv, 50, true},
               {"\n", 50, true},
               {std::string(1, '\0'), 49, false},
               {std::string(1, '\0'), 50, true}};
  for (const Case& c : cases) {
    std::string bytes;
    for (int i = 0; i < c.count; ++i) bytes += c.filler;
    std::atomic<bool> stop{false};
    MemoryPort port(bytes + kRmc + kGsv);
    FixReader reader(stop);
    GpsFix fix;
    double latitude = 0;
    double longitude = 0;
    EXPECT_EQ(reader.ReadFix(&port, fix, latitude, longitude), c.fails) << c.count;
    // The failing call leaves the RMC for the next one.
    if (c.fails) {
      EXPECT_FALSE(reader.ReadFix(&port, fix, latitude, longitude));
    }
    EXPECT_EQ(fix.time, 123519);
  }
}

// The line end of a sentence and the empty reads after it count together; a
// failed read of a lost line fails the call at once, also inside a sentence,
// whose bytes then make no fix. A sentence with a checksum is returned
// without waiting for what follows it.
TEST(ReadFix, SilentReceiverFailsAfterFiftyEmptyReads) {
  struct Case {
    const char* what;
    std::string bytes;
    bool lost;
    bool fix;
    int empty_reads;  // of the failing call
  } cases[] = {
      {"nothing", "", false, false, 50},
      {"a line", kGsv, false, false, 49},
      {"a fix", kGga + kRmc, false, true, 49},
      {"a fix and 200 NUL bytes", kRmc + std::string(200, '\0'), false, true, 0},
      {"a fix, then the line lost", kGga + kRmc, true, true, 1},
      {"the line lost inside an RMC", kGga + kRmc.substr(0, 20), true, false, 1},
      {"the line lost after an RMC without checksum", "$" + kRmcText, true, false, 1},
  };
  for (const Case& c : cases) {
    std::atomic<bool> stop{false};
    MemoryPort port(c.bytes);
    port.StopWhenDrained(&stop, 100);  // only if the call never gives up
    if (c.lost) port.LoseWhenDrained();
    FixReader reader(stop);
    GpsFix fix;
    double latitude = 0;
    double longitude = 0;
    if (c.fix) {
      ASSERT_FALSE(reader.ReadFix(&port, fix, latitude, longitude)) << c.what;
      EXPECT_EQ(port.empty_reads(), 0) << c.what;
    }
    EXPECT_TRUE(reader.ReadFix(&port, fix, latitude, longitude)) << c.what;
    EXPECT_FALSE(stop) << c.what;
    EXPECT_EQ(port.empty_reads(), c.empty_reads) << c.what;
    EXPECT_EQ(fix.time, c.fix ? 123519 : 0) << c.what;
  }
}

// A port that sets the stop flag once a number of bytes has been delivered.
class StoppingPort : public MemoryPort {
 public:
  StoppingPort(std::string bytes, size_t stop_at, std::atomic<bool>& stop)
      : MemoryPort(std::move(bytes)), stop_at_(stop_at), stop_(stop) {}
  size_t Read(void* buffer, size_t size) override {
    size_t count = MemoryPort::Read(buffer, size);
    if (position() >= stop_at_) stop_ = true;
    return count;
  }

 private:
  size_t stop_at_;
  std::atomic<bool>& stop_;
};

TEST(ReadFix, StopFlagEndsTheCallBeforeTheNextRead) {
  // Every state of the reader: hunting, identifier, GSV skip, GGA and GSA
  // fields, a short unknown sentence, RMC fields and hemisphere reads.
  // The RMC is complete at its checksum digits, before its line end.
  std::string bytes = "xx\r\n" + kGsv + kGga + kGsa + kButton + kRmc + "$";
  const size_t rmc_end = bytes.size() - 3;
  for (size_t stop_at = 0; stop_at < bytes.size(); ++stop_at) {
    std::atomic<bool> stop{stop_at == 0};
    StoppingPort port(bytes, stop_at, stop);
    FixReader reader(stop);
    GpsFix fix;
    double latitude = 0;
    double longitude = 0;
    bool complete = stop_at >= rmc_end;
    ASSERT_EQ(reader.ReadFix(&port, fix, latitude, longitude), !complete) << stop_at;
    ASSERT_EQ(port.position(), std::min(stop_at, rmc_end));
    EXPECT_EQ(fix.time, complete ? 123519 : 0) << "an unfinished sentence is not stored";
  }
}

TEST(ReadFix, ReceiverGoingQuietInsideASentenceEndsWithTheStopFlag) {
  for (const std::string& cut :
       {std::string("$GPRMC,123519,A,48"), std::string("$GPGG"), kGsv.substr(0, 20)}) {
    Reading reading = ReadOnce(cut);
    EXPECT_TRUE(reading.failed) << cut;
  }
}

TEST(ReadFix, PausesOfTheReceiverChangeNoFix) {
  std::string bytes = kGsv + kGga + kRmc + kButton + Rmc("GN", 9, "A", "5544.100,N,03736.000,E") + kGsv;
  std::vector<ExpectedFix> steady = ReadAll(bytes);
  ASSERT_EQ(steady.size(), 2u);
  for (size_t offset = 1; offset < bytes.size(); ++offset) {
    MemoryPort port(bytes);
    port.PauseBefore(offset, 3);
    EXPECT_EQ(testing_support::FixMismatch(steady, ReadAll(port)), "") << "pause at " << offset;
  }
}

TEST(ReadFix, KeepsTheNextSentenceStartUntilReset) {
  for (bool reset : {false, true}) {
    std::atomic<bool> stop{false};
    // Only a sentence without checksum ends at the next one's "$".
    MemoryPort port("$" + kRmcText + "\r\n" + Rmc("GP", 2, "V", kMunich) + kGsv);
    port.StopWhenDrained(&stop);
    FixReader reader(stop);
    GpsFix fix;
    double latitude = 0;
    double longitude = 0;
    ASSERT_FALSE(reader.ReadFix(&port, fix, latitude, longitude));
    if (reset) reader.Reset();
    EXPECT_EQ(reader.ReadFix(&port, fix, latitude, longitude), reset);
    EXPECT_EQ(fix.time, reset ? 123519 : 2);
  }
}

TEST(ReadFix, DropsAnRmcWithAFieldLongerThanAnySentence) {
  for (size_t length : {FixReader::kMaxFieldLength, FixReader::kMaxFieldLength + 1}) {
    std::string speed = std::string(length - 4, '0') + "22.4";
    std::vector<ExpectedFix> fixes = ReadAll(Rmc("GP", 1, "A", kMunich, speed) + kRmc + kGsv);
    bool kept = length <= FixReader::kMaxFieldLength;
    ASSERT_EQ(fixes.size(), kept ? 2u : 1u) << length;
    EXPECT_EQ(fixes[0].time, kept ? 1 : 123519);
    if (kept) {
      EXPECT_DOUBLE_EQ(fixes[0].speed, 22.4);
    }
  }
}

TEST(ReadFix, DropsAnRmcCutBeforeItsSpeed) {
  // From a cold-starting receiver: the rest of each sentence was lost.
  for (const std::string& cut : {"$GPRMC,000346.03,A,4808" + std::string(12, '\0') + "   \r\n",
                                 std::string("$GPRMC,000344.03,A,4808.9992,N,4,02.3*05\r\n"),
                                 std::string("$GPRMC,000344.03,A,4808.9992,N$GP")}) {
    std::vector<ExpectedFix> fixes = ReadAll(cut + "$PLCS,REV\r\n" + kRmc + kGsv);
    ASSERT_EQ(fixes.size(), 1u) << cut;
    EXPECT_EQ(fixes[0].time, 123519);
  }
}

TEST(ReadFix, LongLinesWithoutCommasDropTheirSentence) {
  std::string mebibyte(1 << 20, 'x');
  for (const std::string& garbage : {"$GPGGA,1" + mebibyte, "$GPRMC,1" + mebibyte, mebibyte}) {
    std::vector<ExpectedFix> fixes = ReadAll(garbage + "\r\n" + kRmc + kGsv);
    ASSERT_EQ(fixes.size(), 1u);
    EXPECT_EQ(fixes[0].time, 123519);
  }
}

TEST(ReadFix, RandomBytesAroundSentencesReadAsTheTextSays) {
  std::mt19937 random(20240611);
  std::string bytes;
  for (int sentence = 0; sentence < 200; ++sentence) {
    int garbage = random() % 300;
    for (int i = 0; i < garbage; ++i) {
      char byte = static_cast<char>(random() % 256);
      bytes += byte == '$' ? '\0' : byte;
    }
    bytes += Rmc("GP", sentence, sentence % 3 ? "A" : "V", kMunich);
  }
  MemoryPort port(bytes, Chunking::kRandom, 5);
  EXPECT_EQ(testing_support::FixMismatch(testing_support::ExpectedFixes(bytes), ReadAll(port)), "");
  EXPECT_TRUE(port.Drained());
}

TEST(ReadFix, ArbitraryBytesAreReadToTheEnd) {
  std::mt19937 random(7);
  std::string bytes(1 << 18, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() % 256);
  MemoryPort port(bytes, Chunking::kRandom, 3);
  ReadAll(port);
  EXPECT_TRUE(port.Drained());
}

// A sentence of the text with the given checksum digits.
std::string WithDigits(const std::string& text, const std::string& digits) { return "$" + text + "*" + digits + "\r\n"; }

// The text with the byte at the index replaced.
std::string Replaced(std::string text, size_t index, char byte) {
  text[index] = byte;
  return text;
}

// One RMC of another time, so that a delivered fix shows which sentence it came from.
const std::string kOtherText = "GPRMC,7,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

TEST(ReadFix, UsesASentenceWithAChecksumOnlyWhenItMatches) {
  std::string digits = testing_support::ChecksumDigits(kOtherText);
  std::string lower = digits;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t latitude = kOtherText.find("4807");
  struct Case {
    const char* what;
    std::string bytes;
    bool used;
  } cases[] = {
      {"checksum matches", Sentence(kOtherText), true},
      {"lowercase digits", WithDigits(kOtherText, lower), true},
      {"no checksum", "$" + kOtherText + "\r\n", true},
      {"a latitude digit changed", WithDigits(Replaced(kOtherText, latitude, '8'), digits), false},
      {"a latitude digit and the checksum changed",
       WithDigits(Replaced(kOtherText, latitude, '8'), digits == "00" ? "01" : "00"), false},
      {"a comma changed", WithDigits(Replaced(kOtherText, kOtherText.find(",A,"), '.'), digits), false},
      {"checksum not hexadecimal", WithDigits(kOtherText, "G" + digits.substr(1)), false},
      {"one checksum digit", WithDigits(kOtherText, digits.substr(0, 1)), false},
      {"checksum cut by the next sentence", "$" + kOtherText + "*" + digits.substr(0, 1), false},
  };
  for (const Case& c : cases) {
    std::vector<ExpectedFix> fixes = ReadAll(c.bytes + kRmc + kGsv);
    ASSERT_EQ(fixes.size(), c.used ? 2u : 1u) << c.what;
    EXPECT_EQ(fixes[0].time, c.used ? 7 : kRmcTime) << c.what;
    EXPECT_NEAR(fixes[0].latitude, 48.1173, 1e-12) << c.what;
  }
}

TEST(ReadFix, GgaAndGsaWithAWrongChecksumChangeNothing) {
  std::string gga = kGga.substr(0, kGga.find('*')) + "*00\r\n";
  std::string gsa = kGsa.substr(0, kGsa.find('*')) + "*00\r\n";
  Reading reading = ReadOnce(gga + gsa + kRmc + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_EQ(reading.fix.satellites, 0);
  EXPECT_EQ(reading.fix.altitude, 0);
  EXPECT_EQ(reading.fix.usedsatellites, 0);
}

TEST(ReadFix, TheFieldBeforeTheChecksumIsComplete) {
  Reading reading = ReadOnce(Sentence("GPRMC,8,A,4807.038,N,01131.000,E,022.4,084.4,230394") + kGsv);
  ASSERT_FALSE(reading.failed);
  EXPECT_EQ(reading.fix.date, 230394);
}

// Receivers pad their lines with NUL bytes and interleave binary messages of
// other protocols with NMEA; neither holds a "$".
std::string Binary(size_t size, uint32_t seed, bool with_star) {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    char byte = static_cast<char>(random() % 256);
    if (byte != '$' && (with_star || byte != '*')) bytes += byte;
  }
  return bytes;
}

TEST(ReadFix, NoiseAfterASentenceIsPassedOver) {
  std::string nuls(80, '\0');
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"NUL bytes after the checksum", Sentence(kOtherText) + nuls},
      {"a binary message after the checksum", Sentence(kOtherText) + Binary(400, 1, true)},
      {"NUL bytes after the last field", "$" + kOtherText + nuls},
      {"binary bytes after the last field", "$" + kOtherText + Binary(400, 2, false)},
  };
  for (const Case& c : cases) {
    std::vector<ExpectedFix> fixes = ReadAll(c.bytes + kRmc + kGsv);
    ASSERT_EQ(fixes.size(), 2u) << c.what;
    EXPECT_EQ(fixes[0].time, 7) << c.what;
    EXPECT_EQ(fixes[0].date, 230394) << c.what;
    EXPECT_DOUBLE_EQ(fixes[0].speed, 22.4) << c.what;
  }
}

// A stream as a noisy line delivers it: sentences with a byte changed, with
// noise after them, or without their checksum, among good ones. Exactly the
// changed ones are lost, and every fix delivered is the position sent.
TEST(ReadFix, DamagedSentencesOfAGeneratedStreamAreDroppedAndNoOther) {
  enum Damage { kNone, kByteChanged, kDigitChanged, kNoiseAfter, kNoChecksum, kDamages };
  std::mt19937 random(20250101);
  std::string bytes;
  std::vector<int> kept;
  for (int second = 1; second <= 400; ++second) {
    std::string text = "GPRMC," + std::to_string(second) + ",A,5544.100,N,03736.000,E,022.4,084.4,230394,,";
    std::string digits = testing_support::ChecksumDigits(text);
    Damage damage = static_cast<Damage>(random() % kDamages);
    if (damage == kByteChanged) {
      size_t index = random() % text.size();
      char byte = static_cast<char>(random() % 256);
      if (byte == text[index] || byte == '$' || byte == '*') byte = '#';
      text[index] = byte;
    }
    if (damage == kDigitChanged) {
      char& digit = digits[random() % 2];
      digit = digit == 'F' ? 'E' : 'F';
    }
    bytes += damage == kNoChecksum ? "$" + text + "\r\n" : WithDigits(text, digits);
    if (damage == kNoiseAfter) bytes += Binary(random() % 200, second, true);
    if (damage != kByteChanged && damage != kDigitChanged) kept.push_back(second);
    bytes += kGga;
  }
  MemoryPort port(bytes, Chunking::kRandom, 9);
  std::vector<ExpectedFix> fixes = ReadAll(port);
  ASSERT_EQ(fixes.size(), kept.size());
  for (size_t i = 0; i < fixes.size(); ++i) {
    EXPECT_EQ(fixes[i].time, kept[i]);
    EXPECT_NEAR(fixes[i].latitude, 55 + 44.1 / 60, 1e-12) << fixes[i].time;
    EXPECT_NEAR(fixes[i].longitude, 37 + 36.0 / 60, 1e-12) << fixes[i].time;
  }
  EXPECT_EQ(testing_support::FixMismatch(testing_support::ExpectedFixes(bytes), fixes), "");
}

TEST(ReadFix, ReadsEveryCaptureLikeItsText) {
  SKIP_WITHOUT_CAPTURES();
  for (const std::string& path : testing_support::NmeaCaptures()) {
    std::string bytes = testing_support::ReadFileBytes(path);
    std::vector<ExpectedFix> expected = testing_support::ExpectedFixes(bytes);
    EXPECT_FALSE(expected.empty()) << path;
    for (Chunking chunking : {Chunking::kWhole, Chunking::kOneByte, Chunking::kRandom}) {
      MemoryPort port(bytes, chunking, 11);
      EXPECT_EQ(testing_support::FixMismatch(expected, ReadAll(port)), "")
          << path << " chunking " << static_cast<int>(chunking);
    }
  }
}

TEST(NmeaNumbers, ReadLikeTheCLibrary) {
  for (const char* text :
       {"4807.038", "  -12.5e1xyz", "+7", "", "abc", "12,5", " \t3", "--5", "+-5", ".5", "5.", "1e", "1e+",
        "-0", "0.000001", "00123", "2147483647", "-2147483648", "\v9"}) {
    EXPECT_EQ(base::LeadingInteger(text), std::atoi(text)) << text;
    EXPECT_EQ(base::LeadingDecimal(text), std::atof(text)) << text;
  }
  EXPECT_EQ(base::LeadingInteger("99999999999"), INT_MAX);
  EXPECT_EQ(base::LeadingInteger("-99999999999"), INT_MIN);
  // Text a receiver never sends gives no infinite or undefined number.
  for (const char* text : {"inf", "-nan", "0x1A", "1e400", "-1e400"}) {
    EXPECT_EQ(base::LeadingDecimal(text), 0) << text;
  }
  // Fields are not NUL-terminated: the value ends with the text.
  EXPECT_EQ(base::LeadingInteger(std::string_view("123456", 3)), 123);
  EXPECT_EQ(base::LeadingDecimal(std::string_view("1.25", 3)), 1.2);
}

}  // namespace
