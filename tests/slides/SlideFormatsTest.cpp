// The output forms on hand-made decks: Markdown that never turns text into markup, JSON that
// stays valid whatever the text holds, and tables placed where they stand.
#include <gtest/gtest.h>

#include "model/MarkdownEscape.h"
#include "model/SlideFormats.h"
#include "tests/support/JsonValue.h"

namespace dkscr {
namespace {

using test::JsonParser;

Slide OneParagraph(std::string text) {
  Slide slide;
  slide.number = 1;
  slide.paragraphs.push_back(std::move(text));
  return slide;
}

// Blocks in Markdown: links whose targets hold markup, list items of several lines, pictures
// without alt text left out, hostile spans kept small, and SmartArt levels that jump.
TEST(SlideFormats, MarkdownOfBlocksStaysMarkupSafe) {
  SlideDeck deck;
  Slide& slide = deck.slides.emplace_back();
  slide.number = 1;
  SlideBlock text;
  TextParagraph item{"a *b* c\nnext", 0, "\xE2\x96\xAA", {{"*b*", "http://x/(y) z", 2}}};
  text.paragraphs = {item, {"9 lives", 1, "iv.", {}}, {"[x]", 0, std::nullopt, {{"[x]", "<evil>", 0}}}};
  slide.blocks.push_back(text);
  SlideBlock picture;
  picture.type = BlockType::kPicture;
  picture.image = "ppt/media/a b.png";
  slide.blocks.push_back(picture);
  SlideBlock table;
  table.type = BlockType::kTable;
  table.rows = {{{"wide", 65535, 65535}}, {{"under", 1, 1}}};
  slide.blocks.push_back(table);
  SlideBlock diagram;
  diagram.type = BlockType::kDiagram;
  diagram.items = {{"top", 0}, {"deep", 5}, {"| pipe", 1}};
  slide.blocks.push_back(diagram);
  const std::string md = MarkdownText(deck);
  EXPECT_TRUE(md.starts_with("## 1.\n\n- a [\\*b\\*](http://x/\\(y\\)%20z) c\\\n  next\n  - iv. 9 lives\n\n"
                             "[\\[x\\]](%3Cevil%3E)\n\n| wide |"))
      << md;
  EXPECT_EQ(md.find("!["), std::string::npos) << "a picture without alt text adds nothing";
  EXPECT_LT(md.size(), 2000u) << "spans are bounded by the table";
  EXPECT_TRUE(md.ends_with("- top\n  - deep\n  - \\| pipe\n\n")) << md;
}


TEST(SlideFormats, MarkdownEscapesMarkup) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"*bold* _it_ `code`", "\\*bold\\* \\_it\\_ \\`code\\`"},
      {"# not a heading", "\\# not a heading"},
      {"- not a list", "\\- not a list"},
      {"+ not a list", "\\+ not a list"},
      {"12. not a list", "12\\. not a list"},
      {"3) not a list", "3\\) not a list"},
      {"===", "\\==="},
      {"[link](x) <b> &amp; a|b ~~s~~ \\", "\\[link\\](x) \\<b\\> \\&amp; a\\|b \\~\\~s\\~\\~ \\\\"},
      {"    four blanks", "four blanks"},
      {"well-known 1.5 #tag", "well-known 1.5 #tag"},
  };
  for (const auto& c : cases) {
    SlideDeck deck;
    deck.slides.push_back(OneParagraph(c.text));
    EXPECT_EQ(MarkdownText(deck), "## 1.\n\n" + std::string(c.line) + "\n\n") << c.text;
  }
}

TEST(SlideFormats, MarkdownMarkupFoundAtEveryPlaceOfALongRun) {
  // Runs without markup are scanned sixteen bytes at a time: a markup character is escaped
  // wherever it stands in a run of any length, and punctuation next to it is left alone.
  const std::string markup = "\\`*_[]<>|~&";
  const std::string plain = "%{}^@#$=+-!\"'(),./:;?\x7F\xC3\xA9";
  for (size_t length = 2; length <= 48; ++length) {
    for (size_t at = 1; at < length; ++at) {
      for (const char c : markup) {
        std::string text(length, 'a');
        text[at] = c;
        std::string expected(at, 'a');
        expected += '\\';
        expected += c;
        expected += std::string(length - at - 1, 'a');
        EXPECT_EQ(MarkdownCell(text), expected) << c << " at " << at << " of " << length;
      }
      std::string text(length, 'b');
      text[at] = plain[(length + at) % plain.size()];
      EXPECT_EQ(MarkdownCell(text), text) << "plain " << text;
    }
  }
}

TEST(SlideFormats, MarkdownLineBreaksNeverStartMarkup) {
  // A CR, a CR LF and a LF each end a line in Markdown; text holding any of them, in every place
  // text goes, must not start a heading or list item of its own.
  for (const std::string_view brk : {"\r", "\r\n", "\n"}) {
    const std::string evil = "a" + std::string(brk) + "# injected";
    SlideDeck deck;
    Slide slide = OneParagraph(evil + std::string(brk));  // and a break at the paragraph's end
    slide.title = evil;
    slide.titleBegin = slide.titleEnd = 1;
    slide.tables.push_back({{{evil}}, 1, 1});
    slide.notes.push_back(evil);
    slide.comments.push_back({evil, evil});
    deck.slides.push_back(slide);
    deck.orphans.push_back(evil);
    const std::string md = MarkdownText(deck);
    const std::string label = brk == "\n" ? "LF" : brk == "\r" ? "CR" : "CR LF";
    EXPECT_EQ(md,
              "## 1. a # injected\n\n"
              "a\\\n\\# injected\n\n"
              "| a # injected |\n| --- |\n\n"
              "### Notes\n\na\\\n\\# injected\n\n"
              "### Comments\n\n- a # injected: a # injected\n\n"
              "## Not on a slide\n\na\\\n\\# injected\n\n")
        << label;
    EXPECT_EQ(md.find('\r'), std::string::npos) << label;
  }
}

TEST(SlideFormats, MarkdownHeadingsKeepTheirText) {
  const struct {
    const char* title;
    const char* heading;
  } cases[] = {
      {"Item #", "## 1. Item \\#"},       // not a closing sequence
      {"Item ##", "## 1. Item \\##"},
      {"C#", "## 1. C#"},
      {"two\r\n\r\nlines", "## 1. two  lines"},
  };
  for (const auto& c : cases) {
    SlideDeck deck;
    deck.slides.push_back(OneParagraph("x"));
    deck.slides[0].title = c.title;
    EXPECT_EQ(MarkdownText(deck).substr(0, MarkdownText(deck).find('\n')), c.heading) << c.title;
  }
  // Blank lines inside a paragraph neither split it nor leave a backslash at its end.
  SlideDeck deck;
  deck.slides.push_back(OneParagraph("one\n\ntwo\n"));
  EXPECT_EQ(MarkdownText(deck), "## 1.\n\none\\\ntwo\n\n");
}

TEST(SlideFormats, MarkdownIsUtf8WhateverTheText) {
  SlideDeck deck;
  deck.slides.push_back(OneParagraph(std::string("a\xFF" "b\xE2\x82" "c\xED\xA0\x80" "\xC3\xA9")));
  deck.slides[0].comments.push_back({"\x80", "ok"});
  const std::string r = "\xEF\xBF\xBD";
  EXPECT_EQ(MarkdownText(deck), "## 1.\n\na" + r + "b" + r + "c" + r + r + r + "\xC3\xA9\n\n### Comments\n\n- " + r +
                                    ": ok\n\n");
}

TEST(SlideFormats, JsonStaysValidForAnyText) {
  SlideDeck deck;
  // Quotes, backslashes, control characters, a lone continuation byte, a truncated sequence,
  // a surrogate encoded in UTF-8 and a character beyond the BMP.
  deck.slides.push_back(OneParagraph(std::string("q\"b\\c\x01\x1F\t\r\n", 11) + "\x80" + "\xE2\x82" + "\xED\xA0\x80" +
                                     "\xF0\x9F\x98\x80"));
  deck.slides[0].comments.push_back({"A\"", "t"});
  const std::string json = JsonText(deck);
  const auto value = JsonParser::Parse(json);
  ASSERT_TRUE(value.has_value()) << json;
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ((*value)["slides"][0]["paragraphs"][0].text,
            std::string("q\"b\\c\x01\x1F\t\r\n", 11) + replacement + replacement + replacement + replacement + replacement +
                "\xF0\x9F\x98\x80");
  EXPECT_EQ((*value)["slides"][0]["comments"][0]["author"].text, "A\"");
}

TEST(SlideFormats, JsonSlideMembersInOrderWhicheverListsAreEmpty) {
  // Each list of a slide holding one item in turn, then none: the members keep their order and
  // their values; blocks and links, ids and names, with and without them.
  const std::vector<std::string> lists = {"notes", "tables", "diagrams", "charts", "comments", "footers", "notes_footers"};
  for (size_t filled = 0; filled <= lists.size(); ++filled) {
    Slide slide = OneParagraph("p");
    slide.number = 12345;
    slide.hidden = filled % 2 == 0;
    if (filled == 0) slide.notes = {"n"};
    if (filled == 1) slide.tables.push_back({{{"t"}}, 1, 1});
    if (filled == 2) slide.diagrams = {"d"};
    if (filled == 3) slide.charts = {"c"};
    if (filled == 4) slide.comments.push_back({"a", "m"});
    if (filled == 5) slide.footers = {"f"};
    if (filled == 6) slide.notesFooters = {"g"};
    if (filled % 2 == 1) {
      slide.id = 4000000000u;
      slide.links = {"https://x"};
      SlideBlock block;
      block.shapeId = 7;
      block.name = "Name";
      block.paragraphs.push_back({"p", 1, std::nullopt, {}, 0});
      slide.blocks.push_back(block);
      SlideBlock picture;
      picture.type = BlockType::kPicture;
      slide.blocks.push_back(picture);
    }
    SlideDeck deck;
    deck.slides.push_back(slide);
    const std::string json = JsonText(deck);
    const auto value = JsonParser::Parse(json);
    ASSERT_TRUE(value.has_value()) << json;
    const test::JsonValue& read = (*value)["slides"][0];
    const std::vector<std::string> names = {"number", "hidden", "title", "paragraphs", "notes", "tables", "diagrams",
                                            "charts", "comments", "footers", "notes_footers", "id", "section",
                                            "layout", "blocks", "links"};
    EXPECT_EQ(read.names, names) << json;
    EXPECT_EQ(read["number"].number, 12345);
    EXPECT_EQ(read["hidden"].boolean, filled % 2 == 0);
    for (size_t l = 0; l < lists.size(); ++l) {
      EXPECT_EQ(read[lists[l]].items.size(), l == filled ? 1u : 0u) << lists[l] << " in " << json;
    }
    if (filled % 2 == 1) {
      EXPECT_EQ(read["id"].number, 4000000000.0);
      EXPECT_EQ(read["links"].Strings(), std::vector<std::string>{"https://x"});
      ASSERT_EQ(read["blocks"].items.size(), 2u);
      EXPECT_EQ(read["blocks"][0]["shape_id"].number, 7);
      EXPECT_EQ(read["blocks"][0]["name"].text, "Name");
      EXPECT_EQ(read["blocks"][0]["placeholder"].kind, test::JsonValue::Kind::kNull);
      EXPECT_EQ(read["blocks"][0]["paragraphs"][0]["level"].number, 1);
      EXPECT_EQ(read["blocks"][1]["type"].text, "picture");
      EXPECT_EQ(read["blocks"][1]["shape_id"].kind, test::JsonValue::Kind::kNull);
    } else {
      EXPECT_EQ(read["id"].kind, test::JsonValue::Kind::kNull);
      EXPECT_TRUE(read["links"].items.empty());
      EXPECT_TRUE(read["blocks"].items.empty());
    }
  }
}

TEST(SlideFormats, TablesStandWhereTheirParagraphsStood) {
  Slide slide;
  slide.number = 4;
  slide.paragraphs = {"before", "a", "b", "after"};
  slide.tables.push_back({{{"a", "b"}}, 1, 3});
  slide.tables.push_back({{}, 4, 4});  // a table without text, at the end
  SlideDeck deck;
  deck.slides.push_back(slide);
  EXPECT_EQ(CompleteText(deck), "Slide 4\nbefore\na\tb\nafter\n");
  EXPECT_EQ(MarkdownText(deck), "## 4.\n\nbefore\n\n| a | b |\n| --- | --- |\n\nafter\n\n");
}

TEST(SlideFormats, ModesByName) {
  EXPECT_EQ(ParseSlideMode("TEXT"), SlideMode::kText);
  EXPECT_EQ(ParseSlideMode("full"), SlideMode::kFull);
  EXPECT_EQ(ParseSlideMode("Md"), SlideMode::kMarkdown);
  EXPECT_EQ(ParseSlideMode("json"), SlideMode::kJson);
  EXPECT_FALSE(ParseSlideMode("markdown").has_value());
  EXPECT_FALSE(ParseSlideMode("").has_value());
}

}  // namespace
}  // namespace dkscr
