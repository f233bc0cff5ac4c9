// nmea-sim: a GPS receiver on a pseudo-terminal or a serial line.
//
// Replays a recorded NMEA file, or drives a generated route and sends the
// sentences a receiver sends, at a receiver's pace or faster, with the faults
// real receivers show (silence, a cut sentence, garbage).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "tools/nmea-sim/output.h"
#include "tools/nmea-sim/epochs.h"

namespace {

const char kUsage[] =
    R"(Usage: nmea-sim [OPTIONS]

Sends NMEA 0183 sentences the way a GPS receiver does: onto a new
pseudo-terminal (its path is printed on standard output) or onto a device.
Ends when the route or file is sent (unless --loop), or on SIGTERM or SIGINT.

Source (a generated route unless --file is given):
  --file PATH             replay the lines of an NMEA file
  --start LAT,LON         start of the route, decimal degrees (55.751244,37.618423)
  --speed KNOTS           speed over ground while moving (10)
  --heading DEGREES       course at the start, clockwise from north (45)
  --turn DEGREES          course change per second (0)
  --stop-every SECONDS    after every SECONDS of moving...
  --stop-for SECONDS      ...stand still this long (0: never stop)
  --nofix-every SECONDS   after every SECONDS with a fix...
  --nofix-for SECONDS     ...send status V this long, without a position (0: never)
  --talker GP|GN          GP, or GN for a GPS+GLONASS receiver (GP)
  --time HHMMSS           UTC time of the first epoch (120000)
  --date DDMMYY           UTC date of the first epoch (081226)
  --epochs N              epochs of the route, one per second (0: no end) (0)

Output:
  --device PATH           write to this device or file ("-": standard output)
                          instead of a new pseudo-terminal
  --link PATH             also link PATH to the new pseudo-terminal (removed at exit)
  --pace epoch|line|fast  one epoch a second, each sent at 4800 baud (epoch);
                          a steady 4800-baud stream (line); as fast as the
                          reader takes it (fast) (epoch)
  --speedup FACTOR        run the pace FACTOR times faster (1)
  --loop                  start again from the first epoch at the end
  --hold SECONDS          at the end keep the pseudo-terminal open until the
                          reader has taken everything, at most SECONDS (0)

Faults (epochs count from 0 over the whole run):
  --cut EPOCH             stop sending for good before epoch EPOCH
  --silence EPOCH:SECONDS fall silent for SECONDS (wall clock) before epoch
                          EPOCH; may be given more than once
  --mid-sentence          --cut and --silence fall in the middle of the
                          epoch's first sentence
  --nul-burst EPOCH:BYTES send BYTES NUL bytes before epoch EPOCH, as a
                          receiver does while it boots; may be given more
                          than once
  --garbage-every N       after every N-th epoch send a burst of garbage:
                          stray bytes, NUL bytes and a cut sentence
  --seed N                seed of the garbage (1)
  -h, --help              show this text
)";

enum class Pace { kEpoch, kLine, kFast };

struct Options {
  std::string file;
  sim::RouteOptions route;
  int epochs = 0;
  std::string device;
  std::string link;
  Pace pace = Pace::kEpoch;
  double speedup = 1;
  bool loop = false;
  double hold = 0;
  long cut = -1;
  std::map<long, double> silences;
  std::map<long, size_t> nul_bursts;
  bool mid_sentence = false;
  int garbage_every = 0;
  unsigned seed = 1;
};

bool ParseNumber(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(*value);
}

template <typename Int>
bool ParseCount(const std::string& text, Int* value) {
  double number;
  if (!ParseNumber(text, &number) || number < 0 || number != std::floor(number) || number > 2e9) return false;
  *value = static_cast<Int>(number);
  return true;
}

bool ParsePair(const std::string& text, char separator, double* first, double* second) {
  size_t at = text.find(separator);
  return at != std::string::npos && ParseNumber(text.substr(0, at), first) &&
         ParseNumber(text.substr(at + 1), second);
}

// Fills options from the command line; false with a message on a bad one.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    auto flag = [&](const char* wanted) { return name == wanted; };
    if (flag("--loop")) {
      options->loop = true;
      continue;
    }
    if (flag("--mid-sentence")) {
      options->mid_sentence = true;
      continue;
    }
    if (i + 1 >= argc) {
      *error = "unknown option or missing value: " + name;
      return false;
    }
    std::string value = argv[++i];
    sim::RouteOptions& route = options->route;
    double x = 0, y = 0;
    bool ok = true;
    if (flag("--file")) {
      options->file = value;
    } else if (flag("--start")) {
      ok = ParsePair(value, ',', &route.start_latitude, &route.start_longitude) &&
           std::fabs(route.start_latitude) < 90 && std::fabs(route.start_longitude) <= 180;
    } else if (flag("--speed")) {
      ok = ParseNumber(value, &route.speed_knots) && route.speed_knots >= 0;
    } else if (flag("--heading")) {
      ok = ParseNumber(value, &route.heading);
    } else if (flag("--turn")) {
      ok = ParseNumber(value, &route.turn);
    } else if (flag("--stop-every")) {
      ok = ParseCount(value, &route.stop_every);
    } else if (flag("--stop-for")) {
      ok = ParseCount(value, &route.stop_for);
    } else if (flag("--nofix-every")) {
      ok = ParseCount(value, &route.nofix_every);
    } else if (flag("--nofix-for")) {
      ok = ParseCount(value, &route.nofix_for);
    } else if (flag("--talker")) {
      route.talker = value;
      ok = value == "GP" || value == "GN";
    } else if (flag("--time")) {
      ok = value.size() == 6 && ParseCount(value, &route.start_time) && route.start_time % 100 < 60 &&
           route.start_time / 100 % 100 < 60 && route.start_time < 240000;
    } else if (flag("--date")) {
      int day = 0, month = 0;
      ok = value.size() == 6 && ParseCount(value, &route.start_date);
      day = route.start_date / 10000;
      month = route.start_date / 100 % 100;
      ok = ok && day >= 1 && day <= 31 && month >= 1 && month <= 12;
    } else if (flag("--epochs")) {
      ok = ParseCount(value, &options->epochs);
    } else if (flag("--device")) {
      options->device = value;
    } else if (flag("--link")) {
      options->link = value;
    } else if (flag("--pace")) {
      static const std::map<std::string, Pace> kPaces = {
          {"epoch", Pace::kEpoch}, {"line", Pace::kLine}, {"fast", Pace::kFast}};
      auto found = kPaces.find(value);
      ok = found != kPaces.end();
      if (ok) options->pace = found->second;
    } else if (flag("--speedup")) {
      ok = ParseNumber(value, &options->speedup) && options->speedup > 0;
    } else if (flag("--hold")) {
      ok = ParseNumber(value, &options->hold) && options->hold >= 0;
    } else if (flag("--cut")) {
      ok = ParseCount(value, &options->cut);
    } else if (flag("--silence")) {
      ok = ParsePair(value, ':', &x, &y) && x >= 0 && x == std::floor(x) && y >= 0;
      if (ok) options->silences[static_cast<long>(x)] = y;
    } else if (flag("--nul-burst")) {
      ok = ParsePair(value, ':', &x, &y) && x >= 0 && x == std::floor(x) && y >= 0 && y == std::floor(y);
      if (ok) options->nul_bursts[static_cast<long>(x)] = static_cast<size_t>(y);
    } else if (flag("--garbage-every")) {
      ok = ParseCount(value, &options->garbage_every);
    } else if (flag("--seed")) {
      ok = ParseCount(value, &options->seed);
    } else {
      *error = "unknown option: " + name;
      return false;
    }
    if (!ok) {
      *error = "bad value for " + name + ": " + value;
      return false;
    }
  }
  if (!options->device.empty() && !options->link.empty()) {
    *error = "--link goes with a new pseudo-terminal, not with --device";
    return false;
  }
  return true;
}

// Sends epochs at the chosen pace, with the chosen faults.
class Sender {
 public:
  Sender(const Options& options, sim::Output* output)
      : options_(options), output_(output), random_(options.seed), byte_clock_(sim::Now()) {
    epoch_clock_ = byte_clock_;
  }

  // False when the run must end: the stop flag, a failed write or --cut.
  bool SendEpoch(long index, const std::string& epoch) {
    if (options_.pace == Pace::kEpoch) {
      sim::SleepUntil(epoch_clock_);
      byte_clock_ = std::max(byte_clock_, epoch_clock_);
      epoch_clock_ = std::max(epoch_clock_ + 1 / options_.speedup, sim::Now() - 1);
    }
    size_t head = 0;
    bool cut = index == options_.cut;
    auto silence = options_.silences.find(index);
    if ((cut || silence != options_.silences.end()) && options_.mid_sentence) {
      head = std::min(epoch.find('\n'), epoch.size()) / 2;
      if (!Send(epoch.substr(0, head))) return false;
    }
    if (cut) return false;
    if (silence != options_.silences.end()) {
      sim::SleepUntil(sim::Now() + silence->second);
      byte_clock_ = std::max(byte_clock_, sim::Now());
    }
    auto burst = options_.nul_bursts.find(index);
    if (burst != options_.nul_bursts.end() && !Send(std::string(burst->second, '\0'))) return false;
    if (!Send(epoch.substr(head))) return false;
    if (options_.garbage_every > 0 && (index + 1) % options_.garbage_every == 0) return Send(Garbage());
    return !sim::stop_requested;
  }

 private:
  // At line pace the bytes leave in small chunks on a clock of 480 bytes a
  // second (4800 baud, ten bits a byte); a reader that fell behind does not
  // get a burst to catch up with.
  bool Send(const std::string& bytes) {
    if (options_.pace == Pace::kFast) return output_->Write(bytes.data(), bytes.size());
    const double rate = 480 * options_.speedup;
    const size_t chunk = std::max<size_t>(1, static_cast<size_t>(rate / 100));
    for (size_t at = 0; at < bytes.size(); at += chunk) {
      byte_clock_ = std::max(byte_clock_, sim::Now() - 0.1);
      sim::SleepUntil(byte_clock_);
      size_t size = std::min(chunk, bytes.size() - at);
      if (!output_->Write(bytes.data() + at, size)) return false;
      byte_clock_ += static_cast<double>(size) / rate;
    }
    return true;
  }

  // What a receiver sends while it boots or when the line is noisy.
  std::string Garbage() {
    static const char kStray[] = "\x00\x00\xff\xfe\r\n*,$$GP\x80\x13~";
    std::uniform_int_distribution<int> length(4, 24);
    std::uniform_int_distribution<size_t> pick(0, sizeof(kStray) - 2);
    std::string bytes;
    for (int i = length(random_); i > 0; --i) bytes += kStray[pick(random_)];
    bytes += "\r\n$GPRMC,12";
    bytes.resize(bytes.size() - std::uniform_int_distribution<size_t>(0, 5)(random_));
    return bytes + "\r\n";
  }

  const Options& options_;
  sim::Output* output_;
  std::mt19937 random_;
  double byte_clock_;
  double epoch_clock_;
};

std::unique_ptr<sim::EpochSource> MakeSource(const Options& options, std::string* error) {
  if (options.file.empty()) return std::make_unique<sim::RouteEpochs>(options.route, options.epochs);
  std::ifstream in(options.file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) {
    *error = "cannot read " + options.file;
    return nullptr;
  }
  return std::make_unique<sim::FileEpochs>(bytes.str());
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "-h" || std::string(argv[i]) == "--help") {
      std::cout << kUsage;
      return 0;
    }
  }
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    std::cerr << "nmea-sim: " << error << "\n(--help lists the options)\n";
    return 2;
  }
  std::unique_ptr<sim::EpochSource> source = MakeSource(options, &error);
  if (!source) {
    std::cerr << "nmea-sim: " << error << "\n";
    return 1;
  }
  sim::InstallStopHandlers();
  std::unique_ptr<sim::Output> output;
  if (options.device.empty()) {
    std::string path;
    output = sim::OpenPseudoTerminal(options.link, &path);
    if (output) std::cout << path << std::endl;
  } else {
    output = sim::OpenDevice(options.device);
  }
  if (!output) {
    std::cerr << "nmea-sim: cannot open the output\n";
    return 1;
  }
  Sender sender(options, output.get());
  std::string epoch;
  long index = 0;
  bool sending = true;
  while (sending) {
    if (!source->Next(&epoch)) {
      if (!options.loop || index == 0) break;
      source->Rewind();
      continue;
    }
    sending = sender.SendEpoch(index++, epoch);
  }
  if (!sim::stop_requested) output->Hold(options.hold);
  return 0;
}
