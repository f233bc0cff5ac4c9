#include "settings/settings_model.h"

#include <gtest/gtest.h>


#include "tests/support/test_support.h"

namespace {

// A program folder with the given properties.ini, restored at the end.
class SettingsFolder {
 public:
  explicit SettingsFolder(const std::string& ini) : program_folder_(dir_.path()) {
    if (!ini.empty()) testing_support::WriteFileBytes(File(), ini);
  }
  std::string File() const { return dir_.File("properties.ini"); }
  const std::string& path() const { return dir_.path(); }

 private:
  testing_support::ScratchDir dir_;
  testing_support::ProgramFolderGuard program_folder_;
};

SettingsRecord Load(const std::string& ini) {
  SettingsFolder folder(ini);
  SettingsModel model;
  model.LoadSettingsRecord();
  return model.record();
}

TEST(LoadSettingsRecord, ByHandsWinsAndKeepsTheInterval) {
  SettingsRecord cp1251 = Load("[Properties]\r\nTime=True\r\nByHands=True\r\nTimeInterval=5 \xEC\xE8\xED.\r\n");
  EXPECT_EQ(cp1251.send_mode, kSendByHand);
  EXPECT_EQ(cp1251.interval_or_distance, L"5 мин.");
  EXPECT_EQ(IntervalToMilliseconds(cp1251.interval_or_distance), 300000);
}

TEST(LoadSettingsRecord, OnlyExactTrueCounts) {
  EXPECT_EQ(Load("[Properties]\r\nTime=true\r\n").send_mode, kSendModeNone);
  EXPECT_EQ(Load("[Properties]\r\nTime=true\r\nPoints=True\r\nPointsCount=500\r\n").send_mode, kSendByDistance);
}

TEST(LoadSettingsRecord, EmptyDistanceReadsAsOneHundred) {
  SettingsRecord record = Load("[Properties]\r\nPoints=True\r\nPointsCount=\r\n");
  EXPECT_EQ(record.send_mode, kSendByDistance);
  EXPECT_EQ(record.interval_or_distance, L"100");
}

TEST(LoadSettingsRecord, MissingFileGivesTheDefaults) {
  SettingsRecord record = Load("");
  EXPECT_EQ(record.port, L"");
  EXPECT_EQ(record.send_mode, kSendModeNone);
  EXPECT_EQ(record.thinning, 0);
  EXPECT_EQ(record.server, L"rovelog.example");
}

TEST(LoadSettingsRecord, ReadsTheServerAndUnscramblesThePassword) {
  SettingsFolder folder("[Properties]\r\nServer=127.0.0.1:8080\r\nProrezhivanie=12abc\r\n");
  SettingsModel model;
  SettingsForm form;
  form.password = L"secret word";
  form.thinning_text = L"12";
  model.SaveSettings(form);
  EXPECT_EQ(model.record().server, L"127.0.0.1:8080");
  EXPECT_EQ(model.record().password, L"secret word");
  std::string bytes = testing_support::ReadFileBytes(folder.File());
  EXPECT_EQ(bytes.find("secret"), std::string::npos);
  EXPECT_NE(bytes.find("Server=127.0.0.1:8080\r\n"), std::string::npos);
}

TEST(SaveSettings, WritesTheKeysInOrderWithTheLeastThinning) {
  SettingsFolder folder("");
  SettingsModel model;
  SettingsForm form;
  form.other_port = true;
  form.other_port_text = L"COM12";
  form.thinning_text = L"3";
  form.send_mode = kSendByDistance;
  std::wstring failure = L"untouched";
  SettingsForm shown = model.SaveSettings(form, &failure);
  EXPECT_EQ(failure, L"untouched");
  EXPECT_EQ(testing_support::ReadFileBytes(folder.File()),
            "[Properties]\r\nOtherCOM=Yes\r\nCOM=COM12\r\nAutoTrack=No\r\nLogin=\r\nPassword=\r\nTrack=\r\n"
            "Prorezhivanie=5\r\nPrivacy=\r\nPoints=True\r\nTime=False\r\nTimeInterval=\r\nByHands=False\r\n"
            "PointsCount=\r\n");
  EXPECT_EQ(shown.thinning_text, L"5");
  EXPECT_TRUE(shown.other_port);
  EXPECT_EQ(model.record().port, L"COM12");
  EXPECT_EQ(model.record().interval_or_distance, L"100");

  form.thinning_text = L"";
  form.other_port = false;
  form.port_entry = L"COM3; \\Device\\Serial0";
  model.SaveSettings(form);
  EXPECT_EQ(model.record().thinning, 5);
  EXPECT_EQ(model.record().port, L"COM3");

  // A text the file cannot give back whole (the profile reads 259 characters) is a failure.
  form.track_name = std::wstring(300, L'x');
  model.SaveSettings(form, &failure);
  EXPECT_NE(failure.find(L"не сохранил текст"), std::wstring::npos);
}

TEST(IntervalToMilliseconds, KnowsOnlyTheListTexts) {
  EXPECT_EQ(IntervalToMilliseconds(L"1 мин."), 60000);
  EXPECT_EQ(IntervalToMilliseconds(L"6 часов"), 21600000);
  EXPECT_EQ(IntervalToMilliseconds(L"6 Часов"), 0);
  EXPECT_EQ(IntervalToMilliseconds(L""), 0);
  EXPECT_EQ(IntervalOptions().size(), 11u);
}

}  // namespace
