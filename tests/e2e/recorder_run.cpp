#include "tests/e2e/recorder_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tools/nmea-sim/route.h"

namespace fs = std::filesystem;

namespace testing_support {

RecorderRun::RecorderRun(const std::string& folder_name)
    : dir_(folder_name.empty() ? folder_.path() : folder_.File(folder_name)) {
  fs::create_directories(dir_);
}

void RecorderRun::WriteSettings(const std::vector<std::string>& lines, bool utf8) {
  std::string text = std::string(utf8 ? "\xEF\xBB\xBF" : "") + "[Properties]\r\nCOM=COM3\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  WriteFileBytes(dir_ + "/properties.ini", text);
}

bool RecorderRun::StartReceiver(const std::vector<std::string>& options, const std::string& link) {
  receiver_.Stop();
  return StartLinkedSimulator(receiver_, link.empty() ? dir_ + "/com3" : link, options);
}

bool RecorderRun::StartRecorder(const std::string& answer) {
  return StartRecorder({HeadlessPath(), "--dir", dir(), "--answer", answer}, {});
}

bool RecorderRun::StartRecorder(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
  recorder_ = std::make_unique<ChildProcess>();
  return recorder_->Start(argv, environment, !environment.empty());
}

void RecorderRun::Command(const std::string& line) { recorder_->Write(line + "\n"); }

bool RecorderRun::WaitForReceiverEnd(double seconds) { return receiver_.Wait(seconds) >= 0; }

bool RecorderRun::WaitFor(const std::string& text, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::string line;
  while (std::chrono::steady_clock::now() < end) {
    double left = std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
    if (!recorder_->ReadLine(&line, left)) return false;
    output_.push_back(line);
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

int RecorderRun::Quit() {
  Command("quit");
  recorder_->CloseInput();
  std::istringstream rest(recorder_->ReadAll(30));
  for (std::string line; std::getline(rest, line);) output_.push_back(line);
  int status = recorder_->Wait(10);
  receiver_.Stop();
  return status;
}

std::string RecorderRun::Transcript() const {
  std::string text;
  for (const std::string& line : output_) text += line + "\n";
  return text;
}

std::vector<int> RecorderRun::States() const {
  std::vector<int> states;
  for (const std::string& line : output_) {
    if (line.rfind("# state ", 0) == 0) states.push_back(std::stoi(line.substr(8)));
  }
  return states;
}

bool RecorderRun::Printed(const std::string& line) const {
  return std::find(output_.begin(), output_.end(), line) != output_.end();
}

double RecorderRun::CpuSeconds() const {
  // /proc/PID/stat: user and system ticks are fields 14 and 15, the name in parentheses field 2.
  std::ifstream stat("/proc/" + std::to_string(recorder_->pid()) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string skipped;
  double user = 0, system = 0;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  fields >> user >> system;
  return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::vector<std::pair<double, double>> RoutePositions(int epochs) {
  sim::RouteOptions options;
  options.speed_knots = 20;
  sim::Route route(options);
  std::vector<std::pair<double, double>> positions;
  for (int i = 0; i < epochs; ++i) {
    sim::RoutePoint point = route.Next();
    positions.emplace_back(point.longitude, point.latitude);
  }
  return positions;
}

bool SamePosition(const std::string& line, const std::pair<double, double>& position) {
  double longitude = 0, latitude = 0;
  return std::sscanf(line.c_str(), "%lf,%lf", &longitude, &latitude) == 2 &&
         std::fabs(longitude - position.first) < 1e-7 && std::fabs(latitude - position.second) < 1e-7;
}

void ExpectAGoneReceiverNoticed(RecorderRun& run, bool lost, const std::string& com_link,
                                const std::function<bool()>& start_recorder, int back_after) {
  const int fixes = 30;
  const int fixes_back = back_after > 0 ? 20 : 0;
  // Lost: the simulator ends once all is read. Silent: for longer than the test lasts.
  auto route_of = [](int epochs) {
    return std::vector<std::string>{"--speed",   "20", "--pace",   "epoch",
                                    "--speedup", "10", "--epochs", std::to_string(epochs),
                                    "--hold",    "60"};
  };
  std::vector<std::string> gone = route_of(fixes);
  if (!lost) gone = {"--epochs", std::to_string(fixes + 1), "--silence", std::to_string(fixes) + ":600"};
  run.WriteSettings({"ByHands=True", "Prorezhivanie=5"});
  if (!lost) gone.insert(gone.begin(), {"--speed", "20", "--pace", "epoch", "--speedup", "10"});
  ASSERT_TRUE(run.StartReceiver(gone, com_link));
  ASSERT_TRUE(start_recorder());
  run.Command("start");
  ASSERT_TRUE(run.WaitFor("# state 2", 60));
  double cpu = run.CpuSeconds();
  // The silent-line limit: 50 empty reads of half a second each.
  const int kSilentLineSeconds = 25;
  if (back_after > 0) {
    // A new device under the same name, its route from the start again.
    ASSERT_TRUE(run.WaitForReceiverEnd(30));
    const auto gone_at = std::chrono::steady_clock::now();
    // The loss is told at once, then as a silence is, every silent-line limit.
    ASSERT_TRUE(run.WaitFor("# state 1", 5));
    ASSERT_TRUE(run.WaitFor("= 1 Нет связи с GPS-устройсвом >", 5));
    // From here on only the tries to reopen the port run.
    cpu = run.CpuSeconds();
    const auto told_at = std::chrono::steady_clock::now();
    if (back_after > kSilentLineSeconds) {
      ASSERT_TRUE(run.WaitFor("= 1 Нет связи с GPS-устройсвом > >", 30));
    }
    std::this_thread::sleep_until(gone_at + std::chrono::seconds(back_after));
    const double tried = std::chrono::duration<double>(std::chrono::steady_clock::now() - told_at).count();
    EXPECT_LT(run.CpuSeconds() - cpu, 0.02 * tried) << "the tries to reopen the port spin";
    ASSERT_TRUE(run.StartReceiver(route_of(fixes_back), com_link));
    ASSERT_TRUE(run.WaitFor("# state 2", 5));
    auto last_written = [&] {
      std::vector<std::string> points = PointLines(ReadFileBytes(run.TracksFile("track0.kml")));
      return !points.empty() && SamePosition(points.back(), RoutePositions(fixes_back).back());
    };
    ASSERT_TRUE(PollFor(10, last_written));
  } else {
    ASSERT_TRUE(run.WaitFor("# state 1", kSilentLineSeconds + 15));
    ASSERT_TRUE(run.WaitFor("= 1 Нет связи с GPS-устройсвом >", 5));
    run.Command("send");
    ASSERT_TRUE(run.WaitFor("+ Упаковано", 40));
    EXPECT_LT(run.CpuSeconds() - cpu, 5.0) << "a reader spinning on a dead line takes the whole half minute";
  }
  run.Command("stop");
  ASSERT_TRUE(run.WaitFor("# state 0", 60));
  ASSERT_EQ(run.Quit(), 0);
  EXPECT_EQ(FilesIn(run.dir() + "/Tracks/ToSend", ".zip"), std::vector<std::string>{"track0.zip"});
  std::string kml = ZipEntry(run.TracksFile("ToSend/track0.zip"), "track.kml");
  std::vector<std::string> points = PointLines(kml);
  std::vector<std::pair<double, double>> route = RoutePositions(fixes);
  std::vector<std::pair<double, double>> back = RoutePositions(fixes_back);
  route.insert(route.end(), back.begin(), back.end());
  ASSERT_EQ(points.size(), route.size());
  for (size_t i = 0; i < points.size(); ++i) EXPECT_TRUE(SamePosition(points[i], route[i])) << points[i];
  size_t segments = 0;
  for (size_t at = kml.find("<coordinates>"); at != std::string::npos;
       at = kml.find("<coordinates>", at + 1)) {
    ++segments;
  }
  EXPECT_EQ(segments, back_after > 0 ? 2u : 1u);
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ZipEntry(const std::string& archive, const std::string& entry) {
  std::string command = "unzip -p '" + archive + "' '" + entry + "' 2>/dev/null";
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, count);
    pclose(pipe);
  }
  return text;
}

std::vector<std::string> PointLines(const std::string& kml) {
  std::vector<std::string> points;
  std::istringstream lines(kml);
  for (std::string line; std::getline(lines, line);) {
    const std::string tag = "<coordinates>";
    if (line.rfind(tag, 0) == 0) line = line.substr(tag.size());
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '<') points.push_back(line);
  }
  return points;
}

std::string HeadlessPath() { return std::string(ROVELOG_BINARY_DIR) + "/tools/rovelog-headless"; }

}  // namespace testing_support
