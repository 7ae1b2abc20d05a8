#include "zip/ZipReader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "tests/zip/ZipTestFiles.h"
#include "zip/ZipErrors.h"

namespace dkscr {
namespace {

using test::ScratchDir;
using test::ZipEntrySpec;
using test::ZipWriter;

class ZipReaderTest : public test::ArchiveFixture {};

TEST_F(ZipReaderTest, ReadsStoredAndDeflatedEntries) {
  test::ZipLayout layout;
  const std::string text(5000, 'q');
  Open(ZipWriter()
           .Add("[Content_Types].xml", "<Types/>", 0)
           .Add("ppt/slides/slide1.xml", text + "<a:t>hi</a:t>")
           .Build(&layout));
  ASSERT_EQ(zip_->EntryCount(), 2);
  EXPECT_FALSE(zip_->Recovered());
  const ZipEntry& e = (*zip_->Entries())[1];
  EXPECT_EQ(e.directory, "ppt\\slides\\");
  EXPECT_EQ(e.fileName, "slide1.xml");
  EXPECT_EQ(e.compressionMethod, kZipMethodDeflated);
  EXPECT_EQ(e.uncompressedSize, text.size() + 13);
  EXPECT_EQ(e.localHeaderOffset, layout.localHeaderOffsets[1]);
  EXPECT_EQ(e.centralHeaderPosition, layout.centralHeaderOffsets[1]);
  EXPECT_EQ(zip_->EndRecord().totalEntries, 2);
  EXPECT_EQ(zip_->EndRecord().centralDirOffset, layout.centralDirOffset);

  EXPECT_EQ(Extract("[Content_Types].xml"), 1);
  EXPECT_EQ(stream_, "<Types/>");
  EXPECT_EQ(Extract("ppt\\slides\\slide1.xml"), 1);
  EXPECT_EQ(stream_, text + "<a:t>hi</a:t>");
}

TEST_F(ZipReaderTest, MatchesNamesByCaseAndSeparatorButWhole) {
  Open(ZipWriter()
           .Add("ppt/", "", 0)
           .Add("ppt/slides/slide1.xml", "one")
           .Add("ppt/slides/slide10.xml", "ten")
           .Add("/root/slide2.xml", "two")
           .Build());
  EXPECT_EQ(Extract("ppt\\slides\\slide1.xml"), 1);
  EXPECT_EQ(stream_, "one");
  EXPECT_EQ(Extract("PPT\\SLIDES\\SLIDE1.XML"), 1);
  EXPECT_EQ(Extract("ppt/slides/slide1.xml"), 1);
  EXPECT_EQ(Extract("  ppt\\slides\\slide10.xml \t"), 1);
  EXPECT_EQ(stream_, "ten");
  EXPECT_EQ(Extract("ppt\\slides\\slide"), 0);
  EXPECT_EQ(Extract("slide1.xml"), 0);
  EXPECT_EQ(Extract("root\\slide2.xml"), 0);  // stored with a leading separator
  EXPECT_EQ(Extract("\\root\\slide2.xml"), 1);
  EXPECT_EQ(Extract("ppt\\"), 0);  // folders are never extracted
  EXPECT_EQ(Extract("   "), 0);
}

TEST_F(ZipReaderTest, ExtractsEveryEntryOfTheSameName) {
  Open(ZipWriter().Add("a.txt", "first").Add("A.TXT", "second", 0).Build());
  stream_ = ">";
  EXPECT_EQ(zip_->ExtractToStream(stream_, "a.txt"), 2);
  EXPECT_EQ(stream_, ">firstsecond");
  // The entries themselves, in list order, found as extraction finds them; none for a blank.
  std::vector<size_t> found{99};
  zip_->FindEntries(" A.txt\t", found);
  EXPECT_EQ(found, (std::vector<size_t>{0, 1}));
  zip_->FindEntries(" ", found);
  EXPECT_TRUE(found.empty());
}

TEST_F(ZipReaderTest, ArchivesInMemory) {
  const std::string inMemory = ZipWriter().Add("a.txt", "from memory").Build();
  const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(inMemory);
  ZipReader zip(*source);
  std::string stream;
  EXPECT_EQ(zip.ExtractToStream(stream, "a.txt"), 1);  // reads the directory first
  EXPECT_EQ(zip.EntryCount(), 1);
  EXPECT_EQ(stream, "from memory");
}

TEST_F(ZipReaderTest, DataDescriptorsExtraFieldsAndComments) {
  auto described = test::Entry("d.xml", std::string(3000, 'd') + "end");
  described.dataDescriptor = true;
  auto noSig = test::Entry("e.xml", "eee", 0);
  noSig.dataDescriptor = true;
  noSig.descriptorSignature = false;
  auto extras = test::Entry("x.xml", "extra data");
  extras.localExtra = std::string(37, 'L');
  extras.centralExtra = std::string(11, 'C');
  extras.comment = "entry comment";
  Open(ZipWriter().Add(described).Add(noSig).Add(extras).Add("after.xml", "after").Build());
  ASSERT_EQ(zip_->EntryCount(), 4);
  EXPECT_EQ((*zip_->Entries())[2].extraFieldLength, 11);
  EXPECT_EQ((*zip_->Entries())[2].commentLength, 13);
  EXPECT_EQ(Extract("d.xml"), 1);
  EXPECT_EQ(stream_, described.data);
  EXPECT_EQ(Extract("e.xml"), 1);
  EXPECT_EQ(stream_, "eee");
  EXPECT_EQ(Extract("x.xml"), 1);
  EXPECT_EQ(stream_, "extra data");
  EXPECT_EQ(Extract("after.xml"), 1);
  EXPECT_EQ(stream_, "after");
}

TEST_F(ZipReaderTest, FindsTheEndRecordBehindLongComments) {
  Open(ZipWriter().Add("a", "A").Comment(std::string(65535, '#')).Build());
  EXPECT_EQ(zip_->EntryCount(), 1);
  EXPECT_EQ(zip_->EndRecord().commentLength, 65535);
  EXPECT_EQ(zip_->EndRecord().comment.size(), 65535u);
  EXPECT_EQ(Extract("a"), 1);

  // A longer comment pushes the record out of the searched window.
  Open(ZipWriter().Add("a", "A").Comment(std::string(65536, '#')).CommentLengthField(0).Build(),
       "long.zip");
  EXPECT_EQ(zip_->EntryCount(), 0);

  // An end signature inside the comment, nearer the end, wins.
  std::string fake;
  test::PutLe32(fake, kZipEndRecordSignature);
  fake += std::string(18, '\0');
  Open(ZipWriter().Add("a", "A").Add("b", "B").Comment("xx" + fake + std::string(22, '.')).Build(),
       "fake.zip");
  EXPECT_EQ(zip_->EntryCount(), 0);
  EXPECT_EQ(zip_->EndRecord().totalEntries, 0);
}

TEST_F(ZipReaderTest, FindsTheEndRecordWhereverItsCommentEnds) {
  // Comments that end the record inside, at and past the end first looked at.
  for (const size_t length : {0u, 900u, 1001u, 1002u, 1003u, 1024u, 5000u}) {
    const std::string comment(length, 'c');
    const std::string archive = ZipWriter().Add("a", "A").Comment(comment).Build();
    Open(archive, "c" + std::to_string(length) + ".zip");
    ASSERT_EQ(zip_->EntryCount(), 1) << length;
    EXPECT_EQ(zip_->EndRecord().comment, comment) << length;
    EXPECT_EQ(zip_->EndRecord().commentPosition, archive.size() - length) << length;
    EXPECT_EQ(Extract("a"), 1) << length;
  }
  // A signature near the end of a long comment wins over the record before it, also when it
  // cuts the comment it claims short.
  std::string fake;
  test::PutLe32(fake, kZipEndRecordSignature);
  fake += std::string(16, '\0');
  fake += std::string("\x40\x00", 2);  // a comment of 64 bytes, of which 3 follow
  Open(ZipWriter().Add("a", "A").Comment(std::string(3000, '.') + fake + "xyz").Build(), "fake2.zip");
  EXPECT_EQ(zip_->EntryCount(), 0);
  EXPECT_EQ(zip_->EndRecord().commentLength, 64);
  EXPECT_EQ(zip_->EndRecord().comment, "xyz");
}

TEST_F(ZipReaderTest, EntriesThatDoNotCount) {
  auto badCrc = test::Entry("crc", "checked data");
  badCrc.crc = 0x12345678;
  auto locked = test::Entry("locked", "secret", 0);
  locked.encrypted = true;
  auto empty = test::Entry("empty", "", 0);
  auto unknown = test::Entry("unknown", "shrunk?", 99);
  auto unknownZero = test::Entry("unknown0", "zz", 1);
  unknownZero.crc = 0;
  Open(ZipWriter().Add(badCrc).Add(locked).Add(empty).Add(unknown).Add(unknownZero).Build());

  EXPECT_EQ(Extract("crc"), 0);
  EXPECT_EQ(stream_, "checked data");  // bytes stay, the entry does not count
  EXPECT_EQ(Extract("locked"), 0);
  EXPECT_EQ(stream_, "");
  EXPECT_EQ(Extract("empty"), 1);
  EXPECT_EQ(stream_, "");

  // An unknown method decodes nothing, so the entry fails its check unless it is empty.
  EXPECT_EQ(Extract("unknown"), 0);
  EXPECT_EQ(Extract("unknown0"), 1);  // CRC 0 is the CRC of nothing
  EXPECT_EQ(stream_, "");
}

TEST_F(ZipReaderTest, OutputIsBoundedByTheDeclaredSize) {
  const std::string data(100000, 'a');
  auto small = test::Entry("small", data);
  small.uncompressedSize = 1000;
  auto storedSmall = test::Entry("stored", "0123456789", 0);
  storedSmall.uncompressedSize = 4;
  auto huge = test::Entry("huge", data);
  huge.uncompressedSize = ZipReader::kMaxEntrySize + 1;
  auto limit = test::Entry("limit", data);
  limit.uncompressedSize = ZipReader::kMaxEntrySize;
  Open(ZipWriter().Add(small).Add(storedSmall).Add(huge).Add(limit).Build());
  EXPECT_EQ(Extract("small"), 0);
  EXPECT_EQ(stream_, data.substr(0, 1000));
  EXPECT_EQ(Extract("stored"), 0);
  EXPECT_EQ(stream_, "0123");
  EXPECT_EQ(Extract("huge"), 0);
  EXPECT_EQ(stream_, "");
  // Declared 256 MiB, but the output is only what the data holds.
  EXPECT_EQ(Extract("limit"), 1);
  EXPECT_EQ(stream_, data);
}

TEST_F(ZipReaderTest, AlikeSmallEntriesEachDecodeAsTheirOwn) {
  // Small parts alike byte for byte decode once and are taken again; each still gets its own
  // CRC check, declared size and budget, and a part of the same sizes but other bytes its own
  // data.
  const std::string first = R"(<Relationships><Relationship Id="rId1" Target="slide1.xml"/></Relationships>)";
  const std::string second = R"(<Relationships><Relationship Id="rId1" Target="slide2.xml"/></Relationships>)";
  auto badCrc = test::Entry("c", first);
  badCrc.crc = 7;
  auto cut = test::Entry("d", first);
  cut.uncompressedSize = 10;
  Open(ZipWriter().Add("a", first).Add("b", first).Add(badCrc).Add(cut).Add("e", second).Add("f", first).Build());
  const ZipDirectory& entries = *zip_->Entries();
  ASSERT_EQ(entries[0].compressedSize, entries[4].compressedSize);
  ASSERT_LE(entries[0].compressedSize, 256u);
  EXPECT_EQ(Extract("a"), 1);
  EXPECT_EQ(stream_, first);
  EXPECT_EQ(Extract("b"), 1);
  EXPECT_EQ(stream_, first);
  EXPECT_EQ(Extract("c"), 0);
  EXPECT_EQ(stream_, first);
  EXPECT_EQ(Extract("d"), 0);
  EXPECT_EQ(stream_, first.substr(0, 10));
  EXPECT_EQ(Extract("e"), 1);
  EXPECT_EQ(stream_, second);
  EXPECT_EQ(Extract("f"), 1);
  EXPECT_EQ(stream_, first);
  zip_->SetOutputBudget(first.size() - 1);
  EXPECT_THROW(Extract("b"), ZipTooLargeError);
}

TEST_F(ZipReaderTest, DataPastTheEndOfTheFileIsFatal) {
  auto longer = test::Entry("long", "abc", 0);
  longer.compressedSize = 1u << 30;
  Open(ZipWriter().Add(longer).Add("fine", "ok").Build());
  EXPECT_THROW(Extract("long"), ZipTruncatedError);
  EXPECT_EQ(Extract("fine"), 1);
}

TEST_F(ZipReaderTest, BadAndOddFiles) {
  Open("");
  EXPECT_EQ(zip_->EntryCount(), 0);
  EXPECT_EQ(Extract("a"), 0);
  Open("PK\x05\x06 short", "short.zip");
  EXPECT_EQ(zip_->EntryCount(), 0);
  Open(std::string(5000, 'x'), "plain.txt");
  EXPECT_EQ(zip_->EntryCount(), 0);

  // An end record whose directory is garbage and no local header anywhere.
  std::string bad = std::string(300, 'g') + ZipWriter().OmitCentralDirectory().TotalEntries(3).Build();
  OpenUnloaded(bad, "bad.zip");
  try {
    zip_->LoadDirectory();
    FAIL() << "no exception";
  } catch (const ZipDamagedError& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_EQ(zip_->EntryCount(), 0);
}

TEST_F(ZipReaderTest, NonAsciiDosNamesAreConverted) {
  // "\x81" is u-umlaut in code page 437; a UTF-8 flagged name is left alone.
  auto dos = test::Entry("m\x81nchen.txt", "dos");
  auto utf8 = test::Entry("caf\xC3\xA9.txt", "utf8");
  utf8.extraFlags = kZipFlagUtf8Name;
  Open(ZipWriter().Add(dos).Add(utf8).Build());
  ASSERT_EQ(zip_->EntryCount(), 2);
  EXPECT_NE((*zip_->Entries())[0].fileName, "m\x81nchen.txt");
  EXPECT_EQ((*zip_->Entries())[1].fileName, "caf\xC3\xA9.txt");
  EXPECT_EQ(Extract("caf\xC3\xA9.txt"), 1);
}

TEST(ZipReaderCorpusTest, EveryEntryOfTheSamplePackagesExtractsIntact) {
  std::error_code ec;
  int packages = 0;
  for (const auto& item : std::filesystem::directory_iterator(DKSCR_CORPUS_DIR, ec)) {
    if (item.path().extension() != ".pptx") continue;
    int error = 0;
    const std::unique_ptr<ByteSource> source = ByteSource::OpenFile(item.path().string(), error);
    ASSERT_TRUE(source) << item.path();
    ZipReader zip(*source);
    zip.LoadDirectory();
    if (zip.EntryCount() == 0) continue;  // a damaged sample without an end record
    ++packages;
    for (size_t i = 0; i < zip.Entries()->Count(); ++i) {
      const ZipEntry& e = (*zip.Entries())[i];
      if (e.fileName.empty()) continue;
      std::string data;
      EXPECT_EQ(zip.ExtractToStream(data, e.StoredPath()), 1) << item.path() << " " << e.StoredPath();
      EXPECT_EQ(data.size(), e.uncompressedSize);
    }
  }
  if (packages == 0) GTEST_SKIP() << "no sample packages";
}

}  // namespace
}  // namespace dkscr
