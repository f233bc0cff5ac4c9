#include "tests/support/window_driver_client.h"

#include <time.h>

#include <cstdlib>

#include "tests/support/wine_prefix.h"

namespace testing_support {

namespace {

// Wine starts a console program in a few seconds at most; a command that
// takes longer means the driver is stuck.
constexpr double kAnswerSeconds = 60;

// A number the driver answered; -1 when the answer is no number.
long Number(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() ? -1 : value;
}

}  // namespace

std::string WindowDriverPath() { return WindowsProgram("tests/support/window_driver/window-driver.exe"); }

WindowDriver::~WindowDriver() {
  if (process_.pid() <= 0 || !process_.Write("quit\n")) return;
  process_.CloseInput();
  process_.Wait(kAnswerSeconds);
}

bool WindowDriver::Start(const std::vector<std::string>& environment) {
  return process_.Start({kWine, WindowDriverPath()}, environment, true);
}

bool WindowDriver::Command(const std::string& line, std::string* answer) {
  return Exchange(line, kAnswerSeconds, answer);
}

bool WindowDriver::Exchange(const std::string& line, double seconds, std::string* answer) {
  std::string reply;
  if (!process_.Write(line + "\n") || !process_.ReadLine(&reply, seconds)) {
    if (answer != nullptr) *answer = "no answer from the driver";
    return false;
  }
  const bool ok = reply == "ok" || reply.rfind("ok ", 0) == 0;
  const size_t space = reply.find(' ');
  if (answer != nullptr) *answer = space == std::string::npos ? "" : reply.substr(space + 1);
  return ok;
}

bool WindowDriver::ListCommand(const std::string& line, std::vector<std::string>* lines) {
  std::string count;
  if (!Command(line, &count)) return false;
  const long size = Number(count);
  if (size < 0) return false;
  lines->assign(static_cast<size_t>(size), "");
  for (std::string& item : *lines) {
    if (!process_.ReadLine(&item, kAnswerSeconds)) return false;
  }
  return true;
}

bool WindowDriver::WaitForWindow(const std::string& caption, double seconds) {
  // A dialog has its caption before its controls exist; it shows once they
  // are made and initialised.
  return PollFor(seconds, [&] {
    std::string visible;
    return Command("find " + caption) && Command("visible", &visible) && visible == "1";
  });
}

std::vector<std::string> WindowDriver::Lines(int list_id) {
  std::vector<std::string> lines;
  ListCommand("list " + std::to_string(list_id), &lines);
  return lines;
}

bool WindowDriver::WaitForLine(int list_id, const std::string& text, double seconds) {
  return PollFor(seconds, [&] {
    for (const std::string& line : Lines(list_id)) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  });
}

std::string WindowDriver::Colour(int id) {
  std::string answer;
  Command("colour " + std::to_string(id), &answer);
  return answer.substr(0, answer.find(' '));
}

bool WindowDriver::WaitForColour(int id, const std::string& name, double seconds) {
  return PollFor(seconds, [&] { return Colour(id) == name; });
}

std::vector<ShownBox> WindowDriver::Boxes() {
  std::vector<std::string> lines;
  std::vector<ShownBox> boxes;
  if (!ListCommand("boxes", &lines)) return boxes;
  for (const std::string& line : lines) {
    const size_t tab = line.find('\t');
    boxes.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
  }
  return boxes;
}

bool WindowDriver::WaitForBox(ShownBox* box, double seconds) {
  return PollFor(seconds, [&] {
    const auto boxes = Boxes();
    if (boxes.empty()) return false;
    *box = boxes.front();
    return true;
  });
}

bool WindowDriver::WaitForNoBox(double seconds) {
  return PollFor(seconds, [&] { return Boxes().empty(); });
}

int WindowDriver::WaitForExit(double seconds) {
  std::string answer;
  return Exchange("wait-exit " + std::to_string(seconds), seconds + kAnswerSeconds, &answer)
             ? static_cast<int>(Number(answer))
             : -1;
}

}  // namespace testing_support
