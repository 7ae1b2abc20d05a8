#include "openxml/KelUnZip.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include <string>
#include <vector>

#include "core/NativePath.h"
#include "openxml/ZipErrors.h"
#ifndef _WIN32
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/zip/ZipTestFiles.h"

namespace dkscr {
namespace {

using test::ScratchDir;
using test::ZipEntrySpec;
using test::ZipWriter;

class KelUnZipTest : public test::ArchiveFixture {};

TEST_F(KelUnZipTest, ReadsStoredAndDeflatedEntries) {
  test::ZipLayout layout;
  const std::string text(5000, 'q');
  Open(ZipWriter()
           .Add("[Content_Types].xml", "<Types/>", 0)
           .Add("ppt/slides/slide1.xml", text + "<a:t>hi</a:t>")
           .Build(&layout));
  ASSERT_EQ(zip_.EntryCount(), 2);
  EXPECT_FALSE(zip_.Recovered());
  const TZipEntryInfo& e = (*zip_.Entries())[1];
  EXPECT_EQ(e.Directory, "ppt\\slides\\");
  EXPECT_EQ(e.FileName, "slide1.xml");
  EXPECT_EQ(e.CompressionMethod, kZipMethodDeflated);
  EXPECT_EQ(e.UncompressedSize, text.size() + 13);
  EXPECT_EQ(e.LocalHeaderOffset, layout.localHeaderOffsets[1]);
  EXPECT_EQ(e.CentralHeaderPosition, layout.centralHeaderOffsets[1]);
  EXPECT_EQ(zip_.EndRecord().TotalEntries, 2);
  EXPECT_EQ(zip_.EndRecord().CentralDirOffset, layout.centralDirOffset);

  EXPECT_EQ(Extract("[Content_Types].xml"), 1);
  EXPECT_EQ(stream_, "<Types/>");
  EXPECT_EQ(Extract("ppt\\slides\\slide1.xml"), 1);
  EXPECT_EQ(stream_, text + "<a:t>hi</a:t>");
}

#ifndef _WIN32  // FIFOs are POSIX's
TEST_F(KelUnZipTest, FifoIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = dir_.Path("fifo.zip");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  zip_.SetZipName(PathFromNative(fifo));
  EXPECT_EQ(test::StatusInChild([&] {
              try {
                zip_.LoadDirectory();
              } catch (const EZipOpenError&) {
                return 1;
              }
              return 0;
            }),
            1);
}
#endif

TEST_F(KelUnZipTest, MatchesNamesByCaseAndSeparatorButWhole) {
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

TEST_F(KelUnZipTest, ExtractsEveryEntryOfTheSameName) {
  Open(ZipWriter().Add("a.txt", "first").Add("A.TXT", "second", 0).Build());
  stream_ = ">";
  EXPECT_EQ(zip_.ExtractToStream(stream_, "a.txt"), 2);
  EXPECT_EQ(stream_, ">firstsecond");
}

TEST_F(KelUnZipTest, ArchivesInMemoryAndBackToFiles) {
  const std::string inMemory = ZipWriter().Add("a.txt", "from memory").Build();
  Open(ZipWriter().Add("a.txt", "from the file").Build());
  zip_.SetZipImage(inMemory);
  zip_.LoadDirectory();
  EXPECT_EQ(zip_.EntryCount(), 1);
  EXPECT_EQ(Extract("a.txt"), 1);
  EXPECT_EQ(stream_, "from memory");
  // The same file name as before the image: its directory is read again, not the image's.
  zip_.SetZipName(dir_.Put("t.zip", ZipWriter().Add("b.txt", "b").Add("a.txt", "file").Build()));
  zip_.LoadDirectory();
  EXPECT_EQ(zip_.EntryCount(), 2);
  EXPECT_EQ(Extract("a.txt"), 1);
  EXPECT_EQ(stream_, "file");
}

TEST_F(KelUnZipTest, DataDescriptorsExtraFieldsAndComments) {
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
  ASSERT_EQ(zip_.EntryCount(), 4);
  EXPECT_EQ((*zip_.Entries())[2].ExtraFieldLength, 11);
  EXPECT_EQ((*zip_.Entries())[2].CommentLength, 13);
  EXPECT_EQ(Extract("d.xml"), 1);
  EXPECT_EQ(stream_, described.data);
  EXPECT_EQ(Extract("e.xml"), 1);
  EXPECT_EQ(stream_, "eee");
  EXPECT_EQ(Extract("x.xml"), 1);
  EXPECT_EQ(stream_, "extra data");
  EXPECT_EQ(Extract("after.xml"), 1);
  EXPECT_EQ(stream_, "after");
}

TEST_F(KelUnZipTest, FindsTheEndRecordBehindLongComments) {
  Open(ZipWriter().Add("a", "A").Comment(std::string(65535, '#')).Build());
  EXPECT_EQ(zip_.EntryCount(), 1);
  EXPECT_EQ(zip_.EndRecord().CommentLength, 65535);
  EXPECT_EQ(zip_.EndRecord().Comment.size(), 65535u);
  EXPECT_EQ(Extract("a"), 1);

  // A longer comment pushes the record out of the searched window.
  Open(ZipWriter().Add("a", "A").Comment(std::string(65536, '#')).CommentLengthField(0).Build(),
       "long.zip");
  EXPECT_EQ(zip_.EntryCount(), 0);

  // An end signature inside the comment, nearer the end, wins.
  std::string fake;
  test::PutLe32(fake, kZipEndRecordSignature);
  fake += std::string(18, '\0');
  Open(ZipWriter().Add("a", "A").Add("b", "B").Comment("xx" + fake + std::string(22, '.')).Build(),
       "fake.zip");
  EXPECT_EQ(zip_.EntryCount(), 0);
  EXPECT_EQ(zip_.EndRecord().TotalEntries, 0);
}

TEST_F(KelUnZipTest, EntriesThatDoNotCount) {
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

  std::vector<std::string> boxes;
  ZipHostHooks hooks;
  hooks.ShowMessage = [&](const std::string& text, const std::string& caption) {
    boxes.push_back(text + "|" + caption);
  };
  zip_.Hooks = hooks;
  EXPECT_EQ(Extract("unknown"), 0);
  EXPECT_EQ(Extract("unknown0"), 1);  // nothing decoded, and CRC 0 is the CRC of nothing
  EXPECT_EQ(stream_, "");
  EXPECT_EQ(boxes, std::vector<std::string>(2, "Unknown Compression Method|Zip Error"));
}

TEST_F(KelUnZipTest, OutputIsBoundedByTheDeclaredSize) {
  const std::string data(100000, 'a');
  auto small = test::Entry("small", data);
  small.uncompressedSize = 1000;
  auto storedSmall = test::Entry("stored", "0123456789", 0);
  storedSmall.uncompressedSize = 4;
  auto huge = test::Entry("huge", data);
  huge.uncompressedSize = TKelUnZip::kMaxEntrySize + 1;
  auto limit = test::Entry("limit", data);
  limit.uncompressedSize = TKelUnZip::kMaxEntrySize;
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

TEST_F(KelUnZipTest, DataPastTheEndOfTheFileIsFatal) {
  auto longer = test::Entry("long", "abc", 0);
  longer.compressedSize = 1u << 30;
  Open(ZipWriter().Add(longer).Add("fine", "ok").Build());
  EXPECT_THROW(Extract("long"), EZipFatal);
  EXPECT_EQ(Extract("fine"), 1);  // the file was closed and is opened again
}

TEST_F(KelUnZipTest, BadAndOddFiles) {
  Open("");
  EXPECT_EQ(zip_.EntryCount(), 0);
  EXPECT_EQ(Extract("a"), 0);
  Open("PK\x05\x06 short", "short.zip");
  EXPECT_EQ(zip_.EntryCount(), 0);
  Open(std::string(5000, 'x'), "plain.txt");
  EXPECT_EQ(zip_.EntryCount(), 0);
  EXPECT_EQ(zip_.ZipName().empty(), false);

  zip_.SetZipName(dir_.Put("missing.zip", "") + u"-not-there");
  EXPECT_THROW(zip_.LoadDirectory(), EZipOpenError);
  std::string s;
  EXPECT_THROW(zip_.ExtractToStream(s, "a"), EZipOpenError);
  zip_.SetZipName(PathFromNative(dir_.Path("")));
  EXPECT_THROW(zip_.LoadDirectory(), EZipOpenError);

  // An end record whose directory is garbage and no local header anywhere.
  std::string bad = std::string(300, 'g') + ZipWriter().OmitCentralDirectory().TotalEntries(3).Build();
  zip_.SetZipName(dir_.Put("bad.zip", bad));
  try {
    zip_.LoadDirectory();
    FAIL() << "no exception";
  } catch (const EZipBadFile& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_TRUE(zip_.ZipName().empty());
  EXPECT_EQ(zip_.EntryCount(), 0);
}

TEST_F(KelUnZipTest, DirectoryIsReusedUntilTheFileChanges) {
  // Same size, same layout, different names.
  const std::string a = ZipWriter().Add("a.txt", "same data").Build();
  const std::string b = ZipWriter().Add("b.txt", "same data").Build();
  ASSERT_EQ(a.size(), b.size());
  const std::u16string path = dir_.Put("cache.zip", a);
  const std::string native = dir_.Path("cache.zip");
  test::SetMtime(native, 1000000000);
  zip_.SetZipName(path);
  zip_.LoadDirectory();
  ASSERT_EQ(zip_.EntryCount(), 1);

  test::WriteFileBytes(native, b);
  test::SetMtime(native, 1000000000);
  EXPECT_EQ(Extract("a.txt"), 1);  // the cached directory still names a.txt
  EXPECT_EQ(stream_, "same data");
  zip_.SetZipName(path);  // the same name again changes nothing
  EXPECT_EQ(Extract("a.txt"), 1);

  test::SetMtime(native, 1000000002);
  EXPECT_EQ(Extract("a.txt"), 0);
  EXPECT_EQ(Extract("b.txt"), 1);
}

#ifndef _WIN32  // names differing only in case are one file on Windows
TEST_F(KelUnZipTest, NameDifferingOnlyInCase) {
  const std::string native = dir_.Path("deck.zip");
  const std::u16string path = dir_.Put("deck.zip", ZipWriter().Add("a.txt", "A").Build());
  test::SetMtime(native, 1000000000);
  zip_.SetZipName(path);
  zip_.LoadDirectory();
  // Keep the modification time, change the contents behind the reader's back.
  test::WriteFileBytes(native, ZipWriter().Add("b.txt", "A").Build());
  test::SetMtime(native, 1000000000);

  // Another spelling of the same file keeps the directory.
  ASSERT_EQ(::link(native.c_str(), dir_.Path("DECK.ZIP").c_str()), 0);
  const std::u16string upper = PathFromNative(dir_.Path("DECK.ZIP"));
  zip_.SetZipName(upper);
  EXPECT_EQ(zip_.ZipName(), upper);
  EXPECT_EQ(zip_.EntryCount(), 1);
  EXPECT_EQ(Extract("a.txt"), 1);

  // A different file that differs only in case is a different archive here.
  test::WriteFileBytes(dir_.Path("Deck.zip"), ZipWriter().Add("c.txt", "C").Build());
  test::SetMtime(dir_.Path("Deck.zip"), 1000000000);
  zip_.SetZipName(PathFromNative(dir_.Path("Deck.zip")));
  EXPECT_EQ(zip_.EntryCount(), 0);
  EXPECT_EQ(Extract("c.txt"), 1);
  EXPECT_EQ(Extract("a.txt"), 0);
}
#endif

TEST_F(KelUnZipTest, HostHooks) {
  int busy = 0;
  int restored = 0;
  int pumped = 0;
  ZipHostHooks hooks;
  hooks.ShowBusyCursor = [&] { ++busy; };
  hooks.RestoreCursor = [&] { ++restored; };
  hooks.ProcessMessages = [&] { ++pumped; };
  zip_.Hooks = hooks;

  const std::string data(100000, 'x');
  auto packed = test::Entry("packed", data, 0);
  packed.compressed = test::RawDeflate(data, 0);  // stored blocks: about 100000 input bytes
  packed.method = 8;
  Open(ZipWriter().Add("stored", data, 0).Add(packed).Build());
  EXPECT_EQ(busy, 1);
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(Extract("stored"), 1);
  EXPECT_EQ(pumped, 4);  // one per 32768-byte chunk
  pumped = 0;
  EXPECT_EQ(Extract("packed"), 1);
  EXPECT_EQ(stream_, data);
  EXPECT_EQ(pumped, 4);
  zip_.DoProcessMessages = false;
  pumped = 0;
  EXPECT_EQ(Extract("packed"), 1);
  EXPECT_EQ(pumped, 0);

  // The cursor comes back also when loading fails.
  zip_.SetZipName(u"/nonexistent/dkscr.zip");
  EXPECT_THROW(zip_.LoadDirectory(), EZipOpenError);
  EXPECT_EQ(busy, 2);
  EXPECT_EQ(restored, 2);
}

TEST_F(KelUnZipTest, NonAsciiDosNamesAreConverted) {
  // "\x81" is u-umlaut in code page 437; a UTF-8 flagged name is left alone.
  auto dos = test::Entry("m\x81nchen.txt", "dos");
  auto utf8 = test::Entry("caf\xC3\xA9.txt", "utf8");
  utf8.extraFlags = kZipFlagUtf8Name;
  Open(ZipWriter().Add(dos).Add(utf8).Build());
  ASSERT_EQ(zip_.EntryCount(), 2);
  EXPECT_NE((*zip_.Entries())[0].FileName, "m\x81nchen.txt");
  EXPECT_EQ((*zip_.Entries())[1].FileName, "caf\xC3\xA9.txt");
  EXPECT_EQ(Extract("caf\xC3\xA9.txt"), 1);
}

TEST(KelUnZipCorpusTest, EveryEntryOfTheSamplePackagesExtractsIntact) {
  std::error_code ec;
  int packages = 0;
  for (const auto& item : std::filesystem::directory_iterator(DKSCR_CORPUS_DIR, ec)) {
    if (item.path().extension() != ".pptx") continue;
    TKelUnZip zip;
    zip.SetZipName(PathFromNative(item.path().string()));
    zip.LoadDirectory();
    if (zip.EntryCount() == 0) continue;  // a damaged sample without an end record
    ++packages;
    for (size_t i = 0; i < zip.Entries()->Count(); ++i) {
      const TZipEntryInfo& e = (*zip.Entries())[i];
      if (e.FileName.empty()) continue;
      std::string data;
      EXPECT_EQ(zip.ExtractToStream(data, e.StoredPath()), 1) << item.path() << " " << e.StoredPath();
      EXPECT_EQ(data.size(), e.UncompressedSize);
    }
  }
  if (packages == 0) GTEST_SKIP() << "no sample packages";
}

}  // namespace
}  // namespace dkscr
