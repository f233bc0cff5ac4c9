#include "upload/track_folders.h"

#include <cwchar>

#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/program_dir.h"
#include "platform/text.h"
#include "track/track_check.h"
#include "zip/zip_writer.h"

namespace {

constexpr char kSep = platform::kPathSeparatorA;

std::string ToSendDir(const std::string& tracks_dir) { return tracks_dir + "ToSend" + kSep; }

std::string SendedDir(const std::string& tracks_dir, const std::string& track_name) {
  std::string folder = tracks_dir + "Sended";
  std::string safe = SafeFolderName(track_name);
  if (!safe.empty()) folder += kSep + safe;
  return folder;
}

// The number in a name like "track12.zip": the text from position 5 up to
// the first dot, read as wtol reads it.
int NumberInName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos || dot <= 5) return 0;
  std::wstring digits = platform::Utf8ToWide(name.substr(5, dot - 5));
  return static_cast<int>(std::wcstol(digits.c_str(), nullptr, 10));
}

bool AddAll(CZipWriter& zip, const std::string& kml_path, const std::string& waypoints_path,
            bool with_waypoints) {
  bool added = zip.AddFile(L"track.kml", platform::Utf8ToWide(kml_path)) == ZipResult::kOk;
  if (added && with_waypoints) {
    added = zip.AddFile(L"points.wpt", platform::Utf8ToWide(waypoints_path)) == ZipResult::kOk;
  }
  return added;
}

}  // namespace

std::string GetTracksDir() {
  return platform::WideToUtf8(platform::ProgramFolder()) + kSep + "Tracks" + kSep;
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

bool PackTrack(EventLog& log, const std::string& kml_path, const std::string& tracks_dir, int counter) {
  std::string archive = ToSendDir(tracks_dir) + "track" + std::to_string(counter) + ".zip";
  std::string waypoints = tracks_dir + "points.wpt";
  bool with_waypoints = platform::FileExists(waypoints);

  bool complete = false;
  CZipWriter zip;
  if (zip.Create(platform::Utf8ToWide(archive)) == ZipResult::kOk) {
    bool added = AddAll(zip, kml_path, waypoints, with_waypoints);
    complete = zip.Close() == ZipResult::kOk && added;
  }
  if (!complete) {
    platform::RemoveFile(archive);
    log.AddLine(L"Ошибка упаковки: трек остался в файле " + platform::Utf8ToWide(kml_path));
    return false;
  }
  platform::RemoveFile(kml_path);
  if (with_waypoints) platform::RemoveFile(waypoints);
  return true;
}

void PackLeftoverTracks(EventLog& log, int& counter) {
  std::string dir = GetTracksDir();
  for (const std::string& name : platform::FindFiles(dir + "*.kml")) {
    std::string path = dir + name;
    if (CheckTrackFile(path)) {
      platform::RemoveFile(path);
      continue;
    }
    PackTrack(log, path, dir, counter);
    ++counter;
  }
}

bool MoveToSended(const std::string& archive_path, const std::string& track_name) {
  std::string folder = SendedDir(GetTracksDir(), track_name);
  platform::CreateFolderTree(folder);
  int number = NextFileNumber(folder, std::string(1, kSep) + "*.zip");
  std::string destination = folder + kSep + "track" + std::to_string(number) + ".zip";
  return platform::MoveFileNoReplace(archive_path, destination);
}

std::string SafeFolderName(const std::string& track_name) {
  std::string safe = track_name;
  for (char& c : safe) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
  }
  // ".." would climb out of Sended; a trailing dot or space is dropped by Windows.
  for (size_t at = safe.find(".."); at != std::string::npos; at = safe.find("..", at)) safe.replace(at, 2, "__");
  if (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.back() = '_';
  return safe;
}

int PrepareTrackFolders(EventLog& log, const std::string& track_name, const YesNoQuestion& ask) {
  std::string dir = GetTracksDir();
  platform::CreateFolder(dir);
  platform::CreateFolder(dir + "ToSend");
  platform::CreateFolderTree(SendedDir(dir, track_name));

  int kml = NextFileNumber(dir, std::string(1, kSep) + "*.kml");
  int zip = NextFileNumber(dir, "ToSend" + std::string(1, kSep) + "*.zip");
  int counter = zip > kml ? zip : kml;
  if (kml > 0) {
    const wchar_t* caption = L"Незавершенная операция";
    const wchar_t* text = L"С прошлого запуска программы\nостались неупакованные файлы.\n\nУпаковать в архив?";
    bool yes = ask ? ask(caption, text) : platform::AskYesNo(caption, text);
    if (yes) PackLeftoverTracks(log, counter);
  }
  return counter;
}
