// The content of a binary presentation built here: metadata from property sets in code page
// 1252 and in UTF-16 with custom properties, slide ids, and blocks with their placeholders, a
// table where it stands, diagram texts, and footers kept out of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "ppt/PropertySets.h"
#include "ppt/ShapeProperties.h"
#include "ppt/TextStyles.h"
#include "tests/support/Conversions.h"
#include "tests/support/JsonSchema.h"
#include "tests/support/PptBuilder.h"

namespace dkscr {
namespace {

using namespace test;

// A form of a built deck in UTF-8; "" when the conversion gives nothing.
std::string FormOf(const std::string& image, SlideMode mode) {
  OutputBuffer out;
  const ResultCode code = ConvertPptBytes(image, out, 65001, mode);
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : std::string();
}

// The bullet of each paragraph of a text block.
std::vector<std::optional<std::string>> BulletsOf(const SlideBlock& block) {
  std::vector<std::optional<std::string>> bullets;
  for (const TextParagraph& paragraph : block.paragraphs) bullets.push_back(paragraph.bullet);
  return bullets;
}

// Format ids as stored (the first three fields little-endian).
const std::string kSummaryId("\xE0\x85\x9F\xF2\xF9\x4F\x68\x10\xAB\x91\x08\x00\x2B\x27\xB3\xD9", 16);
const std::string kDocSummaryId("\x02\xD5\xCD\xD5\x9C\x2E\x1B\x10\x93\x97\x08\x00\x2B\x2C\xF9\xAE", 16);
const std::string kUserDefinedId("\x05\xD5\xCD\xD5\x9C\x2E\x1B\x10\x93\x97\x08\x00\x2B\x2C\xF9\xAE", 16);

std::string Padded(std::string bytes) {
  while (bytes.size() % 4 != 0) bytes.push_back('\0');
  return bytes;
}
std::string Le64(uint64_t v) { return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32)); }
std::string I2(uint16_t v) { return Le16(0x02) + Le16(0) + Le16(v) + Le16(0); }
std::string I4(uint32_t v) { return Le16(0x03) + Le16(0) + Le32(v); }
std::string Bool(bool v) { return Le16(0x0B) + Le16(0) + Le16(v ? 0xFFFF : 0) + Le16(0); }
std::string R8(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return Le16(0x05) + Le16(0) + Le64(bits);
}
std::string Filetime(uint64_t ticks) { return Le16(0x40) + Le16(0) + Le64(ticks); }
// A string in the section's code page, its NUL included.
std::string Lpstr(std::string_view bytes) {
  return Padded(Le16(0x1E) + Le16(0) + Le32(static_cast<uint32_t>(bytes.size() + 1)) + std::string(bytes) + '\0');
}
std::string Lpwstr(std::u16string_view text) {
  return Padded(Le16(0x1F) + Le16(0) + Le32(static_cast<uint32_t>(text.size() + 1)) + Utf16Le(text) + Le16(0));
}

// A section: its properties (identifier, value bytes) after their index.
std::string Section(const std::vector<std::pair<uint32_t, std::string>>& properties) {
  std::string index, values;
  const size_t head = 8 + 8 * properties.size();
  for (const auto& [id, value] : properties) {
    index += Le32(id) + Le32(static_cast<uint32_t>(head + values.size()));
    values += Padded(value);
  }
  return Le32(static_cast<uint32_t>(head + values.size())) + Le32(static_cast<uint32_t>(properties.size())) + index + values;
}

std::string PropertySetStream(const std::vector<std::pair<std::string, std::string>>& sections) {
  std::string out = Le16(0xFFFE) + Le16(0) + Le32(0x00020006) + std::string(16, '\0') +
                    Le32(static_cast<uint32_t>(sections.size()));
  size_t offset = out.size() + 20 * sections.size();
  std::string bodies;
  for (const auto& [id, body] : sections) {
    out += id + Le32(static_cast<uint32_t>(offset + bodies.size()));
    bodies += body;
  }
  return out + bodies;
}

// 2024-05-01T09:30:00Z and 1999-12-31T23:59:59Z as FILETIME.
constexpr uint64_t kMay2024 = 133590294000000000ull;
constexpr uint64_t kEnd1999 = 125911583990000000ull;

// SummaryInformation in code page 1252; DocumentSummaryInformation in UTF-16 with a dictionary.
std::vector<test::CfbStream> PropertyStreams() {
  const std::string summary = PropertySetStream(
      {{kSummaryId, Section({{1, I2(1252)}, {2, Lpstr("Caf\xE9 \x80 5")}, {4, Lpstr("J\xFCrgen")},
                             {5, Lpstr("")}, {6, Lpstr("Notes\r\nhere")}, {9, Lpstr("12")},
                             {12, Filetime(kEnd1999)}, {13, Filetime(kMay2024)}, {18, Lpstr("Microsoft PowerPoint")}})}});
  // Names padded to four bytes after their UTF-16 characters.
  const std::string dictionary = Le32(4) + Le32(2) + Le32(7) + Padded(Utf16Le(u"Pr\u00FCfer") + Le16(0)) + Le32(3) +
                                 Le32(4) + Padded(Utf16Le(u"Qty") + Le16(0)) + Le32(4) + Le32(3) +
                                 Padded(Utf16Le(u"Ok") + Le16(0)) + Le32(5) + Le32(2) + Padded(Utf16Le(u"H") + Le16(0));
  const std::string docSummary = PropertySetStream(
      {{kDocSummaryId, Section({{1, I2(1200)}, {2, Lpwstr(u"Berichte")}, {15, Lpwstr(u"\u00C4rzte \u20AC GmbH")}})},
       {kUserDefinedId, Section({{0, dictionary}, {1, I2(1200)}, {2, Lpwstr(u"\u0416\u0443\u043A")}, {3, I4(0xFFFFFFFE)},
                                 {4, Bool(true)}, {5, R8(0.5)}})}});
  return {{u"\005SummaryInformation", summary}, {u"\005DocumentSummaryInformation", docSummary}};
}

TEST(PptPropertySets, EachSectionInItsOwnCodePage) {
  DocumentMetadata m;
  const std::vector<test::CfbStream> streams = PropertyStreams();
  ReadSummaryInformation(streams[0].data, m);
  ReadDocumentSummaryInformation(streams[1].data, m);
  EXPECT_EQ(m.title, "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(m.author, "J\xC3\xBCrgen");
  EXPECT_FALSE(m.keywords.has_value()) << "an empty string is no value";
  EXPECT_EQ(m.description, "Notes\r\nhere");
  EXPECT_EQ(m.revision, "12");
  EXPECT_EQ(m.created, "1999-12-31T23:59:59Z");
  EXPECT_EQ(m.modified, "2024-05-01T09:30:00Z");
  EXPECT_EQ(m.application, "Microsoft PowerPoint");
  EXPECT_EQ(m.category, "Berichte");
  EXPECT_EQ(m.company, "\xC3\x84rzte \xE2\x82\xAC GmbH");
  ASSERT_EQ(m.custom.size(), 4u);
  EXPECT_EQ(m.custom[0].first, "Pr\xC3\xBC" "fer");
  EXPECT_EQ(m.custom[0].second.text, "\xD0\x96\xD1\x83\xD0\xBA");
  EXPECT_EQ(m.custom[1].first, "Qty");
  EXPECT_EQ(m.custom[1].second.kind, PropertyValue::Kind::kNumber);
  EXPECT_EQ(m.custom[1].second.number, -2);
  EXPECT_EQ(m.custom[2].second.kind, PropertyValue::Kind::kBool);
  EXPECT_TRUE(m.custom[2].second.flag);
  EXPECT_EQ(m.custom[3].first, "H");
  EXPECT_EQ(m.custom[3].second.number, 0.5);
}

TEST(PptPropertySets, ReadFromTheFileWhereThePropertiesLie) {
  // A thumbnail before the title, the title's characters across the end of a stretch read.
  const std::string thumbnail = Le16(0x47) + Le16(0) + Le32(12172) + std::string(12172, 'T');
  const std::string title = "Title " + std::string(40, 'x');
  const std::string summary = PropertySetStream(
      {{kSummaryId, Section({{1, I2(1252)}, {17, thumbnail}, {2, Lpstr(title)}, {4, Lpstr("J\xFCrgen")}})}});
  ASSERT_LT(summary.find(title), 3u * 4096);
  ASSERT_GT(summary.find(title) + title.size(), 3u * 4096);
  const test::CfbImage image = test::BuildCfbImage({{u"\005SummaryInformation", summary}});
  std::string error;
  const auto file = CompoundFile::Open(ByteSource::OfMemory(image.bytes), error);  // a view of the image
  ASSERT_TRUE(file) << error;
  DocumentMetadata read;
  ReadPropertySets(*file, read);
  EXPECT_EQ(read.title, title);
  EXPECT_EQ(read.author, "J\xC3\xBCrgen");
  DocumentMetadata whole;
  ReadSummaryInformation(summary, whole);
  EXPECT_EQ(read.title, whole.title);
}

TEST(PptPropertySets, DamagedStreamsGiveWhatTheyHold) {
  const std::string whole = PropertyStreams()[0].data;
  for (size_t cut = 0; cut < whole.size(); cut += 3) {
    DocumentMetadata m;
    ReadSummaryInformation(std::string_view(whole).substr(0, cut), m);
    if (m.title) {
      EXPECT_EQ(*m.title, "Caf\xC3\xA9 \xE2\x82\xAC 5");
    }
  }
  // Counts and sizes far beyond the stream.
  std::string hostile = whole;
  hostile.replace(48, 8, Le32(0xFFFFFFF0) + Le32(0x7FFFFFFF));
  DocumentMetadata m;
  ReadSummaryInformation(hostile, m);
  EXPECT_EQ(m.title, "Caf\xC3\xA9 \xE2\x82\xAC 5") << "the properties the stream does hold";
  m = {};
  const std::string longString = PropertySetStream({{kSummaryId, Section({{2, Le16(0x1E) + Le16(0) + Le32(0xFFFFFFFF) + "ab"}})}});
  ReadSummaryInformation(longString, m);
  EXPECT_FALSE(m.title.has_value());
}

// One slide: a title, a body, a footer, a table (a group whose properties say so) and text of
// no placeholder, with its property sets beside the document.
std::string MakeDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  offsets[3] = doc.Append(Container(
      rt::kSlide, {SlideAtom(0), Drawing({PlaceholderShape(0x0D, {TextHeaderAtom(0), ShapeText(u"Quarter")}),
                                         PlaceholderShape(0x0E, {TextHeaderAtom(1), ShapeText(u"Up\rDown")}),
                                         PlaceholderShape(0x09, {TextHeaderAtom(4), ShapeText(u"Footer text")}),
                                         ShapeWithText({TextHeaderAtom(4), ShapeText(u"Loose")})})}));
  offsets[1] = doc.Append(Container(rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(3, 261)}, 0)}));
  doc.AppendSave(offsets, 1);
  std::vector<test::CfbStream> streams = PresentationStreams(doc);
  for (test::CfbStream& stream : PropertyStreams()) streams.push_back(std::move(stream));
  return BuildCfb(streams);
}

TEST(PptContent, SlideIdsBlocksAndMetadata) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  const Slide& slide = deck.slides[0];
  EXPECT_EQ(slide.id, 261u);
  EXPECT_EQ(slide.footers, std::vector<std::string>{"Footer text"});
  ASSERT_EQ(slide.blocks.size(), 3u) << "the footer is no block";
  EXPECT_EQ(slide.blocks[0].placeholder, "title");
  EXPECT_TRUE(slide.blocks[0].holdsTitle);
  ASSERT_EQ(slide.blocks[0].paragraphs.size(), 1u);
  EXPECT_EQ(slide.blocks[0].paragraphs[0].text, "Quarter");
  EXPECT_EQ(slide.blocks[1].placeholder, "body");
  ASSERT_EQ(slide.blocks[1].paragraphs.size(), 2u);
  EXPECT_EQ(slide.blocks[1].paragraphs[1].text, "Down");
  EXPECT_FALSE(slide.blocks[1].paragraphs[1].bullet.has_value()) << "no bullet is invented";
  EXPECT_FALSE(slide.blocks[2].placeholder.has_value());
  EXPECT_EQ(slide.blocks[2].paragraphs[0].text, "Loose");
  EXPECT_EQ(deck.metadata.title, "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(deck.metadata.custom.size(), 4u);

  const std::string json = FormOf(MakeDeck(), SlideMode::kJson);
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("\"metadata\":{\"title\":\"Caf\xC3\xA9 \xE2\x82\xAC 5\",\"author\":\"J\xC3\xBCrgen\","),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"custom\":{\"Pr\xC3\xBC" "fer\":\"\xD0\x96\xD1\x83\xD0\xBA\",\"Qty\":-2,\"Ok\":true,\"H\":0.5}"),
            std::string::npos);
}

// The document record of a built deck (its master at persist id 2, then `objects` when given,
// then the slide list) and the save that ends it.
std::string FinishDeck(PptStreamBuilder& doc, std::map<uint32_t, uint32_t>& offsets,
                       const std::vector<std::string>& slideList, const std::string& objects = "") {
  offsets[1] = doc.Append(Container(
      rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')), objects,
                      Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1), Container(rt::kSlideListWithText, slideList, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

// A style atom's paragraph run: its length in characters, indent level and exception.
std::string ParagraphRun(uint32_t count, uint16_t level, uint32_t masks, const std::string& fields) {
  return Le32(count) + Le16(level) + Le32(masks) + fields;
}
std::string StyleTextPropAtom(const std::vector<std::string>& runs) {
  std::string data;
  for (const std::string& run : runs) data += run;
  return Atom(0x0FA1, data + Le32(100) + Le32(0));  // a character run after the paragraph runs
}
constexpr uint32_t kMaskHasBullet = 1u << 0, kMaskBulletFont = 1u << 4, kMaskBulletColor = 1u << 5,
                   kMaskBulletSize = 1u << 6, kMaskBulletChar = 1u << 7, kMaskAlign = 1u << 11,
                   kMaskTabStops = 1u << 20, kMaskTextDirection = 1u << 21;

// A body whose text is in its shape, runs of one paragraph each, the last one with every field
// before the tab stops and after them; and a body whose text is in the slide list, one run over
// two paragraphs.
std::string MakeListDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::string body = StyleTextPropAtom(
      {ParagraphRun(4, 0, kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16(0x2013)),
       ParagraphRun(4, 1, kMaskHasBullet, Le16(1)), ParagraphRun(1, 0, 0, ""),
       ParagraphRun(6, 2,
                    kMaskHasBullet | kMaskBulletChar | kMaskBulletFont | kMaskBulletSize | kMaskBulletColor | kMaskAlign |
                        kMaskTabStops | kMaskTextDirection,
                    Le16(0) + Le16('x') + Le16(3) + Le16(80) + Le32(0xFE000000) + Le16(1) + Le16(2) + Le32(1) +
                        Le32(2) + Le16(0))});
  offsets[3] = doc.Append(Container(
      rt::kSlide, {SlideAtom(0), Drawing({PlaceholderShape(0x0E, {TextHeaderAtom(1), ShapeText(u"Top\rSub\r\rDeep"), body}),
                                         PlaceholderShape(0x0E, {OutlineTextRefAtom(0)})})}));
  const std::string listStyle = StyleTextPropAtom({ParagraphRun(11, 3, kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('o'))});
  return FinishDeck(doc, offsets, {SlidePersistAtom(3, 256), TextHeaderAtom(1), ShapeText(u"Alpha\rBeta"), listStyle});
}

TEST(PptContent, LevelsAndBulletsFromTheParagraphRuns) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeListDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  const Slide& slide = deck.slides[0];
  ASSERT_EQ(slide.blocks.size(), 2u);
  const std::vector<TextParagraph>& own = slide.blocks[0].paragraphs;
  ASSERT_EQ(own.size(), 3u) << "the empty paragraph is no paragraph";
  EXPECT_EQ(own[0].text, "Top");
  EXPECT_EQ(own[0].level, 0);
  EXPECT_EQ(own[0].bullet, "\xE2\x80\x93") << "the run's own character";
  EXPECT_EQ(own[1].text, "Sub");
  EXPECT_EQ(own[1].level, 1);
  EXPECT_EQ(own[1].bullet, "\xE2\x80\xA2") << "a bullet of no character of its own";
  EXPECT_EQ(own[2].text, "Deep");
  EXPECT_EQ(own[2].level, 2);
  EXPECT_FALSE(own[2].bullet.has_value()) << "the run turns its bullet off";
  const std::vector<TextParagraph>& listed = slide.blocks[1].paragraphs;
  ASSERT_EQ(listed.size(), 2u);
  for (const TextParagraph& paragraph : listed) {
    EXPECT_EQ(paragraph.level, 3);
    EXPECT_EQ(paragraph.bullet, "o");
  }
  EXPECT_EQ(listed[1].text, "Beta");

  const std::string json = FormOf(MakeListDeck(), SlideMode::kJson);
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("{\"text\":\"Sub\",\"level\":1,\"bullet\":\"\xE2\x80\xA2\",\"links\":[]}"), std::string::npos) << json;

  const std::string markdown = FormOf(MakeListDeck(), SlideMode::kMarkdown);
  ASSERT_FALSE(markdown.empty());
  EXPECT_NE(markdown.find("- Top\n  - Sub\n\nDeep\n"), std::string::npos) << markdown;
}

// Paragraph runs cut short, of no length, or far longer than the text leave what they do not
// reach at level 0 without a bullet.
TEST(PptContent, DamagedParagraphRunsGiveWhatTheyHold) {
  const std::u16string text = u"A\rB\rC";
  const std::string whole = ParagraphRun(2, 1, kMaskHasBullet, Le16(1)) + ParagraphRun(0, 2, 0, "") +
                            ParagraphRun(2, 4, 0, "");
  const auto bytes = reinterpret_cast<const uint8_t*>(whole.data());
  std::vector<ParagraphStyle> styles = ParagraphStylesOf(bytes, whole.size(), text);
  ASSERT_EQ(styles.size(), 3u);
  EXPECT_EQ(styles[0].level, 1);
  EXPECT_TRUE(styles[0].hasBullet);
  EXPECT_EQ(styles[1].level, 0) << "a run of no characters ends the runs";
  for (size_t cut = 0; cut < 12; ++cut) {
    styles = ParagraphStylesOf(bytes, cut, text);
    ASSERT_EQ(styles.size(), 3u);
    EXPECT_EQ(styles[1].level, 0);
  }
  const std::string huge = ParagraphRun(0xFFFFFFFF, 5, 0, "");
  styles = ParagraphStylesOf(reinterpret_cast<const uint8_t*>(huge.data()), huge.size(), text);
  EXPECT_EQ(styles[2].level, 5) << "one run covers every paragraph";
}

// A shape's FSP (its type and id) and property table; strings are complex values after it.
std::string Fsp(uint16_t type, uint32_t id) { return Atom(0xF00A, Le32(id) + Le32(0xA00), type, 2); }
std::string Fopt(const std::vector<std::pair<uint16_t, uint32_t>>& simple,
                 const std::vector<std::pair<uint16_t, std::u16string>>& strings) {
  std::string table, complex;
  for (const auto& [id, value] : simple) table += Le16(id) + Le32(value);
  for (const auto& [id, text] : strings) {
    const std::string bytes = Utf16Le(text) + Le16(0);
    table += Le16(static_cast<uint16_t>(id | 0x8000)) + Le32(static_cast<uint32_t>(bytes.size()));
    complex += bytes;
  }
  return Atom(0xF00B, table + complex, static_cast<uint16_t>(simple.size() + strings.size()), 3);
}
constexpr uint16_t kPib = 0x4104, kName = 0x0380, kDescription = 0x0381;

// A named text box, a picture with a name and a description, and one with neither.
std::string MakePictureDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::string box =
      Container(rt::kSpContainer, {Fsp(202, 1025), Fopt({{0x0080, 7}}, {{kName, u"Caption box"}}),
                                   Container(rt::kClientTextbox, {TextHeaderAtom(4), ShapeText(u"Hello")})});
  const std::string logo = Container(
      rt::kSpContainer, {Fsp(75, 1026), Fopt({{kPib, 1}}, {{kName, u"Logo"}, {kDescription, u"Caf\u00E9 logo"}})});
  const std::string bare = Container(rt::kSpContainer, {Fsp(75, 1027), Fopt({{kPib, 2}}, {})});
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({box, logo, bare})}));
  return FinishDeck(doc, offsets, {SlidePersistAtom(3)});
}

TEST(PptContent, ShapeIdsNamesAndPicturesWithTheirDescription) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakePictureDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  const std::vector<SlideBlock>& blocks = deck.slides[0].blocks;
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].type, BlockType::kText);
  EXPECT_EQ(blocks[0].shapeId, 1025u);
  EXPECT_EQ(blocks[0].name, "Caption box");
  EXPECT_EQ(blocks[0].paragraphs.at(0).text, "Hello");
  EXPECT_EQ(blocks[1].type, BlockType::kPicture);
  EXPECT_EQ(blocks[1].shapeId, 1026u);
  EXPECT_EQ(blocks[1].name, "Logo");
  EXPECT_EQ(blocks[1].alt, "Caf\xC3\xA9 logo");
  EXPECT_FALSE(blocks[1].image.has_value()) << "a binary picture has no part name";
  EXPECT_EQ(blocks[2].type, BlockType::kPicture);
  EXPECT_EQ(blocks[2].shapeId, 1027u);
  EXPECT_FALSE(blocks[2].name.has_value());
  EXPECT_FALSE(blocks[2].alt.has_value());

  const std::string json = FormOf(MakePictureDeck(), SlideMode::kJson);
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("\"type\":\"picture\",\"shape_id\":1026,\"name\":\"Logo\",\"alt\":\"Caf\xC3\xA9 logo\""),
            std::string::npos)
      << json;
  EXPECT_EQ(FormOf(MakePictureDeck(), SlideMode::kText), "\xEF\xBB\xBFHello\r\n")
      << "the default text has no pictures";
}

// Property tables whose complex values run past the data, or whose count does.
TEST(PptContent, DamagedPropertyTablesGiveWhatTheyHold) {
  const std::string fopt = Fopt({{kPib, 1}}, {{kName, u"Logo"}, {kDescription, u"Long description"}}).substr(8);
  const auto bytes = reinterpret_cast<const uint8_t*>(fopt.data());
  for (size_t cut = 0; cut <= fopt.size(); ++cut) {
    ShapeLabels labels;
    ReadShapeLabels(bytes, cut, 3, labels);
    if (cut < 18) {
      EXPECT_FALSE(labels.picture) << "no table, no property";
    }
    if (cut >= 28) {
      EXPECT_EQ(labels.name, "Logo");
    }
    if (labels.description) {
      EXPECT_EQ(std::string_view("Long description").substr(0, labels.description->size()), *labels.description);
    }
  }
  ShapeLabels labels;
  ReadShapeLabels(bytes, fopt.size(), 0xFFFF, labels);
  EXPECT_FALSE(labels.name.has_value()) << "a count beyond the data reads nothing";
}

// Hyperlinks and embedded objects: the document's list of them and the records of a slide that
// refer to it.
std::string CString(uint16_t instance, std::u16string_view text) { return Atom(0x0FBA, Utf16Le(text), instance); }
std::string ExHyperlink(uint32_t id, uint16_t instance, std::u16string_view text) {
  return Container(0x0FD7, {Atom(0x0FD3, Le32(id)), CString(0, u"Friendly"), CString(instance, text)});
}
// Clicked (instance 0) or hovered (1): a hyperlink action naming the document's link.
std::string InteractiveInfo(uint32_t linkId, uint16_t instance = 0) {
  return Container(0x0FF2, {Atom(0x0FF3, Le32(0) + Le32(linkId) + "\x04\x00\x00\x00\x08" + std::string(3, '\0'))},
                   instance);
}
std::string TxInteractiveInfo(uint32_t begin, uint32_t end) { return Atom(0x0FDF, Le32(begin) + Le32(end)); }
std::string ExObjRef(uint32_t id) { return Atom(0x0BC1, Le32(id)); }

// Slide 1 (id 257): a text box with a link to a web page and one to slide 1 on two ranges
// (listed out of order, and a third range overlapping one of them, which is passed over), a
// shape that jumps to slide 2 when clicked, an embedded workbook with a link when hovered, and
// a movie. Slide 2 (id 258).
std::string MakeLinkDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::string text = Container(
      rt::kSpContainer,
      {Fsp(202, 2049), Container(rt::kClientTextbox, {TextHeaderAtom(4), ShapeText(u"Visit our site\rGo on"),
                                                      InteractiveInfo(4), TxInteractiveInfo(15, 17), InteractiveInfo(1),
                                                      TxInteractiveInfo(6, 14), InteractiveInfo(3),
                                                      TxInteractiveInfo(7, 9)})});
  const std::string jump = Container(
      rt::kSpContainer, {Fsp(1, 2050), Container(rt::kClientData, {InteractiveInfo(2)}),
                         Container(rt::kClientTextbox, {TextHeaderAtom(4), ShapeText(u"Next")})});
  const std::string sheet = Container(rt::kSpContainer, {Fsp(75, 2051), Fopt({}, {{kName, u"Sheet"}}),
                                                         Container(rt::kClientData, {InteractiveInfo(3, 1), ExObjRef(5)})});
  const std::string movie = Container(rt::kSpContainer, {Fsp(75, 2052), Container(rt::kClientData, {ExObjRef(6)})});
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({text, jump, sheet, movie})}));
  offsets[4] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({ShapeWithText({TextHeaderAtom(4), ShapeText(u"Second")})})}));
  const std::string objects = Container(
      0x0409, {Atom(0x040A, Le32(6)), ExHyperlink(1, 1, u"https://example.com/a?b=1"), ExHyperlink(2, 3, u"258,2,Second"),
               ExHyperlink(3, 1, u"https://hover.example/"), ExHyperlink(4, 3, u"257,1,First"),
               Container(0x0FCC, {Atom(0x0FC3, Le32(1) + Le32(2) + Le32(5) + Le32(0) + Le32(0) + Le32(0)),
                                  CString(1, u"Worksheet"), CString(2, u"Excel.Sheet.8")}),
               Container(0x1006, {Container(0x1005, {Atom(0x1004, Le32(6) + Le32(0)), CString(0, u"clip.avi")})})});
  return FinishDeck(doc, offsets, {SlidePersistAtom(3, 257), SlidePersistAtom(4, 258)}, objects);
}

TEST(PptContent, RunAndShapeLinksJumpsAndEmbeddedObjects) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeLinkDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  const Slide& slide = deck.slides[0];
  ASSERT_EQ(slide.blocks.size(), 4u);
  const std::vector<TextParagraph>& paragraphs = slide.blocks[0].paragraphs;
  ASSERT_EQ(paragraphs.size(), 2u);
  ASSERT_EQ(paragraphs[0].links.size(), 1u);
  EXPECT_EQ(paragraphs[0].links[0].text, "our site");
  EXPECT_EQ(paragraphs[0].links[0].target, "https://example.com/a?b=1");
  EXPECT_EQ(paragraphs[0].links[0].offset, 6u);
  ASSERT_EQ(paragraphs[1].links.size(), 1u);
  EXPECT_EQ(paragraphs[1].links[0].text, "Go");
  EXPECT_EQ(paragraphs[1].links[0].target, "#slide=1") << "a jump by the slide's id";
  EXPECT_EQ(paragraphs[1].links[0].offset, 0u);
  EXPECT_TRUE(slide.blocks[1].paragraphs.at(0).links.empty()) << "a shape's link is no run's";
  EXPECT_EQ(slide.blocks[2].type, BlockType::kOle);
  EXPECT_EQ(slide.blocks[2].shapeId, 2051u);
  EXPECT_EQ(slide.blocks[2].name, "Sheet");
  EXPECT_EQ(slide.blocks[2].progId, "Excel.Sheet.8");
  EXPECT_EQ(slide.blocks[3].type, BlockType::kMedia);
  EXPECT_EQ(slide.blocks[3].mediaType, "video");
  EXPECT_EQ(slide.links, (std::vector<std::string>{"https://example.com/a?b=1", "#slide=1", "#slide=2"}))
      << "each target once; a hovered link is no click";
  EXPECT_TRUE(deck.slides[1].links.empty());

  const std::string json = FormOf(MakeLinkDeck(), SlideMode::kJson);
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("\"links\":[{\"text\":\"Go\",\"target\":\"#slide=1\"}]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"type\":\"ole\",\"shape_id\":2051,\"name\":\"Sheet\",\"prog_id\":\"Excel.Sheet.8\""),
            std::string::npos);
  const std::string markdown = FormOf(MakeLinkDeck(), SlideMode::kMarkdown);
  ASSERT_FALSE(markdown.empty());
  EXPECT_NE(markdown.find("Visit [our site](https://example.com/a?b=1)\n"), std::string::npos) << markdown;
}

// A character run naming the numbering entry of its characters, with a font and a color
// before and after the style it is in.
std::string CharacterRun(uint32_t count, uint16_t entry) {
  return Le32(count) + Le32(0x3C00 | 1 | (1u << 16) | (1u << 18)) + Le16(static_cast<uint16_t>(1 | (entry << 10))) +
         Le16(3) + Le32(0xFE000000);
}
// A numbering entry: numbered in a scheme from a start, optionally with the fields that may
// stand around it.
std::string NumberingEntry(uint16_t scheme, uint16_t startAt, bool extras) {
  const uint32_t masks = (1u << 24) | (1u << 25) | (extras ? 1u << 23 : 0);
  return Le32(masks) + (extras ? Le16(7) : "") + Le16(1) + Le16(scheme) + Le16(startAt) + Le32(extras ? 1u << 20 : 0) +
         (extras ? Le32(0) : "") + Le32(extras ? 1u << 6 : 0) + (extras ? Le16(0) : "");
}

// A numbered list: arabic with a period at level 0, letters with a parenthesis from 3 at level
// 1, a paragraph without a bullet that ends the count.
std::string MakeNumberedDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::string runs = ParagraphRun(4, 0, kMaskHasBullet, Le16(1)) + ParagraphRun(4, 0, kMaskHasBullet, Le16(1)) +
                           ParagraphRun(4, 1, kMaskHasBullet, Le16(1)) + ParagraphRun(6, 0, kMaskHasBullet, Le16(1)) +
                           ParagraphRun(6, 0, kMaskHasBullet, Le16(0)) + ParagraphRun(6, 0, kMaskHasBullet, Le16(1));
  const std::string characters = CharacterRun(8, 0) + CharacterRun(4, 1) + CharacterRun(18, 0);
  const std::string entries = NumberingEntry(3, 1, true) + NumberingEntry(9, 3, false);
  const std::string tag = Container(
      0x1388, {Container(0x138A, {CString(0, u"___PPT9"), Container(0x138B, {Atom(0x0FAC, entries)})})});
  const std::string list = Container(
      rt::kSpContainer, {Fsp(202, 3000), Container(rt::kClientData, {tag}),
                         Container(rt::kClientTextbox, {TextHeaderAtom(4), ShapeText(u"One\rTwo\rSub\rThree\rPlain\rAgain"),
                                                        Atom(0x0FA1, runs + characters)})});
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({list})}));
  return FinishDeck(doc, offsets, {SlidePersistAtom(3)});
}

TEST(PptContent, NumberedParagraphsCountInTheirScheme) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeNumberedDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  ASSERT_EQ(deck.slides[0].blocks.size(), 1u);
  std::vector<std::optional<std::string>> bullets;
  for (const TextParagraph& paragraph : deck.slides[0].blocks[0].paragraphs) bullets.push_back(paragraph.bullet);
  EXPECT_EQ(bullets, (std::vector<std::optional<std::string>>{"1.", "2.", "c)", "3.", std::nullopt, "1."}));
  EXPECT_NE(FormOf(MakeNumberedDeck(), SlideMode::kMarkdown).find("1. One\n2. Two\n   - c) Sub\n3. Three\n\nPlain\n\n1. Again\n"), std::string::npos)
      << FormOf(MakeNumberedDeck(), SlideMode::kMarkdown);
  EXPECT_EQ(AutoNumberText(4, 14), "(xiv)");
  EXPECT_EQ(AutoNumberText(11, 28), "BB)");  // the letter repeated, as in .pptx
  EXPECT_EQ(AutoNumberText(13, 7), "7");
  EXPECT_EQ(AutoNumberText(40, 1), "") << "a scheme not known gives no label";
}

// Text kept in the slide list, numbered by the document's tag data: its entries are named by
// slide id and the text's index among the slide's texts, after a record that is no entry
// (a picture collection) and beside entries of texts that are not there.
std::string MakeOutlineNumberedDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtom(0), Drawing({PlaceholderShape(0x0E, {OutlineTextRefAtom(0)}),
                                                                        PlaceholderShape(0x0E, {OutlineTextRefAtom(1)})})}));
  const std::string runs = ParagraphRun(14, 0, kMaskHasBullet, Le16(1));
  const std::string bodyStyle = Atom(0x0FA1, runs + CharacterRun(8, 0) + CharacterRun(6, 1));
  const std::string otherStyle = Atom(0x0FA1, ParagraphRun(6, 0, kMaskHasBullet, Le16(1)) + CharacterRun(6, 0));
  auto entry = [](uint32_t slideId, uint16_t index, const std::string& numbers) {
    return Atom(0x0FAF, Le32(slideId) + Le32(1), index) + Atom(0x0FAC, numbers);
  };
  const std::string numbers = NumberingEntry(3, 1, true) + NumberingEntry(9, 3, false);
  const std::string blob = Container(0x07F8, {Atom(0x07F9, std::string(64, '\x55'))}) +
                           entry(256, 1, NumberingEntry(12, 5, false)) +  // outside the list: no entry
                           Container(0x0FAE, {entry(999, 1, NumberingEntry(12, 5, false)), entry(256, 0, numbers),
                                              entry(256, 3, NumberingEntry(12, 5, false))});
  const std::string tags = Container(
      0x07D0, {Container(0x1388, {Container(0x138A, {CString(0, u"___PPT9"), Atom(0x138B, blob)})})});
  return FinishDeck(doc, offsets,
                    {SlidePersistAtom(3, 256), TextHeaderAtom(1), ShapeText(u"One\rTwo\rThree"), bodyStyle,
                     TextHeaderAtom(1), ShapeText(u"Other"), otherStyle},
                    tags);
}

TEST(PptContent, SlideListTextIsNumberedByTheDocumentsEntries) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeOutlineNumberedDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  ASSERT_EQ(deck.slides[0].blocks.size(), 2u);
  EXPECT_EQ(BulletsOf(deck.slides[0].blocks[0]), (std::vector<std::optional<std::string>>{"1.", "2.", "c)"}));
  EXPECT_EQ(BulletsOf(deck.slides[0].blocks[1]), std::vector<std::optional<std::string>>{"\xE2\x80\xA2"})
      << "no entry names the second text";
  const std::string markdown = FormOf(MakeOutlineNumberedDeck(), SlideMode::kMarkdown);
  EXPECT_NE(markdown.find("1. One\n2. Two\n- c) Three\n\n- Other\n"), std::string::npos) << markdown;
  EXPECT_EQ(SlidesSchemaProblem(FormOf(MakeOutlineNumberedDeck(), SlideMode::kJson)), "");
}

}  // namespace
}  // namespace dkscr

namespace dkscr {
namespace {

using namespace test;

// Keeps the byte ranges a conversion reads of an image in memory.
class WatchedReader : public ByteReader {
 public:
  WatchedReader(std::string_view image, std::vector<std::pair<uint64_t, uint64_t>>& reads)
      : image_(image), reads_(reads) {}
  uint64_t Size() const override { return image_.size(); }
  size_t ReadAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= image_.size()) return 0;
    const size_t n = std::min<size_t>(count, image_.size() - offset);
    std::memcpy(buffer, image_.data() + offset, n);
    reads_.emplace_back(offset, offset + n);
    return n;
  }

 private:
  std::string_view image_;
  std::vector<std::pair<uint64_t, uint64_t>>& reads_;
};

// Converts an image under `request`, keeping what it reads; the text, or "" on failure with
// the code in `code`.
std::string ConvertWatched(std::string_view image, const ConvertRequest& request, ResultCode& code,
                           std::vector<std::pair<uint64_t, uint64_t>>& reads) {
  const std::unique_ptr<ByteSource> source = ByteSource::OfReader(std::make_unique<WatchedReader>(image, reads));
  OutputBuffer out;
  code = Convert(*source, request, out);
  return code > 0 ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(code)) : std::string();
}

bool AnyReadTouches(const std::vector<std::pair<uint64_t, uint64_t>>& reads, uint64_t begin, uint64_t end) {
  return std::any_of(reads.begin(), reads.end(), [&](const auto& r) { return r.first < end && begin < r.second; });
}

// The deck of MakeDeck with one more slide of a long text, a mark in its middle.
constexpr std::string_view kMark = "MARK-ONLY-ON-A-SLIDE";
std::string MakeLongSlideDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  std::u16string text(40000, u'x');
  text.insert(20000, std::u16string(kMark.begin(), kMark.end()));
  offsets[3] = doc.Append(SlideContainer({ShapeWithText({TextHeaderAtom(4), ShapeText(text)})}));
  offsets[1] = doc.Append(Container(rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(2)}, 1),
                                                     Container(rt::kSlideListWithText, {SlidePersistAtom(3, 256)}, 0)}));
  doc.AppendSave(offsets, 1);
  std::vector<test::CfbStream> streams = PresentationStreams(doc);
  for (test::CfbStream& stream : PropertyStreams()) streams.push_back(std::move(stream));
  return BuildCfb(streams);
}

// A master's text style level: its paragraph exception (bullet flag and character where
// given) and a character exception of a style, a size and a colour to be passed over.
std::string MasterLevel(uint32_t masks, const std::string& fields) {
  return Le32(masks) + fields + Le32(0x1 | 1u << 17 | 1u << 18) + Le16(1) + Le16(24) + Le32(0xFE000000);
}
std::string TxMasterStyleAtom(uint16_t textType, const std::vector<std::string>& levels) {
  std::string data = Le16(static_cast<uint16_t>(levels.size()));
  for (const std::string& level : levels) data += level;
  return Atom(0x0FA3, data, textType);
}
std::string SlideAtomOfMaster(uint32_t masterId, uint32_t layout = 0) {
  return Atom(rt::kSlideAtom, Le32(layout) + std::string(8, '\0') + Le32(masterId) + Le32(0) + Le32(0));
}
constexpr uint32_t kMainMasterId = 0x80000001, kTitleMasterId = 0x80000002;

// A main master whose body bullets level 0 with an en dash, level 1 with a bullet of no
// character and level 2 not at all, whose centred body names a character of its own for level
// 0, and a title master that takes its styles; the document's own styles bullet other text
// with ">". Slide 1 (on the main master): a body of paragraphs that leave the bullet to it or
// set part of it, a centred body and a text box. Slide 2 (on the title master): a body of two
// paragraphs without a style atom, and a title.
std::string MakeMasterBulletDeck(const std::string& bodyStyle) {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(Container(
      rt::kMainMaster,
      {Atom(rt::kSlideAtom, std::string(24, '\0')), TxMasterStyleAtom(0, {MasterLevel(kMaskHasBullet, Le16(0))}),
       bodyStyle,
       TxMasterStyleAtom(5, {Le16(0) + MasterLevel(kMaskBulletChar, Le16('x'))}),
       Drawing({ShapeWithText({ShapeText(u"Master text")})})}));
  offsets[3] = doc.Append(Container(rt::kSlide, {SlideAtomOfMaster(kMainMasterId), Drawing({ShapeWithText({ShapeText(u"Title master text")})})}));
  const std::string bodyRuns = StyleTextPropAtom(
      {ParagraphRun(5, 0, 0, ""), ParagraphRun(4, 1, 0, ""), ParagraphRun(4, 2, 0, ""), ParagraphRun(6, 3, 0, ""),
       ParagraphRun(4, 0, kMaskHasBullet, Le16(0)), ParagraphRun(5, 0, kMaskHasBullet, Le16(1))});
  offsets[4] = doc.Append(Container(
      rt::kSlide, {SlideAtomOfMaster(kMainMasterId),
                   Drawing({PlaceholderShape(0x0E, {TextHeaderAtom(1), ShapeText(u"Zero\rOne\rTwo\rThree\rOwn\rChar"), bodyRuns}),
                            PlaceholderShape(0x0E, {TextHeaderAtom(5), ShapeText(u"Centred")}),
                            ShapeWithText({TextHeaderAtom(4), ShapeText(u"Boxed")})})}));
  offsets[5] = doc.Append(Container(
      rt::kSlide, {SlideAtomOfMaster(kTitleMasterId),
                   Drawing({PlaceholderShape(0x0D, {TextHeaderAtom(0), ShapeText(u"Heading")}),
                            PlaceholderShape(0x0E, {TextHeaderAtom(1), ShapeText(u"Plain\rAlso")})})}));
  const std::string environment =
      Container(0x03F2, {TxMasterStyleAtom(4, {MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('>'))})});
  offsets[1] = doc.Append(Container(
      rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')), environment,
                      Container(rt::kSlideListWithText, {SlidePersistAtom(2, kMainMasterId), SlidePersistAtom(3, kTitleMasterId)}, 1),
                      Container(rt::kSlideListWithText, {SlidePersistAtom(4, 256), SlidePersistAtom(5, 257)}, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

const std::string kMasterBody = TxMasterStyleAtom(
    1, {MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16(0x2013)),
        MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('*')), MasterLevel(kMaskHasBullet, Le16(1)),
        MasterLevel(kMaskHasBullet, Le16(0))});

TEST(PptContent, BulletsLeftToTheMastersComeFromThem) {
  const std::string image = MakeMasterBulletDeck(kMasterBody);
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(image, deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  const Slide& first = deck.slides[0];
  ASSERT_EQ(first.blocks.size(), 3u);
  const std::string dash = "\xE2\x80\x93", dot = "\xE2\x80\xA2";
  // Zero to Three take their level's bullet from the master (Two's of no character, Three none),
  // Own turns its bullet off, Char turns it on and takes the master's character.
  EXPECT_EQ(BulletsOf(first.blocks[0]),
            (std::vector<std::optional<std::string>>{dash, "*", dot, std::nullopt, std::nullopt, dash}));
  EXPECT_EQ(first.blocks[0].paragraphs[1].level, 1);
  EXPECT_EQ(BulletsOf(first.blocks[1]), std::vector<std::optional<std::string>>{"x"})
      << "the centred body's own character, the body's bullet";
  EXPECT_EQ(BulletsOf(first.blocks[2]), std::vector<std::optional<std::string>>{">"}) << "the document's styles";
  const Slide& second = deck.slides[1];
  ASSERT_EQ(second.blocks.size(), 2u);
  EXPECT_EQ(BulletsOf(second.blocks[0]), std::vector<std::optional<std::string>>{std::nullopt}) << "the title has none";
  EXPECT_EQ(BulletsOf(second.blocks[1]), (std::vector<std::optional<std::string>>{dash, dash}))
      << "a title master's slides take the main master's styles, every paragraph of a text without a style atom";

  const std::string json = FormOf(image, SlideMode::kJson);
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("{\"text\":\"Zero\",\"level\":0,\"bullet\":\"" + dash + "\",\"links\":[]}"), std::string::npos) << json;
}

// A master's additional text style level: numbered or not where `hasScheme`, in a scheme
// from a start where `scheme`, and a character exception of a run id.
std::string NumberLevel(std::optional<bool> numbered, std::optional<std::pair<uint16_t, uint16_t>> scheme) {
  const uint32_t masks = (numbered ? 1u << 25 : 0) | (scheme ? 1u << 24 : 0);
  return Le32(masks) + (numbered ? Le16(*numbered ? 1 : 0) : "") +
         (scheme ? Le16(scheme->first) + Le16(scheme->second) : "") + Le32(1u << 20) + Le32(0);
}

// The main master of MakeMasterBulletDeck with additional styles in its tags: the body numbered
// in arabic at level 0, numbered in no scheme it names at level 1 (the document's styles name
// one), counting letters from c at level 2 without saying it is numbered; other text numbered.
// One slide: a body whose last paragraph's own entry turns numbering on, and a text box.
std::string MakeMasterNumberDeck() {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  std::string levels = Le16(3) + NumberLevel(true, std::make_pair(3, 1)) + NumberLevel(true, std::nullopt) +
                       NumberLevel(std::nullopt, std::make_pair(9, 3));
  const std::string otherLevels = Le16(1) + NumberLevel(true, std::make_pair(3, 1));
  const std::string data = Atom(0x0FAD, levels, 1) + Atom(0x0FAD, otherLevels, 4);
  const std::string tags =
      Container(0x1388, {Container(0x138A, {CString(0, u"___PPT9"), Atom(0x138B, data)})});
  offsets[2] = doc.Append(Container(
      rt::kMainMaster, {Atom(rt::kSlideAtom, std::string(24, '\0')), kMasterBody,
                        Drawing({ShapeWithText({ShapeText(u"Master text")})}), tags}));
  const std::string ownEntry = Le32(1u << 25) + Le16(1) + Le32(0) + Le32(0);
  const std::string shapeTags =
      Container(0x1388, {Container(0x138A, {CString(0, u"___PPT9"), Container(0x138B, {Atom(0x0FAC, ownEntry)})})});
  const std::string placeholder = Atom(rt::kPlaceholderAtom, Le32(0) + std::string(1, '\x0E') + std::string(3, '\0'));
  const std::string runs = ParagraphRun(2, 0, 0, "") + ParagraphRun(2, 0, 0, "") + ParagraphRun(2, 1, 0, "") +
                           ParagraphRun(2, 2, 0, "") + CharacterRun(6, 5) + CharacterRun(2, 0);
  const std::string body = Container(
      rt::kSpContainer, {Container(rt::kClientData, {placeholder, shapeTags}),
                         Container(rt::kClientTextbox, {TextHeaderAtom(1), ShapeText(u"A\rB\rC\rD"), Atom(0x0FA1, runs)})});
  offsets[3] = doc.Append(Container(
      rt::kSlide, {SlideAtomOfMaster(kMainMasterId), Drawing({body, ShapeWithText({TextHeaderAtom(4), ShapeText(u"Boxed")})})}));
  const std::string environment =
      Container(0x03F2, {TxMasterStyleAtom(4, {MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('>'))})});
  const std::string documentLevels =
      Le16(2) + NumberLevel(false, std::make_pair(3, 1)) + NumberLevel(std::nullopt, std::make_pair(12, 1));
  const std::string documentTags = Container(
      0x07D0, {Container(0x1388, {Container(0x138A, {CString(0, u"___PPT9"), Atom(0x138B, Atom(0x0FAD, documentLevels, 1))})})});
  offsets[1] = doc.Append(Container(
      rt::kDocument, {Atom(rt::kDocumentAtom, std::string(40, '\0')), environment,
                      Container(rt::kSlideListWithText, {SlidePersistAtom(2, kMainMasterId)}, 1), documentTags,
                      Container(rt::kSlideListWithText, {SlidePersistAtom(3, 256)}, 0)}));
  doc.AppendSave(offsets, 1);
  return BuildCfb(PresentationStreams(doc));
}

TEST(PptContent, NumbersLeftToTheMastersComeFromThem) {
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(MakeMasterNumberDeck(), deck), 0);
  ASSERT_EQ(deck.slides.size(), 1u);
  ASSERT_EQ(deck.slides[0].blocks.size(), 2u);
  // A and B count in the master's scheme (the document's says not numbered, under it); C in
  // the document's scheme; D's own entry numbers it in the scheme of its master's level.
  EXPECT_EQ(BulletsOf(deck.slides[0].blocks[0]), (std::vector<std::optional<std::string>>{"1.", "2.", "(1)", "c)"}));
  EXPECT_EQ(BulletsOf(deck.slides[0].blocks[1]), std::vector<std::optional<std::string>>{">"})
      << "a text box that is no placeholder takes no master's numbering";

  MasterTextStyles styles;
  const std::string cut = Le16(2) + NumberLevel(true, std::make_pair(3, 1)) + NumberLevel(true, std::make_pair(9, 3));
  for (size_t size = 0; size < cut.size(); ++size) {
    MasterTextStyles cutStyles;
    ReadMasterNumbering(reinterpret_cast<const uint8_t*>(cut.data()), size, 1, cutStyles);
    EXPECT_FALSE(cutStyles.numbers[1][1].numberedKnown) << size;
  }
  ReadMasterNumbering(reinterpret_cast<const uint8_t*>(cut.data()), cut.size(), 1, styles);
  EXPECT_TRUE(styles.numbers[1][1].Counts());
  EXPECT_EQ(styles.numbers[1][1].scheme, 9);

  // Tag data whose records run past its end, or hold the style atom as a container.
  const std::string data = Container(0x0FAD, {Atom(0x0FAD, cut, 1)}, 6) + Atom(0x0FAD, cut, 4);
  const size_t firstLevelEnd = data.size() - cut.size() + 2 + NumberLevel(true, std::make_pair(3, 1)).size();
  for (size_t size = 0; size <= data.size(); ++size) {
    MasterTextStyles fromData;
    ReadMasterTagData(reinterpret_cast<const uint8_t*>(data.data()), size, fromData);
    EXPECT_FALSE(fromData.numbers[6][0].numberedKnown || fromData.numbers[1][0].numberedKnown)
        << "a container is no style atom";
    EXPECT_EQ(fromData.numbers[4][0].numberedKnown, size >= firstLevelEnd) << size;
  }
}

// The layout kind each slide atom names, as its name; none for a kind no slide has, or a
// slide atom too short to name one.
TEST(PptContent, LayoutNamesFromTheSlideAtoms) {
  PptStreamBuilder doc;
  std::map<uint32_t, uint32_t> offsets;
  offsets[2] = doc.Append(SlideContainer({ShapeWithText({ShapeText(u"Master text")})}, rt::kMainMaster));
  const std::vector<std::string> atoms = {SlideAtomOfMaster(0, 0x00), SlideAtomOfMaster(0, 0x01), SlideAtomOfMaster(0, 0x10),
                                          SlideAtomOfMaster(0, 0x12), SlideAtomOfMaster(0, 0x02), SlideAtomOfMaster(0, 0x0C),
                                          Atom(rt::kSlideAtom, Le16(1))};
  std::vector<std::string> list;
  for (size_t i = 0; i < atoms.size(); ++i) {
    const auto persist = static_cast<uint32_t>(3 + i);
    offsets[persist] = doc.Append(Container(rt::kSlide, {atoms[i], Drawing({ShapeWithText({ShapeText(u"Text")})})}));
    list.push_back(SlidePersistAtom(persist, static_cast<uint32_t>(256 + i)));
  }
  const std::string image = FinishDeck(doc, offsets, list);
  SlideDeck deck;
  ASSERT_EQ(ReadPptDeck(image, deck), 0);
  std::vector<std::optional<std::string>> layouts;
  for (const Slide& slide : deck.slides) layouts.push_back(slide.layout);
  EXPECT_EQ(layouts, (std::vector<std::optional<std::string>>{"Title Slide", "Title and Body", "Blank",
                                                               "Vertical Title and Two Rows", std::nullopt,
                                                               std::nullopt, std::nullopt}));
  const std::string json = FormOf(image, SlideMode::kJson);
  EXPECT_EQ(SlidesSchemaProblem(json), "");
  EXPECT_NE(json.find("\"id\":258,\"section\":null,\"layout\":\"Blank\","), std::string::npos) << json;
}

// Master styles cut short give the levels they hold whole; a type past the last or a level
// past the fifth is none.
TEST(PptContent, DamagedMasterStylesGiveWhatTheyHold) {
  MasterTextStyles styles;
  const std::string whole = Le16(7) + MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('a')) +
                            MasterLevel(kMaskHasBullet, Le16(1));
  const size_t firstLevelEnd = 2 + MasterLevel(kMaskHasBullet | kMaskBulletChar, Le16(1) + Le16('a')).size();
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    MasterTextStyles cutStyles;
    ReadMasterTextStyle(reinterpret_cast<const uint8_t*>(whole.data()), cut, 1, cutStyles);
    EXPECT_EQ(cutStyles.levels[1][0].bulletKnown, cut >= firstLevelEnd) << cut;
    EXPECT_FALSE(cutStyles.levels[1][1].bulletKnown) << cut;
  }
  ReadMasterTextStyle(reinterpret_cast<const uint8_t*>(whole.data()), whole.size(), 1, styles);
  EXPECT_EQ(styles.levels[1][0].bulletChar, u'a');
  EXPECT_TRUE(styles.levels[1][1].hasBullet);
  ReadMasterTextStyle(reinterpret_cast<const uint8_t*>(whole.data()), whole.size(), 40, styles);
  const std::string named = Le16(1) + Le16(9) + MasterLevel(kMaskHasBullet, Le16(1));
  ReadMasterTextStyle(reinterpret_cast<const uint8_t*>(named.data()), named.size(), 6, styles);
  for (const ParagraphStyle& level : styles.levels[6]) EXPECT_FALSE(level.bulletKnown) << "level 9 is none of the five";

  ParagraphStyle deep;
  deep.level = 12;  // past the masters' levels: the deepest one's
  styles.levels[1][4].bulletKnown = styles.levels[1][4].hasBullet = true;
  InheritFromMasters(deep, 7, {nullptr, &styles});
  EXPECT_TRUE(deep.hasBullet) << "a half body from the body";
  ParagraphStyle unknownType;
  InheritFromMasters(unknownType, 99, {&styles});
  EXPECT_FALSE(unknownType.bulletKnown);

  // A body style atom cut inside its first level: the slide reads as without one.
  SlideDeck deck;
  std::string image = MakeMasterBulletDeck(Atom(0x0FA3, kMasterBody.substr(8, 7), 1));
  ASSERT_EQ(ReadPptDeck(image, deck), 0);
  ASSERT_EQ(deck.slides.size(), 2u);
  EXPECT_FALSE(deck.slides[0].blocks[0].paragraphs[0].bullet.has_value());
  EXPECT_EQ(deck.slides[0].blocks[0].paragraphs[5].bullet, "\xE2\x80\xA2") << "the run's bullet, no character known";
}

TEST(PptContent, MetadataAloneReadsNoSlide) {
  const std::string image = MakeLongSlideDeck();
  const size_t mark = image.find(kMark);
  ASSERT_NE(mark, std::string::npos);
  ConvertRequest request = RequestFor(PresentationKind::kPpt, 65001, SlideMode::kJson);
  std::vector<std::pair<uint64_t, uint64_t>> reads;
  ResultCode code = 0;
  const std::string json = ConvertWatched(image, request, code, reads);
  ASSERT_GT(code, 0);
  EXPECT_TRUE(AnyReadTouches(reads, mark, mark + kMark.size())) << "the whole form reads the slide";

  reads.clear();
  request.metadataOnly = true;
  request.mode = SlideMode::kText;  // neither the mode nor the code page counts
  request.codePage = 42;
  const std::string metadata = ConvertWatched(image, request, code, reads);
  ASSERT_GT(code, 0);
  EXPECT_FALSE(AnyReadTouches(reads, mark, mark + kMark.size()));
  EXPECT_EQ(metadata,
            "{\"title\":\"Caf\xC3\xA9 \xE2\x82\xAC 5\",\"author\":\"J\xC3\xBC" "rgen\",\"description\":\"Notes\\r\\nhere\",\"revision\":\"12\",\"created\":\"1999-12-31T23:59:59Z\","
            "\"modified\":\"2024-05-01T09:30:00Z\",\"category\":\"Berichte\",\"company\":\"\xC3\x84rzte \xE2\x82\xAC GmbH\","
            "\"application\":\"Microsoft PowerPoint\",\"custom\":{\"Pr\xC3\xBC" "fer\":\"\xD0\x96\xD1\x83\xD0\xBA\","
            "\"Qty\":-2,\"Ok\":true,\"H\":0.5}}\n");
  EXPECT_NE(json.find("\"metadata\":" + metadata.substr(0, metadata.size() - 1) + ",\"sections\":"), std::string::npos)
      << "the JSON form's member, byte for byte";
  EXPECT_EQ(SlidesSchemaProblem("{\"schema\":\"deckscribe/slides-2\",\"metadata\":" + metadata +
                                ",\"sections\":[],\"slides\":[],\"orphans\":[]}"),
            "");
}

}  // namespace
}  // namespace dkscr
