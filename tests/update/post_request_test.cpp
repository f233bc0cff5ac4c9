#include <gtest/gtest.h>

#include "tests/upload/service_standin.h"
#include "update/auto_updater.h"

namespace {

using testing_support::ScratchDir;
using testing_support::ServiceStandin;

struct Exchange {
  int outcome = 0;
  std::wstring answer;
};

Exchange Post(const ServiceStandin& service, const std::wstring& answer_before = L"") {
  CAutoUpdater updater(service.address());
  Exchange exchange;
  exchange.answer = answer_before;
  exchange.outcome = updater.PostRequest(updater.UpdateCheckAddress(), exchange.answer);
  return exchange;
}

TEST(PostRequest, DeliversTheBodyByteForByteAsCharacters) {
  struct Case {
    std::string body;
    std::wstring answer;
    UpdateVerdictKind kind;
  };
  const Case cases[] = {
      {"win1_2", L"win1_2", UpdateVerdictKind::kUpToDate},
      {"win1_2\r\n", L"win1_2\r\n", UpdateVerdictKind::kNewVersion},
      {"\xE9win1_2\xFF", L"\u00E9win1_2\u00FF", UpdateVerdictKind::kNewVersion},
      {"", L"", UpdateVerdictKind::kNewVersion},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("version"), c.body));
    ServiceStandin service({"--version-file", dir.File("version")});
    ASSERT_TRUE(service.running());
    Exchange exchange = Post(service, L"before");
    EXPECT_EQ(exchange.outcome, kPostAnswered);
    EXPECT_EQ(exchange.answer, c.answer);
    EXPECT_EQ(CAutoUpdater(service.address()).CheckForUpdate().kind, c.kind);
  }
}

TEST(PostRequest, AnotherStatusIsTheOutcomeAndLeavesTheAnswer) {
  ServiceStandin service({"--version-status", "404"});
  ASSERT_TRUE(service.running());
  Exchange exchange = Post(service, L"before");
  EXPECT_EQ(exchange.outcome, 404);
  EXPECT_EQ(exchange.answer, L"before");
}

TEST(PostRequest, AnswerInOneBytePiecesIsReadWhole) {
  ServiceStandin service({"--mode", "trickle"});
  ASSERT_TRUE(service.running());
  Exchange exchange = Post(service);
  EXPECT_EQ(exchange.outcome, kPostAnswered);
  EXPECT_EQ(exchange.answer, L"win1_2");
}

// The answer comes whole in some seconds, each byte well within the
// client's own limits: only the check's overall limit ends the check.
TEST(PostRequest, ACheckThatDripsEndsAtItsLimit) {
  ServiceStandin service({"--mode", "trickle", "--trickle-pause", "0.05"});
  ASSERT_TRUE(service.running());
  UpdateVerdict verdict = CAutoUpdater(service.address(), 1000).CheckForUpdate();
  EXPECT_EQ(verdict.kind, UpdateVerdictKind::kNoVerdict);
  EXPECT_NE(verdict.text.find(L"Код ошибки: 12002"), std::wstring::npos);
}

TEST(PostRequest, RefusedConnectionGivesTheClientsErrorAndItsText) {
  ServiceStandin service({"--mode", "refuse"});
  ASSERT_TRUE(service.running());
  Exchange exchange = Post(service);
  EXPECT_EQ(exchange.outcome, 12029);
  EXPECT_FALSE(exchange.answer.empty());
}

TEST(PostRequest, ServerThatClosesWithoutAnAnswerGivesNoStatus) {
  ServiceStandin service({"--mode", "close"});
  ASSERT_TRUE(service.running());
  EXPECT_EQ(Post(service).outcome, kPostNoStatus);
}

}  // namespace
