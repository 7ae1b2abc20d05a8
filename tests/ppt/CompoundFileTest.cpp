// The compound-file reader: layout variants, stream semantics and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cfb/CfbStream.h"
#include "cfb/CompoundFile.h"
#include "ppt/PptDocument.h"
#include "tests/support/CfbWriter.h"
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

using test::BuildCfbImage;
using test::CfbImage;
using test::CfbOptions;
using test::PutLe32;

std::string Pattern(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xFF);
  return s;
}

std::string ReadAll(CfbStream& s) {
  std::string out;
  char buf[777];
  size_t n;
  while ((n = s.Read(buf, sizeof buf)) > 0) out.append(buf, n);
  return out;
}

std::shared_ptr<CompoundFile> OpenImage(std::string_view image) {
  std::string error;
  return CompoundFile::Open(ByteSource::OfMemory(image), error);
}

bool IsCompoundFile(std::string_view image) { return OpenImage(image) != nullptr; }

std::string StreamOf(std::string_view image, std::u16string_view name) {
  auto file = OpenImage(image);
  if (!file) return "<no compound file>";
  auto stream = file->OpenStream(name);
  return stream ? ReadAll(*stream) : "<no stream>";
}

class CfbVersions : public ::testing::TestWithParam<int> {
 protected:
  // A file of the version under test with a big stream, "Big" (in sectors), and a small one,
  // "Small" (in mini sectors), of the patterns of `seed` and `seed + 1`.
  void OpenTwoStreams(int seed) {
    CfbOptions options;
    options.version = GetParam();
    big_ = Pattern(70000, seed);
    small_ = Pattern(3000, seed + 1);
    image_ = BuildCfbImage({{u"Big", big_}, {u"Small", small_}}, options).bytes;
    file_ = OpenImage(image_);
  }
  // Each stream's name with its bytes.
  std::vector<std::pair<std::u16string_view, std::string>> Streams() const { return {{u"Big", big_}, {u"Small", small_}}; }

  std::string big_, small_, image_;
  std::shared_ptr<CompoundFile> file_;
};

TEST_P(CfbVersions, MiniAndRegularStreamsReadBack) {
  const std::string small = Pattern(1000, 1), big = Pattern(70000, 2), edge = Pattern(4096, 3);
  CfbOptions options;
  options.version = GetParam();
  const CfbImage img = BuildCfbImage({{u"Small", small}, {u"Big", big}, {u"Edge", edge}, {u"Empty", ""}}, options);
  EXPECT_TRUE(IsCompoundFile(img.bytes));
  EXPECT_EQ(StreamOf(img.bytes, u"Small"), small);
  EXPECT_EQ(StreamOf(img.bytes, u"Big"), big);
  EXPECT_EQ(StreamOf(img.bytes, u"Edge"), edge);
  EXPECT_EQ(StreamOf(img.bytes, u"Empty"), "");
}

TEST_P(CfbVersions, DifatBeyondTheHeader) {
  CfbOptions options;
  options.version = GetParam();
  options.extraFatSectors = GetParam() == 4 ? 1100 : 300;  // more than 109 FAT sectors
  const std::string big = Pattern(9000, 4);
  const CfbImage img = BuildCfbImage({{u"Big", big}, {u"Small", "abc"}}, options);
  ASSERT_FALSE(img.difatSectors.empty());
  EXPECT_EQ(StreamOf(img.bytes, u"Big"), big);
  EXPECT_EQ(StreamOf(img.bytes, u"Small"), "abc");
}

// A duplicate reads the same stream from its own position through its own cache, and keeps
// working when the stream it came from is gone.
TEST_P(CfbVersions, DuplicateReadsOnItsOwn) {
  OpenTwoStreams(6);
  for (const auto& [name, data] : Streams()) {
    auto stream = file_->OpenStream(name);
    ASSERT_TRUE(stream);
    char head[1000];
    ASSERT_EQ(stream->Read(head, sizeof head), 1000u);
    auto duplicate = stream->Duplicate();
    EXPECT_EQ(duplicate->Position(), 0u);
    EXPECT_EQ(ReadAll(*duplicate), data);
    EXPECT_EQ(ReadAll(*stream), data.substr(1000));
    stream.reset();
    duplicate->Seek(data.size() - 5);
    EXPECT_EQ(ReadAll(*duplicate), data.substr(data.size() - 5));
  }
}

// Pieces read at a place, across unit and sector bounds and past the end, leave the position
// and what the next read gives alone.
TEST_P(CfbVersions, PiecesReadAtAPlace) {
  OpenTwoStreams(8);
  for (const auto& [name, data] : Streams()) {
    auto stream = file_->OpenStream(name);
    ASSERT_TRUE(stream);
    char head[10];
    ASSERT_EQ(stream->Read(head, sizeof head), 10u);
    const std::pair<size_t, size_t> pieces[] = {{0, 1000}, {63, 2}, {511, 3}, {4095, 9000}, {100, 2900},
                                                {data.size() - 5, 100}, {data.size(), 1}};
    for (const auto& [at, count] : pieces) {
      std::string piece(count, '\0');
      piece.resize(stream->ReadAt(at, piece.data(), count));
      EXPECT_EQ(piece, data.substr(std::min(at, data.size()), count)) << at << " " << count;
    }
    EXPECT_EQ(stream->Position(), 10u);
    EXPECT_EQ(ReadAll(*stream), data.substr(10));
  }
}

// Bytes seen in the cache are those a read gives, and only where the cache holds them all:
// the position moves past them, or stays where it was.
TEST_P(CfbVersions, CachedBytesAreThoseAReadGives) {
  OpenTwoStreams(14);
  for (const auto& [name, data] : Streams()) {
    auto stream = file_->OpenStream(name);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->ReadCached(1).empty());  // nothing read yet
    EXPECT_EQ(stream->Position(), 0u);
    char head[8];
    ASSERT_EQ(stream->Read(head, sizeof head), 8u);
    const std::span<const uint8_t> seen = stream->ReadCached(100);
    EXPECT_EQ(std::string(seen.begin(), seen.end()), data.substr(8, 100));
    EXPECT_EQ(stream->Position(), 108u);
    EXPECT_TRUE(stream->ReadCached(data.size()).empty());  // more than the cache holds
    EXPECT_EQ(stream->Position(), 108u);
    // To the end in pieces, each seen where it can be and read where it cannot.
    std::string all = data.substr(0, 108);
    size_t pieces = 0;
    while (stream->Position() < data.size()) {
      const size_t count = std::min<size_t>(700, data.size() - stream->Position());
      if (const std::span<const uint8_t> piece = stream->ReadCached(count); !piece.empty()) {
        ASSERT_EQ(piece.size(), count);
        all.append(piece.begin(), piece.end());
        ++pieces;
      } else {
        std::string read(count, '\0');
        ASSERT_EQ(stream->Read(read.data(), count), count);
        all += read;
      }
    }
    EXPECT_EQ(all, data);
    EXPECT_GT(pieces, 2u);
    EXPECT_TRUE(stream->ReadCached(1).empty());  // at the end
    if (data.size() > 40000) {
      stream->Seek(0);  // before the run the cache holds now
      EXPECT_TRUE(stream->ReadCached(1).empty());
      EXPECT_EQ(stream->Position(), 0u);
    }
  }
}

// An atom gives the same bytes whether seen in the stream's cache or copied, no more than the
// document's stream holds, and the stream moves past the whole atom.
TEST(CompoundFile, AtomsSeenInPlaceOrCopied) {
  const std::string big = Pattern(70000, 13);
  const CfbImage img = BuildCfbImage({{u"Big", big}});
  auto file = OpenImage(img.bytes);
  auto stream = file->OpenStream(u"Big");
  ASSERT_TRUE(stream);
  const auto text = [](std::span<const uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); };
  std::vector<uint8_t> spare;
  char head[8];
  ASSERT_EQ(stream->Read(head, sizeof head), 8u);
  std::span<const uint8_t> atom = ReadAtomView(*stream, big.size(), 100, 100, spare);
  EXPECT_EQ(text(atom), big.substr(8, 100));
  EXPECT_TRUE(spare.empty());  // seen in place
  EXPECT_EQ(stream->Position(), 108u);
  atom = ReadAtomView(*stream, big.size(), 300, 20, spare);  // the first bytes kept
  EXPECT_EQ(text(atom), big.substr(108, 20));
  EXPECT_EQ(stream->Position(), 408u);
  stream->Seek(32768 - 10);  // across the end of the cache's run
  atom = ReadAtomView(*stream, big.size(), 50, 50, spare);
  EXPECT_EQ(text(atom), big.substr(32758, 50));
  EXPECT_EQ(atom.data(), spare.data());
  EXPECT_EQ(stream->Position(), 32808u);
  stream->Seek(1000);  // the document's stream said to end sooner
  atom = ReadAtomView(*stream, 1010, 50, 50, spare);
  EXPECT_EQ(text(atom), big.substr(1000, 10));
  EXPECT_EQ(stream->Position(), 1050u);
  stream->Seek(big.size() - 4);  // an atom longer than what is left
  atom = ReadAtomView(*stream, big.size(), 50, 50, spare);
  EXPECT_EQ(text(atom), big.substr(big.size() - 4));
  EXPECT_EQ(stream->Position(), big.size() + 46);
  stream->Seek(big.size() + 8);  // past the end
  EXPECT_TRUE(ReadAtomView(*stream, big.size(), 50, 50, spare).empty());
  EXPECT_EQ(stream->Position(), big.size() + 58);
  // An empty atom, kept or not, still points somewhere: a copy of nothing from it is sound.
  auto fresh = file->OpenStream(u"Big");
  std::vector<uint8_t> none;
  const std::span<const uint8_t> empty = ReadAtomView(*fresh, big.size(), 0, 0, none);
  EXPECT_TRUE(empty.empty());
  EXPECT_NE(empty.data(), nullptr);
  EXPECT_NE(ReadAtomView(*fresh, big.size(), 12, 0, none).data(), nullptr);
  EXPECT_EQ(fresh->Position(), 12u);
}

INSTANTIATE_TEST_SUITE_P(Versions, CfbVersions, ::testing::Values(3, 4));

TEST(CompoundFile, NamesCompareWithoutCaseAndOnlyStreamsOfTheRoot) {
  std::vector<test::CfbStream> streams;
  for (int i = 0; i < 40; ++i) streams.push_back({u"Stream" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + std::u16string(static_cast<size_t>(i / 26), u'x'), std::to_string(i)});
  streams.push_back({u"\u00e9t\u00e9", "accented"});
  const std::string img = BuildCfbImage(streams).bytes;
  EXPECT_EQ(StreamOf(img, u"streamq"), "16");
  EXPECT_EQ(StreamOf(img, u"STREAMAx"), "26");
  EXPECT_EQ(StreamOf(img, u"\u00c9T\u00c9"), "accented");
  auto file = OpenImage(img);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->OpenStream(u"Root Entry"), nullptr);  // not a stream
  EXPECT_EQ(file->OpenStream(u"Missing"), nullptr);
  EXPECT_FALSE(file->HasStream(u"Missing"));
  EXPECT_TRUE(file->OpenStream(u"StreamB"));
  EXPECT_TRUE(file->HasStream(u"streamb"));
}

TEST(CompoundFile, ReadSeekAndSizeSemantics) {
  const std::string data = Pattern(5000, 5);
  const std::string img = test::BuildCfb({{u"S", data}});
  auto file = OpenImage(img);
  auto s = file->OpenStream(u"S");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Size(), 5000u);
  char buf[100];
  s->Seek(4990);
  EXPECT_EQ(s->Read(buf, 100), 10u);  // across the end: up to the end
  EXPECT_EQ(std::string(buf, 10), data.substr(4990));
  EXPECT_EQ(s->Read(buf, 100), 0u);
  EXPECT_EQ(s->Position(), 5000u);
  s->Seek(100000);  // beyond the end is allowed
  EXPECT_EQ(s->Read(buf, 10), 0u);
  s->Skip(UINT64_MAX);  // skipping saturates
  EXPECT_EQ(s->Position(), UINT64_MAX);
  s->Seek(4997);
  EXPECT_EQ(s->Read(buf, 3), 3u);
  EXPECT_EQ(std::string(buf, 3), data.substr(4997));
  // Streams outlive the file object they came from.
  file.reset();
  s->Seek(0);
  EXPECT_EQ(ReadAll(*s), data);
}

TEST(CompoundFile, FilesOnDiskAndOtherBytes) {
  const test::ScratchDir dir;
  EXPECT_FALSE(IsCompoundFile("just some text, long enough to be more than nothing at all\n"));
  EXPECT_FALSE(IsCompoundFile(std::string("PK\x03\x04", 4) + std::string(600, '\0')));
  int error = 0;
  auto source = ByteSource::OpenFile(dir.Write("doc", test::BuildCfb({{u"WordDocument", "w"}})), error);
  ASSERT_TRUE(source);
  std::string reason;
  auto file = CompoundFile::Open(std::move(source), reason);
  ASSERT_TRUE(file);
  auto s = file->OpenStream(u"WordDocument");
  ASSERT_TRUE(s);
  EXPECT_EQ(ReadAll(*s), "w");
}

// Damage to the structure every stream depends on: not a compound document.
TEST(CompoundFile, DamagedStructureIsRejected) {
  const CfbImage good = BuildCfbImage({{u"Big", Pattern(6000, 6)}, {u"S", "s"}});
  ASSERT_TRUE(IsCompoundFile(good.bytes));
  auto damaged = [&](auto&& change) {
    std::string b = good.bytes;
    change(b);
    return IsCompoundFile(b) ? 0 : -5;
  };
  EXPECT_EQ(damaged([](std::string& b) { b[0] = 'X'; }), -5);                    // signature
  EXPECT_EQ(damaged([](std::string& b) { test::PutLe16(b, 30, 10); }), -5);      // sector size
  EXPECT_EQ(damaged([](std::string& b) { test::PutLe16(b, 26, 4); }), -5);       // version vs size
  EXPECT_EQ(damaged([](std::string& b) { PutLe32(b, 76, 99999); }), -5);         // FAT sector id
  EXPECT_EQ(damaged([](std::string& b) { PutLe32(b, 44, 0x7FFFFFFF); }), -5);    // FAT count
  EXPECT_EQ(damaged([](std::string& b) { PutLe32(b, 48, 123456); }), -5);        // directory start
  EXPECT_EQ(damaged([&](std::string& b) { b[good.EntryOffset(0) + 66] = 1; }), -5);  // root type
  EXPECT_EQ(damaged([](std::string& b) { b.resize(300); }), -5);                 // short file
  EXPECT_FALSE(IsCompoundFile(""));
  // A DIFAT that points back to itself.
  EXPECT_EQ(damaged([&](std::string& b) {
              PutLe32(b, 44, 200);
              PutLe32(b, 68, good.fatSectors[0]);
            }),
            -5);
}

// Damage inside one stream's chain: the stream keeps only what the file really holds.
TEST(CompoundFile, DamagedChainsAreCutNeverFollowedForever) {
  const std::string big = Pattern(6000, 7);
  CfbImage img = BuildCfbImage({{u"Big", big}, {u"Small", Pattern(300, 8)}});
  const uint32_t start = img.startSector[0];
  {
    std::string b = img.bytes;  // third sector of the chain leads back to the first
    PutLe32(b, img.FatEntryOffset(start + 2), start);
    EXPECT_EQ(StreamOf(b, u"Big"), big.substr(0, 3 * 512));
  }
  {
    std::string b = img.bytes;  // chain runs off the file
    PutLe32(b, img.FatEntryOffset(start + 1), 0xABCDEF);
    EXPECT_EQ(StreamOf(b, u"Big"), big.substr(0, 2 * 512));
  }
  {
    std::string b = img.bytes;  // a size far beyond the file
    PutLe32(b, img.EntryOffset(img.entryIndex[0]) + 120, 0xFFFFFFF0);
    EXPECT_EQ(StreamOf(b, u"Big").substr(0, 6000), big);
    EXPECT_LE(StreamOf(b, u"Big").size(), b.size());
  }
  {
    std::string b = img.bytes;  // mini chain that loops on itself
    const size_t miniFat = img.SectorOffset(img.firstMiniFatSector);
    PutLe32(b, miniFat + img.startSector[1] * 4u, img.startSector[1]);
    EXPECT_EQ(StreamOf(b, u"Small"), Pattern(300, 8).substr(0, 64));
  }
  {
    std::string b = img.bytes;  // mini chain whose fourth sector leads back to its second
    const size_t miniFat = img.SectorOffset(img.firstMiniFatSector);
    PutLe32(b, miniFat + (img.startSector[1] + 3) * 4u, img.startSector[1] + 1);
    EXPECT_EQ(StreamOf(b, u"Small"), Pattern(300, 8).substr(0, 4 * 64));
  }
  {
    // The last sector of the chain is moved to a partial sector at the end of a cut file.
    std::string b = img.bytes;
    const auto partial = static_cast<uint32_t>(b.size() / 512 - 1);
    PutLe32(b, img.FatEntryOffset(start + 10), partial);
    b += std::string(200, 'z');
    EXPECT_EQ(StreamOf(b, u"Big"), big.substr(0, 11 * 512) + std::string(200, 'z'));
  }
}

// Chains that turn back: a sector not yet passed is followed, one passed before ends the chain,
// whether the chain ran only forward until then or had turned back already.
TEST(CompoundFile, ChainsThatTurnBackAreFollowedUntilTheyRepeat) {
  const std::string big = Pattern(6000, 11);
  const std::string small = Pattern(300, 12);
  const CfbImage img = BuildCfbImage({{u"Big", big}, {u"Small", small}});
  const uint32_t start = img.startSector[0];
  const auto sectors = [&](std::initializer_list<size_t> order, size_t unit, const std::string& of) {
    std::string out;
    for (const size_t s : order) out += of.substr(s * unit, unit);
    return out;
  };
  {
    std::string b = img.bytes;  // 0, 2, 1, 3...: every sector once, out of order
    PutLe32(b, img.FatEntryOffset(start), start + 2);
    PutLe32(b, img.FatEntryOffset(start + 2), start + 1);
    PutLe32(b, img.FatEntryOffset(start + 1), start + 3);
    EXPECT_EQ(StreamOf(b, u"Big"), sectors({0, 2, 1}, 512, big) + big.substr(3 * 512));
  }
  {
    std::string b = img.bytes;  // 0, 2, 1, then 2 again: passed before it turned back
    PutLe32(b, img.FatEntryOffset(start), start + 2);
    PutLe32(b, img.FatEntryOffset(start + 2), start + 1);
    PutLe32(b, img.FatEntryOffset(start + 1), start + 2);
    EXPECT_EQ(StreamOf(b, u"Big"), sectors({0, 2, 1}, 512, big));
  }
  {
    std::string b = img.bytes;  // 0, 1, then 1 again: a sector that leads to itself
    PutLe32(b, img.FatEntryOffset(start + 1), start + 1);
    EXPECT_EQ(StreamOf(b, u"Big"), big.substr(0, 2 * 512));
  }
  const size_t miniFat = img.SectorOffset(img.firstMiniFatSector);
  const uint32_t mini = img.startSector[1];
  {
    std::string b = img.bytes;  // mini sectors 0, 2, 1, 3, 4
    PutLe32(b, miniFat + mini * 4u, mini + 2);
    PutLe32(b, miniFat + (mini + 2) * 4u, mini + 1);
    PutLe32(b, miniFat + (mini + 1) * 4u, mini + 3);
    EXPECT_EQ(StreamOf(b, u"Small"), sectors({0, 2, 1, 3}, 64, small) + small.substr(4 * 64));
  }
  {
    std::string b = img.bytes;  // mini sectors 0, 2, 1, then 2 again
    PutLe32(b, miniFat + mini * 4u, mini + 2);
    PutLe32(b, miniFat + (mini + 2) * 4u, mini + 1);
    PutLe32(b, miniFat + (mini + 1) * 4u, mini + 2);
    EXPECT_EQ(StreamOf(b, u"Small"), sectors({0, 2, 1}, 64, small));
  }
}

// A file longer than its FAT covers: a chain may use every sector the FAT describes, up to
// and including the last one, but never the first sector beyond it, however much file follows.
TEST(CompoundFile, ChainsEndAtTheLastSectorTheFatDescribes) {
  const CfbImage img = BuildCfbImage({{u"Big", Pattern(4096, 9)}});
  ASSERT_EQ(img.fatSectors.size(), 1u);  // one FAT sector: entries for sectors 0 to 127
  const uint32_t fatEntries = 512 / 4;
  std::string file = img.bytes;
  file.resize(img.SectorOffset(fatEntries + 8));  // sectors up to 135 exist
  for (uint32_t sector = 100; sector < fatEntries + 8; ++sector) {
    std::memset(file.data() + img.SectorOffset(sector), static_cast<int>(sector), 512);
  }
  std::string expected;
  for (uint32_t sector = fatEntries - 8; sector < fatEntries; ++sector) expected += std::string(512, static_cast<char>(sector));
  const size_t entry = img.EntryOffset(img.entryIndex[0]);
  const struct {
    uint32_t first;   // the chain runs from here to its last sector
    uint32_t last;
    size_t readable;  // bytes the stream gives
  } rows[] = {
      {fatEntries - 8, fatEntries - 1, 8 * 512},  // ends exactly at the FAT's last entry
      {fatEntries - 7, fatEntries, 7 * 512},      // its eighth sector lies one past
  };
  for (const auto& row : rows) {
    std::string b = file;
    for (uint32_t sector = row.first; sector < row.last; ++sector) PutLe32(b, img.FatEntryOffset(sector), sector + 1);
    if (row.last < fatEntries) PutLe32(b, img.FatEntryOffset(row.last), test::kCfbEndOfChain);
    PutLe32(b, entry + 116, row.first);
    const std::string stream = StreamOf(b, u"Big");
    EXPECT_EQ(stream.size(), row.readable) << row.last;
    EXPECT_EQ(stream, expected.substr((row.first - (fatEntries - 8)) * 512, row.readable)) << row.last;
  }
}

}  // namespace
}  // namespace dkscr
