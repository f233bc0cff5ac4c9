// rovelog-headless: the recorder without a window. Loads properties.ini as the
// window does, takes the window's commands on standard input and prints every
// change of the event log on standard output. Arguments, commands and output
// are UTF-8 on every system.
//
//   rovelog-headless [--dir DIR] [--answer yes|no]
//
// Commands: start, stop, point, point NAME, send, settings, save (the
// settings as the form shows them, saved again), update, quit.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "eventlog/event_log.h"
#include "app/recorder_commands.h"
#include "gps/gps_stat.h"
#include "platform/console.h"
#include "platform/program_dir.h"
#include "platform/text.h"
#include "settings/settings_model.h"
#include "tools/headless/log_printer.h"
#include "tools/headless/send_timer.h"
#include "update/auto_updater.h"
#include "upload/service_address.h"

namespace {

struct Options {
  std::string dir;
  std::string answer;  // "yes", "no", or empty: ask on standard input
};

// The arguments are UTF-8 (the program's name first), so a folder such as "D:\Маршруты ✓" arrives whole
// on any Windows code page.
bool ParseOptions(const std::vector<std::string>& args, Options& options) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--dir" && i + 1 < args.size()) {
      options.dir = args[++i];
    } else if (arg == "--answer" && i + 1 < args.size()) {
      options.answer = args[++i];
      if (options.answer != "yes" && options.answer != "no") return false;
    } else {
      return false;
    }
  }
  return true;
}

std::string OneLine(const std::wstring& text) {
  std::string line = platform::WideToUtf8(text);
  for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at)) line.replace(at, 1, "\\n");
  return line;
}

class HeadlessDriver {
 public:
  explicit HeadlessDriver(const Options& options)
      : options_(options),
        printer_(lines_),
        log_(&lines_),
        logger_(&log_),
        timer_([this] { logger_.RequestEndOfTrack(); }),
        commands_(logger_, log_, View()) {
    logger_.SetStateListener([this](int state) {
      commands_.OnTrackState(state);
      printer_.Print("# state " + std::to_string(state));
    });
    settings_.LoadSettingsRecord();
  }

  // Runs one command line; false for quit.
  bool Run(const std::string& line) {
    if (line == "quit") return false;
    if (line == "start") {
      if (!commands_.running()) Start();
    } else if (line == "stop") {
      if (commands_.running()) commands_.StartStop(settings_.record());
    } else if (line == "point") {
      commands_.CreatePoint();
    } else if (line.rfind("point ", 0) == 0) {
      commands_.CreateNamedPoint(platform::Utf8ToWide(line.substr(6)));
    } else if (line == "send") {
      commands_.SendNow(settings_.record());
    } else if (line == "settings") {
      PrintSettings();
    } else if (line == "save") {
      SaveShownSettings();
    } else if (line == "update") {
      CheckForUpdate();
    } else if (!line.empty()) {
      printer_.Print("! unknown command: " + line);
    }
    return true;
  }

  // Stops recording; the logger waits for its threads as it goes.
  void Quit() {
    if (commands_.running()) commands_.StartStop(settings_.record());
    timer_.Kill();
    // The last state reaches the commands before they go.
    logger_.StopAndWait();
  }

 private:
  RecorderCommands::View View() {
    RecorderCommands::View view;
    view.set_send_timer = [this](int period) {
      if (period > 0) {
        timer_.Set(period);
      } else {
        timer_.Kill();
      }
    };
    view.ask = [this](const std::wstring& caption, const std::wstring& text) { return Ask(caption, text); };
    return view;
  }

  // A start right after a stop waits, as the window's disabled button does,
  // until the stopped track is packed: a console may wait, the window never.
  void Start() {
    while (!commands_.CanStart()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const SettingsRecord record = settings_.record();
    commands_.StartStop(record);
    if (commands_.running() && RecorderCommands::WarnsOfMissingInterval(record)) {
      printer_.Print("? " + OneLine(RecorderCommands::kMissingIntervalText) + " -> ok");
    }
  }

  bool Ask(const std::wstring&, const std::wstring& text) {
    std::string answer = options_.answer;
    if (answer.empty() && !std::getline(std::cin, answer)) answer = "no";
    bool yes = answer == "yes" || answer == "y";
    printer_.Print("? " + OneLine(text) + (yes ? " -> yes" : " -> no"));
    return yes;
  }

  // The window shows the verdict in a message box; here it is one line.
  void CheckForUpdate() {
    CAutoUpdater updater(ParseServiceAddress(settings_.record().server));
    UpdateVerdict verdict = updater.CheckForUpdate();
    printer_.Print("? " + OneLine(verdict.text) + " -> ok");
  }

  // "Сохранить настройки" on the form as it was shown, answered as the window answers it.
  void SaveShownSettings() {
    std::wstring failure;
    settings_.SaveSettings(settings_.ShowSettings(), &failure);
    printer_.Print(failure.empty() ? "# saved" : "! " + platform::WideToUtf8(failure));
  }

  void PrintSettings() {
    printer_.Print("port=" + platform::WideToUtf8(settings_.record().port));
    printer_.Print("login=" + platform::WideToUtf8(settings_.record().login));
    printer_.Print("password=" + platform::WideToUtf8(settings_.record().password));
    printer_.Print("track=" + platform::WideToUtf8(settings_.record().track_name));
    printer_.Print("privacy=" + platform::WideToUtf8(settings_.record().privacy));
    printer_.Print("interval=" + platform::WideToUtf8(settings_.record().interval_or_distance));
    printer_.Print("sendmode=" + std::to_string(settings_.record().send_mode));
    printer_.Print("thinning=" + std::to_string(settings_.record().thinning));
    printer_.Print("server=" + platform::WideToUtf8(settings_.record().server));
  }

  Options options_;
  LineList lines_;
  LogPrinter printer_;
  EventLog log_;
  CGpsLogger logger_;
  SendTimer timer_;
  RecorderCommands commands_;
  SettingsModel settings_;
};

}  // namespace

int main(int argc, char** argv) {
  platform::UseUtf8Console();
  Options options;
  if (!ParseOptions(platform::Utf8Arguments(argc, argv), options)) {
    std::fprintf(stderr, "usage: rovelog-headless [--dir DIR] [--answer yes|no]\n");
    return 2;
  }
  if (!options.dir.empty()) platform::SetProgramFolder(options.dir);
  HeadlessDriver driver(options);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!driver.Run(line)) break;
  }
  driver.Quit();
  return 0;
}
