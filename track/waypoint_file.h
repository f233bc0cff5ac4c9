// The OziExplorer waypoint file of the current track.
#pragma once

#include <string>

// Writes one waypoint line into the file at path (UTF-8): number, name in
// the ANSI code page (or code page 1251 when that cannot hold it), latitude,
// longitude and the fixed rest of the record.
// A missing or empty file starts with its four header lines; an existing one
// is continued, never cut: until an archive holds its waypoints, they are
// the user's only copy. True when the line was written and flushed to the
// disk; a line the disk had no room for is taken out again.
bool AppendWaypoint(const std::string& path, int number, const std::wstring& name, double latitude,
                    double longitude);
