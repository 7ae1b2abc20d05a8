// The real samples: the complete text fails nowhere the default text does not, and holds every
// line of the default text. Prints what the complete text adds.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "core/KelPptCvt.h"
#include "core/NativePath.h"
#include "core/PptSlides.h"
#include "core/Utf.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/PptxSlides.h"
#include "openxml/XmlPullReader.h"

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
  int files = 0, slides = 0, withNotes = 0, tables = 0, withDiagrams = 0, withCharts = 0, comments = 0, hidden = 0;
  for (const auto& item : fs::directory_iterator(dir)) {
    const std::string ext = item.path().extension().string();
    const bool pptx = ext == ".pptx";
    if (ext != ".ppt" && !pptx) continue;
    const std::u16string path = PathFromNative(item.path().string());
    OutputBuffer defaultOut, fullOut;
    const ResultCode defaultCode = pptx ? ConvertPptx(path, defaultOut, 65001) : ConvertPpt(path, defaultOut, 65001);
    const ResultCode code = pptx ? ConvertPptxSlides(path, SlideMode::kFull, 65001, fullOut)
                                 : ConvertPptSlides(path, SlideMode::kFull, 65001, fullOut);
    if (defaultCode < 0) {
      EXPECT_EQ(code, defaultCode) << item.path();
      continue;
    }
    ASSERT_GE(code, 0) << item.path();
    ++files;
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
      ++slides;
      withNotes += !slide.notes.empty();
      tables += static_cast<int>(slide.tables.size());
      withDiagrams += !slide.diagrams.empty();
      withCharts += !slide.charts.empty();
      comments += static_cast<int>(slide.comments.size());
      hidden += slide.hidden;
    }
  }
  std::cout << "corpus: " << files << " files, " << slides << " slides; with notes " << withNotes << ", tables "
            << tables << ", with SmartArt " << withDiagrams << ", with charts " << withCharts << ", comments "
            << comments << ", hidden " << hidden << "\n";
}

}  // namespace
}  // namespace dkscr
