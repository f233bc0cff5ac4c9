#include "upload/upload_archive.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/upload/pilot_account.h"
#include "tests/upload/service_standin.h"

namespace {

using testing_support::KmlWithPoints;
using testing_support::MakeZip;
using testing_support::ScratchDir;
using testing_support::ServiceStandin;

// Enough points for an archive of over 5 MB: more than the socket buffers of both ends hold.
constexpr int kFiveMegabytes = 220000;

// Stand-in arguments: the pilot's account, then the extra ones.
std::vector<std::string> Account(const std::vector<std::string>& extra = {}) {
  std::vector<std::string> arguments = {"--login", testing_support::kPilotLogin, "--password",
                                        testing_support::kPilotPassword};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return arguments;
}

UploadParams Pilot() { return testing_support::PilotParams(); }

// Short waits so that a silent service fails a test in well under a second.
platform::SocketTimeouts Short() {
  platform::SocketTimeouts timeouts;
  timeouts.connect_ms = 400;
  timeouts.send_ms = 400;
  timeouts.receive_ms = 400;
  return timeouts;
}

// Compares bytes without printing megabytes when they differ.
void ExpectSameBytes(const std::string& actual, const std::string& expected) {
  EXPECT_EQ(actual.size(), expected.size());
  EXPECT_TRUE(actual == expected) << "the bytes differ";
}

struct Upload {
  bool accepted = false;
  std::vector<std::wstring> lines;
};

Upload Send(const ServiceAddress& service, const std::string& archive_path, const UploadParams& params = Pilot(),
           const platform::SocketTimeouts& timeouts = {}) {
  LineList list;
  EventLog log(&list);
  Upload upload;
  upload.accepted = UploadArchive(log, params, service, archive_path, timeouts);
  upload.lines = list.Lines();
  return upload;
}

std::vector<std::wstring> Status(const std::wstring& text) { return {L"Статус отправки:", text}; }

class UploadArchiveTest : public testing::Test {
 protected:
  // A valid archive of the given number of points, as the packer makes them.
  std::string Archive(int points, const std::string& name = "track7.zip") {
    std::string path = dir_.File(name);
    EXPECT_TRUE(MakeZip(path, "track7.kml", KmlWithPoints(points)));
    return path;
  }

  ScratchDir dir_;
};

TEST_F(UploadArchiveTest, AcceptedArchiveArrivesAsTheExactRequestAndLogsOk) {
  ServiceStandin service(Account());
  ASSERT_TRUE(service.running());
  std::string path = Archive(20);
  Upload upload = Send(service.address(), path);
  EXPECT_TRUE(upload.accepted);
  EXPECT_EQ(upload.lines, Status(L"ok"));
  std::string archive = testing_support::ReadFileBytes(path);
  ExpectSameBytes(testing_support::ReadFileBytes(service.StoredUpload(1, "track7.zip")), archive);
  EXPECT_EQ(testing_support::ReadFileBytes(service.StoredUpload(1, "fields/send_info")), "2_500");
  ExpectSameBytes(testing_support::ReadFileBytes(service.StoredUpload(1, "request.bin")),
                  BuildUploadRequest(Pilot(), HostHeader(service.address()), "track7.zip", archive));
}

TEST_F(UploadArchiveTest, FiveMegabyteArchiveUploadsWhole) {
  ServiceStandin service(Account());
  ASSERT_TRUE(service.running());
  std::string path = Archive(kFiveMegabytes);
  std::string archive = testing_support::ReadFileBytes(path);
  ASSERT_GT(archive.size(), 5u * 1000 * 1000);
  EXPECT_EQ(Send(service.address(), path).lines, Status(L"ok"));
  ExpectSameBytes(testing_support::ReadFileBytes(service.StoredUpload(1, "track7.zip")), archive);
}

TEST_F(UploadArchiveTest, EachRefusalOfTheServiceGivesItsTextAndFails) {
  ServiceStandin service(Account());
  ASSERT_TRUE(service.running());
  std::string good = Archive(3);
  std::string no_points = dir_.File("no_points.zip");
  ASSERT_TRUE(MakeZip(no_points, "t.kml", "<kml><Document></Document></kml>"));
  std::string bad_points = dir_.File("bad_points.zip");
  ASSERT_TRUE(MakeZip(bad_points, "t.kml", "<kml><coordinates>\r\n200,95,0\r\nx,y\r\n</coordinates></kml>"));
  std::string no_kml = dir_.File("no_kml.zip");
  ASSERT_TRUE(MakeZip(no_kml, "points.wpt", "OziExplorer Waypoint File Version 1.1\r\n"));
  std::string not_zip = dir_.File("broken.zip");
  ASSERT_TRUE(testing_support::WriteFileBytes(not_zip, "PK but not really an archive"));
  UploadParams wrong_password = Pilot();
  wrong_password.password = "guess";

  struct Case {
    const char* what;
    std::string path;
    UploadParams params;
    std::wstring text;
  };
  const Case cases[] = {
      {"wrong password", good, wrong_password, L"пароль не принят"},
      {"no .kml inside", no_kml, Pilot(), L"Неправильное расширение файла. Должно быть kml"},
      {"not a ZIP archive", not_zip, Pilot(), L"Ошибка загрузки файла"},
      {"no coordinates", no_points, Pilot(), L"Ошибка при проверке файла - не найдены координаты"},
      {"no valid coordinate", bad_points, Pilot(), L"Данные приянты, но не найдено ни одной корректной координаты"},
  };
  for (const Case& c : cases) {
    Upload upload = Send(service.address(), c.path, c.params);
    EXPECT_FALSE(upload.accepted) << c.what;
    EXPECT_EQ(upload.lines, Status(c.text)) << c.what;
  }
}

TEST_F(UploadArchiveTest, TooLargeAndUnknownCodesFail) {
  std::string path = Archive(200);
  {
    ServiceStandin small_service(Account({"--max-size", "1000"}));
    ASSERT_TRUE(small_service.running());
    EXPECT_EQ(Send(small_service.address(), path).lines, Status(L"Размер файла превышает допустимый"));
  }
  ServiceStandin odd_service(Account({"--code", "1006"}));
  ASSERT_TRUE(odd_service.running());
  Upload upload = Send(odd_service.address(), path);
  EXPECT_FALSE(upload.accepted);
  EXPECT_EQ(upload.lines, Status(L""));
}

TEST_F(UploadArchiveTest, AnswerDeliveredOneByteAtATimeStillGivesTheCode) {
  ServiceStandin service(Account({"--mode", "trickle"}));
  ASSERT_TRUE(service.running());
  Upload upload = Send(service.address(), Archive(5));
  EXPECT_TRUE(upload.accepted);
  EXPECT_EQ(upload.lines, Status(L"ok"));
}

TEST_F(UploadArchiveTest, AnswerDrippingPastItsTimeIsAReceiveError) {
  // Each byte comes well within the receive wait; the whole answer, about
  // 130 bytes, would take over six seconds.
  ServiceStandin service(Account({"--mode", "trickle", "--trickle-pause", "0.05"}));
  ASSERT_TRUE(service.running());
  platform::SocketTimeouts timeouts;
  timeouts.receive_ms = 2000;
  timeouts.answer_ms = 500;
  Upload upload = Send(service.address(), Archive(5), Pilot(), timeouts);
  EXPECT_FALSE(upload.accepted);
  EXPECT_EQ(upload.lines, std::vector<std::wstring>{L"Ошибка получения данных"});
}

// Through a link of 30,000 B/s and limits of 3 s: a request 7 s on the wire
// gets through; a silent or a dripping service still fails.
TEST_F(UploadArchiveTest, ASlowLinkIsNoFaultButASilentOrDrippingServiceIs) {
  platform::SocketTimeouts timeouts;
  timeouts.send_ms = timeouts.receive_ms = timeouts.answer_ms = 3000;
  const struct {
    std::vector<std::string> arguments;
    int points;
    std::vector<std::wstring> lines;
  } cases[] = {
      {{"--link-rate", "30000"}, 6000, Status(L"ok")},
      {{"--link-rate", "30000", "--mode", "silent"}, 5, {L"Ошибка получения данных"}},
      {{"--link-rate", "30000", "--mode", "trickle", "--trickle-pause", "0.05"}, 5, {L"Ошибка получения данных"}},
  };
  for (const auto& c : cases) {
    ServiceStandin service(Account(c.arguments));
    ASSERT_TRUE(service.running());
    EXPECT_EQ(Send(service.address(), Archive(c.points), Pilot(), timeouts).lines, c.lines) << c.points;
  }
}

TEST_F(UploadArchiveTest, AnErrorPageIsAFailureWithItsStatusLine) {
  std::string path = Archive(5);
  struct Case {
    const char* status;
    std::wstring line;
  };
  const Case cases[] = {
      {"500", L"Сервер ответил: HTTP/1.1 500 Internal Server Error"},
      {"404", L"Сервер ответил: HTTP/1.1 404 Not Found"},
      {"302", L"Сервер ответил: HTTP/1.1 302 Found"},
  };
  for (const Case& c : cases) {
    ServiceStandin service(Account({"--upload-status", c.status}));
    ASSERT_TRUE(service.running()) << c.status;
    Upload upload = Send(service.address(), path);
    EXPECT_FALSE(upload.accepted) << c.status;
    EXPECT_EQ(upload.lines, std::vector<std::wstring>{c.line}) << c.status;
  }
}

TEST_F(UploadArchiveTest, SlowReaderStillGetsEveryByteWhileItKeepsReading) {
  ServiceStandin service(Account({"--mode", "slow-read"}));
  ASSERT_TRUE(service.running());
  // Each send may wait 400 ms, far less than the whole transfer takes; the
  // answer comes once the reader has caught up with the buffers.
  platform::SocketTimeouts timeouts = Short();
  timeouts.receive_ms = 20000;
  std::string path = Archive(kFiveMegabytes);
  EXPECT_EQ(Send(service.address(), path, Pilot(), timeouts).lines, Status(L"ok"));
  ExpectSameBytes(testing_support::ReadFileBytes(service.StoredUpload(1, "track7.zip")),
                  testing_support::ReadFileBytes(path));
}

TEST_F(UploadArchiveTest, ConnectionFailuresGiveTheirLines) {
  std::string path = Archive(3);
  struct Case {
    const char* mode;
    std::wstring line;
  };
  const Case cases[] = {
      {"refuse", L"Ошибка соединения"},
      {"close", L"Соединение было закрыто. Ответ не получен"},
      {"hang", L"Ошибка получения данных"},
  };
  for (const Case& c : cases) {
    ServiceStandin service({"--mode", c.mode});
    ASSERT_TRUE(service.running()) << c.mode;
    Upload upload = Send(service.address(), path, Pilot(), Short());
    EXPECT_FALSE(upload.accepted) << c.mode;
    EXPECT_EQ(upload.lines, std::vector<std::wstring>{c.line}) << c.mode;
  }
}

TEST_F(UploadArchiveTest, ConnectTimeOutIsAConnectionError) {
  ServiceStandin service({"--mode", "backlog"});
  ASSERT_TRUE(service.running());
  // Fill the listener's queue; later connections then wait for nothing.
  platform::NetSession session;
  platform::TcpSocket fillers[3];
  for (platform::TcpSocket& filler : fillers) {
    ASSERT_TRUE(filler.Open());
    filler.Connect(htonl(0x7F000001), service.port(), Short());
  }
  EXPECT_EQ(Send(service.address(), Archive(3), Pilot(), Short()).lines,
            std::vector<std::wstring>{L"Ошибка соединения"});
}

TEST_F(UploadArchiveTest, ServiceThatStopsReadingEndsInASendError) {
  ServiceStandin service({"--mode", "hang"});
  ASSERT_TRUE(service.running());
  std::string path = Archive(kFiveMegabytes);
  EXPECT_EQ(Send(service.address(), path, Pilot(), Short()).lines,
            std::vector<std::wstring>{L"Произошла ошибка при отправке данных"});
}

TEST_F(UploadArchiveTest, UnreadableArchiveIsReportedAndNothingIsSent) {
  ServiceStandin service(Account());
  ASSERT_TRUE(service.running());
  std::string missing = dir_.File("track404.zip");
  Upload upload = Send(service.address(), missing);
  EXPECT_FALSE(upload.accepted);
  EXPECT_EQ(upload.lines, std::vector<std::wstring>{L"Не удалось прочитать архив " + platform::Utf8ToWide(missing)});
}

}  // namespace
