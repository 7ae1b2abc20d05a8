// The complete forms lose nothing the default text gives, on decks built here in both formats:
// notes pages with a second text box, notes pages listed in another order than their slides, a
// notes page whose slide is gone, a slide part the show does not list, headers and footers on
// slides and notes pages. And a conversion opens its source once, in every form, and stops
// when it is cancelled.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "tests/slides/DefaultLines.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonValue.h"
#include "tests/support/PptBuilder.h"
#include "tests/support/PptxBuilder.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr {
namespace {

using Strings = std::vector<std::string>;

// Placements of a placeholder shape and the atom that marks a slide-number field.
constexpr uint8_t kDate = 0x07;
constexpr uint8_t kFooter = 0x09;
constexpr uint8_t kHeader = 0x0A;
constexpr uint8_t kNotesImage = 0x0B;
constexpr uint8_t kNotesBody = 0x0C;
constexpr uint16_t kSlideNumberMetaCharAtom = 0x0FD8;

std::string PptText(std::u16string_view text, uint32_t type = 4) {
  return test::TextHeaderAtom(type) + test::TextCharsAtom(text);
}

// Slides A (persist 3, slide id 256) and B (persist 4, id 257). The notes list names B's notes
// first, then A's, then notes of slide 999, which is gone. A has a footer and a date; B's notes
// have a second text box, a header, a footer, a slide image and a page number.
std::string MakePptDeck() {
  using namespace test;
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({PptText(u"Alpha body", 1)}),
                                                                         PlaceholderShape(kFooter, {PptText(u"This is the footer text.")}),
                                                                         PlaceholderShape(kDate, {PptText(u"Jan 1")})})}));
  offsets[4] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({PptText(u"Beta body", 1)})})}));
  const std::string number = ShapeWithText({PptText(u"*"), Atom(kSlideNumberMetaCharAtom, Le32(0))});
  offsets[5] = doc.Append(Container(rt::kNotes, {NotesAtom(257), Drawing({PlaceholderShape(kNotesImage, {}),
                                                                         PlaceholderShape(kNotesBody, {PptText(u"B notes", 2)}),
                                                                         ShapeWithText({PptText(u"Industry Sector\rSovereign Risk")}),
                                                                         PlaceholderShape(kHeader, {PptText(u"Notes header")}),
                                                                         PlaceholderShape(kFooter, {PptText(u"Notes footer")}),
                                                                         number})}));
  offsets[6] = doc.Append(Container(rt::kNotes, {NotesAtom(256), Drawing({PlaceholderShape(kNotesBody, {PptText(u"A notes", 2)})})}));
  offsets[7] = doc.Append(Container(rt::kNotes, {NotesAtom(999), Drawing({PlaceholderShape(kNotesBody, {PptText(u"Orphaned notes", 2)})})}));
  const std::vector<std::string> slides = {SlidePersistAtom(3, 256), SlidePersistAtom(4, 257)};
  const std::vector<std::string> notes = {SlidePersistAtom(5, 0x501), SlidePersistAtom(6, 0x500), SlidePersistAtom(7, 0x502)};
  offsets[1] = doc.Append(Container(rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1),
                                                     Container(rt::kSlideListWithText, slides, 0),
                                                     Container(rt::kSlideListWithText, notes, 2)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

// A slide part with its shapes and nothing else: all its text is the slide's.
std::string SlidePart(const std::string& shapes) {
  return "<?xml version=\"1.0\"?><p:sld" + std::string(test::kNs) + "><p:cSld><p:spTree>" + shapes +
         "</p:spTree></p:cSld></p:sld>";
}

// The show lists slide2 before slide1; slide3 is in the package but not in the show. slide1
// has a footer, a date and a number; slide2's notes a second text box, a header and a footer.
std::string MakePptxDeck() {
  using namespace test;
  ZipWriter zip;
  zip.Add("_rels/.rels", Rels({{"officeDocument", "ppt/presentation.xml"}}));
  zip.Add("ppt/presentation.xml", "<?xml version=\"1.0\"?><p:presentation" + std::string(kNs) +
                                      "><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId2\"/><p:sldId id=\"257\" r:id=\"rId1\"/>"
                                      "</p:sldIdLst></p:presentation>");
  zip.Add("ppt/_rels/presentation.xml.rels",
          Rels({{"slide", "slides/slide1.xml"}, {"slide", "slides/slide2.xml"}, {"slide", "slides/slide3.xml"}}));
  zip.Add("ppt/slides/slide1.xml", SlidePart(Shape("body", Para("One body")) + Shape("ftr", Para("Footer text")) +
                                            Shape("dt", Para("Date text")) + Shape("sldNum", Para("1"))));
  zip.Add("ppt/slides/slide2.xml", SlidePart(Shape("body", Para("Two body"))));
  zip.Add("ppt/slides/_rels/slide2.xml.rels", Rels({{"notesSlide", "../notesSlides/notesSlide1.xml"}}));
  zip.Add("ppt/notesSlides/notesSlide1.xml",
          NotesXml(Shape("sldImg", "") + Shape("body", Para("Two notes")) + Shape("", Para("Second box")) +
                   Shape("hdr", Para("Notes header")) + Shape("ftr", Para("Notes footer")) + Shape("sldNum", Para("2"))));
  zip.Add("ppt/slides/slide3.xml", SlidePart(Shape("body", Para("Unlisted slide"))));
  return zip.Build();
}

std::string Text(const OutputBuffer& out, ResultCode code) {
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : "";
}

struct Forms {
  std::string text, full, json;
};

Forms AllForms(PresentationKind format, const std::string& image) {
  Forms forms;
  OutputBuffer out;
  ResultCode code = test::ConvertBytes(format, image, out, 65001);
  EXPECT_GT(code, 0);
  forms.text = Text(out, code);
  code = test::ConvertBytes(format, image, out, 65001, SlideMode::kFull);
  EXPECT_GT(code, 0);
  forms.full = Text(out, code);
  code = test::ConvertBytes(format, image, out, 65001, SlideMode::kJson);
  EXPECT_GT(code, 0);
  forms.json = Text(out, code);
  return forms;
}

// The JSON of a deck whose default text holds `lines`, after checking that the complete text
// and the JSON hold every line of it.
test::JsonValue CheckedJson(const Forms& forms, const Strings& lines) {
  for (const std::string& line : lines) EXPECT_NE(forms.text.find(line), std::string::npos) << line;
  EXPECT_EQ(test::LinesMissingFromJson(forms.text, forms.json), Strings{});
  EXPECT_EQ(test::LinesMissingFrom(forms.text, forms.full), Strings{});
  return test::JsonParser::Parse(forms.json).value_or(test::JsonValue{});
}

TEST(CompleteForms, PptNotesFootersAndOrphans) {
  const Forms forms = AllForms(PresentationKind::kPpt, MakePptDeck());
  // The default text holds every page's text, the gone slide's notes among it.
  const auto json = CheckedJson(forms, {"Industry Sector", "Orphaned notes", "Notes footer", "This is the footer text."});
  const test::JsonValue& slides = json["slides"];
  ASSERT_EQ(slides.items.size(), 2u);
  // Each slide gets the notes page that names it, whatever the notes list's order.
  EXPECT_EQ(slides[0]["notes"].Strings(), Strings{"A notes"});
  EXPECT_EQ(slides[0]["footers"].Strings(), (Strings{"This is the footer text.", "Jan 1"}));
  EXPECT_EQ(slides[0]["paragraphs"].Strings(), (Strings{"Alpha body", "This is the footer text.", "Jan 1"}));
  EXPECT_EQ(slides[0]["notes_footers"].Strings(), Strings{});
  // Every text of the notes page but its image, number, header and footer is a note.
  EXPECT_EQ(slides[1]["notes"].Strings(), (Strings{"B notes", "Industry Sector", "Sovereign Risk"}));
  EXPECT_EQ(slides[1]["notes_footers"].Strings(), (Strings{"Notes header", "Notes footer"}));
  EXPECT_EQ(slides[1]["footers"].Strings(), Strings{});
  EXPECT_EQ(json["orphans"].Strings(), Strings{"Orphaned notes"});
  EXPECT_NE(forms.full.find("Not on a slide:\r\nOrphaned notes\r\n"), std::string::npos);
}

TEST(CompleteForms, PptxNotesFootersAndUnlistedSlides) {
  const Forms forms = AllForms(PresentationKind::kPptx, MakePptxDeck());
  const auto json = CheckedJson(forms, {"Unlisted slide", "Footer text"});
  const test::JsonValue& slides = json["slides"];
  ASSERT_EQ(slides.items.size(), 2u);
  EXPECT_EQ(slides[0]["paragraphs"].Strings(), Strings{"Two body"});
  EXPECT_EQ(slides[0]["notes"].Strings(), (Strings{"Two notes", "Second box"}));
  EXPECT_EQ(slides[0]["notes_footers"].Strings(), (Strings{"Notes header", "Notes footer"}));
  EXPECT_EQ(slides[1]["footers"].Strings(), (Strings{"Footer text", "Date text"}));
  EXPECT_EQ(json["orphans"].Strings(), Strings{"Unlisted slide"});
}

// Reads of the test's file through the conversion's one source: how often, and where.
struct ReadCounts {
  int opens = 0;
  int headerReads = 0;  // reads from the first byte of at least a compound file's header
  uint64_t bytes = 0;
};

class CountingReader : public ByteReader {
 public:
  CountingReader(std::string bytes, ReadCounts& counts) : bytes_(std::move(bytes)), counts_(counts) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset == 0 && count >= 512) ++counts_.headerReads;
    if (offset >= bytes_.size()) return 0;
    const size_t n = std::min<uint64_t>(count, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    counts_.bytes += n;
    return n;
  }

 private:
  std::string bytes_;
  ReadCounts& counts_;
};

TEST(CompleteForms, EveryFormOpensItsSourceOnce) {
  test::ScratchDir dir;
  for (const auto& [name, image] : {std::pair<std::string, std::string>{"deck.ppt", MakePptDeck()},
                                    std::pair<std::string, std::string>{"deck.pptx", MakePptxDeck()}}) {
    const std::string path = dir.Write(name, image);
    for (const SlideMode mode : {SlideMode::kText, SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
      ReadCounts counts;
      const SourceOpener open = [&](const std::string& nativePath, int&) {
        ++counts.opens;
        return ByteSource::OfReader(std::make_unique<CountingReader>(test::ReadFile(nativePath), counts));
      };
      ConvertRequest request;
      request.mode = mode;
      request.codePage = 65001;
      request.choice = FormatChoice::kByContent;
      OutputBuffer out;
      EXPECT_GT(ConvertFile(path, request, out, open), 0) << name;
      EXPECT_EQ(counts.opens, 1) << name;
      // A compound file's structure is read once: its header once from the first byte.
      if (name.ends_with(".ppt")) {
        EXPECT_EQ(counts.headerReads, 1) << name;
      }
      EXPECT_LE(counts.bytes, 2 * image.size() + 65536) << name;
    }
  }
}

TEST(CompleteForms, CancelledConversionStopsWithItsOwnCode) {
  const std::atomic<bool> cancel{true};
  for (const auto& [format, image] : {std::pair{PresentationKind::kPpt, MakePptDeck()},
                                      std::pair{PresentationKind::kPptx, MakePptxDeck()}}) {
    for (const SlideMode mode : {SlideMode::kText, SlideMode::kJson}) {
      const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(image);
      ConvertRequest request = test::RequestFor(format, 65001, mode);
      request.cancel = &cancel;
      OutputBuffer out;
      EXPECT_EQ(Convert(*source, request, out), kResultCancelled);
    }
  }
}

}  // namespace
}  // namespace dkscr
