// The KML track file the track thread writes while recording: a header, one
// Placemark per stretch of valid fixes, and the closing lines.
#pragma once

#include <fstream>
#include <string>

// The last position written to a track; (0, 0) means none yet. It outlives
// segments and track files: the thinning distance is measured from it.
struct TrackPosition {
  double latitude = 0;
  double longitude = 0;
};

class KmlTrackFile {
 public:
  // Creates or truncates the file (a UTF-8 path) and writes the document and folder heads.
  // False when the file cannot be created; the other steps then write nothing.
  bool Begin(const std::string& path);

  // Opens a Placemark up to "<coordinates>", which the first point follows on
  // the same line.
  void OpenSegment();

  // Writes the fix as a point line when it passes the thinning test against
  // `last` (updated on writing) and returns the metres it adds to the track:
  // 0 when nothing is written and for the first point of a run. With a
  // thinning distance of 0 the first point of a run is written twice. A
  // position that is not a finite number is ignored.
  int PointStep(double latitude, double longitude, double speed, int thinning, TrackPosition& last);

  // Ends the coordinates, the LineString and the Placemark.
  void CloseSegment();

  // Ends the folder and the document and closes the file.
  void End();

  // True once a step could not write (the file could not be created, or the
  // disk is full): what was written before stays in the file.
  bool Failed() const { return failed_; }

 private:
  void Write(const std::string& lines);
  void Flush();
  void WritePoint(double latitude, double longitude, double speed);

  std::ofstream out_;
  bool failed_ = false;
};
