// The working folders: Tracks (track files being recorded, points.wpt),
// Tracks/ToSend (archives waiting for the upload), Tracks/Sended/<track name>
// (archives the service accepted) and Tracks/Damaged (queued archives that
// were not whole). This unit alone knows the layout; the others ask it for
// paths. Paths and the track name as a folder name are UTF-8
// (platform/folders.h), whatever the ANSI code page.
#pragma once

#include <string>
#include <vector>

// Tracks, ToSend, Damaged and Sended, without a trailing separator.
std::string TracksFolder();
std::string ToSendFolder();
std::string DamagedFolder();
std::string SendedFolder();
// Sended/<the track name as a folder name>, or Sended itself for an empty name.
std::string SendedFolderOf(const std::string& track_name);
// The name in the folder, joined with the system's separator.
std::string PathIn(const std::string& folder, const std::string& name);

// Tracks/track<number>.kml, the track file the track writer opens.
std::string TrackFilePath(int number);
// Tracks/points.wpt, the waypoints of the track being recorded.
std::string WaypointsPath();
// ToSend/track<number> with the extension: ".part" while an archive is
// packed, ".zip" once it is queued.
std::string ToSendPath(int number, const char* extension);
// The next free track<N>.zip in a folder.
std::string NextArchiveIn(const std::string& folder);
// The archives waiting in ToSend, in the folder's order.
std::vector<std::string> QueuedArchives();

// The next free number of the files matching folder + mask: the largest
// number after a five-letter prefix ("track12.zip" is 12) plus one, or 0 when
// no file matches. Gaps are never filled.
int NextFileNumber(const std::string& folder, const std::string& mask);

// The track name (UTF-8) as a folder name: characters a folder name cannot
// hold and ".." become "_", trailing dots and spaces too, a name Windows
// reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) gets a
// leading "_", and the name is cut to at most 80 bytes where a character
// begins; an empty name stays empty (archives go into Sended).
std::string SafeFolderName(const std::string& track_name);

// True when track files are left over from an earlier run. Quick: it only
// looks for the files, so the window may call it before a start.
bool HasLeftoverTracks();
// The track files in Tracks: at start, what an earlier run left.
std::vector<std::string> LeftoverTracks();
