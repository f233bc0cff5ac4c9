#include "track/waypoint_file.h"

#include "platform/file_layer.h"
#include "platform/text.h"
#include "track/file_text.h"

namespace {

using track_text::kLineBreak;

// The format's fields after the position, the same for every waypoint: a fixed
// date (26 March 2010), symbol, colours, no description, altitude -777 (none),
// font and proximity settings.
constexpr char kRecordTail[] = ",40263.82877, 2, 1, 3, 0, 65535,, 0, 0, 0, -777, 6, 0,17,0,10.0,2,,,";

}  // namespace

bool AppendWaypoint(const std::string& path, int number, const std::wstring& name, double latitude,
                    double longitude) {
  std::unique_ptr<platform::File> file = platform::Files().OpenForAppend(path);
  platform::FileInfo info;
  if (!file || !file->GetInfo(&info)) return false;
  std::string lines;
  if (info.size == 0) {
    lines =
        track_text::JoinLines({"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2", "magellan"});
  }
  lines += std::to_string(number) + ',' + platform::WideToAnsiOr1251(name) + ',' +
           track_text::FormatGeneral(latitude, track_text::kCoordinateDigits) + ',' +
           track_text::FormatGeneral(longitude, track_text::kCoordinateDigits) + kRecordTail + kLineBreak;
  // A line cut by a full disk goes again, so that the next waypoint does not
  // continue it. Flushed at once: the user asked for this point explicitly.
  if (!file->Write(lines.data(), lines.size())) {
    file->Truncate(info.size);
    return false;
  }
  return file->Flush();
}
