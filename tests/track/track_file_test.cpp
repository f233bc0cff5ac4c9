#include "track/track_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "tests/fakes/recording_files.h"
#include "tests/support/test_support.h"
#include "tests/track/external_tool.h"
#include "tests/track/kml_shape.h"
#include "track/track_check.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::ScratchDir;

using track_testing::kDocumentTail;
using track_testing::kHeader;
using track_testing::kSegmentHead;
using track_testing::kSegmentTail;

// Degrees of latitude per metre along a meridian of the earth sphere the
// distances use, with the true value of pi.
const double kDegreesPerMetre = 180 / (3.14159265358979323846 * 6372795);

// The point line the format gives, nine significant digits for the position.
std::string PointLine(double latitude, double longitude, double speed) {
  char line[80];
  std::snprintf(line, sizeof line, "%.9g,%.9g,%g", longitude, latitude, speed);
  return line;
}

class TrackFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(file.Begin(path)); }

  // Ends the file and returns its point lines.
  std::vector<std::string> Points() {
    file.End();
    track_testing::KmlShape shape = track_testing::ReadKmlShape(ReadFileBytes(path));
    EXPECT_TRUE(shape.well_formed) << shape.fault;
    return shape.points;
  }

  testing_support::RecordingFiles files;
  ScratchDir scratch;
  std::string path = scratch.File("track0.kml");
  KmlTrackFile file;
  TrackPosition last;
};

TEST_F(TrackFileTest, OneSegmentOfThreePointsIsExactlyTheKmlText) {
  file.OpenSegment();
  EXPECT_EQ(file.PointStep(55.7512443, 37.6184231, 0, 5, last), 0);
  EXPECT_GT(file.PointStep(55.7522443, 37.6194231, 12.5, 5, last), 100);
  EXPECT_GT(file.PointStep(55.7532443, 37.6204231, 22.4, 5, last), 100);
  file.CloseSegment();
  file.End();
  EXPECT_EQ(ReadFileBytes(path), kHeader + kSegmentHead +
                                     "37.6184231,55.7512443,0\r\n"
                                     "37.6194231,55.7522443,12.5\r\n"
                                     "37.6204231,55.7532443,22.4\r\n" +
                                     kSegmentTail + kDocumentTail);
}

TEST_F(TrackFileTest, SegmentWithoutPointsClosesOnTheCoordinatesLine) {
  file.OpenSegment();
  file.CloseSegment();
  file.End();
  EXPECT_EQ(ReadFileBytes(path), kHeader + kSegmentHead + kSegmentTail + kDocumentTail);
}

TEST_F(TrackFileTest, PointsAndSegmentEndsReachTheDiskAtOnce) {
  file.OpenSegment();
  file.PointStep(55.7512443, 37.6184231, 3.5, 5, last);
  EXPECT_EQ(ReadFileBytes(path), kHeader + kSegmentHead + "37.6184231,55.7512443,3.5\r\n");
  file.CloseSegment();
  EXPECT_EQ(ReadFileBytes(path), kHeader + kSegmentHead + "37.6184231,55.7512443,3.5\r\n" + kSegmentTail);
}

// A power cut loses at most the last 10 s of points and nothing of a closed
// segment; a full disk or a failed flush stops the file where it failed, and
// the check keeps every point line before the fault.
TEST_F(TrackFileTest, PointsReachTheDiskWithinTenSecondsAndAFaultStopsTheFile) {
  const struct {
    const char* fault;
    int n;
    std::vector<int> flushed_at;  // seconds of the fixes that flushed
    int flushes;
    size_t points_kept;
  } cases[] = {{"", 0, {0, 10, 20}, 5, 26}, {"write ", 5, {0}, 1, 2}, {"flush ", 2, {0, 10}, 2, 11}};
  for (const auto& c : cases) {
    std::string name = "t" + std::to_string(c.n) + ".kml";
    files.Fail(c.fault + name, c.n);
    ASSERT_TRUE(file.Begin(scratch.File(name)));
    last = TrackPosition();
    file.OpenSegment();
    std::vector<int> flushed_at;
    for (int second = 0; second < 26; ++second) {
      int flushes = files.Count("flush " + name);
      file.PointStep(55.75 + second * 0.001, 37.6, 0, 5, last);  // 111 m apart
      file.FlushWhenDue(KmlTrackFile::Clock::time_point() + std::chrono::hours(5) + std::chrono::seconds(second));
      if (files.Count("flush " + name) > flushes) flushed_at.push_back(second);
    }
    file.CloseSegment();
    file.End();
    EXPECT_EQ(flushed_at, c.flushed_at) << name;
    EXPECT_EQ(files.Count("flush " + name), c.flushes) << name;
    EXPECT_EQ(file.Failed(), c.n > 0) << name;
    CheckTrackFile(scratch.File(name));
    EXPECT_EQ(track_testing::ReadKmlShape(ReadFileBytes(scratch.File(name))).points.size(), c.points_kept) << name;
  }
}

TEST_F(TrackFileTest, ThinningMeasuresFromTheLastWrittenPoint) {
  // Fixes 50 m apart with a thinning distance of 100 m: every second one is written.
  const double step = 50 * kDegreesPerMetre;
  file.OpenSegment();
  std::vector<std::string> expected;
  for (int i = 0; i <= 10; ++i) {
    double latitude = 55 + i * step;
    int added = file.PointStep(latitude, 37.6, 1, 100, last);
    if (i % 2 == 0) expected.push_back(PointLine(latitude, 37.6, 1));
    if (i % 2 == 1 || i == 0) {
      EXPECT_EQ(added, 0) << "fix " << i;
    } else {
      EXPECT_GE(added, 100) << "fix " << i;
      EXPECT_LE(added, 101) << "fix " << i;
    }
  }
  file.CloseSegment();
  EXPECT_EQ(Points(), expected);
}

TEST_F(TrackFileTest, ThinningOfZeroWritesTheFirstPointTwice) {
  file.OpenSegment();
  EXPECT_EQ(file.PointStep(55.75, 37.6, 0, 0, last), 0);
  EXPECT_GT(file.PointStep(55.7501, 37.6, 0, 0, last), 0);
  file.CloseSegment();
  EXPECT_EQ(Points(), (std::vector<std::string>{"37.6,55.75,0", "37.6,55.75,0", "37.6,55.7501,0"}));
}

struct Fix {
  double latitude;
  double longitude;
};

TEST_F(TrackFileTest, ZeroAndOutOfRangePositionsAreWrittenOnlyAsTheFirstPoint) {
  const Fix fixes[] = {
      {0, 37.6},                    // first of the run: written whatever it holds
      {55.75, 0},                   // zero longitude
      {0, 38.6},                    // zero latitude
      {90.5, 37.6},                 // latitude out of range
      {55.75, 180.5},               // longitude out of range
      {55.75, -180.5}, {-90, 180},  // the limits themselves are in range
      {55.75, 37.6},
  };
  file.OpenSegment();
  for (const Fix& fix : fixes) file.PointStep(fix.latitude, fix.longitude, 0, 5, last);
  file.CloseSegment();
  EXPECT_EQ(Points(), (std::vector<std::string>{"37.6,0,0", "180,-90,0", "37.6,55.75,0"}));
}

TEST_F(TrackFileTest, AFirstPointAtZeroZeroLeavesTheRunWithoutReference) {
  file.OpenSegment();
  file.PointStep(0, 0, 0, 5, last);
  file.PointStep(55.75, 0, 0, 5, last);  // still the first point of the run
  file.PointStep(55.75, 0.00001, 0, 5, last);
  file.CloseSegment();
  EXPECT_EQ(Points(), (std::vector<std::string>{"0,0,0", "0,55.75,0"}));
}

TEST_F(TrackFileTest, PositionsThatAreNotNumbersAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  file.OpenSegment();
  EXPECT_EQ(file.PointStep(nan, 37.6, 0, 5, last), 0);
  EXPECT_EQ(file.PointStep(55.75, HUGE_VAL, 0, 5, last), 0);
  file.PointStep(55.75, 37.6, 0, 5, last);
  EXPECT_GT(file.PointStep(55.76, 37.6, 0, 5, last), 1000);  // the run goes on
  file.CloseSegment();
  EXPECT_EQ(Points(), (std::vector<std::string>{"37.6,55.75,0", "37.6,55.76,0"}));
}

TEST_F(TrackFileTest, TheReferenceOutlivesSegmentsAndFiles) {
  const double three_metres = 3 * kDegreesPerMetre;
  file.OpenSegment();
  file.PointStep(55.75, 37.6, 0, 5, last);
  file.CloseSegment();
  file.OpenSegment();
  EXPECT_EQ(file.PointStep(55.75 + three_metres, 37.6, 0, 5, last), 0);
  file.CloseSegment();
  EXPECT_EQ(Points(), std::vector<std::string>{"37.6,55.75,0"});

  std::string next = scratch.File("track1.kml");
  ASSERT_TRUE(file.Begin(next));
  file.OpenSegment();
  EXPECT_EQ(file.PointStep(55.75 - three_metres, 37.6, 0, 5, last), 0);
  EXPECT_GE(file.PointStep(55.75 + 2 * three_metres, 37.6, 0, 5, last), 5);
  file.CloseSegment();
  file.End();
  EXPECT_EQ(track_testing::ReadKmlShape(ReadFileBytes(next)).points,
            std::vector<std::string>{PointLine(55.75 + 2 * three_metres, 37.6, 0)});
}

TEST(KmlTrackFile, AFileThatCannotBeCreatedTakesNoWrites) {
  ScratchDir scratch;
  std::string path = scratch.File("missing-folder/track0.kml");
  KmlTrackFile file;
  TrackPosition last;
  EXPECT_FALSE(file.Begin(path));
  file.OpenSegment();
  file.PointStep(55.75, 37.6, 0, 5, last);
  file.CloseSegment();
  file.End();
  EXPECT_FALSE(std::ifstream(path).good());
  EXPECT_EQ(last.latitude, 55.75);  // the thinning goes on as if written
}

TEST_F(TrackFileTest, GpsbabelReadsEveryPoint) {
  if (!track_testing::ToolRuns("gpsbabel -V")) GTEST_SKIP() << "gpsbabel is not available here";
  std::vector<Fix> written;
  for (int segment = 0; segment < 3; ++segment) {
    file.OpenSegment();
    for (int i = 0; i < 5; ++i) {
      Fix fix{55.7512443 + segment * 0.01 + i * 0.001, 131.885612 + i * 0.0012345};
      int added = file.PointStep(fix.latitude, fix.longitude, i, 5, last);
      EXPECT_TRUE(added > 100 || written.empty());  // far enough apart to be written
      written.push_back(fix);
    }
    file.CloseSegment();
  }
  file.End();
  track_testing::GpsbabelTable table = track_testing::GpsbabelToCsv("-t -i kml", path);
  ASSERT_TRUE(table.ok) << table.log;
  EXPECT_EQ(table.header.substr(0, 21), "No,Latitude,Longitude");
  ASSERT_EQ(table.rows.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    int number = 0;
    double latitude = 0, longitude = 0;
    ASSERT_EQ(std::sscanf(table.rows[i].c_str(), "%d,%lf,%lf", &number, &latitude, &longitude), 3)
        << table.rows[i];
    EXPECT_NEAR(latitude, written[i].latitude, 1e-6);
    EXPECT_NEAR(longitude, written[i].longitude, 1e-6);
  }
}

}  // namespace
