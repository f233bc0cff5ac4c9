// Archives read back by real ZIP readers: Info-ZIP's unzip and zipinfo, 7-Zip
// and Python's zipfile. Each test skips where its reader is not installed
// (always under Wine).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "tests/support/test_support.h"
#include "tests/zip/zip_test_files.h"
#include "zip/zip_writer.h"

namespace {

using testing_support::ReadFileBytes;

bool ToolAvailable(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

#define SKIP_WITHOUT(tool) \
  if (!ToolAvailable(tool)) GTEST_SKIP() << tool << " is not installed here"

struct Source {
  std::string entry_name;
  std::string file_name;
  std::string bytes;
};

const int64_t kTrackWritten = 1304685297;  // 2011-05-06 12:34:57 UTC

class ZipReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sources_ = {
        {"track.kml", "track", zip_testing::TrackText(20000)},
        {"points.wpt", "points",
         "OziExplorer Waypoint File Version 1.1\r\n1,\xD2\xEE\xF7\xEA\xE0 1,55.7,37.6\r\n"},
        {"\u041F\u0430\u043F\u043A\u0430\\\u0442\u0440\u0435\u043A.kml", "cyrillic", "<kml/>\r\n"},
        {"inner.ZIP", "inner", zip_testing::NoiseBytes(40000)},
        {"empty.txt", "empty", ""},
        {"readonly.txt", "readonly", "read only\r\n"},
    };
    CZipWriter writer;
    ASSERT_EQ(writer.Create(archive_), ZipResult::kOk);
    for (const Source& source : sources_) {
      std::string path = dir_.File(source.file_name);
      testing_support::WriteFileBytes(path, source.bytes);
      if (source.file_name == "track") zip_testing::SetLastWriteUnix(path, kTrackWritten);
      if (source.file_name == "readonly") zip_testing::MakeReadOnly(path);
      ASSERT_EQ(writer.AddFile(source.entry_name, path), ZipResult::kOk);
    }
    ASSERT_EQ(writer.Close(), ZipResult::kOk);
  }

  // Runs a shell command on the archive; returns its exit status, its output in *output.
  int Run(const std::string& command, std::string* output) {
    std::string log = dir_.File("log.txt");
    int status = std::system((command + " >'" + log + "' 2>&1").c_str());
    *output = ReadFileBytes(log);
    return status;
  }

  testing_support::ScratchDir dir_;
  std::string archive_ = dir_.File("out.zip");
  std::vector<Source> sources_;
};

TEST_F(ZipReadersTest, UnzipAndSevenZipFindNoErrors) {
  struct Check {
    std::string tool, command, verdict;
  };
  const Check checks[] = {{"unzip", "unzip -t", "No errors detected"}, {"7z", "7z t", "Everything is Ok"}};
  int ran = 0;
  for (const Check& check : checks) {
    if (!ToolAvailable(check.tool)) continue;
    ++ran;
    std::string output;
    EXPECT_EQ(Run(check.command + " '" + archive_ + "'", &output), 0) << output;
    EXPECT_NE(output.find(check.verdict), std::string::npos) << output;
  }
  if (ran == 0) GTEST_SKIP() << "neither unzip nor 7z is installed here";
}

TEST_F(ZipReadersTest, ZipinfoDescribesEveryEntry) {
  SKIP_WITHOUT("zipinfo");
  std::string output;
  ASSERT_EQ(Run("zipinfo -v '" + archive_ + "'", &output), 0) << output;
  output = std::regex_replace(output, std::regex(" +"), " ");
  std::vector<std::string> blocks;
  for (size_t at = output.find("Central directory entry #"); at != std::string::npos;) {
    size_t next = output.find("Central directory entry #", at + 1);
    blocks.push_back(output.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  ASSERT_EQ(blocks.size(), sources_.size()) << output;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const std::string& block = blocks[i];
    bool stored = sources_[i].file_name == "inner", read_only = sources_[i].file_name == "readonly";
    std::vector<std::string> expected = {
        "operating system of origin: NTFS",
        "version of encoding software: 2.3",
        "minimum software version required to extract: 2.0",
        stored ? "compression method: none (stored)" : "compression method: deflated",
        "extended local header: no",
        read_only ? "MS-DOS file attributes (21 hex): rdo arc" : "MS-DOS file attributes (20 hex): arc",
        "ID 0x5455 (universal time) and 5 data bytes",
        "local extra field has UTC/GMT modification/access/creation times",
    };
    if (!stored) expected.push_back("compression sub-type (deflation): maximum");
    if (sources_[i].file_name == "track") {
      expected.push_back("(DOS date/time): 2011 May 6 12:34:56");  // two-second steps
      expected.push_back("(UT extra field modtime): 2011 May 6 12:34:57 UTC");
    }
    for (const std::string& text : expected) {
      EXPECT_NE(block.find(text), std::string::npos) << "missing \"" << text << "\" in\n" << block;
    }
  }
}

TEST_F(ZipReadersTest, PythonReadsNamesSizesCrcsAndContents) {
  SKIP_WITHOUT("python3");
  std::string script = dir_.File("read.py"), extracted = dir_.File("x");
  std::filesystem::create_directory(extracted);
  // Names are read back as the bytes stored (the UTF-8 flag is not set).
  testing_support::WriteFileBytes(script,
                                  "import sys, zipfile\n"
                                  "with zipfile.ZipFile(sys.argv[1]) as z:\n"
                                  "  for i, info in enumerate(z.infolist()):\n"
                                  "    open(sys.argv[2] + '/' + str(i), 'wb').write(z.read(info))\n"
                                  "    print(info.orig_filename.encode('cp437').hex(), info.file_size,\n"
                                  "          '%08x' % info.CRC, info.compress_type, info.create_system,\n"
                                  "          info.create_version, '%08x' % info.external_attr)\n");
  std::string output;
  ASSERT_EQ(Run("python3 '" + script + "' '" + archive_ + "' '" + extracted + "'", &output), 0) << output;
  std::istringstream lines(output);
  for (size_t i = 0; i < sources_.size(); ++i) {
    const Source& source = sources_[i];
    SCOPED_TRACE(source.file_name);
    std::string name_hex, crc, external;
    size_t size = 0;
    int method = -1, system = -1, version = -1;
    ASSERT_TRUE(lines >> name_hex >> size >> crc >> method >> system >> version >> external) << output;
    std::string expected_name;
    for (unsigned char c : source.entry_name) {
      char hex[3];
      std::snprintf(hex, sizeof(hex), "%02x", c);
      expected_name += c == '\\' ? std::string("2f") : std::string(hex);
    }
    char expected_crc[9];
    std::snprintf(expected_crc, sizeof(expected_crc), "%08lx",
                  crc32(0, reinterpret_cast<const Bytef*>(source.bytes.data()), source.bytes.size()));
    EXPECT_EQ(name_hex, expected_name);
    EXPECT_EQ(size, source.bytes.size());
    EXPECT_EQ(crc, expected_crc);
    EXPECT_EQ(method, source.file_name == "inner" ? 0 : 8);
    EXPECT_EQ(system, 11);
    EXPECT_EQ(version, 23);
    EXPECT_EQ(external, source.file_name == "readonly" ? "81000021" : "81800020");
    EXPECT_EQ(ReadFileBytes(extracted + "/" + std::to_string(i)), source.bytes);
  }
}

}  // namespace
