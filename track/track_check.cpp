#include "track/track_check.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "platform/file_layer.h"

namespace {

constexpr size_t kNone = std::string::npos;
constexpr std::string_view kBlockStart = "<coordinates>";
constexpr std::string_view kBlockEnd = "</coordinates>";
constexpr std::string_view kSegmentStart = "<Placemark>";

// The single-precision value of pi, as the distances have always been taken.
const double kPi = static_cast<double>(3.1415927f);
constexpr double kEarthRadius = 6372795;

double Radians(double degrees) { return degrees * kPi / 180; }

bool HasContentIn(std::string_view text) { return text.find_first_not_of(" \r\n") != kNone; }

// Searches one text for one word at rising start positions, reusing the last
// hit so that a walk over all blocks stays linear even when end tags are missing.
class RisingFinder {
 public:
  RisingFinder(std::string_view text, std::string_view word) : text_(text), word_(word) {}

  size_t At(size_t from) {
    if (hit_ == kNone && searched_) return kNone;
    if (searched_ && hit_ >= from) return hit_;
    hit_ = text_.find(word_, from);
    searched_ = true;
    return hit_;
  }

 private:
  std::string_view text_;
  std::string_view word_;
  size_t hit_ = kNone;
  bool searched_ = false;
};

// The file's own line break: LF when its first line ends without CR, else CR LF.
std::string LineBreakOf(const std::string& text) {
  size_t first = text.find('\n');
  return first != kNone && (first == 0 || text[first - 1] != '\r') ? "\n" : "\r\n";
}

// A block that a later "<coordinates>" interrupts before its end tag is closed
// where the next segment begins (with its LineString and Placemark), or, when
// no Placemark lies between, just before the next block. Returns true when it
// changed the text.
bool CloseInterruptedBlocks(std::string& text, const std::string& line_break) {
  RisingFinder starts(text, kBlockStart), ends(text, kBlockEnd), segments(text, kSegmentStart);
  std::string rebuilt;
  size_t copied = 0;
  bool changed = false;
  for (size_t block = starts.At(0); block != kNone;) {
    size_t content = block + kBlockStart.size();
    size_t next = starts.At(content);
    if (next == kNone) break;
    size_t end = ends.At(content);
    if (end == kNone || end > next) {
      size_t segment = segments.At(content);
      bool whole_segment = segment != kNone && segment < next;
      size_t at = whole_segment ? segment : next;
      rebuilt.append(text, copied, at - copied);
      rebuilt.append(kBlockEnd).append(line_break);
      if (whole_segment) rebuilt.append("</LineString>" + line_break + "</Placemark>" + line_break);
      copied = at;
      changed = true;
    }
    block = next;
  }
  if (!changed) return false;
  rebuilt.append(text, copied, kNone);
  text.swap(rebuilt);
  return true;
}

// How much of the text survives a cut: all of it when it ends with a line
// break; otherwise the last line goes, all but its "<coordinates>" when it
// begins with one (the first point shares that line).
size_t KeptLength(std::string_view text) {
  if (!text.empty() && text.back() == '\n') return text.size();
  size_t line = text.rfind('\n');
  line = line == kNone ? 0 : line + 1;
  if (text.substr(line, kBlockStart.size()) == kBlockStart) return line + kBlockStart.size();
  return line;
}

// The names of the elements still open at the end of the text, outermost
// first. A stray end tag that does not close the innermost element is ignored.
std::vector<std::string_view> OpenElements(std::string_view text) {
  std::vector<std::string_view> open;
  for (size_t tag = text.find('<'); tag != kNone; tag = text.find('<', tag)) {
    size_t close = text.find('>', tag);
    if (close == kNone) break;
    std::string_view body = text.substr(tag + 1, close - tag - 1);
    tag = close + 1;
    if (body.empty() || body[0] == '?' || body[0] == '!' || body.back() == '/') continue;
    if (body[0] == '/') {
      if (!open.empty() && open.back() == body.substr(1)) open.pop_back();
      continue;
    }
    std::string_view name = body.substr(0, body.find_first_of(" \t\r\n"));
    if (!name.empty()) open.push_back(name);
  }
  return open;
}

std::string EndTags(const std::vector<std::string_view>& open, const std::string& line_break) {
  std::string tags;
  for (auto element = open.rbegin(); element != open.rend(); ++element) {
    tags.append("</").append(*element).append(">").append(line_break);
  }
  return tags;
}

// True when every coordinates block is blank. A block ends at its end tag, at
// the next block, or at the end of the text.
bool AllBlocksBlank(std::string_view text) {
  RisingFinder starts(text, kBlockStart), ends(text, kBlockEnd);
  for (size_t block = starts.At(0); block != kNone;) {
    size_t content = block + kBlockStart.size();
    size_t next = starts.At(content);
    size_t end = std::min({ends.At(content), next, text.size()});
    if (HasContentIn(text.substr(content, end - content))) return false;
    block = next;
  }
  return true;
}

bool WriteAndFlush(const std::string& path, std::string_view first, std::string_view second) {
  std::unique_ptr<platform::File> file = platform::Files().CreateForWrite(path);
  return file && file->Write(first.data(), first.size()) && file->Write(second.data(), second.size()) &&
         file->Flush();
}

// Writes the repaired text beside the track and renames it over the track,
// so that a crash midway leaves the old file whole; its bytes are on the disk
// before the name is, or a power cut could leave the name on no bytes. A
// failed write leaves the track as it was.
void Rewrite(const std::string& path, std::string_view first, std::string_view second) {
  std::string temporary = path + ".tmp";
  platform::FileLayer& files = platform::Files();
  if (!WriteAndFlush(temporary, first, second) || !files.MoveReplacing(temporary, path))
    files.Remove(temporary);
}

}  // namespace

int TrackDistance(double lat1, double lat2, double lon1, double lon2) {
  if (lat1 == lat2 && lon1 == lon2) return 0;
  double phi1 = Radians(lat1), phi2 = Radians(lat2);
  double x = std::sin(phi1) * std::sin(phi2) +
             std::cos(phi1) * std::cos(phi2) * std::cos(std::fabs(Radians(lon2) - Radians(lon1)));
  if (!(x >= -1 && x <= 1)) return kUndefinedDistance;
  return static_cast<int>(std::ceil(std::acos(x) * kEarthRadius));
}

bool CheckTrackFile(const std::string& path) {
  std::string text = platform::ReadWholeFile(path);
  if (text.empty()) return true;
  std::string line_break = LineBreakOf(text);
  bool rebuilt = CloseInterruptedBlocks(text, line_break);
  size_t kept = KeptLength(text);
  std::string_view survivor = std::string_view(text).substr(0, kept);
  if (AllBlocksBlank(survivor)) return true;
  std::string end_tags = EndTags(OpenElements(survivor), line_break);
  if (rebuilt || kept < text.size() || !end_tags.empty()) Rewrite(path, survivor, end_tags);
  return false;
}

bool HasContent(const std::string& text) { return HasContentIn(text); }
