// Archives past the classic limits: ZIP64 end records and extra fields, entry counts that
// wrapped at 65536, directories listed in reverse order, and the reader's output budget.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/zip/ZipTestFiles.h"
#include "zip/ZipReader.h"

namespace dkscr {
namespace {

using test::ScratchDir;
using test::ZipWriter;

// `count` stored one-byte entries e0, e1, ...
ZipWriter ManyEntries(size_t count) {
  ZipWriter zip;
  for (size_t i = 0; i < count; ++i) zip.Add("e" + std::to_string(i), "x", 0);
  return zip;
}

class LargeArchiveTest : public test::ArchiveFixture {};

TEST_F(LargeArchiveTest, EveryEntryOfTheDirectoryIsReadWhateverTheCountSays) {
  const struct {
    size_t entries;
    ZipWriter::Zip64End end;
    bool zip64;
  } cases[] = {
      {70000, ZipWriter::Zip64End::kWhenNeeded, true},  // ZIP64 count, classic one all ones
      {70000, ZipWriter::Zip64End::kNever, false},      // classic count wrapped to 4464
      {65536, ZipWriter::Zip64End::kNever, false},      // wrapped to 0
      {65535, ZipWriter::Zip64End::kNever, false},      // the last count that fits
      {3, ZipWriter::Zip64End::kAlways, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entries);
    Open(ManyEntries(c.entries).Zip64(c.end).Build());
    EXPECT_FALSE(zip_->Recovered());
    EXPECT_EQ(zip_->EndRecord().zip64, c.zip64);
    ASSERT_EQ(zip_->EntryCount(), static_cast<int>(c.entries));
    EXPECT_EQ(Extract("e" + std::to_string(c.entries - 1)), 1);
    EXPECT_EQ(stream_, "x");
  }
}

TEST_F(LargeArchiveTest, CountBeyondTheDirectoryIsNotTrusted) {
  // The end record claims one entry more than the directory holds: the local headers decide.
  Open(ManyEntries(5).TotalEntries(6).Build());
  EXPECT_TRUE(zip_->Recovered());
  EXPECT_EQ(zip_->EntryCount(), 5);
}

TEST_F(LargeArchiveTest, Zip64ExtraFieldsCarrySizesAndOffsets) {
  const std::string text(3000, 't');
  auto wide = test::Entry("ppt/slides/slide1.xml", text);
  wide.zip64 = true;
  wide.centralExtra = std::string("\x99\x99\x02\x00zz", 6);  // another field after it
  auto storedWide = test::Entry("stored.txt", "plain", 0);
  storedWide.zip64 = true;
  const ZipWriter zip = ZipWriter().Add("first.txt", "1").Add(wide).Add(storedWide);
  test::ZipLayout layout;
  Open(zip.Build(&layout));
  ASSERT_EQ(zip_->EntryCount(), 3);
  const ZipEntry& e = (*zip_->Entries())[1];
  EXPECT_EQ(e.uncompressedSize, text.size());
  EXPECT_EQ(e.localHeaderOffset, layout.localHeaderOffsets[1]);
  EXPECT_EQ(Extract("ppt\\slides\\slide1.xml"), 1);
  EXPECT_EQ(stream_, text);
  EXPECT_EQ(Extract("stored.txt"), 1);
  EXPECT_EQ(stream_, "plain");

  // Rebuilt from the local headers, whose extra fields hold the sizes.
  Open(ZipWriter(zip).Prepend("stub").Build(), "moved.zip");
  EXPECT_TRUE(zip_->Recovered());
  EXPECT_EQ(Extract("ppt\\slides\\slide1.xml"), 1);
  EXPECT_EQ(stream_, text);
}

TEST_F(LargeArchiveTest, ReverseOrderedDirectoryIsSortedByPosition) {
  // The central records list the entries last first; the list keeps archive order.
  test::ZipLayout layout;
  const std::string bytes = ManyEntries(4).Build(&layout);
  std::string reversed = bytes.substr(0, layout.centralDirOffset);
  for (size_t i = layout.centralHeaderOffsets.size(); i-- > 0;) {
    const size_t end = i + 1 < layout.centralHeaderOffsets.size() ? layout.centralHeaderOffsets[i + 1]
                                                                   : bytes.size() - 22;
    reversed += bytes.substr(layout.centralHeaderOffsets[i], end - layout.centralHeaderOffsets[i]);
  }
  reversed += bytes.substr(bytes.size() - 22);
  Open(reversed);
  EXPECT_FALSE(zip_->Recovered());
  ASSERT_EQ(zip_->EntryCount(), 4);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ((*zip_->Entries())[i].localHeaderOffset, layout.localHeaderOffsets[i]);
    EXPECT_EQ((*zip_->Entries())[i].fileName, "e" + std::to_string(i));
  }
}

TEST_F(LargeArchiveTest, OutputBudgetCoversAllEntriesTogether) {
  const std::string data(5000, 'd');
  Open(ZipWriter().Add("a", data).Add("b", data, 0).Build());
  // Exactly what the entries hold passes; one byte less raises, with that entry's bytes kept.
  for (const bool deflated : {true, false}) {
    const std::string name = deflated ? "a" : "b";
    SCOPED_TRACE(name);
    zip_->SetOutputBudget(2 * data.size());
    EXPECT_EQ(Extract(name), 1);
    EXPECT_EQ(Extract(name), 1);
    EXPECT_EQ(zip_->OutputBudget(), 0u);
    zip_->SetOutputBudget(2 * data.size() - 1);
    EXPECT_EQ(Extract(name), 1);
    EXPECT_THROW(Extract(name), ZipTooLargeError);
    EXPECT_EQ(stream_.size(), data.size());
  }
  zip_->SetOutputBudget(ZipReader::kUnbounded);
  EXPECT_EQ(Extract("a"), 1);
}

TEST_F(LargeArchiveTest, OpenArchiveExtractsByIndex) {
  Open(ZipWriter().Add("a", "first").Add("b", "second", 0).Build());
  // The source stays open: removing its name changes nothing.
  std::filesystem::remove(dir_.Path("t.zip"));
  std::string s;
  EXPECT_TRUE(zip_->ExtractEntryToStream(1, s));
  EXPECT_TRUE(zip_->ExtractEntryToStream(0, s));
  EXPECT_FALSE(zip_->ExtractEntryToStream(2, s));
  EXPECT_EQ(s, "secondfirst");
  EXPECT_EQ(Extract("A"), 1);
}

}  // namespace
}  // namespace dkscr
