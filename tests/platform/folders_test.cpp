// Folder and file calls on UTF-8 names that no ANSI code page holds whole:
// each name made is found, moved, replaced and removed by the same name.
#include "platform/folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "platform/file.h"
#include "platform/program_dir.h"
#include "tests/support/test_support.h"

namespace {

const std::string kSep(1, platform::kPathSeparator);

std::string ReadText(const std::string& path) {
  std::ifstream in;
  platform::OpenFileStream(in, path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out;
  platform::OpenFileStream(out, path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

TEST(Folders, UnicodeNamesRoundTripThroughEveryCall) {
  testing_support::ScratchDir scratch;
  for (const std::string name : {"Маршрут ✓ 日本", "Jürgen", "Поездка"}) {
    SCOPED_TRACE(name);
    std::string folder = scratch.path() + kSep + name;
    ASSERT_TRUE(platform::CreateFolderTree(folder + kSep + "Sended" + kSep + name));
    EXPECT_FALSE(platform::CreateFolder(folder));  // exists
    std::string file = folder + kSep + name + ".kml";
    ASSERT_TRUE(WriteText(file, "first"));
    EXPECT_TRUE(platform::FileExists(file));
    std::vector<std::string> found = platform::FindFiles(folder + kSep + "*.KML");
    EXPECT_EQ(found, std::vector<std::string>{name + ".kml"});

    std::string moved = folder + kSep + "Sended" + kSep + name + kSep + "track0.zip";
    ASSERT_TRUE(platform::MoveFileNoReplace(file, moved));
    ASSERT_TRUE(WriteText(file, "second"));
    EXPECT_FALSE(platform::MoveFileNoReplace(file, moved));
    EXPECT_EQ(ReadText(moved), "first");
    ASSERT_TRUE(platform::MoveFileReplacing(file, moved));
    EXPECT_EQ(ReadText(moved), "second");
    EXPECT_FALSE(platform::FileExists(file));
    EXPECT_TRUE(platform::RemoveFile(moved));
    EXPECT_FALSE(platform::FileExists(moved));
  }
}

}  // namespace
