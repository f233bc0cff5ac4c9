#include "zip/zip_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/support/test_support.h"
#include "tests/zip/zip_test_files.h"

using testing_support::ReadFileBytes;
using zip_testing::TrackText;

namespace {

uint32_t Le(const std::string& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

struct Entry {
  uint32_t made_by, flags, method, time, date, crc, compressed, size, external, offset;
  std::string name, local_extra, central_extra, data;
};

// Reads an archive as a reader does: the end record, the central directory,
// then each entry's local header, which must agree with its central one.
std::vector<Entry> ReadArchive(const std::string& bytes) {
  size_t end = bytes.size() - 22;
  EXPECT_EQ(Le(bytes, end, 4), 0x06054B50u);
  uint32_t count = Le(bytes, end + 10, 2), at = Le(bytes, end + 16, 4);
  EXPECT_EQ(Le(bytes, end + 8, 2), count);
  EXPECT_EQ(Le(bytes, end + 12, 4), end - at) << "central directory size";
  std::vector<Entry> entries;
  for (uint32_t i = 0; i < count; ++i) {
    EXPECT_EQ(Le(bytes, at, 4), 0x02014B50u);
    Entry e{Le(bytes, at + 4, 2),
            Le(bytes, at + 8, 2),
            Le(bytes, at + 10, 2),
            Le(bytes, at + 12, 2),
            Le(bytes, at + 14, 2),
            Le(bytes, at + 16, 4),
            Le(bytes, at + 20, 4),
            Le(bytes, at + 24, 4),
            Le(bytes, at + 38, 4),
            Le(bytes, at + 42, 4),
            {},
            {},
            {},
            {}};
    uint32_t name_length = Le(bytes, at + 28, 2), extra_length = Le(bytes, at + 30, 2);
    e.name = bytes.substr(at + 46, name_length);
    e.central_extra = bytes.substr(at + 46 + name_length, extra_length);
    EXPECT_EQ(Le(bytes, e.offset, 4), 0x04034B50u);
    EXPECT_EQ(bytes.substr(e.offset + 4, 24), bytes.substr(at + 6, 24))
        << "local and central headers of " << e.name << " differ";
    at += 46 + name_length + extra_length + Le(bytes, at + 32, 2);
    uint32_t data_at = e.offset + 30 + name_length + Le(bytes, e.offset + 28, 2);
    e.local_extra = bytes.substr(e.offset + 30 + name_length, data_at - e.offset - 30 - name_length);
    e.data = bytes.substr(data_at, e.compressed);
    entries.push_back(e);
  }
  return entries;
}

std::string Inflate(const std::string& raw) {
  z_stream stream{};
  inflateInit2(&stream, -15);
  std::string out(1 << 20, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
  stream.avail_in = static_cast<uInt>(raw.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int status = inflate(&stream, Z_FINISH);
  EXPECT_EQ(status, Z_STREAM_END) << "not one complete raw deflate stream";
  EXPECT_EQ(stream.avail_in, 0u) << "bytes after the deflate stream";
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return out;
}

std::string EntryContent(const Entry& entry) { return entry.method == 8 ? Inflate(entry.data) : entry.data; }

class ZipWriterTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return dir_.File(name); }
  std::string Source(const std::string& name, const std::string& bytes) {
    testing_support::WriteFileBytes(dir_.File(name), bytes);
    return Path(name);
  }
  std::string Archive() { return ReadFileBytes(dir_.File("out.zip")); }
  // Packs one source as the only entry and reads that entry back.
  Entry PackOne(const std::string& entry_name, const std::string& source) {
    CZipWriter writer;
    EXPECT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
    EXPECT_EQ(writer.AddFile(entry_name, source), ZipResult::kOk);
    EXPECT_EQ(writer.Close(), ZipResult::kOk);
    std::vector<Entry> entries = ReadArchive(Archive());
    EXPECT_EQ(entries.size(), 1u);
    return entries.at(0);
  }
  std::string ArchivePath() { return Path("out.zip"); }

  testing_support::ScratchDir dir_;
};

TEST_F(ZipWriterTest, ArchiveWithoutEntriesIsTheEndRecordAlone) {
  CZipWriter writer;
  ASSERT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
  ASSERT_EQ(writer.Close(), ZipResult::kOk);
  EXPECT_EQ(Archive(), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST_F(ZipWriterTest, WritesHeadersDataAndDirectoryOfEachEntry) {
  std::string track = TrackText(3000), points = "WPT1,55.7,37.6\r\n";
  std::string track_path = Source("t.kml", track), points_path = Source("p.wpt", points);
  CZipWriter writer;
  ASSERT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
  ASSERT_EQ(writer.AddFile("track.kml", track_path), ZipResult::kOk);
  ASSERT_EQ(writer.AddFile("points.wpt", points_path), ZipResult::kOk);
  ASSERT_EQ(writer.Close(), ZipResult::kOk);

  std::string archive = Archive();
  std::vector<Entry> entries = ReadArchive(archive);
  ASSERT_EQ(entries.size(), 2u);
  const std::string sources[] = {track, points};
  for (size_t i = 0; i < 2; ++i) {
    const Entry& e = entries[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.made_by, 0x0B17u);
    EXPECT_EQ(e.flags, 2u);
    EXPECT_EQ(e.method, 8u);
    EXPECT_EQ(e.size, sources[i].size());
    EXPECT_EQ(e.crc, crc32(0, reinterpret_cast<const Bytef*>(sources[i].data()), sources[i].size()));
    EXPECT_EQ(EntryContent(e), sources[i]);
    EXPECT_EQ(e.external, 0x81800020u);
    ASSERT_EQ(e.local_extra.size(), 17u);
    EXPECT_EQ(e.local_extra.substr(0, 5), std::string("\x55\x54\x0D\x00\x07", 5));
    EXPECT_EQ(e.central_extra, std::string("\x55\x54\x05\x00", 4) + e.local_extra.substr(4, 5));
  }
  EXPECT_LT(entries[0].compressed, track.size() / 2) << "a track compresses well";
  EXPECT_EQ(entries[0].offset, 0u);
  EXPECT_EQ(entries[1].offset, 30 + 9 + 17 + entries[0].compressed);
}

TEST_F(ZipWriterTest, StoresOnlyNamesWithAnArchiveSuffix) {
  struct Case {
    const char* name;
    uint32_t method;
  };
  const Case cases[] = {{"a.ZIP", 0},     {"b.gz", 0},       {"c.Tgz", 0},     {"d.z", 0},
                        {"e.Arj", 0},     {"f.LZH", 0},      {"g.zoo", 0},     {"h.arc", 0},
                        {"track.kml", 8}, {"points.wpt", 8}, {"a.zip.txt", 8}, {"zip", 8},
                        {"x.zipx", 8}};
  std::string bytes = TrackText(800);
  std::string source = Source("s", bytes);
  CZipWriter writer;
  ASSERT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
  for (const Case& c : cases) ASSERT_EQ(writer.AddFile(c.name, source), ZipResult::kOk);
  ASSERT_EQ(writer.Close(), ZipResult::kOk);

  std::vector<Entry> entries = ReadArchive(Archive());
  ASSERT_EQ(entries.size(), std::size(cases));
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(entries[i].name);
    EXPECT_EQ(entries[i].method, cases[i].method);
    EXPECT_EQ(entries[i].flags, cases[i].method == 8 ? 2u : 0u);
    EXPECT_EQ(entries[i].size, bytes.size());
    if (cases[i].method == 0) {
      EXPECT_EQ(entries[i].compressed, bytes.size());
    }
    EXPECT_EQ(EntryContent(entries[i]), bytes);
  }
}

TEST_F(ZipWriterTest, EmptySourceIsAnEmptyDeflateStream) {
  Entry entry = PackOne("empty.kml", Source("empty", ""));
  EXPECT_EQ(entry.method, 8u);
  EXPECT_EQ(entry.crc, 0u);
  EXPECT_EQ(entry.size, 0u);
  EXPECT_GT(entry.compressed, 0u);
  EXPECT_EQ(Inflate(entry.data), "");
}

TEST_F(ZipWriterTest, NamesTakeSlashesAndUtf8AndMayRepeat) {
  std::string source = Source("s", "x");
  CZipWriter writer;
  ASSERT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
  ASSERT_EQ(writer.AddFile("folder\\track.kml", source), ZipResult::kOk);
  ASSERT_EQ(writer.AddFile("\u0442\u0440\u0435\u043A.kml", source), ZipResult::kOk);
  ASSERT_EQ(writer.AddFile("folder\\track.kml", source), ZipResult::kOk);
  // 259 bytes of UTF-8 fit; 260 do not, nor does an empty name.
  ASSERT_EQ(writer.AddFile(std::string(259, 'n'), source), ZipResult::kOk);
  EXPECT_EQ(writer.AddFile(std::string(258, 'n') + "\u044F", source), ZipResult::kArgumentFailure);
  EXPECT_EQ(writer.AddFile("", source), ZipResult::kArgumentFailure);
  ASSERT_EQ(writer.Close(), ZipResult::kOk);
  std::vector<Entry> entries = ReadArchive(Archive());
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "folder/track.kml");
  EXPECT_EQ(entries[1].name, "\xD1\x82\xD1\x80\xD0\xB5\xD0\xBA.kml");
  EXPECT_EQ(entries[2].name, "folder/track.kml");
  EXPECT_NE(entries[2].offset, entries[0].offset);
  EXPECT_EQ(entries[3].name, std::string(259, 'n'));
}

TEST_F(ZipWriterTest, TimeStampsComeFromTheUtcLastWrite) {
  std::string source = Source("s", "x");
  const int64_t written = 1304685297;  // 2011-05-06 12:34:57 UTC
  zip_testing::SetLastWriteUnix(dir_.File("s"), written);
  Entry entry = PackOne("s", source);
  EXPECT_EQ(entry.time, 0x645Cu);
  EXPECT_EQ(entry.date, 0x3EA6u);
  EXPECT_EQ(Le(entry.local_extra, 5, 4), written);
  EXPECT_EQ(Le(entry.central_extra, 5, 4), written);
}

TEST_F(ZipWriterTest, ReadOnlySourceIsMarkedSo) {
  std::string source = Source("s", "x");
  zip_testing::MakeReadOnly(dir_.File("s"));
  EXPECT_EQ(PackOne("s", source).external, 0x81000021u);
}

TEST_F(ZipWriterTest, MisuseReportsArgumentAndFileFailures) {
  std::string source = Source("s", "x");
  CZipWriter writer;
  EXPECT_EQ(writer.AddFile("s", source), ZipResult::kArgumentFailure);
  EXPECT_EQ(writer.Close(), ZipResult::kArgumentFailure);
  EXPECT_EQ(writer.Create(Path("missing/out.zip")), ZipResult::kFileError);
  ASSERT_EQ(writer.Create(ArchivePath()), ZipResult::kOk);
  EXPECT_EQ(writer.Create(ArchivePath()), ZipResult::kArgumentFailure);
  EXPECT_EQ(writer.Close(), ZipResult::kOk);
  EXPECT_EQ(writer.Close(), ZipResult::kArgumentFailure);
}

// Which call of the archive file goes wrong, and what became of the file.
struct FaultPlan {
  int fail_write = 0;  // the n-th write (from 1) stores half its bytes and fails, as on a full disk
  int fail_seek = 0;
  bool fail_truncate = false;
  int writes = 0;
  int seeks = 0;
  bool closed = false;
};

class FaultyFile : public platform::File {
 public:
  FaultyFile(std::unique_ptr<platform::File> file, FaultPlan* plan) : file_(std::move(file)), plan_(plan) {}
  ~FaultyFile() override { plan_->closed = true; }
  bool Read(void* buffer, size_t size, size_t* count) override { return file_->Read(buffer, size, count); }
  bool Write(const void* data, size_t size) override {
    if (++plan_->writes != plan_->fail_write) return file_->Write(data, size);
    file_->Write(data, size / 2);
    return false;
  }
  bool Seek(uint64_t offset) override { return ++plan_->seeks != plan_->fail_seek && file_->Seek(offset); }
  bool Truncate(uint64_t size) override { return !plan_->fail_truncate && file_->Truncate(size); }
  bool GetInfo(platform::FileInfo* info) override { return file_->GetInfo(info); }
  bool Flush() override { return file_->Flush(); }

 private:
  std::unique_ptr<platform::File> file_;
  FaultPlan* plan_;
};

class ZipWriterFaultTest : public ZipWriterTest {
 protected:
  void SetUp() override {
    first_ = Source("first", TrackText(5000));
    second_ = Source("second", TrackText(4000));
    third_ = Source("third", "third entry\r\n");
  }
  // Adds three entries, the second one through the given fault; returns its result.
  ZipResult PackWithFault(const std::string& name, FaultPlan* plan, ZipResult* close_result = nullptr) {
    CZipWriter writer;
    EXPECT_EQ(writer.Create(std::make_unique<FaultyFile>(platform::CreateFileForWrite(Path(name)), plan)),
              ZipResult::kOk);
    EXPECT_EQ(writer.AddFile("first.kml", first_), ZipResult::kOk);
    first_writes_ = plan->writes;
    ZipResult result = writer.AddFile("second.kml", second_);
    second_writes_ = plan->writes - first_writes_;
    // The writer stays usable unless the failed entry could not be cut away.
    EXPECT_EQ(writer.AddFile("third.txt", third_),
              plan->fail_truncate ? ZipResult::kWriteFailure : ZipResult::kOk);
    ZipResult closed = writer.Close();
    if (close_result) *close_result = closed;
    return result;
  }
  // The archive holds the first and third entries and is as long as one made without the second.
  void ExpectSecondEntryCutAway(const std::string& name) {
    std::string archive = ReadFileBytes(dir_.File(name));
    std::vector<Entry> entries = ReadArchive(archive);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "first.kml");
    EXPECT_EQ(EntryContent(entries[0]), ReadFileBytes(dir_.File("first")));
    EXPECT_EQ(entries[1].name, "third.txt");
    EXPECT_EQ(EntryContent(entries[1]), ReadFileBytes(dir_.File("third")));
    EXPECT_EQ(entries[1].offset, 30 + 9 + 17 + entries[0].compressed);
    EXPECT_EQ(archive.size(),
              entries[1].offset + 30 + 9 + 17 + entries[1].compressed + 2 * (46 + 9 + 9) + 22);
  }

  std::string first_, second_, third_;
  int first_writes_ = 0;
  int second_writes_ = 0;
};

TEST_F(ZipWriterFaultTest, FailedAddLeavesTheArchiveAsItWasBefore) {
  FaultPlan clean;
  ASSERT_EQ(PackWithFault("clean.zip", &clean), ZipResult::kOk);
  ASSERT_GT(second_writes_, 3) << "the second entry should take several writes";
  struct Case {
    std::string what;
    FaultPlan plan;
    std::string source;
    ZipResult result;
  };
  std::vector<Case> cases;
  for (int n = 1; n <= second_writes_; ++n) {
    cases.push_back(
        {"write " + std::to_string(n), FaultPlan{first_writes_ + n}, second_, ZipResult::kWriteFailure});
  }
  // Seeks 1 and 2 rewrite the first entry's header; 3 and 4 the second's.
  cases.push_back({"seek to the header", FaultPlan{0, 3}, second_, ZipResult::kSeekFailure});
  cases.push_back({"seek back to the end", FaultPlan{0, 4}, second_, ZipResult::kSeekFailure});
  cases.push_back({"missing source", {}, Path("does-not-exist"), ZipResult::kFileError});
  // A file that opens but fails to read, once the entry's header is written.
  if (platform::OpenFileForRead("/proc/self/mem")) {
    cases.push_back({"unreadable source", {}, "/proc/self/mem", ZipResult::kFileError});
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    second_ = cases[i].source;
    std::string name = "fault" + std::to_string(i) + ".zip";
    EXPECT_EQ(PackWithFault(name, &cases[i].plan), cases[i].result);
    ExpectSecondEntryCutAway(name);
  }
}

TEST_F(ZipWriterFaultTest, FailuresThatCannotBeMendedAreReportedAndTheFileClosed) {
  FaultPlan clean;
  ZipResult closed = ZipResult::kOk;
  ASSERT_EQ(PackWithFault("clean.zip", &clean), ZipResult::kOk);
  FaultPlan directory;
  directory.fail_write = clean.writes;  // the last write is the central directory's
  PackWithFault("directory.zip", &directory, &closed);
  EXPECT_EQ(closed, ZipResult::kWriteFailure);
  EXPECT_TRUE(directory.closed);

  FaultPlan stuck;
  stuck.fail_seek = 3;
  stuck.fail_truncate = true;
  EXPECT_EQ(PackWithFault("stuck.zip", &stuck, &closed), ZipResult::kSeekFailure);
  EXPECT_EQ(closed, ZipResult::kWriteFailure) << "an archive that could not be cut back is not valid";
  EXPECT_TRUE(stuck.closed);
}

}  // namespace
