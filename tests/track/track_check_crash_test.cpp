// The check's rewrite cut short by the death of the process, at every write:
// a child process repairs the track with a file size limit, so the kernel
// kills it (SIGXFSZ) at the write that crosses the limit. POSIX only.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/track/kml_shape.h"
#include "track/track_check.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::ScratchDir;
using testing_support::WriteFileBytes;

// Runs the check in a child that may write at most `limit` bytes into any
// file; returns the child's wait status.
int CheckWithWriteLimit(const std::string& path, rlim_t limit) {
  pid_t child = fork();
  if (child == 0) {
    rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    rlimit size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size);
    signal(SIGXFSZ, SIG_DFL);
    CheckTrackFile(path);
    _exit(0);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return status;
}

TEST(CheckTrackFile, AKillDuringTheRewriteLeavesTheTrackAsItWas) {
  // An interrupted segment and a cut point line: the repair rewrites all of
  // it, more than one stream buffer, so the rewrite takes several writes.
  std::string points;
  for (int i = 0; i < 1500; ++i) points += "131.8" + std::to_string(100000 + i) + ",43.11,12.5\r\n";
  const std::string broken = track_testing::kHeader + track_testing::kSegmentHead + points +
                             track_testing::kSegmentHead + "131.9,43.2,0\r\n131.9,4";
  ScratchDir scratch;
  std::string path = scratch.File("track3.kml");
  ASSERT_TRUE(WriteFileBytes(path, broken));
  ASSERT_FALSE(CheckTrackFile(path));
  const std::string repaired = ReadFileBytes(path);
  ASSERT_GT(repaired.size(), 3u * BUFSIZ);
  ASSERT_TRUE(track_testing::ReadKmlShape(repaired).well_formed);

  // Cuts inside every write of the stream, at its edges, and none at all.
  std::vector<rlim_t> limits = {0, 1, BUFSIZ - 1, BUFSIZ, BUFSIZ + 1, repaired.size() - 1, repaired.size()};
  for (rlim_t limit = 2; limit < repaired.size(); limit += 997) limits.push_back(limit);
  for (rlim_t limit : limits) {
    SCOPED_TRACE("killed at byte " + std::to_string(limit));
    ASSERT_TRUE(WriteFileBytes(path, broken));
    int status = CheckWithWriteLimit(path, limit);
    if (limit < repaired.size()) {
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
      ASSERT_EQ(ReadFileBytes(path), broken);
      // The next start repairs it as if nothing had happened.
      ASSERT_FALSE(CheckTrackFile(path));
    } else {
      ASSERT_TRUE(WIFEXITED(status)) << status;
    }
    ASSERT_EQ(ReadFileBytes(path), repaired);
    ASSERT_FALSE(std::filesystem::exists(path + ".tmp"));
  }
}

}  // namespace
