#include "upload/upload_protocol.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/support/test_support.h"
#include "upload/base64.h"
#include "upload/service_address.h"

namespace {

std::string DataFile(const std::string& name) {
  return testing_support::ReadFileBytes(std::string(ROVELOG_SOURCE_DIR) + "/tests/upload/data/" + name);
}

UploadParams ParamsFrom(const SettingsRecord& settings) {
  UploadParams params;
  SetUploadParams(params, settings);
  return params;
}

SettingsRecord GoldenSettings() {
  SettingsRecord settings;
  settings.login = L"pilot";
  settings.password = L"пароль1";
  settings.track_name = L"Поход";
  settings.privacy = L"Для друзей";
  settings.interval_or_distance = L"5 мин.";
  settings.send_mode = kSendByTime;
  settings.thinning = 5;
  return settings;
}

// The body of a request: after the blank line of the headers, without the final CR LF.
std::string BodyOf(const std::string& request) {
  size_t start = request.find("\r\n\r\n") + 4;
  return request.substr(start, request.size() - start - 2);
}

TEST(BuildUploadRequest, EqualsTheHandWrittenRequestByteForByte) {
  std::string archive = DataFile("track7.zip");
  std::string golden = DataFile("upload_request.golden");
  ASSERT_EQ(archive.size(), 22u);
  ASSERT_FALSE(golden.empty());
  ServiceAddress service;
  service.host = "127.0.0.1";
  service.port = 8080;
  std::string request = BuildUploadRequest(ParamsFrom(GoldenSettings()), HostHeader(service),
                                           ArchiveFileName("C:\\Rovelog\\Tracks\\ToSend\\track7.zip"), archive);
  EXPECT_EQ(request, golden);
}

TEST(BuildUploadRequest, SendModeNoneSendsAnEmptySendInfoPart) {
  SettingsRecord settings = GoldenSettings();
  settings.send_mode = kSendModeNone;
  std::string request = BuildUploadRequest(ParamsFrom(settings), "h", "track1.zip", "x");
  EXPECT_NE(request.find("name=\"send_info\"\r\n\r\n\r\n--BoUnDaRy\r\n"), std::string::npos);
}

TEST(BuildUploadRequest, ContentLengthCountsTheBodyAloneForEveryArchiveSize) {
  for (size_t size : {0u, 1u, 2u, 3u, 4u, 100u, 70000u}) {
    std::string archive(size, '\xA7');
    std::string request = BuildUploadRequest(ParamsFrom(GoldenSettings()), "h", "t.zip", archive);
    size_t length_at = request.find("Content-Length: ") + 16;
    size_t declared = std::stoul(request.substr(length_at));
    std::string body = BodyOf(request);
    EXPECT_EQ(declared, body.size()) << size;
    EXPECT_EQ(body.substr(body.size() - 12), "\r\n--BoUnDaRy") << size;
    EXPECT_EQ(request.substr(request.size() - 14), "\r\n--BoUnDaRy\r\n") << size;
  }
}

TEST(BuildUploadRequest, NamesNoPortInTheHostHeaderForPort80) {
  ServiceAddress service;
  service.host = "tracks.example.org";
  std::string request = BuildUploadRequest(UploadParams(), HostHeader(service), "t.zip", "");
  EXPECT_EQ(request.rfind("POST /upkmlwpt_api.php HTTP/1.1\r\nHost: tracks.example.org\r\nContent-Type:", 0), 0u);
}

TEST(Base64, EncodesTheStandardVectorsAndHighBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
      {std::string("\xFF\xFE\xFD\x00\x3E", 5), "//79AD4="},
  };
  for (const auto& [bytes, expected] : cases) {
    std::string out = "prefix";
    AppendBase64(bytes, out);
    EXPECT_EQ(out, "prefix" + expected);
    EXPECT_EQ(Base64Length(bytes.size()), expected.size());
  }
}

TEST(SendInfo, JoinsKindAndValueOrIsEmptyWhenEitherIsNegative) {
  struct Case {
    int mode;
    std::wstring text;
    std::string expected;
  };
  const Case cases[] = {
      {0, L"5 мин.", "1_5"},   {0, L"1 час", "1_60"},      {0, L"2 часа", "1_120"},  {0, L"6 часов", "1_360"},
      {0, L"45 мин.", "1_45"}, {0, L"5 МИН.", "1_0"},      {0, L"7 мин.", "1_0"},    {1, L"500", "2_500"},
      {1, L"abc", "2_0"},      {1, L" 300 м", "2_300"},    {1, L"-5", ""},           {2, L"500", "3_0"},
      {-1, L"5 мин.", ""},     {3, L"5 мин.", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SendInfo(static_cast<SendMode>(c.mode), platform::WideToAnsiOr1251(c.text)), c.expected) << c.mode;
  }
}

TEST(PrivacyCode, MapsTheThreeCaptionsWithoutRegardToCase) {
  EXPECT_EQ(PrivacyCode(L"Только мне"), "1");
  EXPECT_EQ(PrivacyCode(L"ДЛЯ ДРУЗЕЙ"), "2");
  EXPECT_EQ(PrivacyCode(L"для всех"), "3");
  EXPECT_EQ(PrivacyCode(L"Для всех "), std::nullopt);
  EXPECT_EQ(PrivacyCode(L""), std::nullopt);
}

TEST(SetUploadParams, AnUnknownPrivacyCaptionKeepsThePreviousCode) {
  UploadParams params;
  SettingsRecord settings = GoldenSettings();
  settings.privacy = L"всем подряд";
  SetUploadParams(params, settings);
  EXPECT_EQ(params.privacy_code, "");
  settings.privacy = L"Только мне";
  SetUploadParams(params, settings);
  settings.privacy = L"";
  settings.login = L"другой";
  SetUploadParams(params, settings);
  EXPECT_EQ(params.privacy_code, "1");
  EXPECT_EQ(params.login, platform::WideToAnsi(L"другой"));
  EXPECT_EQ(params.send_mode, kSendByTime);
}

TEST(ParseAnswerCode, ReadsFourCharactersThreePlacesAfterTheFirstMark) {
  const std::pair<std::string, int> cases[] = {
      {">\r\n1000", 1000},
      {"HTTP/1.1 200 OK\r\nContent-Length: 24\r\n\r\n<answer>\r\n1001\r\n</answer>", 1001},
      {">\r\n0\r\n</answer>", 0},
      {">ab1006xyz", 1006},
      {">ab10005", 1000},  // only four characters count
      {">ab12", 12},       // as many as there are
      {">ab  42", 42},
      {">ab-100", -100},
      {">abxyz", 0},
      {">xx1001 >xx1000", 1001},
      {">ab", kNoAnswerCode},
      {"no mark at all", kNoAnswerCode},
      {"", kNoAnswerCode},
  };
  for (const auto& [answer, code] : cases) EXPECT_EQ(ParseAnswerCode(answer), code) << answer;
}

TEST(AnswerCodeComplete, WaitsForAllFourCharactersOfTheCode) {
  EXPECT_FALSE(AnswerCodeComplete(""));
  EXPECT_FALSE(AnswerCodeComplete("HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(AnswerCodeComplete("<a>\r\n100"));
  EXPECT_TRUE(AnswerCodeComplete("<a>\r\n1000"));
}

TEST(AnswerStatus, OnlyA2xxAnswerIsReadForItsCode) {
  struct Case {
    std::string answer;
    std::string status_line;
    bool success;
    bool complete;
    int code;  // of the body
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 21\r\n\r\n<answer>\r\n1000\r\n", "HTTP/1.1 200 OK", true, true, 1000},
      {"HTTP/1.0 204 No Content\r\n\r\n", "HTTP/1.0 204 No Content", true, false, kNoAnswerCode},
      {"HTTP/1.1 200 OK\n\n<a>\r\n1001", "HTTP/1.1 200 OK", true, true, 1001},
      {"HTTP/1.1 200 OK\r\nX-Note: <b>\r\n\r\n<a>\r\n1002", "HTTP/1.1 200 OK", true, true, 1002},
      {"HTTP/1.1 200 OK\r\n\r\n<a>\r\n10", "HTTP/1.1 200 OK", true, false, 10},
      {"HTTP/1.1 500 Internal Server Error\r\n\r\n<html>", "HTTP/1.1 500 Internal Server Error", false, true,
       kNoAnswerCode},
      {"HTTP/1.1 404 Not Found\r\n", "HTTP/1.1 404 Not Found", false, true, kNoAnswerCode},
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", "HTTP/1.1 302 Found", false, true, kNoAnswerCode},
      {"HTTP/1.1 2000 OK\r\n", "HTTP/1.1 2000 OK", false, true, kNoAnswerCode},
      {"HTTP/1.1 20\r\n", "HTTP/1.1 20", false, true, kNoAnswerCode},
      {"<answer>\r\n1000\r\n", "<answer>", false, true, kNoAnswerCode},
      {"HTTP/1.1 200 O", "HTTP/1.1 200 O", true, false, kNoAnswerCode},
      {"", "", false, false, kNoAnswerCode},
  };
  for (const Case& c : cases) {
    std::string line = AnswerStatusLine(c.answer);
    EXPECT_EQ(line, c.status_line) << c.answer;
    EXPECT_EQ(IsSuccessStatus(line), c.success) << c.answer;
    EXPECT_EQ(AnswerComplete(c.answer), c.complete) << c.answer;
    EXPECT_EQ(ParseAnswerCode(AnswerBody(c.answer)), c.code) << c.answer;
  }
}

TEST(ArchiveFileName, TakesTheTextAfterTheLastSeparator) {
  EXPECT_EQ(ArchiveFileName("C:\\Rovelog\\Tracks\\ToSend\\track7.zip"), "track7.zip");
  EXPECT_EQ(ArchiveFileName("/home/u/Tracks/ToSend/track12.zip"), "track12.zip");
  EXPECT_EQ(ArchiveFileName("track3.zip"), "track3.zip");
  EXPECT_EQ(ArchiveFileName("Tracks\\"), "");
}

TEST(ParseServiceAddress, ReadsHostAndOptionalPort) {
  struct Case {
    std::wstring setting;
    std::string host;
    uint16_t port;
  };
  const Case cases[] = {
      {L"", "rovelog.example", 80},         {L"  ", "rovelog.example", 80},
      {L"tracks.example.org", "tracks.example.org", 80}, {L" 127.0.0.1:8080 ", "127.0.0.1", 8080},
      {L"localhost:65535", "localhost", 65535}, {L"host:0", "host:0", 80},
      {L"host:65536", "host:65536", 80},     {L"host:8o", "host:8o", 80},
      {L"host:", "host:", 80},               {L":8080", ":8080", 80},
  };
  for (const Case& c : cases) {
    ServiceAddress service = ParseServiceAddress(c.setting);
    EXPECT_EQ(service.host, c.host) << platform::WideToUtf8(c.setting);
    EXPECT_EQ(service.port, c.port) << platform::WideToUtf8(c.setting);
  }
}

TEST(HostHeader, AddsThePortOnlyWhenItIsNot80) {
  ServiceAddress service;
  service.host = "tracks.example.org";
  EXPECT_EQ(HostHeader(service), "tracks.example.org");
  service.port = 8080;
  EXPECT_EQ(HostHeader(service), "tracks.example.org:8080");
}

TEST(LookupName, PrefixesWwwExceptForIpv4LiteralsAndLocalhost) {
  EXPECT_EQ(LookupName("tracks.example.org"), "www.tracks.example.org");
  EXPECT_EQ(LookupName("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(LookupName("LocalHost"), "LocalHost");
  EXPECT_EQ(LookupName("localhost.org"), "www.localhost.org");
  EXPECT_EQ(LookupName("1.2.3"), "www.1.2.3");
  EXPECT_EQ(LookupName("256.1.1.1"), "www.256.1.1.1");
  EXPECT_EQ(LookupName("1.2.3.4.5"), "www.1.2.3.4.5");
}

}  // namespace
