#include "track/track_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/file_layer.h"
#include "tests/fakes/recording_files.h"
#include "tests/support/test_support.h"
#include "tests/track/external_tool.h"
#include "tests/track/kml_shape.h"
#include "track/track_file.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::ScratchDir;
using testing_support::WriteFileBytes;
using track_testing::kDocumentTail;
using track_testing::kHeader;
using track_testing::kSegmentHead;
using track_testing::kSegmentTail;
using track_testing::PointLine;

const double kTruePi = 3.14159265358979323846;
constexpr double kEarthRadius = 6372795;

// Great-circle distance by the haversine formula in long double with the true
// pi: an independent reading of the distance the thinning uses.
double HaversineMetres(double lat1, double lat2, double lon1, double lon2) {
  auto radians = [](long double degrees) { return degrees * static_cast<long double>(kTruePi) / 180; };
  long double dlat = radians(lat2) - radians(lat1), dlon = radians(lon2) - radians(lon1);
  long double a = std::pow(std::sin(dlat / 2), 2) +
                  std::cos(radians(lat1)) * std::cos(radians(lat2)) * std::pow(std::sin(dlon / 2), 2);
  return static_cast<double>(2 * std::asin(std::sqrt(a)) * kEarthRadius);
}

struct Route {
  double lat1, lat2, lon1, lon2;
  const char* what;
};

TEST(TrackDistance, AgreesWithTheGreatCircleRoundedUp) {
  const Route routes[] = {
      {55.7558, 59.9343, 37.6173, 30.3351, "Moscow to St Petersburg"},
      {10, 20, 30, 40, "both latitudes come first"},
      {43.1155, 43.1165, 131.885612, 131.8869, "Vladivostok, about 150 m"},
      {55, 55.00045, 37.6, 37.6, "50 m along a meridian"},
      {-0.5, 0.5, 179.9, -179.9, "across the equator and the date line"},
      {-33.8688, 51.5074, 151.2093, -0.1278, "Sydney to London"},
  };
  for (const Route& r : routes) {
    double expected = HaversineMetres(r.lat1, r.lat2, r.lon1, r.lon2);
    int distance = TrackDistance(r.lat1, r.lat2, r.lon1, r.lon2);
    // Rounded up, and pi in single precision makes it longer by 3e-8 of itself.
    EXPECT_GE(distance, expected - 0.01) << r.what;
    EXPECT_LE(distance, expected * (1 + 3e-8) + 1.01) << r.what;
  }
}

TEST(TrackDistance, TakesPiInSinglePrecision) {
  // 1000 km less 1 cm along a meridian with the true pi; the single-precision
  // pi is larger by 2.8e-8, which adds 2.8 cm and takes the ceiling one metre on.
  double latitude = (1e6 - 0.01) / kEarthRadius * 180 / kTruePi;
  EXPECT_EQ(TrackDistance(0, latitude, 20, 20), 1000001);
}

// A latitude where sin² + cos² of its angle rounds above 1, so that two
// positions a hair apart in longitude have no arccosine.
double LatitudeWithCosineAboveOne() {
  const double pi = static_cast<double>(3.1415927f);
  for (double latitude = 55; latitude < 56; latitude += 1e-4) {
    double phi = latitude * pi / 180;
    if (std::sin(phi) * std::sin(phi) + std::cos(phi) * std::cos(phi) * 1.0 > 1) return latitude;
  }
  return 0;
}

TEST(TrackDistance, IdenticalPositionsGiveZero) {
  // Among them one whose cosine rounds above 1.
  const double positions[][2] = {
      {55.7512443, 37.6184231}, {0, 0}, {-89.9999, 179.999}, {LatitudeWithCosineAboveOne(), 37.6}};
  for (const auto& p : positions) EXPECT_EQ(TrackDistance(p[0], p[0], p[1], p[1]), 0) << p[0] << " " << p[1];
}

TEST(TrackDistance, CosineAboveOneIsUndefinedAndWritesNothing) {
  double latitude = LatitudeWithCosineAboveOne();
  ASSERT_NE(latitude, 0);
  EXPECT_EQ(TrackDistance(latitude, latitude, 37.6, 37.6 + 1e-9), kUndefinedDistance);
  EXPECT_EQ(TrackDistance(std::numeric_limits<double>::quiet_NaN(), 55, 37, 37), kUndefinedDistance);

  ScratchDir scratch;
  KmlTrackFile file;
  ASSERT_TRUE(file.Begin(scratch.File("track.kml")));
  file.OpenSegment();
  TrackPosition last{latitude, 37.6};
  EXPECT_EQ(file.PointStep(latitude, 37.6 + 1e-9, 0, 0, last), 0);  // not even with no thinning
  file.CloseSegment();
  file.End();
  EXPECT_TRUE(track_testing::ReadKmlShape(ReadFileBytes(scratch.File("track.kml"))).points.empty());
  EXPECT_EQ(last.longitude, 37.6);
}

TEST(HasContent, OnlySpacesAndLineBreaksAreBlank) {
  EXPECT_FALSE(HasContent(""));
  EXPECT_FALSE(HasContent(" \r\n\n  \r"));
  EXPECT_TRUE(HasContent("\t"));
  EXPECT_TRUE(HasContent("  37.6,55.7,0\r\n"));
}

TEST(ReadWholeFile, ReturnsEveryByteOrNothing) {
  ScratchDir scratch;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 256);  // spans several reads
  bytes += "\r\n\r\0\n";
  ASSERT_TRUE(WriteFileBytes(scratch.File("data.bin"), bytes));
  EXPECT_EQ(platform::ReadWholeFile(scratch.File("data.bin")), bytes);
  EXPECT_EQ(platform::ReadWholeFile(scratch.File("missing.kml")), "");
  EXPECT_EQ(platform::ReadWholeFile(scratch.path()), "");  // a folder
}

std::string WithLfBreaks(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

struct CheckCase {
  const char* what;
  std::string file;
  bool no_coordinates;
  std::string after;  // the file after the check
};

TEST(CheckTrackFile, ExaminesAndRepairsTrackFiles) {
  const std::string H = kHeader, S = kSegmentHead, T = kSegmentTail, D = kDocumentTail;
  const std::string P1 = "37.6184231,55.7512443,0\r\n", P2 = "37.6194231,55.7522443,12.5\r\n";
  const CheckCase cases[] = {
      {"a finished track", H + S + P1 + P2 + T + D, false, H + S + P1 + P2 + T + D},
      {"cut after point lines", H + S + P1 + P2, false, H + S + P1 + P2 + T + D},
      {"cut inside a point line", H + S + P1 + "37.619", false, H + S + P1 + T + D},
      {"cut before a point's line break", H + S + P1 + "37.6194231,55.7522443,12.5\r", false,
       H + S + P1 + T + D},
      {"cut inside the first point of a later segment", H + S + P1 + T + S + "37.6", false,
       H + S + P1 + T + S + T + D},
      {"last block open and blank after one with content", H + S + P1 + T + S, false,
       H + S + P1 + T + S + T + D},
      {"cut after the end of coordinates", H + S + P1 + "</coordinates>\r\n", false, H + S + P1 + T + D},
      {"cut inside the closing lines", H + S + P1 + T + "</Fol", false, H + S + P1 + T + D},
      {"cut before the last line break", H + S + P1 + T + "</Folder>\r\n</Document>", false,
       H + S + P1 + T + D},
      {"cut inside a segment head", H + S + P1 + T + "<Placemark>\r\n<name>Track", false,
       H + S + P1 + T + "<Placemark>\r\n</Placemark>\r\n" + D},
      {"a segment interrupted by the next", H + S + P1 + S + P2 + T + D, false,
       H + S + P1 + T + S + P2 + T + D},
      {"a block interrupted inside its segment", H + S + P1 + "<coordinates>" + P2 + T + D, false,
       H + S + P1 + "</coordinates>\r\n<coordinates>" + P2 + T + D},
      {"a tab is content", H + S + "\t" + T + D, false, H + S + "\t" + T + D},
      {"LF breaks kept when cut", WithLfBreaks(H + S + P1 + P2), false,
       WithLfBreaks(H + S + P1 + P2 + T + D)},
      {"LF breaks kept when rebuilt", WithLfBreaks(H + S + P1 + S + P2 + T + D), false,
       WithLfBreaks(H + S + P1 + T + S + P2 + T + D)},
      // Files without coordinates are left for the caller to delete.
      {"zero bytes", "", true, ""},
      {"the only block empty", H + S + T + D, true, H + S + T + D},
      {"blank blocks", H + S + " \r\n  \r\n" + T + S + T + D, true, H + S + " \r\n  \r\n" + T + S + T + D},
      {"header and no segment", H + D, true, H + D},
      {"header cut off", H + "<Plac", true, H + "<Plac"},
      {"the only point cut", H + S + "37.61", true, H + S + "37.61"},
  };
  ScratchDir scratch;
  for (const CheckCase& c : cases) {
    std::string path = scratch.File("track.kml");
    ASSERT_TRUE(WriteFileBytes(path, c.file));
    EXPECT_EQ(CheckTrackFile(path), c.no_coordinates) << c.what;
    EXPECT_EQ(ReadFileBytes(path), c.after) << c.what;
  }
}

TEST(CheckTrackFile, AMissingFileHoldsNoCoordinatesAndStaysMissing) {
  ScratchDir scratch;
  EXPECT_TRUE(CheckTrackFile(scratch.File("track7.kml")));
  EXPECT_FALSE(std::ifstream(scratch.File("track7.kml")).good());
}

// A power cut after the replacing rename finds the repair under the name; a
// repair that cannot reach the disk leaves the track as it was.
TEST(CheckTrackFile, TheRepairIsFlushedBeforeItReplacesTheTrack) {
  const std::string cut = kHeader + kSegmentHead + "37.6184231,55.7512443,0\r\n";
  for (int failing_flush : {0, 1}) {
    ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch.File("track.kml"), cut));
    testing_support::RecordingFiles files;
    files.Fail("flush track.kml.tmp", failing_flush);
    EXPECT_FALSE(CheckTrackFile(scratch.File("track.kml")));
    EXPECT_EQ(files.calls, (std::vector<std::string>{"write track.kml.tmp", "write track.kml.tmp",
                                                     "flush track.kml.tmp",
                                                     failing_flush ? "remove track.kml.tmp"
                                                                   : "replace track.kml.tmp track.kml"}));
    EXPECT_EQ(ReadFileBytes(scratch.File("track.kml")), failing_flush ? cut : cut + kSegmentTail + kDocumentTail);
  }
}

TEST(CheckTrackFile, RebuildsFilesOfAnySize) {
  // 5000 points of an interrupted segment, far beyond 64 KiB.
  std::string points;
  for (int i = 0; i < 5000; ++i) points += "37.6" + std::to_string(100000 + i) + ",55.75,1.5\r\n";
  std::string text = kHeader + kSegmentHead + points + kSegmentHead + "37.6,55.75,0\r\n" + kSegmentTail;
  ScratchDir scratch;
  std::string path = scratch.File("track.kml");
  ASSERT_TRUE(WriteFileBytes(path, text));
  EXPECT_FALSE(CheckTrackFile(path));
  EXPECT_EQ(ReadFileBytes(path), kHeader + kSegmentHead + points + kSegmentTail + kSegmentHead +
                                     "37.6,55.75,0\r\n" + kSegmentTail + kDocumentTail);
}

// A recorded track: segments of a drive with an empty one among them, speeds
// in every form the format takes.
std::string RecordedTrack(const std::string& path) {
  KmlTrackFile file;
  TrackPosition last;
  EXPECT_TRUE(file.Begin(path));
  const int lengths[] = {9, 0, 14, 1, 11, 7};
  double latitude = 43.1155, longitude = 131.885612;
  int fix = 0;
  for (int length : lengths) {
    file.OpenSegment();
    for (int i = 0; i < length; ++i, ++fix) {
      latitude += 0.00021 * (fix % 3 + 1);
      longitude -= 0.00017 * (fix % 4);
      double speed = fix % 5 == 0 ? 0.00005 : fix * 1.37;
      file.PointStep(latitude, longitude, speed, 5, last);
    }
    file.CloseSegment();
  }
  file.End();
  return ReadFileBytes(path);
}

// Every prefix of a recorded track, as a crash or power loss leaves it: the
// check keeps every complete point line and leaves well-formed KML. The
// repaired files that hold coordinates are listed in `kept`.
void RepairEveryPrefix(const ScratchDir& scratch, std::vector<std::string>& kept) {
  std::string whole = RecordedTrack(scratch.File("whole.kml"));
  std::vector<PointLine> lines = track_testing::PointLinesOf(whole);
  ASSERT_GT(lines.size(), 30u);
  for (size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut));
    std::string prefix = whole.substr(0, cut);
    std::string path = scratch.File("cut" + std::to_string(cut) + ".kml");
    ASSERT_TRUE(WriteFileBytes(path, prefix));
    std::vector<std::string> complete;
    for (const PointLine& line : lines) {
      if (line.end <= cut) complete.push_back(line.text);
    }
    bool no_coordinates = CheckTrackFile(path);
    std::string after = ReadFileBytes(path);
    ASSERT_EQ(no_coordinates, complete.empty());
    if (no_coordinates) {
      ASSERT_EQ(after, prefix);
      continue;
    }
    track_testing::KmlShape shape = track_testing::ReadKmlShape(after);
    ASSERT_TRUE(shape.well_formed) << shape.fault << "\n" << after;
    ASSERT_EQ(shape.points, complete);
    size_t whole_lines = prefix.rfind('\n') + 1;
    ASSERT_EQ(after.compare(0, whole_lines, prefix, 0, whole_lines), 0);
    kept.push_back(path);
  }
}

TEST(CheckTrackFile, RepairsATrackCutAtEveryByte) {
  ScratchDir scratch;
  std::vector<std::string> kept;
  RepairEveryPrefix(scratch, kept);
}

TEST(CheckTrackFile, XmllintAcceptsEveryRepairedCut) {
  if (!track_testing::ToolRuns("xmllint --version")) GTEST_SKIP() << "xmllint is not available here";
  ScratchDir scratch;
  std::vector<std::string> kept;
  RepairEveryPrefix(scratch, kept);
  if (HasFatalFailure()) return;
  const size_t kBatch = 200;
  for (size_t first = 0; first < kept.size(); first += kBatch) {
    std::string command = "xmllint --noout";
    for (size_t i = first; i < std::min(first + kBatch, kept.size()); ++i) command += " \"" + kept[i] + "\"";
    std::string log = scratch.File("xmllint.log");
    EXPECT_EQ(track_testing::RunTool(command, log), 0) << ReadFileBytes(log);
  }
}

}  // namespace
