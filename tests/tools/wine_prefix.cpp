#include "tests/tools/wine_prefix.h"

#include "tests/tools/child_process.h"

namespace testing_support {

WinePrefix::~WinePrefix() {
  ChildProcess stop;
  if (stop.Start({"/usr/lib/wine/wineserver64", "-k"}, Environment(), true)) stop.Wait(30);
}

std::vector<std::string> WinePrefix::Environment() const {
  return {"WINEPREFIX=" + dir_.File("prefix"), "WINEDEBUG=-all", "LC_ALL=" + locale_};
}

bool WinePrefix::Boot() {
  ChildProcess boot;
  // Wine's server, started here, reports on its own error output: keep it quiet.
  return boot.Start({kWine, "wineboot", "-i"}, Environment(), true) && boot.Wait(240) == 0;
}

bool WinePrefix::UseVirtualDesktop(const std::string& size, const std::vector<std::string>& extra_env) {
  std::vector<std::string> env = Environment();
  env.insert(env.end(), extra_env.begin(), extra_env.end());
  const std::vector<std::vector<std::string>> commands = {
      {kWine, "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default", "/f"},
      {kWine, "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d", size, "/f"},
      // The server reads the desktop setting when it starts again.
      {"/usr/lib/wine/wineserver64", "-k"}};
  for (const auto& command : commands) {
    ChildProcess step;
    if (!step.Start(command, env, true)) return false;
    step.ReadAll(120);
    step.Wait(120);
  }
  ChildProcess wait;
  if (!wait.Start({"/usr/lib/wine/wineserver64", "-w"}, env, true) || wait.Wait(60) < 0) return false;
  // A server left idle ends after a few seconds and takes the volatile keys
  // with it (HARDWARE, where a test lists its serial ports): this one stays
  // until the prefix goes.
  ChildProcess server;
  return server.Start({"/usr/lib/wine/wineserver64", "-p"}, env, true) && server.Wait(60) == 0;
}

std::string WinePrefix::ComLink(int number) const {
  return dir_.File("prefix/dosdevices/com" + std::to_string(number));
}

std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

std::string Win64Program(const std::string& relative_path) {
  return std::string(ROVELOG_SOURCE_DIR) + "/build/win64/" + relative_path;
}

}  // namespace testing_support
