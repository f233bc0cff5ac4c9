// Packing and filing in the working folders (their layout: track_folders.h):
// a finished track into its archive in ToSend, the start-up preparation that
// clears the queue and packs what an earlier run left, and an accepted
// archive's move to Sended.
#pragma once

#include <string>

#include "eventlog/event_log.h"

// Packs the track file with points.wpt, when there is one, into
// ToSend/track<counter>.zip as "track.kml" and "points.wpt". The archive is
// written as track<counter>.part and takes its queue name only when complete,
// so an interrupted packing never leaves a broken archive in the queue; its
// bytes are flushed to the disk before it is named, and (on POSIX) ToSend
// after, so that a power cut cannot either. The track and the waypoints are
// removed only once the archive is safe; otherwise they stay, a half-made
// archive goes, an error line is logged and false is returned.
bool PackTrack(EventLog& log, const std::string& kml_path, int counter);

// Moves an accepted archive into Sended/<track name> under that folder's
// next free number; the track name is UTF-8 (UploadParams::track_folder), not
// the ANSI text of the upload. When that fails it goes into Sended itself,
// and failing that it is renamed in place to <name>.sent (deleted when even
// that fails), each step logged: an accepted archive never stays queued to
// be uploaded again. False when it did not reach a Sended folder.
bool MoveToSended(EventLog& log, const std::string& archive_path, const std::string& track_name);

// Creates the folders, removes archives an interrupted packing left half
// made, moves a queued archive that is not a whole ZIP to Tracks/Damaged
// (logged), and returns the track counter to start from (above every track
// file and waiting archive). When asked to, it packs every track file left
// in Tracks, or deletes it when it holds no coordinates or a queued archive
// already holds its exact bytes (the same size and CRC-32 as its
// "track.kml"). It may take long (leftover tracks are read whole and
// checked): a worker's call.
int PrepareTrackFolders(EventLog& log, const std::string& track_name, bool pack_leftovers);
