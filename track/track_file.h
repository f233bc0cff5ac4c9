// The KML track file the track thread writes while recording: a header, one
// Placemark per stretch of valid fixes, and the closing lines.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/file.h"

// The last position written to a track; (0, 0) means none yet. It outlives
// segments and track files: the thinning distance is measured from it.
struct TrackPosition {
  double latitude = 0;
  double longitude = 0;
};

// Every write goes straight to the system, so a killed program loses no point;
// a power cut loses what was written after the last flush to the disk.
class KmlTrackFile {
 public:
  using Clock = std::chrono::steady_clock;
  // The longest a written point line waits for its flush while points come.
  static constexpr Clock::duration kFlushInterval = std::chrono::seconds(10);

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

  // Flushes the file to the disk when something was written since the last
  // flush and that flush is kFlushInterval or more before now (the first
  // time at once): a flush per fix would cost a disk write a second.
  void FlushWhenDue(Clock::time_point now);

  // Ends the coordinates, the LineString and the Placemark, and flushes.
  void CloseSegment();

  // Ends the folder and the document, flushes and closes the file.
  void End();

  // True once a step could not write or flush (the file could not be
  // created, or the disk is full): nothing more is written, and what was
  // written before stays in the file.
  bool Failed() const { return failed_; }

 private:
  void Write(const std::string& lines);
  void FlushToDisk();
  void WritePoint(double latitude, double longitude, double speed);

  std::unique_ptr<platform::File> file_;
  bool failed_ = false;
  bool unflushed_ = false;
  bool flushed_once_ = false;
  Clock::time_point last_flush_;
};
