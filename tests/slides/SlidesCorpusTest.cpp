// The real samples: the complete forms fail nowhere the default text does not, and the
// complete text and the JSON hold every line of the default text. Prints what the model holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "convert/PresentationKind.h"
#include "platform/NativePath.h"
#include "platform/Utf.h"
#include "tests/slides/DefaultLines.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

std::string Text(const OutputBuffer& out, ResultCode code) {
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
}

TEST(SlidesCorpus, CompleteFormsHoldTheDefaultText) {
  const fs::path dir = DKSCR_CORPUS_DIR;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  struct Counts {
    int files = 0, slides = 0, withNotes = 0, tables = 0, withDiagrams = 0, withCharts = 0, comments = 0, hidden = 0;
  } counts[2];
  for (const auto& item : fs::directory_iterator(dir)) {
    const std::string ext = item.path().extension().string();
    const PresentationKind kind = KindOfExtension(ext.empty() ? ext : ext.substr(1));
    if (kind == PresentationKind::kUnknown) continue;
    const bool pptx = kind == PresentationKind::kPptx;
    const std::u16string path = PathFromNative(item.path().string());
    const auto convert = [pptx](const std::u16string& file, SlideMode mode, int32_t codePage, OutputBuffer& out) {
      return pptx ? test::ConvertPptxFile(file, out, codePage, mode) : test::ConvertPptFile(file, out, codePage, mode);
    };
    OutputBuffer defaultOut, fullOut, jsonOut, markdownOut;
    const ResultCode defaultCode = convert(path, SlideMode::kText, 65001, defaultOut);
    const ResultCode code = convert(path, SlideMode::kFull, 65001, fullOut);
    const ResultCode jsonCode = convert(path, SlideMode::kJson, 65001, jsonOut);
    const ResultCode markdownCode = convert(path, SlideMode::kMarkdown, 65001, markdownOut);
    if (defaultCode < 0) {
      EXPECT_EQ(code, defaultCode) << item.path();
      EXPECT_EQ(jsonCode, defaultCode) << item.path();
      EXPECT_EQ(markdownCode, defaultCode) << item.path();
      continue;
    }
    ASSERT_GE(code, 0) << item.path();
    ASSERT_GE(markdownCode, 0) << item.path();
    ASSERT_GT(jsonCode, 0) << item.path();
    EXPECT_TRUE(test::JsonParser::Parse(Text(jsonOut, jsonCode)).has_value()) << item.path();
    Counts& count = counts[pptx ? 1 : 0];
    ++count.files;
    const std::string text = Text(defaultOut, defaultCode);
    EXPECT_EQ(test::LinesMissingFrom(text, Text(fullOut, code)), std::vector<std::string>{}) << item.path();
    EXPECT_EQ(test::LinesMissingFromJson(text, Text(jsonOut, jsonCode)), std::vector<std::string>{}) << item.path();
    SlideDeck deck;
    if (pptx) {
      ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPptx, path, deck), 0);
    } else {
      ASSERT_EQ(test::ReadDeckOfFile(PresentationKind::kPpt, path, deck), 0);
    }
    for (const Slide& slide : deck.slides) {
      ++count.slides;
      count.withNotes += !slide.notes.empty();
      count.tables += static_cast<int>(slide.tables.size());
      count.withDiagrams += !slide.diagrams.empty();
      count.withCharts += !slide.charts.empty();
      count.comments += static_cast<int>(slide.comments.size());
      count.hidden += slide.hidden;
    }
  }
  for (const int pptx : {0, 1}) {
    const Counts& c = counts[pptx];
    std::cout << "corpus " << (pptx ? "Open XML" : "binary") << ": " << c.files << " files, " << c.slides
              << " slides; with notes " << c.withNotes << ", tables " << c.tables << ", with SmartArt "
              << c.withDiagrams << ", with charts " << c.withCharts << ", comments " << c.comments << ", hidden "
              << c.hidden << "\n";
  }
}

}  // namespace
}  // namespace dkscr
