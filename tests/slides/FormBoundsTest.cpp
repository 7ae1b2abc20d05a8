// Every output form of both readers on files built to hurt (tests/support/HostileDecks.h):
// each conversion ends with -5, or with output of a bounded size, within the bounds the
// README states (512 MiB, 10 s), run in a child process under those limits.
#include <gtest/gtest.h>

#ifndef _WIN32  // child processes under limits: POSIX only
#include <string>
#include <vector>

#include "tests/support/Conversions.h"
#include "tests/support/HostileDecks.h"
#include "tests/support/ProcessGuards.h"

namespace dkscr {
namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr uint64_t kAddressSpace = 512 * kMiB;
constexpr unsigned kSeconds = 10;
constexpr SlideMode kForms[] = {SlideMode::kText, SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson};

const char* FormName(SlideMode mode) {
  switch (mode) {
    case SlideMode::kText: return "text";
    case SlideMode::kFull: return "full";
    case SlideMode::kMarkdown: return "md";
    case SlideMode::kJson: return "json";
  }
  return "?";
}

// The result code of each form, each run in a child under the limits; -100 for a child that
// died there.
std::vector<int64_t> EveryFormBounded(PresentationKind kind, const std::string& file, int32_t codePage = 65001) {
  std::vector<int64_t> codes;
  for (const SlideMode mode : kForms) {
    const auto report = test::ReportOfBoundedChild(
        [&] {
          OutputBuffer out;
          return std::to_string(test::ConvertBytes(kind, file, out, codePage, mode));
        },
        kAddressSpace, kSeconds);
    codes.push_back(report ? std::stoll(*report) : -100);
  }
  return codes;
}

// Each form ended with -5.
void ExpectRefused(const std::vector<int64_t>& codes, const char* file) {
  for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(codes[i], kResultFormatError) << file << " " << FormName(kForms[i]);
}

// Each form ended with its output, of at most `bytes`, or with -5.
void ExpectBounded(const std::vector<int64_t>& codes, int64_t bytes, const char* file) {
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_TRUE(codes[i] == kResultFormatError || (codes[i] >= 0 && codes[i] <= bytes))
        << file << " " << FormName(kForms[i]) << ": " << codes[i];
  }
}

TEST(PptxFormBounds, HugeTextRuns) {
  // 250 MiB of one run pack into 256 KB; eight such slides.
  ExpectRefused(EveryFormBounded(PresentationKind::kPptx, test::hostile::HugeRunPackage(250 * kMiB, 1)), "one run");
  ExpectRefused(EveryFormBounded(PresentationKind::kPptx, test::hostile::HugeRunPackage(250 * kMiB, 8)), "eight runs");
}

TEST(PptxFormBounds, EntriesSharingOneStreamCountEachReading) {
  // 64 slide parts whose local headers lead to one stream of 10 MiB: 640 MiB read from a
  // package of a few kilobytes, unless the stream is read once at most.
  ExpectBounded(EveryFormBounded(PresentationKind::kPptx, test::hostile::SharedStreamPackage(64, 10 * kMiB)),
                int64_t{12} * kMiB, "shared stream");
  // 250 MiB behind every entry: past what one part may hold.
  ExpectRefused(EveryFormBounded(PresentationKind::kPptx, test::hostile::SharedStreamPackage(1000, 250 * kMiB)),
                "shared 250 MiB");
}

TEST(PptxFormBounds, ElementsNestedWithoutEnd) {
  ExpectRefused(EveryFormBounded(PresentationKind::kPptx, test::hostile::NestedPackage(48'000'000)), "48M deep");
  // Within a slide's bytes and tags, nesting is still bounded by what its walk may hold.
  ExpectRefused(EveryFormBounded(PresentationKind::kPptx, test::hostile::NestedPackage(300'000)), "300K deep");
}

TEST(PptxFormBounds, OneAuthorOnEveryComment) {
  // A name of 16 MiB on 100,000 comments: held once, and too much to write 100,000 times.
  const std::vector<int64_t> codes =
      EveryFormBounded(PresentationKind::kPptx, test::hostile::AuthorPackage(16 * kMiB, 100'000));
  EXPECT_GT(codes[0], 0);  // the default text has no comments
  ExpectRefused({codes.begin() + 1, codes.end()}, "author");
}

TEST(PptxFormBounds, RaggedTablesAreNotPadded) {
  // A first row of 5,000 cells over 5,000 rows of one: 25 million cells padded.
  ExpectBounded(EveryFormBounded(PresentationKind::kPptx, test::hostile::RaggedTablePackage(5000, 5000)),
                int64_t{1} << 20, "ragged");
}

TEST(PptFormBounds, OneSlideUnderManyPersistIds) {
  // An 8 MiB text under 15 persist ids: the default text shows it 15 times, as it always has;
  // the model of all fifteen slides is past the bound of an 8 MiB file.
  const std::vector<int64_t> codes =
      EveryFormBounded(PresentationKind::kPpt, test::hostile::AmplifiedPersistPpt(15, 8 * kMiB));
  EXPECT_GT(codes[0], int64_t{15} * 8 * kMiB);
  ExpectRefused({codes.begin() + 1, codes.end()}, "amplified");
}

TEST(PptFormBounds, HalfAMillionTinyTexts) {
  ExpectBounded(EveryFormBounded(PresentationKind::kPpt, test::hostile::TinyTextsPpt(500'000)), 16 * kMiB, "tiny");
}

TEST(PptFormBounds, SparseTableGroups) {
  // 40,000 cells that would pad to 400 million. The JSON form lists each cell twice: in the
  // slide's tables and, with its spans, in its table block.
  ExpectBounded(EveryFormBounded(PresentationKind::kPpt, test::hostile::SparseTablePpt(20'000)), int64_t{2} << 20,
                "sparse");
}

}  // namespace
}  // namespace dkscr
#endif
