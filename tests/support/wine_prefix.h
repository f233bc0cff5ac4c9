// A fresh Wine prefix in a scratch folder for one test, under a UTF-8 locale
// that sets its ANSI code page (ru_RU: 1251, en_US: 1252); its wineserver is
// stopped when the object goes.
//
// The Windows build under test is named by the environment, which each
// preset's registration of these tests sets: ROVELOG_WINDOWS_BUILD (its
// folder; build/win32, the product, when unset) and ROVELOG_WINE (the Wine
// loader of its bitness; /usr/lib/wine/wine, the 32-bit one, when unset).
#pragma once

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace testing_support {

// The loader that runs the programs of the build under test.
const char* WineLoader();
inline const char* const kWine = WineLoader();
// The 64-bit loader, which makes and sets up every prefix (32-bit programs
// run in the same prefix).
inline constexpr char kWine64[] = "/usr/lib/wine/wine64";

class WinePrefix {
 public:
  // dpi: the screen's DPI that Wine hands the prefix's programs (96 unless set).
  explicit WinePrefix(const std::string& locale = "ru_RU.UTF-8", int dpi = 96) : locale_(locale), dpi_(dpi) {}
  ~WinePrefix();
  // The variables that run a program in this prefix.
  std::vector<std::string> Environment() const;
  // wineboot -i, then Wine's own fonts into C:\windows\Fonts and the DPI
  // into the registry; false when it failed.
  bool Boot();
  // Makes every program of the prefix show its windows on one virtual
  // desktop of the size ("1280x900") with window frames, as on Windows;
  // extra_env carries the DISPLAY. The prefix's server then runs until the
  // prefix goes. False when the registry could not be set.
  bool UseVirtualDesktop(const std::string& size, const std::vector<std::string>& extra_env);
  // The path a COM port of the prefix is linked from.
  std::string ComLink(int number) const;

 private:
  bool SetDpi() const;

  ScratchDir dir_;
  std::string locale_;
  int dpi_;
};

// Debian's Wine does not find the fonts of fonts-wine: without them (Marlett
// above all) caption buttons show as "0 1 r". Copies them into the prefix's
// C:\windows\Fonts; false when none could be copied.
bool InstallWineFonts(const std::string& prefix);

// The Windows name of a POSIX path, through Wine's Z: drive.
std::string WindowsPath(const std::string& path);

// The folder of the Windows build under test.
std::string WindowsBuild();
// A program of the Windows build under test, by its path below the build folder.
std::string WindowsProgram(const std::string& relative_path);
// The Rovelog.exe users get from the build under test: the build's
// distributable (Rovelog-<version>-win32.zip) where it makes one, else
// app/Rovelog.exe.
std::string ShippedRovelog();
// Puts that Rovelog.exe into the folder; false on failure.
bool UnpackShippedRovelog(const std::string& folder);
// Why the build's programs cannot run here (its Wine loader or the program
// missing), or empty.
std::string WhyNotRunnable(const std::string& program);

}  // namespace testing_support
