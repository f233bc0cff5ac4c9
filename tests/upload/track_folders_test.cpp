#include "upload/track_folders.h"
#include "upload/track_packing.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/folders.h"
#include "tests/fakes/recording_files.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const char kTrack[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Document>\r\n<Folder>\r\n<Placemark>\r\n<LineString>\r\n"
    "<coordinates>37.6184231,55.7512443,22.4\r\n</coordinates>\r\n</LineString>\r\n</Placemark>\r\n"
    "</Folder>\r\n</Document>\r\n";
// The smallest whole ZIP archive: an end record and no entry.
const std::string kEmptyZip("PK\x05\x06" + std::string(18, '\0'));
const char kEmptyTrack[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Document>\r\n</Document>\r\n";

// A program folder with a Tracks folder, and the answers the prompt gets.
class TracksFolder : public testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Path("ToSend")); }

  std::string Path(const std::string& name) const { return dir_.File("Tracks/" + name); }
  int Prepare(bool answer) {
    asked_ = HasLeftoverTracks();
    return PrepareTrackFolders(log_, "demo", asked_ && answer);
  }
  std::string Entry(const std::string& archive, const std::string& entry) {
    std::string command = "unzip -p '" + Path(archive) + "' '" + entry + "' 2>/dev/null";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      for (size_t count; (count = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) text.append(buffer, count);
      pclose(pipe);
    }
    return text;
  }

  testing_support::RecordingFiles files_;
  testing_support::ScratchDir dir_;
  testing_support::ProgramFolderGuard program_folder_{dir_.path()};
  LineList lines_;
  EventLog log_{&lines_};
  bool asked_ = false;  // the start would have asked
};

TEST_F(TracksFolder, NextFileNumberReadsTheNumberAfterFiveLetters) {
  EXPECT_EQ(NextFileNumber(Path(""), "ToSend/*.zip"), 0);
  for (const char* name : {"track3.zip", "track12.zip", "track.zip", "tracks.zip"}) WriteFileBytes(Path(std::string("ToSend/") + name), "x");
  EXPECT_EQ(NextFileNumber(Path(""), "ToSend/*.zip"), 13);
  WriteFileBytes(Path("track.kml"), "x");
  WriteFileBytes(Path("tracks.kml"), "x");
  EXPECT_EQ(NextFileNumber(Path(""), "/*.kml"), 1);  // both count as 0
}

TEST_F(TracksFolder, EmptyFolderStartsAtZeroWithoutAsking) {
  EXPECT_EQ(Prepare(true), 0);
  EXPECT_FALSE(asked_);
  EXPECT_TRUE(fs::is_directory(Path("Sended/demo")));
}

// A waiting archive that holds the leftover's exact bytes (its packing was
// cut off before the track went) takes its place; any other version is
// packed again.
TEST_F(TracksFolder, LeftoverTrackIsPackedAboveTheWaitingArchives) {
  std::string other = kTrack;
  other[other.find("37.6")] = '4';
  const struct {
    const char* what;
    std::string archived;  // empty: an archive without a track
    bool packed;
  } cases[] = {
      {"no track", "", true},
      {"this track", kTrack, false},
      {"a shorter version", std::string(kTrack).substr(0, 100), true},
      {"other bytes as long", other, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Path(""));
    fs::create_directories(Path("ToSend"));
    if (c.archived.empty()) {
      WriteFileBytes(Path("ToSend/track7.zip"), kEmptyZip);
    } else {
      WriteFileBytes(Path("track7.kml"), c.archived);
      ASSERT_TRUE(PackTrack(log_, Path("track7.kml"), 7));
    }
    WriteFileBytes(Path("track3.kml"), kTrack);
    EXPECT_EQ(Prepare(true), c.packed ? 9 : 8);
    EXPECT_TRUE(asked_);
    EXPECT_FALSE(fs::exists(Path("track3.kml")));
    EXPECT_EQ(Entry("ToSend/track8.zip", "track.kml"), c.packed ? kTrack : "");
    EXPECT_EQ(Entry("ToSend/track7.zip", "track.kml"), c.archived);
  }
}

TEST_F(TracksFolder, NoKeepsTheLeftoversAndNumbersAboveThem) {
  WriteFileBytes(Path("track3.kml"), kTrack);
  EXPECT_EQ(Prepare(false), 4);
  EXPECT_TRUE(fs::exists(Path("track3.kml")));
  WriteFileBytes(Path("ToSend/track7.zip"), kEmptyZip);
  // Only a waiting archive: its number counts, and nobody is asked.
  fs::remove(Path("track3.kml"));
  asked_ = false;
  EXPECT_EQ(Prepare(true), 8);
  EXPECT_FALSE(asked_);
}

TEST_F(TracksFolder, LeftoverWithoutCoordinatesIsDeletedAndTakesNoNumber) {
  WriteFileBytes(Path("track0.kml"), kEmptyTrack);
  WriteFileBytes(Path("track1.kml"), kTrack);
  EXPECT_EQ(Prepare(true), 3);
  EXPECT_FALSE(fs::exists(Path("track0.kml")));
  EXPECT_TRUE(fs::exists(Path("ToSend/track2.zip")));
  EXPECT_FALSE(fs::exists(Path("ToSend/track3.zip")));
}

TEST_F(TracksFolder, WaypointsTravelWithTheNextArchiveOnly) {
  WriteFileBytes(Path("track0.kml"), kTrack);
  WriteFileBytes(Path("points.wpt"), "OziExplorer Waypoint File Version 1.1\r\n");
  ASSERT_TRUE(PackTrack(log_, Path("track0.kml"), 0));
  WriteFileBytes(Path("track1.kml"), kTrack);
  ASSERT_TRUE(PackTrack(log_, Path("track1.kml"), 1));
  EXPECT_EQ(Entry("ToSend/track0.zip", "points.wpt"), "OziExplorer Waypoint File Version 1.1\r\n");
  EXPECT_EQ(Entry("ToSend/track1.zip", "points.wpt"), "");
  EXPECT_FALSE(fs::exists(Path("points.wpt")));
  EXPECT_FALSE(fs::exists(Path("track0.kml")));
}

TEST_F(TracksFolder, FailedPackingKeepsTheTrackAndSaysSo) {
  WriteFileBytes(Path("track4.kml"), kTrack);
  WriteFileBytes(Path("points.wpt"), "waypoints");
  fs::remove_all(Path("ToSend"));
  WriteFileBytes(Path("ToSend"), "a file where the folder should be");
  EXPECT_FALSE(PackTrack(log_, Path("track4.kml"), 4));
  EXPECT_EQ(ReadFileBytes(Path("track4.kml")), kTrack);
  EXPECT_EQ(ReadFileBytes(Path("points.wpt")), "waypoints");
  ASSERT_EQ(lines_.Count(), 1);
  EXPECT_NE(lines_.Lines()[0].find(L"track4.kml"), std::wstring::npos);
  // The next start packs it once the folder is back.
  fs::remove(Path("ToSend"));
  fs::create_directories(Path("ToSend"));
  EXPECT_EQ(Prepare(true), 6);
  EXPECT_EQ(Entry("ToSend/track5.zip", "track.kml"), kTrack);
}

// Under any power cut the queue holds only whole archives, and the track and
// its waypoints go only once the archive holding them is safe.
TEST_F(TracksFolder, TheArchiveReachesTheDiskBeforeItsNameAndItsNameBeforeTheTrackGoes) {
  WriteFileBytes(Path("track0.kml"), kTrack);
  WriteFileBytes(Path("points.wpt"), "waypoints");
  ASSERT_TRUE(PackTrack(log_, Path("track0.kml"), 0));
  size_t named = files_.IndexOf("move track0.part track0.zip");
  EXPECT_LT(files_.IndexOf("flush track0.part"), named);
  EXPECT_EQ(files_.IndexOf("flush folder ToSend"), named + 1);
  EXPECT_EQ(std::vector<std::string>(files_.calls.begin() + named + 2, files_.calls.end()),
            (std::vector<std::string>{"remove track0.kml", "remove points.wpt"}));
}

// A full disk, or a failed flush of the archive or of ToSend: the track and
// the waypoints stay, one line says so, and the next start packs each track
// once (an archive already named holds its track).
TEST_F(TracksFolder, AFailedWriteOrFlushWhilePackingLosesNothing) {
  const char* faults[] = {"write track0.part", "flush track1.part", "flush folder ToSend"};
  for (int counter = 0; counter < 3; ++counter) {
    std::string track = "track" + std::to_string(counter);
    std::string bytes = kTrack;  // a speed of its own: three different tracks
    bytes.replace(bytes.find("22.4"), 4, std::to_string(counter));
    files_.Fail(faults[counter], counter == 0 ? 2 : 1);
    WriteFileBytes(Path(track + ".kml"), bytes);
    WriteFileBytes(Path("points.wpt"), "waypoints");
    EXPECT_FALSE(PackTrack(log_, Path(track + ".kml"), counter)) << faults[counter];
    EXPECT_EQ(ReadFileBytes(Path(track + ".kml")), bytes) << faults[counter];
    EXPECT_EQ(ReadFileBytes(Path("points.wpt")), "waypoints") << faults[counter];
    EXPECT_EQ(lines_.Count(), counter + 1) << faults[counter];
    EXPECT_EQ(fs::exists(Path("ToSend/" + track + ".zip")), counter == 2) << faults[counter];
  }
  EXPECT_EQ(Prepare(true), 5);
  EXPECT_EQ(QueuedArchives().size(), 3u);
  EXPECT_TRUE(platform::FindFiles(Path("*.kml")).empty());
}

// Killed while packing, or made by an older version: a queued archive that is
// not whole would be refused and hold up the queue; its track is still there.
TEST_F(TracksFolder, BrokenArchivesLeaveTheQueueAtStart) {
  WriteFileBytes(Path("ToSend/track2.part"), "PK\x03\x04 half an archive");
  WriteFileBytes(Path("ToSend/track3.zip"), "PK\x03\x04 cut short");
  WriteFileBytes(Path("ToSend/track4.zip"), kEmptyZip);
  WriteFileBytes(Path("track2.kml"), kTrack);
  EXPECT_EQ(Prepare(true), 6);  // the leftover takes 5, above the whole archive
  EXPECT_FALSE(fs::exists(Path("ToSend/track2.part")));
  EXPECT_FALSE(fs::exists(Path("ToSend/track3.zip")));
  EXPECT_EQ(ReadFileBytes(Path("Damaged/track0.zip")), "PK\x03\x04 cut short");
  EXPECT_EQ(ReadFileBytes(Path("ToSend/track4.zip")), kEmptyZip);
  EXPECT_EQ(Entry("ToSend/track5.zip", "track.kml"), kTrack);  // the leftover packed again, whole
  std::vector<std::wstring> text = lines_.Lines();
  EXPECT_NE(std::find(text.begin(), text.end(), L"Архив track3.zip повреждён и перемещён в папку Damaged"), text.end());
  EXPECT_EQ(platform::FindFiles(Path("ToSend/") + "*.part").size(), 0u);
}

// The service has an accepted archive: when its folder cannot take it, it
// goes to Sended itself, and failing that it is marked, never left queued.
TEST_F(TracksFolder, AnAcceptedArchiveAlwaysLeavesTheQueue) {
  fs::create_directories(Path("Sended"));
  WriteFileBytes(Path("Sended/demo"), "a file where the folder should be");
  WriteFileBytes(Path("ToSend/track1.zip"), "one");
  EXPECT_TRUE(MoveToSended(log_, Path("ToSend/track1.zip"), "demo"));
  EXPECT_EQ(ReadFileBytes(Path("Sended/track0.zip")), "one");
  fs::remove_all(Path("Sended"));
  WriteFileBytes(Path("Sended"), "a file where the folder should be");
  WriteFileBytes(Path("ToSend/track2.zip"), "two");
  EXPECT_FALSE(MoveToSended(log_, Path("ToSend/track2.zip"), "demo"));
  EXPECT_EQ(ReadFileBytes(Path("ToSend/track2.zip.sent")), "two");
  EXPECT_TRUE(platform::FindFiles(Path("ToSend/") + "*.zip").empty());
  EXPECT_EQ(lines_.Count(), 2) << testing::PrintToString(lines_.Lines());  // one line for each fallback
}

TEST_F(TracksFolder, SentArchivesTakeTheirFolderNumbering) {
  fs::create_directories(Path("Sended/demo"));
  WriteFileBytes(Path("ToSend/track7.zip"), "seven");
  ASSERT_TRUE(MoveToSended(log_, Path("ToSend/track7.zip"), "demo"));
  EXPECT_EQ(ReadFileBytes(Path("Sended/demo/track0.zip")), "seven");
  WriteFileBytes(Path("Sended/demo/track5.zip"), "five");
  WriteFileBytes(Path("ToSend/track8.zip"), "eight");
  ASSERT_TRUE(MoveToSended(log_, Path("ToSend/track8.zip"), "demo"));
  EXPECT_EQ(ReadFileBytes(Path("Sended/demo/track6.zip")), "eight");
  // An empty name files straight into Sended; a name cannot climb out of it.
  WriteFileBytes(Path("ToSend/track9.zip"), "nine");
  ASSERT_TRUE(MoveToSended(log_, Path("ToSend/track9.zip"), ""));
  EXPECT_EQ(ReadFileBytes(Path("Sended/track0.zip")), "nine");
  WriteFileBytes(Path("ToSend/track10.zip"), "ten");
  ASSERT_TRUE(MoveToSended(log_, Path("ToSend/track10.zip"), "../../x"));
  EXPECT_EQ(ReadFileBytes(Path("Sended/______x/track0.zip")), "ten");
}

TEST(SafeFolderName, ReplacesWhatAFolderNameCannotHold) {
  EXPECT_EQ(SafeFolderName("Morning ride"), "Morning ride");
  EXPECT_EQ(SafeFolderName("a:b*c?d\"e<f>g|h\\i/j"), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(SafeFolderName(".."), "__");
  EXPECT_EQ(SafeFolderName("end."), "end_");
  EXPECT_EQ(SafeFolderName(""), "");
  // Names Windows reserves, with or without an extension, and trailing dots and spaces.
  for (const char* reserved : {"CON", "nul", "Com1", "LPT9", "aux.txt"}) {
    EXPECT_EQ(SafeFolderName(reserved), std::string("_") + reserved);
  }
  EXPECT_EQ(SafeFolderName("PRN. "), "PRN__");  // no longer the device once its end is kept
  EXPECT_EQ(SafeFolderName("COM10"), "COM10");
  EXPECT_EQ(SafeFolderName("Поход . ."), "Поход____");
  // A long name is cut to 80 bytes where a character begins (Cyrillic takes two).
  std::string long_name;
  for (int i = 0; i < 150; ++i) long_name += "я";
  EXPECT_EQ(SafeFolderName(long_name), long_name.substr(0, 80));
  EXPECT_EQ(SafeFolderName("a" + long_name).size(), 79u);
}

}  // namespace
