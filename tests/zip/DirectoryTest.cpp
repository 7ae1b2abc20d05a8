// The packed entry directory: what it gives back of each entry, name look-ups over many
// entries, and the bytes it keeps per entry.
#include "zip/ZipDirectory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteSource.h"
#include "tests/support/ZipWriter.h"
#include "zip/ZipNames.h"
#include "zip/ZipReader.h"

namespace dkscr {
namespace {

ZipEntry Member(std::string path, uint64_t offset) {
  ZipEntry e;
  e.versionMadeBy = 0x031E;
  e.versionNeeded = 20;
  e.flags = 0x0808;
  e.compressionMethod = 8;
  e.dosDateTime = 0x5A210000;
  e.crc32 = 0xDEADBEEF;
  e.compressedSize = 100;
  e.uncompressedSize = 300;
  e.fileNameLength = static_cast<uint16_t>(path.size());
  e.extraFieldLength = 4;
  e.commentLength = 2;
  e.internalAttributes = 1;
  e.externalAttributes = 0x81A40000;
  e.localHeaderOffset = offset;
  e.centralHeaderPosition = offset + 1000;
  e.SetStoredPath(path);
  return e;
}

void ExpectSame(const ZipEntry& a, const ZipEntry& b) {
  EXPECT_EQ(a.versionMadeBy, b.versionMadeBy);
  EXPECT_EQ(a.versionNeeded, b.versionNeeded);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.compressionMethod, b.compressionMethod);
  EXPECT_EQ(a.dosDateTime, b.dosDateTime);
  EXPECT_EQ(a.crc32, b.crc32);
  EXPECT_EQ(a.compressedSize, b.compressedSize);
  EXPECT_EQ(a.uncompressedSize, b.uncompressedSize);
  EXPECT_EQ(a.fileNameLength, b.fileNameLength);
  EXPECT_EQ(a.extraFieldLength, b.extraFieldLength);
  EXPECT_EQ(a.localExtraFieldLength, b.localExtraFieldLength);
  EXPECT_EQ(a.commentLength, b.commentLength);
  EXPECT_EQ(a.diskNumberStart, b.diskNumberStart);
  EXPECT_EQ(a.internalAttributes, b.internalAttributes);
  EXPECT_EQ(a.externalAttributes, b.externalAttributes);
  EXPECT_EQ(a.localHeaderOffset, b.localHeaderOffset);
  EXPECT_EQ(a.centralHeaderPosition, b.centralHeaderPosition);
  EXPECT_EQ(a.directory, b.directory);
  EXPECT_EQ(a.fileName, b.fileName);
}

// The entries a look-up by name finds.
std::vector<size_t> Found(ZipDirectory& directory, std::string_view name) {
  std::vector<size_t> found;
  directory.IndexesWithKeyInto(name, found);
  return found;
}

TEST(ZipDirectoryTest, GivesBackEveryFieldOfEveryKindOfEntry) {
  std::vector<ZipEntry> members;
  members.push_back(Member("ppt\\slides\\slide1.xml", 0));
  members.push_back(Member("ppt\\slides\\_rels\\slide1.xml.rels", 100));
  members.push_back(Member("ppt\\slides\\slide2.xml", 200));  // a folder seen before
  members.push_back(Member("ppt\\", 300));                    // a folder entry: no file name
  members.push_back(Member("[Content_Types].xml", 400));      // no folder
  ZipEntry oddOne = Member("ppt\\slides\\slide3.xml", 500);    // shares the folder, not the rest
  oddOne.dosDateTime = 1;
  oddOne.externalAttributes = 7;
  oddOne.fileNameLength = 30;  // a name converted from the MS-DOS code page changes length
  members.push_back(oddOne);
  ZipEntry wide = Member("big.bin", uint64_t{5} << 32);  // past 4 GiB
  wide.compressedSize = uint64_t{6} << 32;
  wide.uncompressedSize = (uint64_t{7} << 32) + 3;
  wide.centralHeaderPosition = (uint64_t{8} << 32) + 9;
  wide.diskNumberStart = 0;
  members.push_back(wide);
  ZipEntry longName = Member(std::string(70000, 'n'), uint64_t{6} << 32);
  longName.fileNameLength = 65535;
  members.push_back(longName);

  ZipDirectory directory;
  for (const ZipEntry& e : members) directory.Append(e);
  ASSERT_TRUE(directory.SortByPosition());
  ASSERT_EQ(directory.Count(), members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSame(directory[i], members[i]);
    EXPECT_EQ(directory.StoredPath(i), members[i].StoredPath());
    const ZipEntryData data = directory.Data(i);
    EXPECT_EQ(data.localHeaderOffset, members[i].localHeaderOffset);
    EXPECT_EQ(data.compressedSize, members[i].compressedSize);
    EXPECT_EQ(data.uncompressedSize, members[i].uncompressedSize);
    EXPECT_EQ(data.crc32, members[i].crc32);
  }
  EXPECT_EQ(directory.Find(0, uint64_t{5} << 32), 6u);
  EXPECT_EQ(directory.Find(0, 200), 2u);
  EXPECT_EQ(directory.Find(0, 201), ZipDirectory::npos);
  EXPECT_EQ(directory.Find(1, 200), ZipDirectory::npos);
}

TEST(ZipDirectoryTest, SortsByDiskThenOffsetAndRefusesTwins) {
  ZipDirectory directory;
  ZipEntry later = Member("b", 10);
  later.diskNumberStart = 1;
  directory.Append(later);
  directory.Append(Member("c", uint64_t{9} << 32));
  directory.Append(Member("a", 20));
  ASSERT_TRUE(directory.SortByPosition());
  EXPECT_EQ(directory.FileName(0), "a");
  EXPECT_EQ(directory.FileName(1), "c");
  EXPECT_EQ(directory.FileName(2), "b");
  directory.Append(Member("d", 20));
  EXPECT_FALSE(directory.SortByPosition());
}

TEST(ZipDirectoryTest, ReplacingKeepsTheNameAndTakesTheNewFields) {
  ZipDirectory directory;
  directory.Append(Member("ppt\\a.xml", 10));
  directory.Append(Member("ppt\\b.xml", 20));
  ZipEntry central = Member("ppt\\b.xml", 20);
  central.versionMadeBy = 0x0314;
  central.crc32 = 5;
  directory.Replace(1, central);
  ExpectSame(directory[1], central);
  EXPECT_EQ(Found(directory, "ppt\\b.xml"), std::vector<size_t>{1});
  directory.Replace(1, Member("ppt\\renamed.xml", 20));
  EXPECT_EQ(directory.FileName(1), "renamed.xml");
  EXPECT_TRUE(Found(directory, "ppt\\b.xml").empty());
  EXPECT_EQ(Found(directory, "ppt\\renamed.xml"), std::vector<size_t>{1});
}

TEST(ZipDirectoryTest, LooksUpByCaseFoldedKeyInListOrder) {
  ZipDirectory directory;
  directory.Append(Member("Ppt\\Slides\\Slide1.XML", 0));
  directory.Append(Member("ppt\\slides\\slide10.xml", 10));
  directory.Append(Member("ppt\\", 20));
  directory.Append(Member("PPT\\SLIDES\\SLIDE1.xml", 30));
  directory.Append(Member("ppt\\slides\\slide1.xml", 40));
  directory.Append(Member("ppt\\slides\\slide1.xmlx", 50));
  directory.Append(Member("\xC3\x84.xml", 60));  // letters beyond ASCII are compared as they are
  EXPECT_EQ(Found(directory, NameMatchKey("ppt/slides/slide1.xml")),
            (std::vector<size_t>{0, 3, 4}));
  EXPECT_EQ(Found(directory, "ppt\\slides\\slide10.xml"), std::vector<size_t>{1});
  EXPECT_TRUE(Found(directory, "ppt\\").empty());  // folders are never found
  EXPECT_TRUE(Found(directory, "ppt\\slides\\slide1").empty());
  EXPECT_TRUE(Found(directory, "").empty());
  EXPECT_EQ(Found(directory, "\xC3\x84.xml"), std::vector<size_t>{6});
  EXPECT_TRUE(Found(directory, "\xC3\xA4.xml").empty());
  // An entry added after a look-up is found by the next one.
  directory.Append(Member("ppt\\slides\\slide1.xml", 70));
  EXPECT_EQ(Found(directory, "ppt\\slides\\slide1.xml"), (std::vector<size_t>{0, 3, 4, 7}));
}

// The parts a large package lists for slide n: the slide, its relationships and its notes.
std::vector<std::string> DeckPartNames(size_t slides) {
  std::vector<std::string> names;
  for (size_t n = 1; n <= slides; ++n) {
    const std::string number = std::to_string(n);
    names.push_back("ppt/slides/slide" + number + ".xml");
    names.push_back("ppt/notesSlides/notesSlide" + number + ".xml");
    names.push_back("ppt/slides/_rels/slide" + number + ".xml.rels");
  }
  return names;
}

// A package of 90,000 parts, read from memory: every part is found by its name in any letter
// case, and the directory keeps no more than 64 bytes per entry, index and names included.
TEST(ZipDirectoryTest, ManyEntriesAreFoundAndKeptInAtMost64BytesEach) {
  const std::vector<std::string> names = DeckPartNames(30000);
  test::ZipWriter writer;
  for (size_t i = 0; i < names.size(); ++i) writer.Add(names[i], std::to_string(i), 0);
  const std::string bytes = writer.Build();
  const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(bytes);
  ZipReader zip(*source);
  zip.LoadDirectory();
  ASSERT_EQ(zip.EntryCount(), static_cast<int>(names.size()));
  std::string stream;
  for (size_t i = 0; i < names.size(); i += 997) {
    stream.clear();
    std::string upper = names[i];
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    ASSERT_EQ(zip.ExtractToStream(stream, upper), 1) << upper;
    EXPECT_EQ(stream, std::to_string(i));
  }
  EXPECT_FALSE(zip.HasEntry("ppt/slides/slide30001.xml"));
  const double perEntry = static_cast<double>(zip.Entries()->StorageBytes()) / names.size();
  RecordProperty("bytes_per_entry", std::to_string(perEntry));
  EXPECT_LE(perEntry, 64.0);
}

}  // namespace
}  // namespace dkscr
