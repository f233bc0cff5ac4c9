// A fresh Wine prefix in a scratch folder for one test, under a UTF-8 locale
// that sets its ANSI code page (ru_RU: 1251, en_US: 1252); its wineserver is
// stopped when the object goes.
#pragma once

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace testing_support {

inline constexpr char kWine[] = "/usr/lib/wine/wine64";

class WinePrefix {
 public:
  explicit WinePrefix(const std::string& locale = "ru_RU.UTF-8") : locale_(locale) {}
  ~WinePrefix();
  // The variables that run a program in this prefix.
  std::vector<std::string> Environment() const;
  // wineboot -i; false when it failed.
  bool Boot();
  // Makes every program of the prefix show its windows on one virtual
  // desktop of the size ("1280x900") with window frames, as on Windows;
  // extra_env carries the DISPLAY. The prefix's server then runs until the
  // prefix goes. False when the registry could not be set.
  bool UseVirtualDesktop(const std::string& size, const std::vector<std::string>& extra_env);
  // The path a COM port of the prefix is linked from.
  std::string ComLink(int number) const;

 private:
  ScratchDir dir_;
  std::string locale_;
};

// The Windows name of a POSIX path, through Wine's Z: drive.
std::string WindowsPath(const std::string& path);

// A program of the win64 build, by its path below the build folder.
std::string Win64Program(const std::string& relative_path);

}  // namespace testing_support
