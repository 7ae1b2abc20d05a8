// Whole-file writes through a file beside the destination, and opening only regular files:
// modes, links, devices, FIFOs and files that must stay. Failed writes and files appearing
// during a conversion are tested where the programs meet them (tests/cli, tests/batchrun).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/RegularFile.h"
#include "tests/support/ProcessGuards.h"
#include "tests/support/ScratchDir.h"
#include "tools/AtomicWrite.h"

namespace dkscr {
namespace {

using R = AtomicWriteResult;

std::string Read(const std::string& path) {
  std::string out;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  char chunk[4096];
  for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) out.append(chunk, static_cast<size_t>(n));
  ::close(fd);
  return out;
}

// Names in the folder: a temporary file left behind shows up here.
size_t FileCount(const test::ScratchDir& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) ++n;
  return n;
}

AtomicWriteOptions Replacing(bool replace) {
  AtomicWriteOptions options;
  options.replaceExisting = replace;
  return options;
}

TEST(AtomicWrite, ReplacedFileKeepsItsModeAndNewFilesFollowTheUmask) {
  test::ScratchDir dir;
  const std::string kept = dir.Write("kept.txt", "old");
  ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
  const mode_t previous = ::umask(027);
  EXPECT_EQ(WriteFileAtomically(kept, "new", Replacing(true)), R::kWritten);
  EXPECT_EQ(WriteFileAtomically(dir.Path("fresh.txt"), "new", Replacing(false)), R::kWritten);
  ::umask(previous);
  struct stat st {};
  ASSERT_EQ(::stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  ASSERT_EQ(::stat(dir.Path("fresh.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // 0666 less 027
}

TEST(AtomicWrite, LinksLeadToTheFileThatIsWritten) {
  test::ScratchDir dir;
  const std::string real = dir.Write("real.txt", "old");
  ASSERT_EQ(::symlink("real.txt", dir.Path("link.txt").c_str()), 0);
  ASSERT_EQ(::symlink("later.txt", dir.Path("dangling.txt").c_str()), 0);
  EXPECT_EQ(WriteFileAtomically(dir.Path("link.txt"), "new", Replacing(true)), R::kWritten);
  EXPECT_EQ(Read(real), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.txt")));
  EXPECT_EQ(WriteFileAtomically(dir.Path("link.txt"), "x", Replacing(false)), R::kExists);
  EXPECT_EQ(WriteFileAtomically(dir.Path("dangling.txt"), "made", Replacing(false)), R::kWritten);
  EXPECT_EQ(Read(dir.Path("later.txt")), "made");
}

TEST(AtomicWrite, DestinationsThatAreNotReplaced) {
  test::ScratchDir dir;
  const std::string source = dir.Write("talk.ppt", "presentation");
  ASSERT_EQ(::link(source.c_str(), dir.Path("same.txt").c_str()), 0);
  std::filesystem::create_directory(dir.Path("folder.txt"));
  ASSERT_EQ(::mkfifo(dir.Path("pipe.txt").c_str(), 0600), 0);
  AtomicWriteOptions options = Replacing(true);
  options.protectedPath = source;
  EXPECT_EQ(WriteFileAtomically(source, "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("same.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("folder.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("pipe.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("no/such/out.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("pipe.txt"), "text", Replacing(false)), R::kExists);
  EXPECT_EQ(Read(source), "presentation");
  EXPECT_EQ(FileCount(dir), 4u);  // no temporary file stays behind
}

TEST(AtomicWrite, ReadOnlyFilesAreNotReplacedEvenByRoot) {
  // Root passes access(W_OK) whatever the mode: the mode bits decide.
  test::ScratchDir dir;
  const std::string locked = dir.Write("locked.txt", "keep");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  EXPECT_EQ(WriteFileAtomically(locked, "new", Replacing(true)), R::kCreateFailed);
  EXPECT_EQ(Read(locked), "keep");
  EXPECT_EQ(FileCount(dir), 1u);
}

TEST(AtomicWrite, NoLinkIsFollowedBelowAConfiningFolder) {
  test::ScratchDir dir;
  std::filesystem::create_directories(dir.Path("out/real"));
  std::filesystem::create_directory(dir.Path("elsewhere"));
  const std::string victim = dir.Write("elsewhere/victim.txt", "precious");
  ASSERT_EQ(::symlink(victim.c_str(), dir.Path("out/a.txt").c_str()), 0);
  ASSERT_EQ(::symlink(dir.Path("elsewhere").c_str(), dir.Path("out/sub").c_str()), 0);
  AtomicWriteOptions options = Replacing(true);
  options.makeFolders = true;
  options.confineTo = dir.Path("out");
  EXPECT_EQ(WriteFileAtomically(dir.Path("out/a.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("out/sub/victim.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(WriteFileAtomically(dir.Path("out/sub/deeper/new.txt"), "text", options), R::kCreateFailed);
  EXPECT_EQ(Read(victim), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("elsewhere")), {}), 1);
  // Below the folder, without links, files are written as ever; the folder itself may be a link.
  EXPECT_EQ(WriteFileAtomically(dir.Path("out/real/b.txt"), "text", options), R::kWritten);
  EXPECT_EQ(WriteFileAtomically(dir.Path("out/made/c.txt"), "text", options), R::kWritten);
  ASSERT_EQ(::symlink(dir.Path("out").c_str(), dir.Path("alias").c_str()), 0);
  options.confineTo = dir.Path("alias");
  EXPECT_EQ(WriteFileAtomically(dir.Path("alias/real/b.txt"), "again", options), R::kWritten);
  EXPECT_EQ(Read(dir.Path("out/real/b.txt")), "again");
}

TEST(AtomicWrite, DevicesAreWrittenInPlaceWhenAsked) {
  AtomicWriteOptions options = Replacing(true);
  options.writeSpecialInPlace = true;
  EXPECT_EQ(WriteFileAtomically("/dev/null", "text", options), R::kWritten);
  if (::access("/dev/full", W_OK) == 0) {
    EXPECT_EQ(WriteFileAtomically("/dev/full", "text", options), R::kWriteFailed);
  }
}

TEST(RegularFile, OnlyRegularFilesOpenAndNothingBlocks) {
  test::ScratchDir dir;
  const std::string file = dir.Write("a.ppt", "12345");
  const std::string fifo = dir.Path("fifo.ppt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  uint64_t size = 0;
  const int fd = OpenRegularFileForReading(file, size);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(size, 5u);
  ::close(fd);
  const struct {
    std::string path;
    int error;
  } refused[] = {{fifo, EINVAL}, {"/dev/null", EINVAL}, {dir.Path(""), EISDIR}, {dir.Path("gone"), ENOENT}};
  for (const auto& row : refused) {
    // In a child: a blocking open of the FIFO would wait for a writer forever.
    EXPECT_EQ(test::StatusInChild([&] {
                uint64_t ignored = 0;
                return OpenRegularFileForReading(row.path, ignored) < 0 ? errno : 0;
              }),
              row.error)
        << row.path;
  }
}

}  // namespace
}  // namespace dkscr
