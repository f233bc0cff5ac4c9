// A save into a file that refuses writing: the failure is reported with the
// file's path, nothing crashes, and the file keeps what it held.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/text.h"
#include "settings/settings_model.h"
#include "tests/support/test_support.h"

namespace {

TEST(SaveSettings, ReadOnlyFileIsLeftIntact) {
  const std::string original = "[Properties]\r\nLogin=old\r\n";
  testing_support::ScratchDir dir;
  std::string file = dir.File("properties.ini");
  testing_support::WriteFileBytes(file, original);
  chmod(file.c_str(), 0444);
  // Root writes read-only files; an immutable file refuses it too.
  if (geteuid() == 0 && std::system(("chattr +i '" + file + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no way to refuse root a write here";
  }
  SettingsModel model;
  std::wstring failure;
  {
    testing_support::ProgramFolderGuard program_folder(dir.path());
    SettingsForm form;
    form.login = L"new";
    model.SaveSettings(form, &failure);
  }
  std::system(("chattr -i '" + file + "' 2>/dev/null").c_str());
  EXPECT_EQ(testing_support::ReadFileBytes(file), original);
  EXPECT_EQ(model.record().login, L"old");
  EXPECT_NE(failure.find(L"properties.ini"), std::wstring::npos) << platform::WideToUtf8(failure);
}

}  // namespace
