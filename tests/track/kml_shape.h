// A strict reading of a track file in the shape the program writes it, kept
// apart from the program's own repair code so that each checks the other.
#pragma once

#include <string>
#include <vector>

namespace track_testing {

// The fixed parts of a track file, written out from the format.
inline const std::string kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
    "<Document xmlns=\"http://earth.google.com/kml/2.0\">\r\n"
    "<name>Korvanta Routesmith</name>\r\n"
    "<visibility>1</visibility>\r\n"
    "<Style id=\"route\"></Style>\r\n"
    "<Folder>\r\n"
    "<name>Tracklogs</name>\r\n"
    "<visibility>1</visibility>\r\n";
inline const std::string kSegmentHead =
    "<Placemark>\r\n<name>Tracklogs</name>\r\n<Style>\r\n<LineStyle>\r\n<color>FF0000FF</color>\r\n"
    "<width>2</width>\r\n</LineStyle>\r\n</Style>\r\n<LineString>\r\n<coordinates>";
inline const std::string kSegmentTail = "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
inline const std::string kDocumentTail = "</Folder>\r\n</Document>\r\n";

struct KmlShape {
  bool well_formed = false;
  std::string fault;                // the first problem found, when not well formed
  std::vector<std::string> points;  // point lines of every coordinates block, in order
};

// Well formed means: the XML declaration line, one Document element, every
// start tag ended in order, text only inside leaf elements, and CR LF as the
// only line break.
KmlShape ReadKmlShape(const std::string& text);

struct PointLine {
  std::string text;
  size_t end;  // offset just past its line break
};

// The point lines of a complete track file with where each ends.
std::vector<PointLine> PointLinesOf(const std::string& text);

}  // namespace track_testing
