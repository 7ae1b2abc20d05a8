// The slide model of binary presentations built here: list order, hidden slides, titles from
// the text type, paragraphs and line breaks, groups, notes tied by slide id with their
// slide-number and image placeholders left out, and comments.
#include <gtest/gtest.h>

#include "core/PptSlides.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptBuilder.h"

namespace dkscr {
namespace {

using namespace test;

constexpr uint16_t kSlideShowSlideInfoAtom = 0x03F9;
constexpr uint16_t kNotesAtom = 0x03F1;
constexpr uint16_t kClientData = 0xF011;
constexpr uint16_t kPlaceholderAtom = 0x0BC3;

std::string SlideAtom(uint32_t notesIdRef) { return Atom(rt::kSlideAtom, std::string(16, '\0') + Le32(notesIdRef) + Le32(0)); }

std::string HiddenInfo(bool hidden) {
  return Atom(kSlideShowSlideInfoAtom, Le32(0) + Le32(0) + std::string(2, '\0') +
                                           std::string(1, hidden ? '\x04' : '\x01') + std::string(5, '\0'));
}

std::string PlaceholderShape(uint8_t placement, const std::vector<std::string>& text) {
  const std::string placeholder = Atom(kPlaceholderAtom, Le32(0) + std::string(1, static_cast<char>(placement)) + std::string(3, '\0'));
  return Container(rt::kSpContainer, {Container(kClientData, {placeholder}), Container(rt::kClientTextbox, text)});
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
  offsets[5] = doc.Append(Container(rt::kNotes, {Atom(kNotesAtom, Le32(256) + Le32(0)),
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
  ASSERT_EQ(ReadPptSlides(OpenDocImage(image, kStgmReadShareExclusive), deck), 0);
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
    const ResultCode code = ConvertPptImageSlides(image, mode, codePage, out);
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
  ASSERT_EQ(ReadPptSlides(OpenDocImage(image, kStgmReadShareExclusive), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  EXPECT_EQ(deck.slides[0].paragraphs, std::vector<std::string>{"bottom"});
}

TEST(PptSlides, EncryptedAndForeignFiles) {
  PptStreamBuilder doc;
  doc.AppendSave({{1, doc.Append(Container(rt::kDocument, {}))}}, 1);
  OutputBuffer out;
  EXPECT_EQ(ConvertPptImageSlides(BuildCfb(PresentationStreams(doc, kTokenEncrypted)), SlideMode::kJson, 65001, out),
            kResultEncrypted);
  EXPECT_EQ(ConvertPptImageSlides("not a compound document", SlideMode::kJson, 65001, out), kResultFormatError);
  // A compound document without a presentation: no slides, as the default gives no text.
  const ResultCode code = ConvertPptImageSlides(BuildCfb({{u"Other", "x"}}), SlideMode::kJson, 65001, out);
  ASSERT_GT(code, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)), "{\"slides\":[]}\n");
}

}  // namespace
}  // namespace dkscr
