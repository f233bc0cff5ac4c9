#include "track/waypoint_file.h"

#include <fstream>

#include "platform/file.h"
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
  std::ofstream out;
  platform::OpenFileStream(out, path, std::ios::binary | std::ios::app);
  if (!out.is_open()) return false;
  out.seekp(0, std::ios::end);
  if (out.tellp() == std::streampos(0)) {
    out << track_text::JoinLines({"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2", "magellan"});
  }
  out << std::to_string(number) << ',' << platform::WideToAnsi(name) << ','
      << track_text::FormatGeneral(latitude, track_text::kCoordinateDigits) << ','
      << track_text::FormatGeneral(longitude, track_text::kCoordinateDigits) << kRecordTail << kLineBreak;
  out.close();
  return !out.fail();
}
