#include "upload/track_packing.h"

#include <cstdint>
#include <vector>

#include "platform/file_layer.h"
#include "platform/folders.h"
#include "platform/program_dir.h"
#include "platform/text.h"
#include "track/track_check.h"
#include "upload/track_folders.h"
#include "upload/upload_protocol.h"
#include "zip/zip_check.h"
#include "zip/zip_writer.h"

namespace {

std::wstring Wide(const std::string& utf8) { return platform::Utf8ToWide(utf8); }

// Archives an interrupted packing left behind, and queued archives that are
// not whole (an older version's, or damaged), would be refused by the service
// and hold up the queue. Returns the track files the whole ones hold, as
// their directories record them: each archive is read once, from its end.
std::vector<ZipDirectoryEntry> ClearBrokenArchives(EventLog& log) {
  std::string to_send = ToSendFolder();
  for (const std::string& name : platform::FindFiles(PathIn(to_send, "*.part"))) {
    platform::RemoveFile(PathIn(to_send, name));
  }
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

// A packing cut off after its archive took its queue name and before the
// track file went leaves both; packing the file again would upload the
// track twice.
bool IsQueued(const std::string& kml_path, const std::vector<ZipDirectoryEntry>& queued) {
  if (queued.empty()) return false;
  std::string bytes = platform::ReadWholeFile(kml_path);
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
  // A queued archive's name may not be on the disk yet when the run that
  // packed it was cut off: it is made safe before any track it holds goes.
  if (!queued.empty()) platform::Files().FlushFolder(ToSendFolder());
  for (const std::string& path : LeftoverTracks()) {
    // The bytes as they were left, before the check may repair them.
    if (IsQueued(path, queued) || CheckTrackFile(path)) {
      platform::Files().Remove(path);
      continue;
    }
    PackTrack(log, path, counter);
    ++counter;
  }
}

}  // namespace

bool PackTrack(EventLog& log, const std::string& kml_path, int counter) {
  std::string archive = ToSendPath(counter, ".zip");
  std::string partial = ToSendPath(counter, ".part");
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

int PrepareTrackFolders(EventLog& log, const std::string& track_name, bool pack_leftovers) {
  platform::CreateFolder(TracksFolder());
  platform::CreateFolder(ToSendFolder());
  platform::CreateFolderTree(SendedFolderOf(track_name));
  std::vector<ZipDirectoryEntry> queued_tracks = ClearBrokenArchives(log);

  int kml = NextFileNumber(TracksFolder() + platform::kPathSeparator, "*.kml");
  int zip = NextFileNumber(ToSendFolder() + platform::kPathSeparator, "*.zip");
  int counter = zip > kml ? zip : kml;
  if (pack_leftovers) PackLeftoverTracks(log, counter, queued_tracks);
  return counter;
}
