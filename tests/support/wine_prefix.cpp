#include "tests/support/wine_prefix.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "tests/support/child_process.h"

namespace fs = std::filesystem;

namespace testing_support {

const char* WineLoader() {
  const char* given = std::getenv("ROVELOG_WINE");
  return given != nullptr && *given != '\0' ? given : "/usr/lib/wine/wine";
}

WinePrefix::~WinePrefix() {
  // Wine finds a prefix's server by the folder's inode, which the file system
  // hands to the next new folder at once: the server must be gone (-k need
  // not wait for its end, -w does) before the folder goes, or the next
  // test's prefix talks to a dying server.
  for (const char* step : {"-k", "-w"}) {
    ChildProcess server;
    if (server.Start({"/usr/lib/wine/wineserver64", step}, Environment(), true)) server.Wait(60);
  }
}

std::vector<std::string> WinePrefix::Environment() const {
  return {"WINEPREFIX=" + dir_.File("prefix"), "WINEDEBUG=-all", "LC_ALL=" + locale_};
}

bool WinePrefix::Boot() {
  ChildProcess boot;
  // Wine's server, started here, reports on its own error output: keep it quiet.
  const int status = boot.Start({kWine64, "wineboot", "-i"}, Environment(), true) ? boot.Wait(240) : -1;
  if (status != 0) {
    std::cerr << "wineboot -i in " << dir_.File("prefix") << " ended with status " << status << "\n";
    return false;
  }
  return InstallWineFonts(dir_.File("prefix")) && SetDpi();
}

// The user's LogPixels is enough for Wine 8, which reads it when a program
// starts: a prefix set to 192 shows every dialog twice as large. (The
// machine's value in the hardware profile's Fonts key need not be set.)
bool WinePrefix::SetDpi() const {
  if (dpi_ == 96) return true;
  ChildProcess reg;
  const std::vector<std::string> command = {kWine64, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                                            "/t", "REG_DWORD", "/d", std::to_string(dpi_), "/f"};
  if (!reg.Start(command, Environment(), true)) return false;
  reg.ReadAll(120);
  return reg.Wait(120) == 0;
}

bool WinePrefix::UseVirtualDesktop(const std::string& size, const std::vector<std::string>& extra_env) {
  std::vector<std::string> env = Environment();
  env.insert(env.end(), extra_env.begin(), extra_env.end());
  const std::vector<std::vector<std::string>> commands = {
      {kWine64, "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default", "/f"},
      {kWine64, "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d", size, "/f"},
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

bool InstallWineFonts(const std::string& prefix) {
  const fs::path fonts = fs::path(prefix) / "drive_c/windows/Fonts";
  std::error_code error;
  fs::create_directories(fonts, error);
  int copied = 0;
  for (const auto& entry : fs::directory_iterator("/usr/share/wine/fonts", error)) {
    if (entry.path().extension() != ".ttf") continue;
    if (fs::copy_file(entry.path(), fonts / entry.path().filename(), fs::copy_options::overwrite_existing, error))
      ++copied;
  }
  return copied > 0;
}

std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

std::string WindowsBuild() {
  const char* given = std::getenv("ROVELOG_WINDOWS_BUILD");
  return given != nullptr && *given != '\0' ? given : std::string(ROVELOG_SOURCE_DIR) + "/build/win32";
}

std::string WindowsProgram(const std::string& relative_path) { return WindowsBuild() + "/" + relative_path; }

std::string ShippedRovelog() {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(WindowsBuild(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Rovelog-", 0) == 0 && entry.path().extension() == ".zip") return entry.path().string();
  }
  return WindowsProgram("app/Rovelog.exe");
}

bool UnpackShippedRovelog(const std::string& folder) {
  const std::string shipped = ShippedRovelog();
  if (fs::path(shipped).extension() != ".zip") {
    std::error_code error;
    return fs::copy_file(shipped, fs::path(folder) / "Rovelog.exe", error);
  }
  ChildProcess unzip;
  return unzip.Start({"/usr/bin/unzip", "-q", "-o", shipped, "Rovelog.exe", "-d", folder}, {}, true) &&
         unzip.Wait(60) == 0;
}

namespace {
// Some machines run 64-bit programs only: their kernel refuses the 32-bit
// loader (ENOEXEC) though it is installed.
bool LoaderStarts() {
  static const bool starts = [] {
    ChildProcess version;
    return version.Start({kWine, "--version"}, {}, true) && version.Wait(60) == 0;
  }();
  return starts;
}
}  // namespace

std::string WhyNotRunnable(const std::string& program) {
  if (access(kWine, X_OK) != 0) {
    return std::string(kWine) + " is not installed: run scripts/setup.sh";
  }
  if (!LoaderStarts())
    return std::string("this machine cannot start ") + kWine + " (it runs 64-bit programs only)";
  if (access(program.c_str(), R_OK) != 0) return program + " is absent: build its preset first";
  return "";
}

}  // namespace testing_support
