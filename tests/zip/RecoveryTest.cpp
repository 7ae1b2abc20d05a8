// Rebuilding the directory from local headers when the central directory cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "tests/zip/ZipTestFiles.h"
#include "zip/ZipReader.h"

namespace dkscr {
namespace {

using test::ScratchDir;
using test::ZipEntrySpec;
using test::ZipWriter;

ZipWriter Package() {
  ZipWriter zip;
  auto unix = test::Entry("ppt/slides/slide1.xml", "<p:sld>one</p:sld>");
  unix.versionMadeBy = 0x0314;
  zip.Add(unix);
  zip.Add("ppt/slides/slide2.xml", std::string(4000, 'w') + "two", 0);
  return zip;
}

class RecoveryTest : public test::ArchiveFixture {
 protected:
  std::string Slide(int n) {
    std::string s;
    const int count = zip_->ExtractToStream(s, "ppt\\slides\\slide" + std::to_string(n) + ".xml");
    return count == 1 ? s : "<" + std::to_string(count) + ">";
  }
};

TEST_F(RecoveryTest, PrependedBytesAreReadFromLocalHeaders) {
  Open(Package().Prepend(std::string(1234, 'S')).Build());
  EXPECT_TRUE(zip_->Recovered());
  ASSERT_EQ(zip_->EntryCount(), 2);
  EXPECT_EQ((*zip_->Entries())[0].localHeaderOffset, 1234u);
  // The central records point elsewhere, so nothing completes the entries.
  EXPECT_EQ((*zip_->Entries())[0].versionMadeBy, 0);
  EXPECT_EQ(Slide(1), "<p:sld>one</p:sld>");
  EXPECT_EQ(Slide(2), std::string(4000, 'w') + "two");
}

TEST_F(RecoveryTest, PrefixAccountedForNeedsNoRecovery) {
  Open(Package().Prepend(std::string(99, 'S')).AdjustOffsetsForPrefix().Build());
  EXPECT_FALSE(zip_->Recovered());
  EXPECT_EQ(Slide(1), "<p:sld>one</p:sld>");
}

TEST_F(RecoveryTest, CentralRecordsCompleteTheEntriesFound) {
  test::ZipLayout layout;
  Package().Build(&layout);
  // The end record points past the real directory; the central records still follow the data.
  Open(Package().CentralDirOffset(layout.centralDirOffset + 5).Build());
  EXPECT_TRUE(zip_->Recovered());
  ASSERT_EQ(zip_->EntryCount(), 2);
  EXPECT_EQ((*zip_->Entries())[0].versionMadeBy, 0x0314);
  EXPECT_EQ((*zip_->Entries())[0].centralHeaderPosition, layout.centralHeaderOffsets[0]);
  EXPECT_EQ(zip_->EndRecord().centralDirOffset, layout.centralDirOffset);
  EXPECT_EQ(Slide(2), std::string(4000, 'w') + "two");
}

TEST_F(RecoveryTest, ShortOrDuplicateDirectoriesStartRecovery) {
  Open(Package().TotalEntries(3).Build());
  EXPECT_TRUE(zip_->Recovered());
  EXPECT_EQ(zip_->EntryCount(), 2);

  // Two central records for the same local header.
  auto twin = test::Entry("ppt/slides/slide1.xml", "x");
  std::string bytes = ZipWriter().Add(twin).Add(twin).Build();
  test::ZipLayout layout;
  ZipWriter().Add(twin).Add(twin).Build(&layout);
  // Point the second central record at the first local header.
  bytes.replace(layout.centralHeaderOffsets[1] + 42, 4, std::string(4, '\0'));
  Open(bytes, "twin.zip");
  EXPECT_TRUE(zip_->Recovered());
  EXPECT_EQ(zip_->EntryCount(), 2);
}

TEST_F(RecoveryTest, ScanSkipsImplausibleSignatures) {
  // "PK\3\4" followed by a version of 0x0A00 or more is not taken as a local header.
  std::string junk = "junk PK\x03\x04\x00\x0A more junk";
  Open(Package().Prepend(junk).Build());
  EXPECT_TRUE(zip_->Recovered());
  EXPECT_EQ((*zip_->Entries())[0].localHeaderOffset, junk.size());
  EXPECT_EQ(Slide(1), "<p:sld>one</p:sld>");
}

TEST_F(RecoveryTest, ExeStubsAreSkipped) {
  // A stub of 14000 bytes that itself holds a broken local header.
  std::string stub(14000, 'E');
  stub.replace(100, 6, std::string("PK\x03\x04\x14\x00", 6));
  Open(Package().Prepend(stub).Build(), "setup.EXE");
  EXPECT_EQ((*zip_->Entries())[0].localHeaderOffset, 14000u);
  EXPECT_EQ(Slide(1), "<p:sld>one</p:sld>");
  // Not self-extracting, the broken header is taken and the real ones are lost.
  Open(Package().Prepend(stub).Build(), "setup.zip");
  EXPECT_EQ((*zip_->Entries())[0].localHeaderOffset, 100u);
  EXPECT_EQ(Slide(1), "<0>");
}

TEST_F(RecoveryTest, NothingToRecoverIsABadFile) {
  OpenUnloaded(std::string(40000, 'n') + ZipWriter().TotalEntries(1).Build(), "none.zip");
  EXPECT_THROW(zip_->LoadDirectory(), ZipDamagedError);
  EXPECT_EQ(zip_->EntryCount(), 0);
}

}  // namespace
}  // namespace dkscr
