// The working folders: Tracks (track files being recorded, points.wpt),
// Tracks/ToSend (archives waiting for the upload), Tracks/Sended/<track name>
// (archives the service accepted) and Tracks/Damaged (queued archives that
// were not whole). This unit alone knows the layout; the others ask it for
// paths. Paths and the track name as a folder name are UTF-8
// (platform/folders.h), whatever the ANSI code page.
#pragma once

#include <string>
#include <vector>

#include "eventlog/event_log.h"

// Tracks/track<number>.kml, the track file the track writer opens.
std::string TrackFilePath(int number);
// Tracks/points.wpt, the waypoints of the track being recorded.
std::string WaypointsPath();
// The archives waiting in ToSend, in the folder's order.
std::vector<std::string> QueuedArchives();

// The next free number of the files matching folder + mask: the largest
// number after a five-letter prefix ("track12.zip" is 12) plus one, or 0 when
// no file matches. Gaps are never filled.
int NextFileNumber(const std::string& folder, const std::string& mask);

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

// The track name (UTF-8) as a folder name: characters a folder name cannot
// hold and ".." become "_", trailing dots and spaces too, a name Windows
// reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) gets a
// leading "_", and the name is cut to at most 80 bytes where a character
// begins; an empty name stays empty (archives go into Sended).
std::string SafeFolderName(const std::string& track_name);

// True when track files are left over from an earlier run. Quick: it only
// looks for the files, so the window may call it before a start.
bool HasLeftoverTracks();

// Creates the folders, removes archives an interrupted packing left half
// made, moves a queued archive that is not a whole ZIP to Tracks/Damaged
// (logged), and returns the track counter to start from (above every track
// file and waiting archive). When asked to, it packs every track file left
// in Tracks, or deletes it when it holds no coordinates or a queued archive
// already holds its exact bytes (the same size and CRC-32 as its
// "track.kml"). It may take long (leftover tracks are read whole and
// checked): a worker's call.
int PrepareTrackFolders(EventLog& log, const std::string& track_name, bool pack_leftovers);
