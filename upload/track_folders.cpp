#include "upload/track_folders.h"

#include <cctype>
#include <cwchar>

#include "platform/folders.h"
#include "platform/program_dir.h"
#include "platform/text.h"

namespace {

constexpr char kSep = platform::kPathSeparator;

std::string NumberedName(int number, const char* extension) {
  return "track" + std::to_string(number) + extension;
}

bool IsReservedName(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* reserved : {"CON", "PRN", "AUX", "NUL"}) {
    if (base == reserved) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// The number in a name like "track12.zip": the text from position 5 up to
// the first dot, read as wtol reads it.
int NumberInName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos || dot <= 5) return 0;
  std::wstring digits = platform::Utf8ToWide(name.substr(5, dot - 5));
  return static_cast<int>(std::wcstol(digits.c_str(), nullptr, 10));
}

}  // namespace

std::string PathIn(const std::string& folder, const std::string& name) { return folder + kSep + name; }
std::string TracksFolder() { return PathIn(platform::ProgramFolder(), "Tracks"); }
std::string ToSendFolder() { return PathIn(TracksFolder(), "ToSend"); }
std::string DamagedFolder() { return PathIn(TracksFolder(), "Damaged"); }
std::string SendedFolder() { return PathIn(TracksFolder(), "Sended"); }

std::string SendedFolderOf(const std::string& track_name) {
  std::string safe = SafeFolderName(track_name);
  return safe.empty() ? SendedFolder() : PathIn(SendedFolder(), safe);
}

std::string TrackFilePath(int number) { return PathIn(TracksFolder(), NumberedName(number, ".kml")); }

std::string WaypointsPath() { return PathIn(TracksFolder(), "points.wpt"); }

std::string ToSendPath(int number, const char* extension) {
  return PathIn(ToSendFolder(), NumberedName(number, extension));
}

std::string NextArchiveIn(const std::string& folder) {
  return PathIn(folder, NumberedName(NextFileNumber(folder + kSep, "*.zip"), ".zip"));
}

std::vector<std::string> QueuedArchives() {
  std::vector<std::string> archives;
  for (const std::string& name : platform::FindFiles(PathIn(ToSendFolder(), "*.zip"))) {
    archives.push_back(PathIn(ToSendFolder(), name));
  }
  return archives;
}

int NextFileNumber(const std::string& folder, const std::string& mask) {
  int next = 0;
  bool found = false;
  for (const std::string& name : platform::FindFiles(folder + mask)) {
    int number = NumberInName(name);
    if (!found || number + 1 > next) next = number + 1;
    found = true;
  }
  return next;
}

std::string SafeFolderName(const std::string& track_name) {
  // Well within the file system's 255 bytes a name, and short enough for the
  // whole path to stay usable; cut where a character begins.
  constexpr size_t kMostBytes = 80;
  std::string safe = track_name;
  if (safe.size() > kMostBytes) {
    size_t cut = kMostBytes;
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
  }
  for (char& c : safe) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
  }
  // ".." would climb out of Sended; trailing dots and spaces are dropped by Windows.
  for (size_t at = safe.find(".."); at != std::string::npos; at = safe.find("..", at))
    safe.replace(at, 2, "__");
  for (size_t at = safe.size(); at > 0 && (safe[at - 1] == '.' || safe[at - 1] == ' '); --at)
    safe[at - 1] = '_';
  if (IsReservedName(safe)) safe.insert(0, "_");
  return safe;
}

std::vector<std::string> LeftoverTracks() {
  std::vector<std::string> tracks;
  for (const std::string& name : platform::FindFiles(PathIn(TracksFolder(), "*.kml"))) {
    tracks.push_back(PathIn(TracksFolder(), name));
  }
  return tracks;
}

bool HasLeftoverTracks() { return !LeftoverTracks().empty(); }
