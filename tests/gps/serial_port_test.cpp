// The serial port on real pseudo-terminals: the test holds the receiver's
// side (the master) and the port opens the other.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "gps/serial_connection.h"
#include "platform/serial.h"
#include "tests/support/test_support.h"

namespace {

using platform::LineSettings;
using platform::OpenSerialPort;
using platform::SerialOpenError;
using platform::SerialPort;

class PseudoTerminal {
 public:
  PseudoTerminal() {
    char name[128];
    if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) path_ = name;
  }
  ~PseudoTerminal() {
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }
  const std::string& path() const { return path_; }
  // The test's own descriptor of the port's side, for looking at its settings.
  int slave() const { return slave_; }
  void Send(const std::string& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

std::unique_ptr<SerialPort> Open(const std::string& name, const LineSettings& settings = LineSettings()) {
  SerialOpenError error = SerialOpenError::kNone;
  auto port = OpenSerialPort(name, settings, &error);
  if (port) {
    EXPECT_EQ(error, SerialOpenError::kNone);
  }
  return port;
}

void ExpectNextByte(SerialPort& port, char expected) {
  char byte = 0;
  EXPECT_EQ(port.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, expected);
}

// Milliseconds a call takes.
template <typename Call>
long Elapsed(Call call) {
  auto start = std::chrono::steady_clock::now();
  call();
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count());
}

// Sends one byte every 40 ms until stopped, so a long read never finds a gap.
class Trickle {
 public:
  explicit Trickle(PseudoTerminal& line)
      : thread_([this, &line] {
          while (!stop_) {
            line.Send("x");
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
          }
        }) {}
  ~Trickle() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Points the program folder at a scratch folder for COMn links.
class ProgramFolder {
 public:
  ProgramFolder() : program_folder_(dir_.path()) {}
  void Link(const std::string& name, const std::string& target) {
    ASSERT_EQ(symlink(target.c_str(), dir_.File(name).c_str()), 0);
  }

 private:
  testing_support::ScratchDir dir_;
  testing_support::ProgramFolderGuard program_folder_;
};

// A pseudo-terminal takes only 8 data bits without parity, so those stay.
TEST(OpenSerialPort, PutsTheLineInRawModeWithTheGivenSettings) {
  const struct {
    LineSettings settings;
    speed_t speed;
    tcflag_t size;
    tcflag_t parity;
    bool two_stop_bits;
  } kCases[] = {
      {{4800, 8, 0, 0}, B4800, CS8, 0, false},
      {{9600, 8, 0, 2}, B9600, CS8, 0, true},
      {{19200, 8, 0, 0}, B19200, CS8, 0, false},
  };
  for (const auto& c : kCases) {
    PseudoTerminal line;
    line.Send("x");  // something waiting must survive the open
    auto port = Open(line.path(), c.settings);
    ASSERT_NE(port, nullptr);
    termios tty;
    ASSERT_EQ(tcgetattr(line.slave(), &tty), 0);
    EXPECT_EQ(cfgetispeed(&tty), c.speed);
    EXPECT_EQ(cfgetospeed(&tty), c.speed);
    EXPECT_EQ(tty.c_cflag & CSIZE, c.size);
    EXPECT_EQ(tty.c_cflag & (PARENB | PARODD), c.parity);
    EXPECT_EQ((tty.c_cflag & CSTOPB) != 0, c.two_stop_bits);
    // Bytes as the receiver sent them: no line editing, echo or CR translation.
    EXPECT_EQ(tty.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(tty.c_iflag & (ICRNL | IGNCR | INLCR), 0u);
    ExpectNextByte(*port, 'x');
  }
}

TEST(SerialPortRead, ReturnsAsSoonAsTheRequestedBytesCame) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  line.Send("$GPRMC,1\r\n");
  char buffer[16] = {};
  EXPECT_LT(Elapsed([&] { EXPECT_EQ(port->Read(buffer, 5), 5u); }), 250);
  EXPECT_EQ(std::string(buffer, 5), "$GPRM");
  EXPECT_EQ(port->Read(buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer, 5), "C,1\r\n");
}

TEST(SerialPortRead, ReturnsWhatCameWhenTheLineGoesQuietFor100Ms) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  line.Send("ab");
  char buffer[16];
  long took = Elapsed([&] { EXPECT_EQ(port->Read(buffer, sizeof(buffer)), 2u); });
  EXPECT_GE(took, 90);
  EXPECT_LT(took, 450);  // the gap ended it, not the total
}

TEST(SerialPortRead, SilentLineGivesNothingAfterHalfASecond) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  char byte;
  long took = Elapsed([&] { EXPECT_EQ(port->Read(&byte, 1), 0u); });
  EXPECT_GE(took, 450);
  EXPECT_LT(took, 1500);
}

TEST(SerialPortRead, SteadyTrickleEndsAtTheTotalTimeOut) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  Trickle trickle(line);
  char buffer[200];
  size_t got = 0;
  long took = Elapsed([&] { got = port->Read(buffer, sizeof(buffer)); });
  EXPECT_GE(took, 450);
  EXPECT_LT(took, 1200);
  EXPECT_GE(got, 4u);
  EXPECT_LE(got, 20u);
}

// Reads of every size get the receiver's bytes in order, however the line
// brings them: more than the port buffers at once, bursts with pauses, a NUL
// flood.
TEST(SerialPortRead, DeliversEveryByteInOrderWhateverTheBurstsAndReadSizes) {
  std::string sentences;
  while (sentences.size() < 2000)
    sentences += "$GPRMC,120000.00,A,5545.07464,N,03737.10538,E,10.00,45.00,081226,,,A*5D\r\n";
  const struct {
    std::string bytes;
    size_t chunk;
    int pause_ms;
    size_t read_size;
  } kCases[] = {
      {sentences, sentences.size(), 0, 1},
      {sentences, sentences.size(), 0, 7},
      {sentences, sentences.size(), 0, 600},
      {sentences.substr(0, 600), 40, 30, 1},
      {sentences.substr(0, 600), 40, 30, 64},
      {std::string(3000, '\0') + sentences.substr(0, 300), 3300, 0, 1},
  };
  for (const auto& c : kCases) {
    PseudoTerminal line;
    auto port = Open(line.path());
    ASSERT_NE(port, nullptr);
    std::thread receiver([&] {
      for (size_t at = 0; at < c.bytes.size(); at += c.chunk) {
        line.Send(c.bytes.substr(at, c.chunk));
        std::this_thread::sleep_for(std::chrono::milliseconds(c.pause_ms));
      }
    });
    std::string got;
    std::vector<char> buffer(c.read_size);
    while (got.size() < c.bytes.size()) {
      size_t count = port->Read(buffer.data(), buffer.size());
      if (count == 0) break;
      got.append(buffer.data(), count);
    }
    receiver.join();
    EXPECT_TRUE(got == c.bytes) << "chunk " << c.chunk << ", reads of " << c.read_size << ": " << got.size()
                                << " of " << c.bytes.size() << " bytes";
  }
}

TEST(SerialPortRead, GathersTheRequestedBytesAcrossShortPauses) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  std::thread receiver([&] {
    for (const char* part : {"$GP", "RMC", ",12", "*5D", "\r\n"}) {
      line.Send(part);
      std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
  });
  char buffer[14];
  EXPECT_EQ(port->Read(buffer, sizeof(buffer)), 14u);
  receiver.join();
  EXPECT_EQ(std::string(buffer, 14), "$GPRMC,12*5D\r\n");
}

// The port waits a little after the first byte of a burst so that one read
// takes the rest; Interrupt must end that wait too.
TEST(SerialPortInterrupt, EndsTheWaitAfterTheFirstByteOfABurst) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  long took = 0;
  std::thread reader([&] {
    char byte;
    took = Elapsed([&] { port->Read(&byte, 1); });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  line.Send("$");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  port->Interrupt();
  reader.join();
  EXPECT_LT(took, 250);
}

TEST(SerialPortInterrupt, EndsAWaitingReadAndLaterReadsFailAtOnce) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  Trickle trickle(line);  // without Interrupt the read would last its full 500 ms
  long took = 0;
  std::thread reader([&] {
    char buffer[200];
    took = Elapsed([&] { port->Read(buffer, sizeof(buffer)); });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  port->Interrupt();
  reader.join();
  EXPECT_LT(took, 350);
  char byte;
  EXPECT_LT(Elapsed([&] { EXPECT_EQ(port->Read(&byte, 1), 0u); }), 50);
  EXPECT_TRUE(port->ReadFailed());
  port->Interrupt();  // twice is harmless
}

TEST(SerialPortClose, GivesTheDeviceUpForTheNextOpenAtOnce) {
  PseudoTerminal line;
  auto first = Open(line.path());
  ASSERT_NE(first, nullptr);
  first.reset();
  auto second = Open(line.path());
  ASSERT_NE(second, nullptr);
  line.Send("y");
  ExpectNextByte(*second, 'y');
}

TEST(SerialPortRead, VanishedDeviceGivesNothingWithinTheTimeOutWithoutSpinning) {
  PseudoTerminal line;
  auto port = Open(line.path());
  ASSERT_NE(port, nullptr);
  long first = 0;
  std::thread reader([&] {
    char buffer[64];
    first = Elapsed([&] { EXPECT_EQ(port->Read(buffer, sizeof(buffer)), 0u); });
    EXPECT_TRUE(port->ReadFailed());
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  line.CloseMaster();
  reader.join();
  EXPECT_LT(first, 1000);
  std::clock_t cpu = std::clock();
  long later = Elapsed([&] {
    char byte;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(port->Read(&byte, 1), 0u);
  });
  double cpu_seconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  EXPECT_LT(later, 3000);
  EXPECT_LT(cpu_seconds, 0.25) << "reads on a vanished device spin";
}

TEST(OpenSerialPort, HeldPortCannotBeOpenedAgainUntilReleased) {
  PseudoTerminal line;
  auto first = Open(line.path());
  ASSERT_NE(first, nullptr);
  SerialOpenError error = SerialOpenError::kNone;
  EXPECT_EQ(OpenSerialPort(line.path(), LineSettings(), &error), nullptr);
  EXPECT_EQ(error, SerialOpenError::kOpen);
  first.reset();
  EXPECT_NE(Open(line.path()), nullptr);
}

TEST(OpenSerialPort, ComNamesMapToLinksInTheProgramFolder) {
  const struct {
    const char* name;
    const char* link;
  } kCases[] = {{"COM3", "com3"}, {"\\\\.\\COM12", "com12"}, {"com7", "com7"}};
  for (const auto& c : kCases) {
    PseudoTerminal line;
    ProgramFolder folder;
    folder.Link(c.link, line.path());
    auto port = Open(c.name);
    ASSERT_NE(port, nullptr) << c.name;
    line.Send("z");
    ExpectNextByte(*port, 'z');
  }
}

TEST(OpenPort, LogsOneLineNamingTheFailedStep) {
  PseudoTerminal held;
  auto holder = Open(held.path());
  PseudoTerminal free_line;
  const struct {
    std::string target;
    int baud;
    const wchar_t* message;  // nullptr: opens
  } kCases[] = {
      {free_line.path(), 4800, nullptr},
      {held.path(), 4800, L"Ошибка: Невозможно открыть RS232 порт."},
      {"/dev/null", 4800, L"Ошибка: Невозможно получить системные коммуникационные настройки."},
      {free_line.path(), 12345, L"Ошибка: Проблемы в уснановках коммуникациооного устройства."},
  };
  for (const auto& c : kCases) {
    ProgramFolder folder;
    folder.Link("com12", c.target);
    LineList lines;
    EventLog log(&lines);
    auto port = OpenPort(log, 12, c.baud, 8, 0, 0);
    EXPECT_EQ(port != nullptr, c.message == nullptr) << c.target;
    std::vector<std::wstring> expected;
    if (c.message) expected.push_back(c.message);
    EXPECT_EQ(lines.Lines(), expected) << c.target;
  }
}

}  // namespace
