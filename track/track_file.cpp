#include "track/track_file.h"

#include <cmath>

#include "platform/file_layer.h"
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
  file_ = platform::Files().CreateForWrite(path);
  failed_ = !file_;
  unflushed_ = false;
  flushed_once_ = false;
  Write(JoinLines({"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>",
                   "<Document xmlns=\"http://earth.google.com/kml/2.0\">", "<name>Korvanta Routesmith</name>",
                   "<visibility>1</visibility>", "<Style id=\"route\"></Style>", "<Folder>",
                   "<name>Tracklogs</name>", "<visibility>1</visibility>"}));
  return file_ != nullptr;
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

void KmlTrackFile::FlushWhenDue(Clock::time_point now) {
  if (unflushed_ && (!flushed_once_ || now - last_flush_ >= kFlushInterval)) {
    FlushToDisk();
    last_flush_ = now;
    flushed_once_ = true;
  }
}

void KmlTrackFile::CloseSegment() {
  Write(JoinLines({"</coordinates>", "</LineString>", "</Placemark>"}));
  FlushToDisk();
}

void KmlTrackFile::End() {
  Write(JoinLines({"</Folder>", "</Document>"}));
  FlushToDisk();
  file_.reset();
}

void KmlTrackFile::FlushToDisk() {
  if (failed_ || !unflushed_) return;
  unflushed_ = false;
  if (!file_->Flush()) failed_ = true;
}

// After a failed write nothing more is written: a later line that fits would
// follow a cut one, and the file check could no longer tell where the cut is.
void KmlTrackFile::Write(const std::string& lines) {
  if (failed_) return;
  unflushed_ = true;
  if (!file_->Write(lines.data(), lines.size())) failed_ = true;
}

void KmlTrackFile::WritePoint(double latitude, double longitude, double speed) {
  using track_text::FormatGeneral;
  Write(FormatGeneral(longitude, track_text::kCoordinateDigits) + "," +
        FormatGeneral(latitude, track_text::kCoordinateDigits) + "," +
        FormatGeneral(speed, track_text::kSpeedDigits) + kLineBreak);
}
