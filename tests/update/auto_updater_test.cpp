#include "update/auto_updater.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitAddress, TakesHostBeforeTheFirstSlashAndObjectAfterIt) {
  struct Case {
    std::wstring address;
    std::wstring host;
    std::wstring object;
  };
  const Case cases[] = {
      {L"tracks.example.org/checkv_vtkwin.php", L"tracks.example.org", L"checkv_vtkwin.php"},
      {L"http://tracks.example.org/api/checkv_vtkwin.php", L"tracks.example.org", L"api/checkv_vtkwin.php"},
      {L"tracks.example.org", L"tracks.example.org", L""},
      {L"tracks.example.org/", L"tracks.example.org", L""},
      // Any "http" costs the first seven characters, wherever it stands.
      {L"https://tracks.example.org/x", L"", L"tracks.example.org/x"},
      {L"www.http.example/x", L"p.example", L"x"},
  };
  for (const Case& c : cases) {
    std::wstring host = L"old";
    std::wstring object = L"old";
    CAutoUpdater::SplitAddress(c.address, &host, &object);
    EXPECT_EQ(host, c.host);
    EXPECT_EQ(object, c.object);
  }
}

TEST(UpdateVerdictFor, OnlyTheExactTagMeansNoUpdate) {
  const std::wstring kNewVersion =
      L"Доступна новая версия программы.\nПерейдите на сайт http://tracks.example.org и скачайте новую версию.";
  struct Case {
    std::wstring answer;
    UpdateVerdictKind kind;
  };
  const Case cases[] = {
      {L"win1_2", UpdateVerdictKind::kUpToDate},   {L"win1_2\r\n", UpdateVerdictKind::kNewVersion},
      {L"win1_2 ", UpdateVerdictKind::kNewVersion}, {L"WIN1_2", UpdateVerdictKind::kNewVersion},
      {L"win1_3", UpdateVerdictKind::kNewVersion},  {L"", UpdateVerdictKind::kNewVersion},
      {L"win1_\u00B2", UpdateVerdictKind::kNewVersion},
  };
  for (const Case& c : cases) {
    UpdateVerdict verdict = UpdateVerdictFor(kPostAnswered, c.answer, "tracks.example.org");
    EXPECT_EQ(verdict.kind, c.kind);
    EXPECT_EQ(verdict.text, c.kind == UpdateVerdictKind::kUpToDate ? L"Нет доступных обновлений." : kNewVersion);
    EXPECT_EQ(verdict.caption, L"Информация");
  }
}

TEST(UpdateVerdictFor, FailedCheckGivesNoVerdictButSaysWhy) {
  UpdateVerdict not_found = UpdateVerdictFor(404, L"", "h");
  EXPECT_EQ(not_found.kind, UpdateVerdictKind::kNoVerdict);
  EXPECT_NE(not_found.text.find(L"404"), std::wstring::npos);
  // Even an answer equal to the tag is no verdict when the exchange failed.
  EXPECT_EQ(UpdateVerdictFor(kPostNoStatus, L"win1_2", "h").kind, UpdateVerdictKind::kNoVerdict);
  UpdateVerdict refused = UpdateVerdictFor(12029, L"A connection with the server could not be established", "h");
  EXPECT_EQ(refused.kind, UpdateVerdictKind::kNoVerdict);
  EXPECT_NE(refused.text.find(L"12029"), std::wstring::npos);
  EXPECT_NE(refused.text.find(L"could not be established"), std::wstring::npos);
}

}  // namespace
