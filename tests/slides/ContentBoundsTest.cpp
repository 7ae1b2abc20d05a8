// The content forms (blocks, lists, charts, metadata) within the deck's output bound: a small
// model that would make a large form ends with -5 instead, and a bound above the form's size
// changes none of its bytes.
#include <gtest/gtest.h>

#include <string>

#include "model/ModelBudget.h"
#include "model/SlideFormats.h"

namespace dkscr {
namespace {

constexpr uint64_t kBound = 64 * 1024;
constexpr SlideMode kForms[] = {SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson};

ResultCode Encode(const SlideDeck& deck, SlideMode mode) {
  OutputBuffer out;
  return EncodeSlides(deck, mode, 65001, out);
}

SlideDeck OneSlide(SlideBlock block) {
  SlideDeck deck;
  Slide& slide = deck.slides.emplace_back();
  slide.number = 1;
  slide.blocks.push_back(std::move(block));
  return deck;
}

TEST(ContentBounds, SparseMergedTableIsRefusedNotPadded) {
  // One row of 1,500 cells, then 1,500 rows of one cell spanning every row and column: a pipe
  // table of 1,500 x 1,564 positions (7 MB) from 3,000 cells.
  SlideBlock table;
  table.type = BlockType::kTable;
  table.rows.emplace_back(1500, TableCell{"x", 1, 1});
  for (int r = 0; r < 1500; ++r) table.rows.push_back({TableCell{"y", 65535, 65535}});
  SlideDeck deck = OneSlide(table);
  deck.outputBound = kBound;
  EXPECT_EQ(Encode(deck, SlideMode::kMarkdown), kResultFormatError);
  EXPECT_THROW(MarkdownText(deck), ModelTooLargeError);
}

TEST(ContentBounds, ChartCrossingShortAndLongSeriesIsRefused) {
  // 2,000 series of one value and one of 2,000 categories: a table of 4 million cells.
  SlideBlock chart;
  chart.type = BlockType::kChart;
  ChartSeries longOne;
  longOne.categories.assign(2000, "c");
  chart.series.push_back(longOne);
  for (int s = 0; s < 2000; ++s) chart.series.push_back({std::nullopt, {}, {1.0}});
  SlideDeck deck = OneSlide(chart);
  deck.outputBound = kBound;
  EXPECT_EQ(Encode(deck, SlideMode::kMarkdown), kResultFormatError);
  EXPECT_EQ(Encode(deck, SlideMode::kJson), kResultFormatError);
}

TEST(ContentBounds, DeepListLevelsAreCountedInEveryForm) {
  // Paragraphs at level 30,000: 60,000 blanks before each in the complete text, and items
  // nested ever deeper in Markdown.
  SlideDeck deck;
  Slide& slide = deck.slides.emplace_back();
  slide.number = 1;
  SlideBlock text;
  for (int p = 0; p < 64; ++p) {
    slide.paragraphs.push_back("p");
    text.paragraphs.push_back({"p", p == 0 ? 0 : 30000 + p, "-", {}, static_cast<size_t>(p)});
  }
  slide.blocks.push_back(text);
  deck.outputBound = kBound;
  EXPECT_EQ(Encode(deck, SlideMode::kFull), kResultFormatError);
  // Markdown nests an item one deeper than the one above it: its indent grows by two a level.
  for (int p = 0; p < 64; ++p) slide.blocks[0].paragraphs[p].text = std::string(2000, 'p') + "\nmore";
  EXPECT_EQ(Encode(deck, SlideMode::kMarkdown), kResultFormatError);
}

TEST(ContentBounds, MetadataAndSectionsAreCounted) {
  SlideDeck deck;
  deck.slides.emplace_back().number = 1;
  for (int i = 0; i < 64; ++i) deck.metadata.custom.push_back({"n" + std::to_string(i), {PropertyValue::Kind::kText, std::string(2048, 'v'), 0, false}});
  deck.outputBound = kBound;
  EXPECT_EQ(Encode(deck, SlideMode::kJson), kResultFormatError);
  SlideDeck sections;
  for (int s = 0; s < 64; ++s) {
    Slide& slide = sections.slides.emplace_back();
    slide.number = s + 1;
    slide.section = std::string(2048, s % 2 == 0 ? 'a' : 'b');  // named again on every slide
  }
  sections.outputBound = kBound;
  EXPECT_EQ(Encode(sections, SlideMode::kMarkdown), kResultFormatError);
}

TEST(ContentBounds, ABoundAboveTheFormChangesNoByte) {
  SlideBlock text;
  text.paragraphs = {{"one", 0, "1.", {{"one", "http://x", 0}}, 0}, {"two\r\nlines", 1, "\xE2\x80\xA2", {}, 1}};
  SlideDeck deck = OneSlide(text);
  deck.slides[0].paragraphs = {"one", "two\r\nlines"};
  SlideBlock chart;
  chart.type = BlockType::kChart;
  chart.title = "Sales";
  chart.series.push_back({"S", {"a", "b"}, {1.5, std::nullopt}});
  deck.slides[0].blocks.push_back(chart);
  deck.metadata.title = "Deck #";
  for (const SlideMode mode : kForms) {
    OutputBuffer unbounded;
    const ResultCode size = EncodeSlides(deck, mode, 65001, unbounded);
    ASSERT_GT(size, 0);
    SlideDeck exact = deck;
    exact.outputBound = static_cast<uint64_t>(size);
    OutputBuffer bounded;
    EXPECT_EQ(EncodeSlides(exact, mode, 65001, bounded), size);
    exact.outputBound = static_cast<uint64_t>(size) / 2;
    EXPECT_EQ(EncodeSlides(exact, mode, 65001, bounded), kResultFormatError);
  }
}

}  // namespace
}  // namespace dkscr
