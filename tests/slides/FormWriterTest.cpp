// The forms written slide by slide as the readers hand the slides over give the bytes of the
// forms of the whole model, within one bound over everything they write: notes pages tied
// either way and left over in a binary deck, sections listed out of the show's order in a
// package, ill-formed UTF-8, and the block the bytes gather in.
#include <gtest/gtest.h>

#include <string>

#include "model/FormBlock.h"
#include "model/SlideFormPieces.h"
#include "model/SlideFormats.h"
#include "text/Encode.h"
#include "text/LineBreaks.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptBuilder.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using namespace test;

std::string Text(const OutputBuffer& out, ResultCode code) {
  return code >= 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
}

// The form as a conversion writes it, slide by slide.
std::string Streamed(PresentationKind kind, const std::string& image, SlideMode mode, int32_t codePage) {
  OutputBuffer out;
  const ResultCode code = ConvertBytes(kind, image, out, codePage, mode);
  EXPECT_GT(code, 0);
  return Text(out, code);
}

// The form of the whole model, read first.
std::string Whole(PresentationKind kind, const std::string& image, SlideMode mode, int32_t codePage) {
  SlideDeck deck;
  EXPECT_EQ(ReadDeckOfBytes(kind, image, deck), 0);
  OutputBuffer out;
  switch (mode) {
    case SlideMode::kMarkdown: return MarkdownText(deck);
    case SlideMode::kJson: return JsonText(deck);
    default: return Text(out, EncodeSlides(deck, mode, codePage, out));
  }
}

void ExpectStreamedAsWhole(PresentationKind kind, const std::string& image) {
  for (const SlideMode mode : {SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
    for (const int32_t codePage : {1252, 65001}) {
      EXPECT_EQ(Streamed(kind, image, mode, codePage), Whole(kind, image, mode, codePage))
          << "form " << static_cast<int>(mode) << ", code page " << codePage;
    }
  }
}

std::string NotesPage(uint32_t slideIdRef, std::u16string_view text) {
  return Container(rt::kNotes, {NotesAtom(slideIdRef), Drawing({PlaceholderShape(0x0C, {TextHeaderAtom(2), ShapeText(text)})})});
}

// Three slides: the first named by a notes page, the second naming one, the third without;
// a notes page of no slide; the first slide listed twice. The notes list comes first.
std::string MakeNotesDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({TextHeaderAtom(4), ShapeText(u"First")})})}));
  offsets[4] = doc.Append(Container(rt::kSlide, {SlideAtom(300), Drawing({ShapeWithText({TextHeaderAtom(4), ShapeText(u"Second")})})}));
  offsets[5] = doc.Append(NotesPage(0, u"Named by the second"));
  offsets[6] = doc.Append(NotesPage(256, u"Naming the first"));
  offsets[7] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({TextHeaderAtom(4), ShapeText(u"Third \u00E9")})})}));
  offsets[8] = doc.Append(NotesPage(999, u"Of no slide"));
  const std::vector<std::string> slides = {SlidePersistAtom(3, 256), SlidePersistAtom(4, 257), SlidePersistAtom(7, 258),
                                           SlidePersistAtom(3, 256)};
  const std::vector<std::string> notes = {SlidePersistAtom(8, 301), SlidePersistAtom(6, 302), SlidePersistAtom(5, 300)};
  offsets[1] = doc.Append(Container(rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                                     Container(rt::kSlideListWithText, notes, 2),
                                                     Container(rt::kSlideListWithText, slides, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

TEST(FormWriter, BinaryDeckNotesTiedAsInTheWholeModel) {
  const std::string image = MakeNotesDeck();
  ExpectStreamedAsWhole(PresentationKind::kPpt, image);
  const auto json = JsonParser::Parse(Streamed(PresentationKind::kPpt, image, SlideMode::kJson, 65001));
  ASSERT_TRUE(json.has_value());
  ASSERT_EQ((*json)["slides"].items.size(), 3u);
  EXPECT_EQ((*json)["slides"][0]["notes"].Strings(), std::vector<std::string>{"Naming the first"});
  EXPECT_EQ((*json)["slides"][1]["notes"].Strings(), std::vector<std::string>{"Named by the second"});
  EXPECT_TRUE((*json)["slides"][2]["notes"].Strings().empty());
  EXPECT_EQ((*json)["orphans"].Strings(), std::vector<std::string>{"Of no slide"});
}

// Four slides (ids 256 to 259); section "B" lists the third and the first, "A" the second and
// the first again (which "B" has), "C" a slide that is gone; the fourth is in none.
std::string MakeSectionsPackage() {
  const std::string p14 = " xmlns:p14=\"http://schemas.microsoft.com/office/powerpoint/2010/main\"";
  auto section = [](std::string_view name, std::vector<int> ids) {
    std::string xml = "<p14:section name=\"" + std::string(name) + "\" id=\"{" + std::string(name) + "}\"><p14:sldIdLst>";
    for (const int id : ids) xml += "<p14:sldId id=\"" + std::to_string(id) + "\"/>";
    return xml + "</p14:sldIdLst></p14:section>";
  };
  std::string list;
  std::vector<std::pair<std::string, std::string>> rels;
  for (int i = 1; i <= 4; ++i) {
    list += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"rId" + std::to_string(i) + "\"/>";
    rels.emplace_back("slide", "slides/slide" + std::to_string(i) + ".xml");
  }
  const std::string presentation = "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) + "><p:sldIdLst>" + list +
                                   "</p:sldIdLst><p:extLst><p:ext uri=\"{521415D9-36F7-43E2-AB2F-B90AF26B5E84}\">"
                                   "<p14:sectionLst" + p14 + ">" + section("B", {258, 256}) + section("A", {257, 256}) +
                                   section("C", {999}) + "</p14:sectionLst></p:ext></p:extLst></p:presentation>";
  ZipWriter zip;
  zip.Add("_rels/.rels", Rels({{"officeDocument", "ppt/presentation.xml"}}));
  zip.Add("ppt/presentation.xml", presentation);
  zip.Add("ppt/_rels/presentation.xml.rels", Rels(rels));
  for (int i = 1; i <= 4; ++i) {
    zip.Add("ppt/slides/slide" + std::to_string(i) + ".xml", SlideXml(Shape("title", Para("Slide " + std::to_string(i)))));
  }
  return zip.Build();
}

TEST(FormWriter, PackageSectionsPlacedAsTheShowGoes) {
  const std::string image = MakeSectionsPackage();
  ExpectStreamedAsWhole(PresentationKind::kPptx, image);
  const auto json = JsonParser::Parse(Streamed(PresentationKind::kPptx, image, SlideMode::kJson, 65001));
  ASSERT_TRUE(json.has_value());
  const JsonValue& sections = (*json)["sections"];
  ASSERT_EQ(sections.items.size(), 3u);
  EXPECT_EQ(sections[0]["name"].text, "B");
  ASSERT_EQ(sections[0]["slides"].items.size(), 2u);
  EXPECT_EQ(sections[0]["slides"][0].number, 3);  // in the section's order, not the show's
  EXPECT_EQ(sections[0]["slides"][1].number, 1);
  ASSERT_EQ(sections[1]["slides"].items.size(), 1u);
  EXPECT_EQ(sections[1]["slides"][0].number, 2);
  EXPECT_TRUE(sections[2]["slides"].items.empty());
  EXPECT_EQ(Streamed(PresentationKind::kPptx, image, SlideMode::kMarkdown, 65001),
            "# B\n\n## 1. Slide 1\n\n# A\n\n## 2. Slide 2\n\n# B\n\n## 3. Slide 3\n\n## 4. Slide 4\n\n");
}

SlideDeck DeckOfSlides(int count, const std::string& text) {
  SlideDeck deck;
  for (int i = 1; i <= count; ++i) {
    Slide slide;
    slide.number = i;
    slide.title = text;
    slide.paragraphs = {text};
    slide.titleBegin = 0;
    slide.titleEnd = 1;
    deck.slides.push_back(std::move(slide));
  }
  return deck;
}

TEST(FormWriter, OneBoundOverEverySlideWritten) {
  // Each slide's form is far within half the whole form; the ten together are not.
  SlideDeck deck = DeckOfSlides(10, std::string(100, 'x'));
  for (const SlideMode mode : {SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
    OutputBuffer out;
    const ResultCode whole = EncodeSlides(deck, mode, 65001, out);
    ASSERT_GT(whole, 0) << static_cast<int>(mode);
    const std::string written = Text(out, whole);
    deck.outputBound = static_cast<uint64_t>(whole) / 2;
    EXPECT_EQ(EncodeSlides(deck, mode, 65001, out), kResultFormatError) << static_cast<int>(mode);
    EXPECT_EQ(Text(out, whole), written) << "a failure leaves the buffer as it was";
    deck.outputBound = UINT64_MAX;
  }
}

TEST(FormWriter, IllFormedUtf8RepairedAsInTheWholeForm) {
  SlideDeck deck = DeckOfSlides(3, "a\xE2\x82");
  deck.metadata.title = "t\xC3";
  deck.slides[1].notes = {"\xF0\x9F\x98"};
  deck.orphans = {"\xFF z"};
  OutputBuffer out;
  const std::string markdown = Text(out, EncodeSlides(deck, SlideMode::kMarkdown, 65001, out));
  EXPECT_EQ(markdown, MarkdownText(deck));
  EXPECT_NE(markdown.find("a\xEF\xBF\xBD"), std::string::npos);
  EXPECT_EQ(markdown.find("\xFF"), std::string::npos);
  EXPECT_EQ(Text(out, EncodeSlides(deck, SlideMode::kJson, 65001, out)), JsonText(deck));
}

TEST(FormWriter, LongSlidePassedOnAsItIsMade) {
  // One slide of 3 MiB: its form goes on in pieces of about 1 MiB, cut wherever an addition
  // ends; sequences split at a cut and ill-formed ones repair as in the whole form.
  SlideDeck deck = DeckOfSlides(2, "t");
  for (int i = 0; i < 30'000; ++i) {
    deck.slides[0].paragraphs.push_back(std::string(i % 7, 'a') + (i % 3 == 0 ? "\xE2\x82" : "\xE2\x82\xAC") + "z\xF0\x9F");
    deck.slides[0].paragraphs.push_back("\x98\x80 \xC3\xA9 " + std::string(90, 'b'));
  }
  OutputBuffer out;
  EXPECT_EQ(Text(out, EncodeSlides(deck, SlideMode::kMarkdown, 65001, out)), MarkdownText(deck));
  EXPECT_EQ(Text(out, EncodeSlides(deck, SlideMode::kJson, 65001, out)), JsonText(deck));
  EXPECT_EQ(Text(out, EncodeSlides(deck, SlideMode::kFull, 1252, out)),
            Text(out, EncodeUtf8Text(CompleteText(deck), kLineBreakCrLf, 1252, out)));
  // The bound counts what went on before.
  const std::string json = JsonText(deck);
  deck.outputBound = json.size() - 4;
  EXPECT_EQ(EncodeSlides(deck, SlideMode::kJson, 65001, out), kResultFormatError);
  deck.outputBound = json.size() - 3;  // the members, without the braces and line feed
  EXPECT_EQ(Text(out, EncodeSlides(deck, SlideMode::kJson, 65001, out)), json);
}

TEST(FormWriter, Utf8RepairedInPiecesCutAnywhere) {
  const std::string text = "a\xE2\x82\xAC\xE2\x82z\xF0\x9F\x98\x80\xF0\x9F\x98\xC3\xA9\xC3\x80\x80\xFF\xE0\x80q\xED\xA0\x80";
  const std::string whole = RepairedUtf8(text);
  for (size_t first = 0; first <= text.size(); ++first) {
    for (size_t second = first; second <= text.size(); ++second) {
      Utf8PieceRepair repair;
      std::string joined = repair.Piece(std::string_view(text).substr(0, first));
      joined += repair.Piece(std::string_view(text).substr(first, second - first));
      joined += repair.Piece(std::string_view(text).substr(second));
      joined += repair.Finish();
      ASSERT_EQ(joined, whole) << "cut at " << first << " and " << second;
      // The same as views, sound pieces given back as they came.
      Utf8PieceRepair viewed;
      std::string scratch;
      joined = viewed.Piece(std::string_view(text).substr(0, first), scratch);
      joined += viewed.Piece(std::string_view(text).substr(first, second - first), scratch);
      joined += viewed.Piece(std::string_view(text).substr(second), scratch);
      joined += viewed.Finish();
      ASSERT_EQ(joined, whole) << "viewed, cut at " << first << " and " << second;
    }
  }
  // A sound piece after a sound one: neither copied, nothing held back.
  Utf8PieceRepair repair;
  std::string scratch;
  const std::string_view sound = "caf\xC3\xA9 \xE2\x82\xAC";
  EXPECT_EQ(repair.Piece(sound, scratch).data(), sound.data());
  EXPECT_EQ(repair.Piece(sound.substr(0, 7), scratch), sound.substr(0, 6)) << "the cut euro sign waits";
  EXPECT_EQ(repair.Piece(sound.substr(7), scratch), sound.substr(6));
  EXPECT_EQ(repair.Finish(), "");
}

TEST(FormBlock, BytesGatheredShortAndLong) {
  for (const size_t size : {size_t{10}, size_t{200'000}}) {
    const std::string body(size, 'b');
    FormBlock block;
    block.Append("{h}");
    block.Append(body.substr(0, size / 2));
    block.Append(body.substr(size / 2));
    // A head rewritten as long as it was, longer, shorter, and one put before it.
    block.ReplaceFront(3, "{H}");
    block.ReplaceFront(3, "{longer}");
    block.ReplaceFront(8, "ad:");
    block.ReplaceFront(0, "he");
    block.Append(":tail");
    OutputBuffer out;
    const ResultCode code = block.Finish(out);
    ASSERT_EQ(code, static_cast<ResultCode>(size + 10));
    EXPECT_EQ(Text(out, code), "head:" + body + ":tail");
    EXPECT_GE(out.BlockSize(), size + 11);
  }
  FormBlock empty;
  OutputBuffer out;
  EXPECT_EQ(empty.Finish(out), 0);
  EXPECT_TRUE(out.HasBlock());
}

}  // namespace
}  // namespace dkscr
