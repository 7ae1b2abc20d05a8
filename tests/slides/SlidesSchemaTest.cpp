// docs/slides.schema.json against what the JSON form writes: the checker itself refuses what
// the schema forbids, and every deck of the corpus validates, with each paragraph of a slide
// in its blocks exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "convert/PresentationKind.h"
#include "platform/NativePath.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonSchema.h"

namespace dkscr {
namespace {

namespace fs = std::filesystem;

std::string Problem(std::string_view json) { return test::SlidesSchemaProblem(json); }

TEST(SlidesSchema, RefusesWhatItForbids) {
  const std::string slide =
      R"({"number":1,"hidden":false,"title":"","paragraphs":[],"notes":[],"tables":[],"diagrams":[],"charts":[],)"
      R"("comments":[],"footers":[],"notes_footers":[],"id":null,"section":null,"layout":null,"blocks":[BLOCK],"links":[]})";
  auto deck = [&](std::string_view block, std::string_view metadata = "{}") {
    std::string s = slide;
    s.replace(s.find("BLOCK"), 5, block);
    return R"({"schema":"deckscribe/slides-2","metadata":)" + std::string(metadata) +
           R"(,"sections":[],"slides":[)" + s + R"(],"orphans":[]})";
  };
  const std::string text =
      R"({"type":"text","shape_id":2,"name":null,"placeholder":"body","paragraphs":[{"text":"a","level":1,"bullet":"1.","links":[]}]})";
  EXPECT_EQ(Problem(deck(text)), "");
  EXPECT_EQ(Problem(deck(R"({"type":"chart","shape_id":null,"name":"c","chart_type":"bar","title":null,)"
                         R"("series":[{"name":null,"categories":["a"],"values":[1.5,null]}]})")),
            "");
  EXPECT_EQ(Problem(deck(text, R"({"title":"T","created":"2024-05-01T09:30:00Z","custom":{"n":1,"b":true}})")), "");

  EXPECT_NE(Problem(deck(R"({"type":"sound","shape_id":2,"name":null})")), "") << "an unknown block type";
  std::string missing = text;
  missing.erase(missing.find(R"("bullet":"1.",)"), 14);
  EXPECT_NE(Problem(deck(missing)), "") << "a paragraph without its bullet";
  std::string negative = text;
  negative.replace(negative.find(R"("level":1)"), 9, R"("level":-1)");
  EXPECT_NE(Problem(deck(negative)), "");
  EXPECT_NE(Problem(deck(text, R"({"created":"May 1st"})")), "") << "a date that is no UTC timestamp";
  EXPECT_NE(Problem(deck(text, R"({"owner":"x"})")), "") << "a metadata key the schema does not name";
  EXPECT_NE(Problem(deck(R"({"type":"table","shape_id":1,"name":null,"rows":[[{"text":"x","row_span":0,"col_span":1}]]})")),
            "");
  std::string old = deck(text);
  old.replace(old.find("slides-2"), 8, "slides-1");
  EXPECT_NE(Problem(old), "");
}

std::string JsonOf(const OutputBuffer& out, ResultCode code) {
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
}

// The slide's paragraphs outside its tables and footers, and those of its text blocks, as
// multisets; and likewise the texts of its table cells.
void ExpectEachTextOnce(const Slide& slide, const std::string& where) {
  std::map<std::string, int> paragraphs, inBlocks;
  std::vector<bool> inTable(slide.paragraphs.size(), false);
  std::map<std::string, int> cells, cellsInBlocks;
  for (const SlideTable& table : slide.tables) {
    for (size_t i = table.firstParagraph; i < table.endParagraph && i < inTable.size(); ++i) inTable[i] = true;
    for (const auto& row : table.rows) {
      for (const std::string& cell : row) {
        if (!cell.empty()) ++cells[cell];
      }
    }
  }
  std::map<std::string, int> footers;
  for (const std::string& footer : slide.footers) ++footers[footer];
  for (size_t i = 0; i < slide.paragraphs.size(); ++i) {
    if (inTable[i]) continue;
    if (auto it = footers.find(slide.paragraphs[i]); it != footers.end() && it->second > 0) {
      --it->second;
      continue;
    }
    ++paragraphs[slide.paragraphs[i]];
  }
  for (const SlideBlock& block : slide.blocks) {
    for (const TextParagraph& paragraph : block.paragraphs) ++inBlocks[paragraph.text];
    for (const auto& row : block.rows) {
      for (const TableCell& cell : row) {
        if (!cell.text.empty()) ++cellsInBlocks[cell.text];
      }
    }
  }
  EXPECT_EQ(inBlocks, paragraphs) << where;
  EXPECT_EQ(cellsInBlocks, cells) << where;
}

TEST(SlidesSchema, EveryCorpusDeckValidatesWithEachTextOnce) {
  const fs::path dir = DKSCR_CORPUS_DIR;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  int checked = 0;
  for (const auto& item : fs::directory_iterator(dir)) {
    const std::string ext = item.path().extension().string();
    const PresentationKind kind = KindOfExtension(ext.empty() ? ext : ext.substr(1));
    if (kind == PresentationKind::kUnknown) continue;
    const std::u16string path = PathFromNative(item.path().string());
    OutputBuffer out;
    const ResultCode code = kind == PresentationKind::kPptx ? test::ConvertPptxFile(path, out, 65001, SlideMode::kJson)
                                                            : test::ConvertPptFile(path, out, 65001, SlideMode::kJson);
    if (code < 0) continue;
    ++checked;
    EXPECT_EQ(Problem(JsonOf(out, code)), "") << item.path();
    SlideDeck deck;
    if (test::ReadDeckOfFile(kind, path, deck) != 0) continue;
    for (const Slide& slide : deck.slides) {
      ExpectEachTextOnce(slide, item.path().string() + " slide " + std::to_string(slide.number));
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace dkscr
