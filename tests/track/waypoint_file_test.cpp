#include "track/waypoint_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fakes/recording_files.h"
#include "tests/support/test_support.h"
#include "tests/track/external_tool.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::ScratchDir;

const std::string kHeader = "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\nmagellan\r\n";
const std::string kTail = ",40263.82877, 2, 1, 3, 0, 65535,, 0, 0, 0, -777, 6, 0,17,0,10.0,2,,,\r\n";

class WaypointFileTest : public ::testing::Test {
 protected:
  testing_support::RecordingFiles files;
  ScratchDir scratch;
  std::string path = scratch.File("points.wpt");
};

TEST_F(WaypointFileTest, FirstWaypointStartsTheFileWithItsHeader) {
  AppendWaypoint(path, 0, L"14:05/08_12_26", 55.7512443, 37.6184231);
  EXPECT_EQ(ReadFileBytes(path), kHeader + "0,14:05/08_12_26,55.7512443,37.6184231" + kTail);
}

TEST_F(WaypointFileTest, LaterWaypointsAppendLatitudeBeforeLongitude) {
  AppendWaypoint(path, 0, L"a", 55.7512443, 37.6184231);
  AppendWaypoint(path, 1, L"b", -43.1155, -131.885612);
  EXPECT_EQ(ReadFileBytes(path),
            kHeader + "0,a,55.7512443,37.6184231" + kTail + "1,b,-43.1155,-131.885612" + kTail);
}

// Waypoints of a track deleted as empty, or of left-over tracks not packed,
// are in no archive yet: the next track's first waypoint continues the file.
TEST_F(WaypointFileTest, AFileNoArchiveTookIsContinuedNotCut) {
  EXPECT_TRUE(AppendWaypoint(path, 0, L"old", 1, 2));
  EXPECT_TRUE(AppendWaypoint(path, 1, L"old", 1, 2));
  EXPECT_TRUE(AppendWaypoint(path, 0, L"new", 55.75, 37.6));
  EXPECT_EQ(ReadFileBytes(path), kHeader + "0,old,1,2" + kTail + "1,old,1,2" + kTail + "0,new,55.75,37.6" + kTail);
}

TEST_F(WaypointFileTest, AMissingOrEmptyFileStartsWithItsHeaderAndAFailedWriteIsReported) {
  EXPECT_TRUE(AppendWaypoint(path, 3, L"x", 55.75, 37.6));
  EXPECT_EQ(ReadFileBytes(path), kHeader + "3,x,55.75,37.6" + kTail);
  std::string empty = scratch.File("empty.wpt");
  testing_support::WriteFileBytes(empty, "");
  EXPECT_TRUE(AppendWaypoint(empty, 0, L"y", 55.75, 37.6));
  EXPECT_EQ(ReadFileBytes(empty), kHeader + "0,y,55.75,37.6" + kTail);
  // A folder where the file should be: nothing can be written there.
  EXPECT_FALSE(AppendWaypoint(scratch.path(), 0, L"z", 55.75, 37.6));
}

// The user asked for the point: it is on the disk when the call returns. A
// line the disk had no room for is taken out, so the next starts its own.
TEST_F(WaypointFileTest, EachWaypointIsFlushedAndAFullDiskLeavesNoCutLine) {
  EXPECT_TRUE(AppendWaypoint(path, 0, L"a", 1, 2));
  EXPECT_EQ(files.calls, (std::vector<std::string>{"write points.wpt", "flush points.wpt"}));
  files.Fail("write points.wpt", 2);
  files.Fail("flush points.wpt", 2);
  EXPECT_FALSE(AppendWaypoint(path, 1, L"b", 3, 4));
  EXPECT_FALSE(AppendWaypoint(path, 2, L"c", 5, 6));
  EXPECT_TRUE(AppendWaypoint(path, 3, L"d", 7, 8));
  EXPECT_EQ(ReadFileBytes(path), kHeader + "0,a,1,2" + kTail + "2,c,5,6" + kTail + "3,d,7,8" + kTail);
}

TEST_F(WaypointFileTest, NamesAreWrittenInTheAnsiCodePage) {
  AppendWaypoint(path, 0, L"Дом у реки", 55.75, 37.6);
  EXPECT_EQ(ReadFileBytes(path), kHeader + "0,\xC4\xEE\xEC \xF3 \xF0\xE5\xEA\xE8,55.75,37.6" + kTail);
}

TEST_F(WaypointFileTest, GpsbabelReadsTheWaypoints) {
  if (!track_testing::ToolRuns("gpsbabel -V")) GTEST_SKIP() << "gpsbabel is not available here";
  AppendWaypoint(path, 0, L"14:05/08_12_26", 55.7512443, 37.6184231);
  AppendWaypoint(path, 1, L"Дом", 43.1155, 131.885612);
  track_testing::GpsbabelTable table = track_testing::GpsbabelToCsv("-i ozi,codec=windows-1251", path);
  ASSERT_TRUE(table.ok) << table.log;
  EXPECT_EQ(table.header.substr(0, 26), "No,Latitude,Longitude,Name");
  struct Expected {
    double latitude, longitude;
    std::string name;  // gpsbabel writes UTF-8
  } expected[] = {{55.7512443, 37.6184231, "\"14:05/08_12_26\""},
                  {43.1155, 131.885612, "\"\xD0\x94\xD0\xBE\xD0\xBC\""}};
  ASSERT_EQ(table.rows.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    int number = 0, name_at = 0;
    double latitude = 0, longitude = 0;
    const std::string& row = table.rows[i];
    ASSERT_EQ(std::sscanf(row.c_str(), "%d,%lf,%lf,%n", &number, &latitude, &longitude, &name_at), 3) << row;
    EXPECT_NEAR(latitude, expected[i].latitude, 1e-6);
    EXPECT_NEAR(longitude, expected[i].longitude, 1e-6);
    EXPECT_EQ(row.substr(name_at, expected[i].name.size()), expected[i].name);
  }
}

}  // namespace
