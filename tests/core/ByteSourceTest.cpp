// The byte source under both readers: which files it opens, and reads from a file (through
// its buffer) matching reads from memory at every position.
#include "platform/ByteSource.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

TEST(ByteSource, OpensRegularFilesOnly) {
  test::ScratchDir dir;
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    int error;
  } cases[] = {
      {dir.Path("missing"), ENOENT},
      {dir.Path("missing/below"), ENOENT},
      {dir.Path(""), EISDIR},
      {fifo, EINVAL},  // refused at once: no writer, yet the open does not wait for one
      {dir.Write("file", "bytes"), 0},
  };
  for (const Case& c : cases) {
    int error = -1;
    const auto source = ByteSource::OpenFile(c.path, error);
    EXPECT_EQ(error, c.error) << c.path;
    EXPECT_EQ(source != nullptr, c.error == 0) << c.path;
  }
}

TEST(ByteSource, FileAndMemoryReadAlike) {
  // Longer than two buffers, with a pattern that shows any misplaced byte.
  std::string bytes;
  for (size_t i = 0; bytes.size() < 2 * ByteSource::kBufferSize + 333; ++i) {
    bytes.push_back(static_cast<char>(i * 7 + i / 251));
  }
  test::ScratchDir dir;
  int error = 0;
  const auto file = ByteSource::OpenFile(dir.Write("data", bytes), error);
  ASSERT_NE(file, nullptr);
  const auto memory = ByteSource::OfMemory(bytes);
  ASSERT_EQ(file->Size(), bytes.size());
  ASSERT_EQ(memory->Size(), bytes.size());

  // Small reads across the buffer's edge, a large one past it, reads at and past the end.
  const struct {
    uint64_t at;
    size_t count;
  } reads[] = {{0, 30}, {ByteSource::kBufferSize - 10, 30}, {100, ByteSource::kBufferSize + 5},
               {5, 3}, {bytes.size() - 4, 10}, {bytes.size(), 4}, {bytes.size() + 100, 4}};
  for (ByteSource* source : {file.get(), memory.get()}) {
    for (const auto& r : reads) {
      std::string got(r.count, '\0');
      source->Seek(r.at);
      const size_t n = source->Read(got.data(), r.count);
      const std::string want = r.at < bytes.size() ? bytes.substr(r.at, r.count) : "";
      EXPECT_EQ(got.substr(0, n), want) << r.at << "+" << r.count;
      EXPECT_EQ(source->Position(), r.at + n);
      std::string again(r.count, '\0');
      EXPECT_EQ(source->ReadAt(r.at, again.data(), r.count), n);
      EXPECT_EQ(again.substr(0, n), want);
    }
  }
  EXPECT_EQ(file->Stat().size, bytes.size());
  EXPECT_EQ(memory->Stat().size, bytes.size());
}

}  // namespace
}  // namespace dkscr
