// ConvertPpt on damaged and hostile presentations: the outcomes chosen where the format
// leaves them open, the faults mended, and bounds on stack, memory and time.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/NativePath.h"
#include "tests/ppt/PptTestUtil.h"
#include "tests/support/Conversions.h"
#ifndef _WIN32
#include "tests/support/ProcessGuards.h"
#endif
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

using namespace test;  // NOLINT: builders

// Slides 3 and 4 with text boxes "one" and "two", listed in that order.
PptStreamBuilder TwoSlides(const std::string& firstSlide = SlideWith({TextBytesAtom("one")})) {
  PptStreamBuilder doc;
  const uint32_t s3 = doc.Append(firstSlide);
  const uint32_t s4 = doc.Append(SlideWith({TextBytesAtom("two")}));
  doc.AppendSave({{1, doc.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(4)}))}, {3, s3}, {4, s4}}, 1);
  return doc;
}

TEST(PptChoices, EditChainThatLoopsEndsKeepingWhatWasLoaded) {
  PptStreamBuilder doc;
  const uint32_t s3 = doc.Append(SlideWith({TextBytesAtom("one")}));
  const uint32_t s4 = doc.Append(SlideWith({TextBytesAtom("two")}));
  const uint32_t document = doc.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(4)}));
  const uint32_t dirOld = doc.Append(PersistDirectoryAtom({{1, document}, {3, s3}}));
  const uint32_t dirNew = doc.Append(PersistDirectoryAtom({{4, s4}}));
  // Newest edit -> older edit -> back to the newest.
  const uint32_t older = static_cast<uint32_t>(doc.Bytes().size());
  const uint32_t newest = older + 36;
  doc.Append(UserEditAtom(newest, dirOld, 1));
  doc.Append(UserEditAtom(older, dirNew, 1));
  EXPECT_EQ(ConvertStream(doc.Bytes(), newest), "one\r\ntwo\r\n");
  // An edit naming itself as its predecessor.
  PptStreamBuilder self;
  const uint32_t s = self.Append(SlideWith({TextBytesAtom("self")}));
  const uint32_t d = self.Append(DocumentRecord({SlidePersistAtom(3)}));
  const uint32_t dir = self.Append(PersistDirectoryAtom({{1, d}, {3, s}}));
  const uint32_t edit = static_cast<uint32_t>(self.Bytes().size());
  self.Append(UserEditAtom(edit, dir, 1));
  EXPECT_EQ(ConvertStream(self.Bytes(), edit), "self\r\n");
}

TEST(PptChoices, UnresolvedPersistIdsGiveNoText) {
  PptStreamBuilder doc;
  const uint32_t s4 = doc.Append(SlideWith({TextBytesAtom("two")}));
  // Slide 3 is listed but not in the directory: skipped, slide 4 still read.
  doc.AppendSave({{1, doc.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(4)}))}, {4, s4}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "two\r\n");
  PptStreamBuilder noDocument;
  noDocument.AppendSave({{4, noDocument.Append(SlideWith({TextBytesAtom("two")}))}}, 1);
  const Converted c = ConvertDoc(noDocument);
  EXPECT_EQ(c.code, 3);
  EXPECT_EQ(c.text, "");
}

TEST(PptChoices, SlidePersistAtomOfWrongLengthIsPassedOver) {
  PptStreamBuilder doc;
  const uint32_t s3 = doc.Append(SlideWith({TextBytesAtom("one")}));
  const uint32_t s4 = doc.Append(SlideWith({OutlineTextRefAtom(0)}));
  const std::string longPersist = Atom(rt::kSlidePersistAtom, Le32(3) + std::string(20, '\0'));
  doc.AppendSave({{1, doc.Append(DocumentRecord({longPersist, SlidePersistAtom(4), TextHeaderAtom(), TextBytesAtom("two")}))},
                  {3, s3}, {4, s4}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "two\r\n");
}

TEST(PptChoices, RecordRunningPastItsContainerEndsThatObjectOnly) {
  // The text box claims 22 bytes; its second atom takes 14 where 10 are left.
  const std::string box = RecordHeader(0x0F, 0, rt::kClientTextbox, 12 + 10) + TextBytesAtom("kept") +
                          RecordHeader(0, 0, rt::kTextBytesAtom, 6) + "beyond" + TextBytesAtom("lost");
  EXPECT_EQ(ConvertDoc(TwoSlides(Container(rt::kSlide, {Container(rt::kSpContainer, {box})}))).text,
            "kept\r\nbeyond\r\ntwo\r\n");
  // The slide claims 16 bytes; its text box alone takes 20.
  const std::string slide = RecordHeader(0x0F, 0, rt::kSlide, 16) + Container(rt::kClientTextbox, {TextBytesAtom("kept")}) +
                            TextBytesAtom("lost");
  EXPECT_EQ(ConvertDoc(TwoSlides(slide)).text, "kept\r\ntwo\r\n");
}

TEST(PptChoices, StreamEndingInsideAContainer) {
  PptStreamBuilder doc;
  const uint32_t s3 = doc.Append(SlideWith({TextBytesAtom("one")}));
  const uint32_t document = doc.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(4)}));
  // Slide 4 is the last thing in the stream and is cut inside its last atom.
  const size_t dirSize = PersistDirectoryAtom({{1, 0}, {3, 0}, {4, 0}}).size();
  const auto s4 = static_cast<uint32_t>(doc.Bytes().size() + dirSize + 36);
  const uint32_t dir = doc.Append(PersistDirectoryAtom({{1, document}, {3, s3}, {4, s4}}));
  const uint32_t edit = doc.Append(UserEditAtom(0, dir, 1));
  const std::string slide = SlideWith({TextBytesAtom("two"), TextBytesAtom("cut off")});
  doc.Append(slide.substr(0, slide.size() - 4));
  EXPECT_EQ(ConvertStream(doc.Bytes(), edit), "one\r\ntwo\r\ncut\r\n");
}

TEST(PptChoices, SlideListCutInsideItsLastText) {
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideWith({OutlineTextRefAtom(0)}));
  const std::string document = DocumentRecord({SlidePersistAtom(3), TextHeaderAtom(), TextBytesAtom("Hello, world")});
  // The document record is the last thing in the stream, cut after "Hello".
  const size_t dirSize = PersistDirectoryAtom({{1, 0}, {3, 0}}).size();
  const auto at = static_cast<uint32_t>(doc.Bytes().size() + dirSize + 36);
  const uint32_t edit = doc.Append(UserEditAtom(0, doc.Append(PersistDirectoryAtom({{1, at}, {3, slide}})), 1));
  doc.Append(document.substr(0, document.size() - 7));
  EXPECT_EQ(ConvertStream(doc.Bytes(), edit), "Hello\r\n");
}

TEST(PptChoices, PersistDirectoryShorterThanItsLength) {
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideWith({TextBytesAtom("one")}));
  const uint32_t document = doc.Append(DocumentRecord({SlidePersistAtom(2), SlidePersistAtom(3)}));
  const uint32_t edit = doc.Append(UserEditAtom(0, static_cast<uint32_t>(doc.Bytes().size() + 36), 1));
  // The directory claims 1000 bytes and a run of 5 ids; the stream holds 3 words and 2 bytes.
  doc.Append(RecordHeader(0, 0, rt::kPersistDirectoryAtom, 1000) + Le32(1 | (5u << 20)) + Le32(document) + Le32(slide) + "\x01\x02");
  // Ids 1 and 2 resolve; id 3 would need a word that was never read.
  EXPECT_EQ(ConvertStream(doc.Bytes(), edit), "one\r\n");
}

TEST(PptMended, OddTextCharsLengthDoesNotShiftLaterText) {
  const std::string odd = RecordHeader(0, 0, rt::kTextCharsAtom, 5) + Utf16Le(u"ab") + "X";
  EXPECT_EQ(ConvertDoc(TwoSlides(SlideWith({odd, TextCharsAtom(u"cd")}))).text, "ab\r\ncd\r\ntwo\r\n");
}

TEST(PptMended, ShortOutlineReferenceGivesNothing) {
  PptStreamBuilder doc;
  const uint32_t s3 = doc.Append(SlideWith({Atom(rt::kOutlineTextRefAtom, "\x00\x00"), Atom(rt::kOutlineTextRefAtom, ""),
                                            Atom(rt::kOutlineTextRefAtom, Le32(0) + Le32(7)), TextBytesAtom("after")}));
  doc.AppendSave({{1, doc.Append(DocumentRecord({SlidePersistAtom(3), TextHeaderAtom(), TextBytesAtom("line")}))}, {3, s3}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "line\r\nafter\r\n");
}

TEST(PptFailures, FormatErrorsOfTheReader) {
  EXPECT_EQ(ConvertDoc(TwoSlides(SlideWith({OutlineTextRefAtom(-1)}))).code, -5);
  EXPECT_EQ(ConvertDoc(TwoSlides(RecordHeader(0x0F, 0, rt::kSlide, 0))).code, -5);
  PptStreamBuilder early;
  early.AppendSave({{1, early.Append(DocumentRecord({TextHeaderAtom(), SlidePersistAtom(3)}))}}, 1);
  EXPECT_EQ(ConvertDoc(early).code, -5);
  PptStreamBuilder noLine;
  noLine.AppendSave({{1, noLine.Append(DocumentRecord({SlidePersistAtom(3), TextCharsAtom(u"x")}))}}, 1);
  EXPECT_EQ(ConvertDoc(noLine).code, -5);
}

#ifndef _WIN32  // FIFOs and devices; tests/windows has Windows' own
TEST(PptFailures, SpecialFilesCannotBeOpenedAndNeverBlock) {
  ScratchDir dir;
  const std::string fifo = dir.Path("fifo.ppt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Each in a child: opening the FIFO for reading would wait for a writer forever.
  for (const std::string& path : {fifo, std::string("/dev/null"), std::string("/dev/zero")}) {
    EXPECT_EQ(StatusInChild([&] {
                OutputBuffer out;
                return ConvertPpt(PathFromNative(path), out, 1252);
              }),
              static_cast<uint8_t>(kResultSourceOpenError))
        << path;
  }
  // Nor does the conversion entry asked to choose by content.
  EXPECT_EQ(StatusInChild([&] {
              OutputBuffer out;
              ConvertRequest request;
              return ConvertFile(fifo, request, out);
            }),
            static_cast<uint8_t>(kResultSourceOpenError));
}
#endif

TEST(PptBounds, MillionNestedContainersDoNotOverflowTheStack) {
  constexpr uint32_t kDepth = 1000000;
  std::string nested;
  nested.reserve(kDepth * 8 + 64);
  const std::string text = TextBytesAtom("deep");
  for (uint32_t i = 0; i < kDepth; ++i) nested += RecordHeader(0x0F, 0, rt::kSpContainer, (kDepth - i - 1) * 8 + static_cast<uint32_t>(text.size()));
  nested += text;
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(RecordHeader(0x0F, 0, rt::kSlide, static_cast<uint32_t>(nested.size())) + nested);
  // The document record is as deep: its walk must survive it too.
  const std::string list = SlidePersistAtom(3);
  std::string deepDoc;
  for (uint32_t i = 0; i < kDepth; ++i) deepDoc += RecordHeader(0x0F, 0, 0x1234, (kDepth - i - 1) * 8 + static_cast<uint32_t>(list.size()));
  deepDoc += list;
  const uint32_t document = doc.Append(RecordHeader(0x0F, 0, 0x03E8, static_cast<uint32_t>(deepDoc.size())) + deepDoc);
  doc.AppendSave({{1, document}, {3, slide}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "deep\r\n");
}

TEST(PptBounds, HugeLengthsReadOnlyWhatTheStreamHolds) {
  const std::string tail = RecordHeader(0, 0, rt::kTextBytesAtom, 0x7FFFFFF0) + "tail";
  PptStreamBuilder doc;
  const uint32_t document = doc.Append(DocumentRecord({SlidePersistAtom(3)}));
  const uint32_t dir = doc.Append(PersistDirectoryAtom({{1, document}, {3, static_cast<uint32_t>(doc.Bytes().size() + 24 + 36)}}));
  const uint32_t edit = doc.Append(UserEditAtom(0, dir, 1));
  doc.Append(RecordHeader(0x0F, 0, rt::kSlide, 0xFFFFFFF0) + tail);
  EXPECT_EQ(ConvertStream(doc.Bytes(), edit), "tail\r\n");
}

TEST(PptBounds, ObjectListedOverAndOverIsBounded) {
  // A 300 KB text atom listed 400 times would make 240 MB of text.
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideWith({TextBytesAtom(std::string(300000, 'x'))}));
  std::vector<std::string> list(400, SlidePersistAtom(3));
  doc.AppendSave({{1, doc.Append(DocumentRecord(list))}, {3, slide}}, 1);
  EXPECT_EQ(ConvertDoc(doc).code, -5);
  // A few repeats stay within bounds and come out as often as listed.
  PptStreamBuilder few;
  const uint32_t small = few.Append(SlideWith({TextBytesAtom("again")}));
  few.AppendSave({{1, few.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(3)}))}, {3, small}}, 1);
  EXPECT_EQ(ConvertDoc(few).text, "again\r\nagain\r\n");
}

}  // namespace
}  // namespace dkscr
