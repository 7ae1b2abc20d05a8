// The output forms on hand-made decks: Markdown that never turns text into markup, JSON that
// stays valid whatever the text holds, and tables placed where they stand.
#include <gtest/gtest.h>

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
