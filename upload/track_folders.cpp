#include "upload/track_folders.h"

#include <cctype>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "platform/file_layer.h"
#include "platform/folders.h"
#include "platform/program_dir.h"
#include "platform/text.h"
#include "track/track_check.h"
#include "upload/upload_protocol.h"
#include "zip/zip_check.h"
#include "zip/zip_writer.h"

namespace {

constexpr char kSep = platform::kPathSeparator;

// The layout of the working folders. Folders are named without a trailing
// separator here; In() joins a name to one.
std::string In(const std::string& folder, const std::string& name) { return folder + kSep + name; }
std::string TracksFolder() { return In(platform::ProgramFolder(), "Tracks"); }
std::string ToSendFolder() { return In(TracksFolder(), "ToSend"); }
std::string DamagedFolder() { return In(TracksFolder(), "Damaged"); }
std::string SendedFolder() { return In(TracksFolder(), "Sended"); }
std::string NumberedName(int number, const char* extension) { return "track" + std::to_string(number) + extension; }

std::wstring Wide(const std::string& utf8) { return platform::Utf8ToWide(utf8); }

// The next free trackN.zip in a folder.
std::string NextArchiveIn(const std::string& folder) {
  return In(folder, NumberedName(NextFileNumber(folder + kSep, "*.zip"), ".zip"));
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

// Archives an interrupted packing left behind, and queued archives that are
// not whole (an older version's, or damaged), would be refused by the service
// and hold up the queue. Returns the track files the whole ones hold, as
// their directories record them: each archive is read once, from its end.
std::vector<ZipDirectoryEntry> ClearBrokenArchives(EventLog& log) {
  std::string to_send = ToSendFolder();
  for (const std::string& name : platform::FindFiles(In(to_send, "*.part"))) platform::RemoveFile(In(to_send, name));
  std::vector<ZipDirectoryEntry> queued_tracks;
  std::vector<ZipDirectoryEntry> entries;
  for (const std::string& archive : QueuedArchives()) {
    if (ReadZipDirectory(archive, &entries)) {
      for (const ZipDirectoryEntry& entry : entries) {
        if (entry.name == "track.kml") queued_tracks.push_back(entry);
      }
      continue;
    }
    std::string damaged = DamagedFolder();
    platform::CreateFolder(damaged);
    std::string name = ArchiveFileName(archive);
    if (platform::MoveFileNoReplace(archive, NextArchiveIn(damaged))) {
      log.AddLine(L"Архив " + Wide(name) + L" повреждён и перемещён в папку Damaged");
    }
  }
  return queued_tracks;
}

std::string SendedFolderOf(const std::string& track_name) {
  std::string safe = SafeFolderName(track_name);
  return safe.empty() ? SendedFolder() : In(SendedFolder(), safe);
}

// The number in a name like "track12.zip": the text from position 5 up to
// the first dot, read as wtol reads it.
int NumberInName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos || dot <= 5) return 0;
  std::wstring digits = platform::Utf8ToWide(name.substr(5, dot - 5));
  return static_cast<int>(std::wcstol(digits.c_str(), nullptr, 10));
}

// A packing cut off after its archive took its queue name and before the
// track file went leaves both; packing the file again would upload the
// track twice.
bool IsQueued(const std::string& kml_path, const std::vector<ZipDirectoryEntry>& queued) {
  if (queued.empty()) return false;
  std::string bytes = ReadWholeFile(kml_path);
  uint32_t crc = ZipCrc32(bytes);
  for (const ZipDirectoryEntry& entry : queued) {
    if (entry.size == bytes.size() && entry.crc == crc) return true;
  }
  return false;
}

bool AddAll(CZipWriter& zip, const std::string& kml_path, const std::string& waypoints_path,
            bool with_waypoints) {
  bool added = zip.AddFile("track.kml", kml_path) == ZipResult::kOk;
  if (added && with_waypoints) {
    added = zip.AddFile("points.wpt", waypoints_path) == ZipResult::kOk;
  }
  return added;
}

// Packs every track file left in Tracks, or deletes it when it holds no
// coordinates or a queued archive already holds its exact bytes; numbers come
// from the counter, which ends above them.
void PackLeftoverTracks(EventLog& log, int& counter, const std::vector<ZipDirectoryEntry>& queued) {
  for (const std::string& name : platform::FindFiles(In(TracksFolder(), "*.kml"))) {
    std::string path = In(TracksFolder(), name);
    // The bytes as they were left, before the check may repair them.
    if (IsQueued(path, queued) || CheckTrackFile(path)) {
      platform::RemoveFile(path);
      continue;
    }
    PackTrack(log, path, counter);
    ++counter;
  }
}

}  // namespace

std::string TrackFilePath(int number) { return In(TracksFolder(), NumberedName(number, ".kml")); }

std::string WaypointsPath() { return In(TracksFolder(), "points.wpt"); }

std::vector<std::string> QueuedArchives() {
  std::vector<std::string> archives;
  for (const std::string& name : platform::FindFiles(In(ToSendFolder(), "*.zip"))) {
    archives.push_back(In(ToSendFolder(), name));
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

bool PackTrack(EventLog& log, const std::string& kml_path, int counter) {
  std::string archive = In(ToSendFolder(), NumberedName(counter, ".zip"));
  std::string partial = In(ToSendFolder(), NumberedName(counter, ".part"));
  std::string waypoints = WaypointsPath();
  bool with_waypoints = platform::FileExists(waypoints);
  platform::FileLayer& files = platform::Files();

  // The archive's bytes reach the disk before it takes its queue name, and
  // (on POSIX) that name before the track goes: under any power cut the
  // queue holds only whole archives, and the track stays until one holds it.
  bool named = false;
  CZipWriter zip;
  if (zip.Create(partial) == ZipResult::kOk) {
    bool added = AddAll(zip, kml_path, waypoints, with_waypoints);
    named = zip.CloseFlushed() == ZipResult::kOk && added && files.MoveNoReplace(partial, archive);
  }
  if (!named) files.Remove(partial);
  // A queued archive whose name may not be on the disk leaves the track in
  // place too: the next start finds it already queued.
  if (!named || !files.FlushFolder(ToSendFolder())) {
    log.AddLine(L"Ошибка упаковки: трек остался в файле " + platform::Utf8ToWide(kml_path));
    return false;
  }
  files.Remove(kml_path);
  if (with_waypoints) files.Remove(waypoints);
  return true;
}

bool MoveToSended(EventLog& log, const std::string& archive_path, const std::string& track_name) {
  std::string folder = SendedFolderOf(track_name);
  platform::CreateFolderTree(folder);
  if (platform::MoveFileNoReplace(archive_path, NextArchiveIn(folder))) return true;
  std::wstring name = Wide(ArchiveFileName(archive_path));
  std::string sended = SendedFolder();
  if (folder != sended) {
    platform::CreateFolder(sended);
    if (platform::MoveFileNoReplace(archive_path, NextArchiveIn(sended))) {
      log.AddLine(L"Папка " + Wide(folder) + L" недоступна: архив " + name + L" перемещён в папку Sended");
      return true;
    }
  }
  // The service has the archive: whatever happens, no later pass may send it again.
  if (platform::MoveFileNoReplace(archive_path, archive_path + ".sent")) {
    log.AddLine(L"Папка Sended недоступна: архив " + name + L" отправлен и помечен как " + name + L".sent");
  } else if (platform::RemoveFile(archive_path)) {
    log.AddLine(L"Папка Sended недоступна: отправленный архив " + name + L" удалён из очереди");
  }
  return false;
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

bool HasLeftoverTracks() { return !platform::FindFiles(In(TracksFolder(), "*.kml")).empty(); }

int PrepareTrackFolders(EventLog& log, const std::string& track_name, bool pack_leftovers) {
  platform::CreateFolder(TracksFolder());
  platform::CreateFolder(ToSendFolder());
  platform::CreateFolderTree(SendedFolderOf(track_name));
  std::vector<ZipDirectoryEntry> queued_tracks = ClearBrokenArchives(log);

  int kml = NextFileNumber(TracksFolder() + kSep, "*.kml");
  int zip = NextFileNumber(ToSendFolder() + kSep, "*.zip");
  int counter = zip > kml ? zip : kml;
  if (pack_leftovers) PackLeftoverTracks(log, counter, queued_tracks);
  return counter;
}
