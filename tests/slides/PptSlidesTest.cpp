// The slide model of binary presentations built here: list order, hidden slides, titles from
// the text type, paragraphs and line breaks, groups, notes tied by slide id with their
// slide-number and image placeholders left out, and comments.
#include <gtest/gtest.h>

#include "ppt/ShapeGroups.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptBuilder.h"

namespace dkscr {
namespace {

using namespace test;

constexpr uint16_t kSlideShowSlideInfoAtom = 0x03F9;

std::string HiddenInfo(bool hidden) {
  return Atom(kSlideShowSlideInfoAtom, Le32(0) + Le32(0) + std::string(2, '\0') +
                                           std::string(1, hidden ? '\x04' : '\x01') + std::string(5, '\0'));
}

std::string Comment(std::u16string_view author, std::u16string_view text) {
  const std::string comment = Container(0x2EE0, {Atom(0x0FBA, Utf16Le(author), 0), Atom(0x0FBA, Utf16Le(text), 1),
                                                 Atom(0x0FBA, Utf16Le(u"A"), 2), Atom(0x2EE1, std::string(28, '\0'))});
  return Container(0x1388, {Container(0x138A, {Container(0x138B, {comment})})});
}

// Slide B (persist 4) is listed before slide A (persist 3); A is hidden, has a title through
// the slide list, a text box with two paragraphs and a line break, a group in a group and a
// comment; the notes page (persist 5) names A by its slide id.
std::string MakeDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::string group =
      Container(rt::kSpgrContainer, {Container(rt::kSpContainer, {}),
                                     Container(rt::kSpgrContainer, {ShapeWithText({TextHeaderAtom(4), ShapeText(u"Deep")})})});
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(300), HiddenInfo(true),
                                                  Drawing({ShapeWithText({OutlineTextRefAtom(0)}),
                                                           ShapeWithText({TextHeaderAtom(4), TextCharsAtom(u"one\vtwo\r\rthree \u20AC")}),
                                                           group}),
                                                  Comment(u"Ann", u"Looks good")}));
  offsets[4] = doc.Append(Container(rt::kSlide, {SlideAtom(0), HiddenInfo(false),
                                                  Drawing({ShapeWithText({TextHeaderAtom(4), ShapeText(u"No title here")})})}));
  offsets[5] = doc.Append(Container(rt::kNotes, {NotesAtom(256),
                                                  Drawing({PlaceholderShape(0x0B, {}),
                                                           PlaceholderShape(0x0C, {TextHeaderAtom(2), ShapeText(u"Remember\rthis")}),
                                                           PlaceholderShape(0x08, {TextHeaderAtom(4), ShapeText(u"*")})})}));
  const std::vector<std::string> slides = {SlidePersistAtom(4, 257), SlidePersistAtom(3, 256), TextHeaderAtom(0),
                                           ShapeText(u"Title A")};
  offsets[1] = doc.Append(Container(rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1),
                                                     Container(rt::kSlideListWithText, slides, 0),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(5, 300)}, 2)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

TEST(PptSlides, ModelFollowsTheSlideList) {
  const std::string image = MakeDeck();
  SlideDeck deck;
  ASSERT_EQ(test::ReadPptDeck(image, deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  const Slide& b = deck.slides[0];
  EXPECT_EQ(b.number, 1);
  EXPECT_FALSE(b.hidden);
  EXPECT_EQ(b.title, "");
  EXPECT_EQ(b.paragraphs, std::vector<std::string>{"No title here"});
  EXPECT_TRUE(b.notes.empty());

  const Slide& a = deck.slides[1];
  EXPECT_EQ(a.number, 2);
  EXPECT_TRUE(a.hidden);
  EXPECT_EQ(a.title, "Title A");
  EXPECT_EQ(a.paragraphs, (std::vector<std::string>{"Title A", "one\ntwo", "three \xE2\x82\xAC", "Deep"}));
  EXPECT_EQ(a.notes, (std::vector<std::string>{"Remember", "this"}));
  ASSERT_EQ(a.comments.size(), 1u);
  EXPECT_EQ(a.comments[0].author, "Ann");
  EXPECT_EQ(a.comments[0].text, "Looks good");
}

TEST(PptSlides, EveryFormOfOneDeck) {
  const std::string image = MakeDeck();
  auto convert = [&](SlideMode mode, int32_t codePage) {
    OutputBuffer out;
    const ResultCode code = test::ConvertPptBytes(image, out, codePage, mode);
    EXPECT_GT(code, 0);
    return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
  };
  EXPECT_EQ(convert(SlideMode::kFull, 1252),
            "Slide 1\r\nNo title here\r\n\r\nSlide 2 (hidden)\r\nTitle A\r\none\r\ntwo\r\nthree \x80\r\nDeep\r\n"
            "Notes:\r\nRemember\r\nthis\r\nAnn: Looks good\r\n");
  EXPECT_EQ(convert(SlideMode::kMarkdown, 1252),
            "## 1.\n\nNo title here\n\n## 2. Title A (hidden)\n\none\\\ntwo\n\nthree \xE2\x82\xAC\n\nDeep\n\n"
            "### Notes\n\nRemember\n\nthis\n\n### Comments\n\n- Ann: Looks good\n\n");
  const auto json = JsonParser::Parse(convert(SlideMode::kJson, 1252));
  ASSERT_TRUE(json.has_value());
  EXPECT_EQ((*json)["slides"][1]["notes"].Strings(), (std::vector<std::string>{"Remember", "this"}));
  EXPECT_EQ((*json)["slides"][1]["title"].text, "Title A");
  // The default text is still the converter's own: master text never, notes pages after the slides.
  const std::string text = convert(SlideMode::kText, 1252);
  EXPECT_EQ(text.find("Master text"), std::string::npos);
  EXPECT_NE(text.find("No title here\r\n"), std::string::npos);
}

TEST(PptSlides, DeepGroupsCostNoStack) {
  // 100000 group containers, one inside the other, around one shape with text.
  constexpr uint32_t kDepth = 100000;
  const std::string shape = ShapeWithText({TextHeaderAtom(4), ShapeText(u"bottom")});
  std::string nested;
  for (uint32_t i = 0; i < kDepth; ++i) {
    nested += RecordHeader(0x0F, 0, rt::kSpgrContainer, static_cast<uint32_t>(shape.size()) + 8 * (kDepth - 1 - i));
  }
  nested += shape;
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Container(rt::kPPDrawing, {nested})}));
  offsets[1] = doc.Append(Container(rt::kDocument, {Container(rt::kSlideListWithText, {SlidePersistAtom(3)}, 0)}));
  doc.AppendSave(offsets, 1);
  const std::string image = BuildCfb(PresentationStreams(doc));
  SlideDeck deck;
  ASSERT_EQ(test::ReadPptDeck(image, deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"bottom"});
}

// A shape of a group: its type, its place (left, top, right, bottom) and its text.
std::string Member(uint16_t shapeType, int32_t left, int32_t top, int32_t right, int32_t bottom, std::u16string_view text) {
  std::vector<std::string> records = {Atom(0xF00A, Le32(0) + Le32(0xA02), shapeType, 2),
                                      Atom(0xF00F, Le32(left) + Le32(top) + Le32(right) + Le32(bottom))};
  if (!text.empty()) records.push_back(Container(rt::kClientTextbox, {TextHeaderAtom(4), ShapeText(text)}));
  return Container(rt::kSpContainer, records);
}

// A group whose own shape carries the given properties (id, value) in its tertiary table.
std::string Group(const std::vector<std::pair<uint16_t, uint32_t>>& properties, const std::vector<std::string>& members) {
  std::string table;
  for (const auto& [id, value] : properties) table += Le16(id) + Le32(value);
  std::vector<std::string> children = {Container(rt::kSpContainer, {Atom(0xF009, std::string(16, '\0'), 0, 1),
                                                                    Atom(0xF00A, Le32(0) + Le32(0x201), 0, 2),
                                                                    Atom(0xF122, table, static_cast<uint16_t>(properties.size()), 3)})};
  children.insert(children.end(), members.begin(), members.end());
  return Container(rt::kSpgrContainer, children);
}

// A 3 x 3 table, its cells stored column by column, with borders: "Wide" spans two columns,
// "x" / "y" two rows. Then an organization chart and a group whose table flag is clear.
std::string MakeTableDeck() {
  const std::string table = Group({{0x039F, 1}}, {Member(20, 0, 0, 300, 0, u""), Member(1, 0, 0, 100, 50, u"Head A"),
                                                  Member(1, 0, 50, 100, 150, u"x\ry"), Member(1, 100, 50, 200, 100, u""),
                                                  Member(1, 100, 100, 200, 150, u"p"), Member(1, 100, 0, 300, 50, u"Wide"),
                                                  Member(1, 200, 50, 300, 100, u"z"), Member(1, 200, 100, 300, 150, u"q"),
                                                  Member(20, 0, 150, 300, 150, u"")});
  const std::string chart = Group({{0x0500, 1}}, {Member(1, 0, 0, 9, 9, u"Boss"), Member(1, 0, 9, 9, 19, u"Aide")});
  const std::string plain = Group({{0x039F, 2}}, {Member(1, 0, 0, 9, 9, u"Loose")});
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({TextHeaderAtom(0), ShapeText(u"Sales")}),
                                                                        table, chart, plain})}));
  offsets[1] = doc.Append(Container(rt::kDocument, {Container(rt::kSlideListWithText, {SlidePersistAtom(3)}, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

TEST(PptSlides, TablesAndDiagramsInEveryForm) {
  const std::string image = MakeTableDeck();
  SlideDeck deck;
  ASSERT_EQ(test::ReadPptDeck(image, deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  const Slide& slide = deck.slides[0];
  EXPECT_EQ(slide.paragraphs, (std::vector<std::string>{"Sales", "Head A", "Wide", "x", "y", "z", "p", "q", "Loose"}));
  ASSERT_EQ(slide.tables.size(), 1u);
  EXPECT_EQ(slide.tables[0].rows,
            (std::vector<std::vector<std::string>>{{"Head A", "Wide", ""}, {"x\ny", "", "z"}, {"", "p", "q"}}));
  EXPECT_EQ(slide.tables[0].firstParagraph, 1u);
  EXPECT_EQ(slide.tables[0].endParagraph, 8u);
  EXPECT_EQ(slide.diagrams, (std::vector<std::string>{"Boss", "Aide"}));

  auto convert = [&](SlideMode mode) {
    OutputBuffer out;
    const ResultCode code = test::ConvertPptBytes(image, out, 1252, mode);
    EXPECT_GT(code, 0);
    return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
  };
  EXPECT_EQ(convert(SlideMode::kFull), "Slide 1\r\nSales\r\nHead A\tWide\t\r\nx y\t\tz\r\n\tp\tq\r\nLoose\r\nBoss\r\nAide\r\n");
  EXPECT_EQ(convert(SlideMode::kMarkdown),
            "## 1. Sales\n\n| Head A | Wide |  |\n| --- | --- | --- |\n| x y |  | z |\n|  | p | q |\n\nLoose\n\nBoss\n\nAide\n\n");
  const auto json = JsonParser::Parse(convert(SlideMode::kJson));
  ASSERT_TRUE(json.has_value());
  const auto& rows = (*json)["slides"][0]["tables"][0];
  ASSERT_EQ(rows.items.size(), 3u);
  EXPECT_EQ(rows[1].Strings(), (std::vector<std::string>{"x\ny", "", "z"}));
  EXPECT_EQ(rows[2].Strings(), (std::vector<std::string>{"", "p", "q"}));
  EXPECT_EQ((*json)["slides"][0]["diagrams"].Strings(), (std::vector<std::string>{"Boss", "Aide"}));
}

TEST(PptSlides, CellsScatteredLikeNoTableCostNoGrid) {
  // 1000 cells on a diagonal would make a grid of a million positions: one row per cell instead.
  std::vector<ShapePlace> diagonal;
  for (int32_t i = 0; i < 1000; ++i) diagonal.push_back({i, 999 - i});
  const CellGrid grid = LayOutTableCells(diagonal);
  ASSERT_EQ(grid.size(), 1000u);
  for (size_t r = 0; r < grid.size(); ++r) EXPECT_EQ(grid[r], (std::vector<std::vector<size_t>>{{r}}));
  // Two cells in one place share it, in the order stored; a full grid keeps its empty places.
  EXPECT_EQ(LayOutTableCells({{5, 5}, {0, 0}, {5, 5}}),
            (CellGrid{{{1}, {}}, {{}, {0, 2}}}));
}

TEST(PptSlides, EncryptedAndForeignFiles) {
  PptStreamBuilder doc;
  doc.AppendSave({{1, doc.Append(Container(rt::kDocument, {}))}}, 1);
  OutputBuffer out;
  EXPECT_EQ(test::ConvertPptBytes(BuildCfb(PresentationStreams(doc, kTokenEncrypted)), out, 65001, SlideMode::kJson),
            kResultEncrypted);
  EXPECT_EQ(test::ConvertPptBytes("not a compound document", out, 65001, SlideMode::kJson), kResultFormatError);
  // A password-protected .pptx taken for a .ppt (by its name, or by its content as dkscrbatch
  // and the C interface take it) is refused as encrypted in every mode, not read as empty.
  const std::string locked = BuildCfb({{u"EncryptionInfo", std::string(200, '\x04')}, {u"EncryptedPackage", "PK"}});
  for (const SlideMode mode : {SlideMode::kText, SlideMode::kFull, SlideMode::kJson}) {
    EXPECT_EQ(test::ConvertPptBytes(locked, out, 65001, mode), kResultEncrypted);
  }
  // A compound document without a presentation: no slides, as the default gives no text.
  const ResultCode code = test::ConvertPptBytes(BuildCfb({{u"Other", "x"}}), out, 65001, SlideMode::kJson);
  ASSERT_GT(code, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)), "{\"slides\":[],\"orphans\":[]}\n");
}

}  // namespace
}  // namespace dkscr
