// The real samples: the complete text fails nowhere the default text does not, and holds every
// line of the default text. Prints what the complete text adds.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "core/NativePath.h"
#include "core/PptSlides.h"
#include "core/PresentationKind.h"
#include "core/Utf.h"
#include "openxml/PptxSlides.h"
#include "openxml/XmlPullReader.h"
#include "tests/support/JsonValue.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

// Without white space: the default text trims run edges and drops line breaks inside
// paragraphs, and leaves character references as written.
std::string Squeezed(std::string_view text) {
  std::string decoded;
  AppendXmlDecoded(text, decoded);
  std::string out;
  for (char c : decoded) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v') out.push_back(c);
  }
  return out;
}

// "slide" + number + ":", the default text's header of a .pptx slide.
bool IsSlideHeader(std::string_view line) {
  if (!line.starts_with("slide") || !line.ends_with(':') || line.size() < 7) return false;
  const std::string_view digits = line.substr(5, line.size() - 6);
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string Text(const OutputBuffer& out, ResultCode code) {
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
}

TEST(SlidesCorpus, CompleteTextHoldsTheDefaultText) {
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
    const auto convert = pptx ? &ConvertPptxSlides : &ConvertPptSlides;
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
    const std::string complete = Squeezed(Text(fullOut, code));
    const std::string text = Text(defaultOut, defaultCode);
    size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (at < text.size()) {
      size_t end = text.find("\r\n", at);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(at, end - at);
      at = end + 2;
      // Slide headers are the default text's own; "*" is a notes page's slide-number field.
      if (IsSlideHeader(line) || line == "*") continue;
      EXPECT_NE(complete.find(Squeezed(line)), std::string::npos) << item.path() << ": " << line;
    }
    SlideDeck deck;
    if (pptx) {
      ASSERT_EQ(ReadPptxSlides(path, deck), 0);
    } else {
      ASSERT_EQ(ReadPptSlides(OpenDocFile(path, kStgmReadShareExclusive), deck), 0);
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
