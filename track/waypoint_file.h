// The OziExplorer waypoint file of the current track.
#pragma once

#include <string>

// Writes one waypoint line into the file at path (UTF-8): number, name in the ANSI code page, latitude,
// longitude and the fixed rest of the record. Number 0 starts the file afresh
// with its four header lines; any other number appends (creating the file,
// without a header, when it is missing). Errors are not reported.
void AppendWaypoint(const std::string& path, int number, const std::wstring& name, double latitude,
                    double longitude);
