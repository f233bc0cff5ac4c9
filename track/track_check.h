// The thinning distance and the check of a finished track file.
#pragma once

#include <string>

// TrackDistance's result when rounding puts the cosine of the angle outside
// [-1, 1] (or an input is not a number): no distance can be taken, and the
// point step treats it as shorter than any thinning distance, 0 included.
inline constexpr int kUndefinedDistance = -1;

// Metres between two positions in degrees by the spherical law of cosines,
// rounded up. Both latitudes come first. Identical positions give 0.
int TrackDistance(double lat1, double lat2, double lon1, double lon2);

// Examines a closed or cut-off track file. Returns true when it holds no
// coordinates (empty file, or every coordinates block blank); the caller then
// deletes it. Otherwise the file is left well-formed: a segment that a later
// one interrupts is closed where the next begins, a last line cut short is
// dropped, and every element still open is closed at the end, keeping the
// file's line breaks. Files it returns true for are not touched. A repair is
// written to path + ".tmp" and renamed over the track: a crash during it
// leaves the track as it was. Paths are UTF-8.
bool CheckTrackFile(const std::string& path);

// True when the text holds a character other than space, CR and LF.
bool HasContent(const std::string& text);
