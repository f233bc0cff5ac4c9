#include "track/track_file.h"

#include <cmath>

#include "platform/file.h"
#include "track/file_text.h"
#include "track/track_check.h"

namespace {

using track_text::JoinLines;
using track_text::kLineBreak;

// Positions the thinning step may write: latitude and longitude both nonzero
// (a zero is what a receiver without a position reports) and within range.
bool IsRecordable(double latitude, double longitude) {
  return latitude != 0 && longitude != 0 && std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

}  // namespace

bool KmlTrackFile::Begin(const std::string& path) {
  out_.close();
  out_.clear();
  platform::OpenFileStream(out_, path, std::ios::binary | std::ios::trunc);
  failed_ = !out_.is_open();
  Write(JoinLines({"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>",
                   "<Document xmlns=\"http://earth.google.com/kml/2.0\">", "<name>Korvanta Routesmith</name>",
                   "<visibility>1</visibility>", "<Style id=\"route\"></Style>", "<Folder>",
                   "<name>Tracklogs</name>", "<visibility>1</visibility>"}));
  return out_.is_open();
}

void KmlTrackFile::OpenSegment() {
  Write(
      JoinLines({"<Placemark>", "<name>Tracklogs</name>", "<Style>", "<LineStyle>", "<color>FF0000FF</color>",
                 "<width>2</width>", "</LineStyle>", "</Style>", "<LineString>"}) +
      "<coordinates>");
}

int KmlTrackFile::PointStep(double latitude, double longitude, double speed, int thinning,
                            TrackPosition& last) {
  // A position that is not a number would become a reference no distance can
  // be measured from, and nothing after it would ever be written.
  if (!std::isfinite(latitude) || !std::isfinite(longitude)) return 0;
  if (last.latitude == 0 && last.longitude == 0) {
    last = {latitude, longitude};
    WritePoint(latitude, longitude, speed);
  }
  int distance = TrackDistance(last.latitude, latitude, last.longitude, longitude);
  if (distance == kUndefinedDistance || distance < thinning || !IsRecordable(latitude, longitude)) return 0;
  last = {latitude, longitude};
  WritePoint(latitude, longitude, speed);
  return distance;
}

void KmlTrackFile::CloseSegment() {
  Write(JoinLines({"</coordinates>", "</LineString>", "</Placemark>"}));
  Flush();
}

void KmlTrackFile::End() {
  Write(JoinLines({"</Folder>", "</Document>"}));
  out_.close();
}

void KmlTrackFile::Flush() {
  out_.flush();
  if (!out_.good()) failed_ = true;
}

void KmlTrackFile::Write(const std::string& lines) {
  if (out_.is_open()) out_ << lines;
  if (!out_.good()) failed_ = true;
}

// Flushed at once: a crash of the program then loses no point already received.
void KmlTrackFile::WritePoint(double latitude, double longitude, double speed) {
  using track_text::FormatGeneral;
  Write(FormatGeneral(longitude, track_text::kCoordinateDigits) + "," +
        FormatGeneral(latitude, track_text::kCoordinateDigits) + "," +
        FormatGeneral(speed, track_text::kSpeedDigits) + kLineBreak);
  Flush();
}
