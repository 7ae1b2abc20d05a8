// ConvertPpt end to end on well-formed presentations, saves and the opening outcomes.
#include <gtest/gtest.h>

#include <thread>

#include "platform/Utf.h"
#include "tests/ppt/PptTestUtil.h"
#include "tests/support/Conversions.h"
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

using namespace test;  // NOLINT: builders

TEST(ConvertPpt, SlidesThenNotesWithoutMasters) {
  const Converted c = ConvertImage(MakePresentation({u"One", u"Two", u"Three"}, {u"", u"Notes two", u""}));
  EXPECT_EQ(c.text, "One\r\nTwo\r\nThree\r\nNotes two\r\n");
  EXPECT_EQ(c.code, 3 + static_cast<int>(c.text.size()));
}

TEST(ConvertPpt, EncodesInTheRequestedCodePage) {
  const std::string image = MakePresentation({u"H\u00e9"});
  OutputBuffer out;
  ASSERT_EQ(test::ConvertPptBytes(image, out, 1200), 10);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), 10), std::string("\xFF\xFEH\0\xE9\0\r\0\n\0", 10));
  ASSERT_EQ(test::ConvertPptBytes(image, out, 1252), 4);  // the same buffer, resized
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), 4), "H\xE9\r\n");
  ASSERT_EQ(test::ConvertPptBytes(image, out, 65001), 8);
  EXPECT_EQ(out.BlockSize(), 9u);
}

TEST(ConvertPpt, ShapesComeOutInDrawingOrder) {
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideContainer({ShapeWithText({OutlineTextRefAtom(0)}),
                                                    ShapeWithText({TextCharsAtom(u"Free box")}),
                                                    ShapeWithText({OutlineTextRefAtom(1)})}));
  const uint32_t document = doc.Append(DocumentRecord({SlidePersistAtom(3), TextHeaderAtom(0), TextBytesAtom("Title"),
                                                       TextHeaderAtom(1), TextCharsAtom(u"Body")}));
  doc.AppendSave({{1, document}, {3, slide}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "Title\r\nFree box\r\nBody\r\n");
}

TEST(ConvertPpt, TextAtomsOfOneSlide) {
  const struct {
    std::vector<std::string> records;
    std::string text;
  } cases[] = {
      {{TextBytesAtom("\x80 \xE9\x9F")}, "\xE2\x82\xAC \xC3\xA9\xC5\xB8\r\n"},  // Windows-1252: U+20AC, U+00E9, U+0178
      {{TextCharsAtom(u"Para one\rPara\u000btwo")}, "Para one\r\nPara\x0btwo\r\n"},  // soft breaks stay
      {{TextCharsAtom(u""), TextBytesAtom("")}, "\r\n\r\n"},  // an empty atom is an empty line
  };
  for (const auto& c : cases) {
    PptStreamBuilder doc;
    const uint32_t slide = doc.Append(SlideWith(c.records));
    doc.AppendSave({{1, doc.Append(DocumentRecord({SlidePersistAtom(3)}))}, {3, slide}}, 1);
    EXPECT_EQ(ConvertDoc(doc).text, c.text);
  }
}

TEST(ConvertPpt, OutlineReferencesPickTheirLine) {
  PptStreamBuilder doc;
  const uint32_t slide = doc.Append(SlideWith({OutlineTextRefAtom(5), OutlineTextRefAtom(1), OutlineTextRefAtom(0)}));
  const uint32_t other = doc.Append(SlideWith({OutlineTextRefAtom(0)}));  // its entry has no lines
  doc.AppendSave({{1, doc.Append(DocumentRecord({SlidePersistAtom(3), TextHeaderAtom(), TextBytesAtom("first"),
                                                 TextHeaderAtom(), TextBytesAtom("second"), SlidePersistAtom(4)}))},
                  {3, slide}, {4, other}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "second\r\nfirst\r\n");
}

// The slide list's text beyond its first 64 KB is read again from the stream when a slide
// shows it: a line of several atoms, some kept and some read again, lines longer than the
// blocks they are read in, in the mini stream and in regular sectors.
TEST(ConvertPpt, SlideListLinesReadBackFromTheStream) {
  std::u16string wide;
  std::string bytes;
  for (int i = 0; i < 40000; ++i) {
    wide += i % 7 == 0 ? u'\u65e5' : static_cast<char16_t>(u'a' + i % 26);
    bytes += i % 9 == 0 ? '\x80' : static_cast<char>('A' + i % 26);
  }
  std::string bytesUtf8;
  for (char c : bytes) bytesUtf8 += c == '\x80' ? "\xE2\x82\xAC" : std::string(1, c);
  const struct {
    std::vector<std::string> atoms;
    std::string text;
  } cases[] = {
      {{TextBytesAtom("ab"), TextCharsAtom(u"\u20ac"), TextBytesAtom("c")}, "ab\xE2\x82\xAC" "c\r\n"},
      {{TextCharsAtom(wide)}, WideToUtf8(wide) + "\r\n"},
      {{TextBytesAtom(bytes), TextBytesAtom("!")}, bytesUtf8 + "!\r\n"},
      {{TextBytesAtom(bytes), TextBytesAtom(bytes), TextCharsAtom(u"\u20ac")}, bytesUtf8 + bytesUtf8 + "\xE2\x82\xAC\r\n"},
  };
  for (const auto& c : cases) {
    PptStreamBuilder doc;
    const uint32_t slide = doc.Append(SlideWith({OutlineTextRefAtom(1), OutlineTextRefAtom(0)}));
    std::vector<std::string> list = {SlidePersistAtom(3), TextHeaderAtom(), TextBytesAtom("first")};
    list.push_back(TextHeaderAtom());
    list.insert(list.end(), c.atoms.begin(), c.atoms.end());
    doc.AppendSave({{1, doc.Append(DocumentRecord(list))}, {3, slide}}, 1);
    EXPECT_EQ(ConvertDoc(doc).text, c.text + "first\r\n");
  }
}

TEST(ConvertPpt, IncrementalSavesReadTheNewestObjects) {
  PptStreamBuilder doc;
  const uint32_t oldSlide = doc.Append(SlideWith({TextBytesAtom("Old text")}));
  const uint32_t kept = doc.Append(SlideWith({TextBytesAtom("Kept")}));
  const uint32_t oldDoc = doc.Append(DocumentRecord({SlidePersistAtom(3), SlidePersistAtom(4)}));
  // The first save names document 9; the newest names document 1, which counts.
  const uint32_t otherDoc = doc.Append(DocumentRecord({SlidePersistAtom(4)}));
  doc.AppendSave({{1, oldDoc}, {3, oldSlide}, {4, kept}, {9, otherDoc}}, 9);
  const uint32_t newSlide = doc.Append(SlideWith({TextBytesAtom("New text")}));
  doc.AppendSave({{1, oldDoc}, {3, newSlide}}, 1);
  EXPECT_EQ(ConvertDoc(doc).text, "New text\r\nKept\r\n");
}

TEST(ConvertPpt, EncryptedIsRefusedBeforeTheDocumentStream) {
  OutputBuffer out;
  ASSERT_EQ(test::ConvertPptBytes(MakePresentation({u"x"}), out, 65001), 6);
  const uint8_t* block = out.Data();
  const std::string image = BuildCfb({{u"Current User", CurrentUserAtom(0, kTokenEncrypted)}});
  EXPECT_EQ(test::ConvertPptBytes(image, out, 65001), -11);
  EXPECT_EQ(out.Data(), block);  // a failed call leaves the buffer alone
  EXPECT_EQ(ConvertDoc(MakePresentationStream({u"secret"}), kTokenEncrypted).code, -11);
}

TEST(ConvertPpt, CompoundDocumentsThatAreNoPresentationGiveEmptyText) {
  const PptStreamBuilder good = MakePresentationStream({u"text"});
  std::string badUserEdit = good.Bytes();
  badUserEdit[good.LastEdit() + 2] = 0x01;  // not a user-edit atom
  std::string cuShortSize = CurrentUserAtom(good.LastEdit());
  cuShortSize[8] = 19;
  const std::vector<std::vector<CfbStream>> cases = {
      {{u"WordDocument", std::string(5000, 'w')}},
      {{u"Current User", CurrentUserAtom(good.LastEdit(), 0x12345678)}, {u"PowerPoint Document", good.Bytes()}},
      {{u"Current User", cuShortSize}, {u"PowerPoint Document", good.Bytes()}},
      {{u"Current User", CurrentUserAtom(good.LastEdit()).substr(0, 20)}, {u"PowerPoint Document", good.Bytes()}},
      {{u"Current User", CurrentUserAtom(0)}, {u"PowerPoint Document", good.Bytes()}},
      {{u"Current User", CurrentUserAtom(good.LastEdit())}, {u"PowerPoint Document", badUserEdit}},
      {{u"Current User", CurrentUserAtom(good.LastEdit())}},
      {{u"Current User", CurrentUserAtom(good.LastEdit() + 1)}, {u"PowerPoint Document", good.Bytes()}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    OutputBuffer out;
    EXPECT_EQ(test::ConvertPptBytes(BuildCfb(cases[i]), out, 1252), 0);
    EXPECT_TRUE(out.HasBlock());
    EXPECT_EQ(ConvertImage(BuildCfb(cases[i])).code, 3);  // just the byte-order mark
  }
  EXPECT_EQ(ConvertImage(BuildCfb(PresentationStreams(good))).text, "text\r\n");
}

TEST(ConvertPpt, FilesOnDisk) {
  OutputBuffer out;
  EXPECT_EQ(ConvertPpt(u"/nonexistent-dir/missing.ppt", out, 65001), -2);
  EXPECT_EQ(ConvertPpt(u"/tmp", out, 65001), -5);
  EXPECT_FALSE(out.HasBlock());
  const ScratchDir dir;
  EXPECT_EQ(ConvertPpt(dir.Put("text.ppt", "plain text, not a presentation at all"), out, 65001), -5);
  const std::string v4 = BuildCfb(PresentationStreams(MakePresentationStream({u"On disk"}, {u"Notes"})), 4);
  ASSERT_EQ(ConvertPpt(dir.Put("v4.ppt", v4), out, 1252), 16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), 16), "On disk\r\nNotes\r\n");
}

TEST(ConvertPpt, ConversionsRunSideBySide) {
  std::vector<std::string> images, expected, results(4);
  for (char deck = 'A'; deck < 'E'; ++deck) {
    const std::vector<std::u16string> slides(50, u"Deck " + std::u16string(1, static_cast<char16_t>(deck)) + u" slide");
    images.push_back(MakePresentation(slides, {u"n"}));
    std::string text;
    for (int k = 0; k < 50; ++k) text += std::string("Deck ") + deck + " slide\r\n";
    expected.push_back(text + "n\r\n");
  }
  std::vector<std::thread> threads;
  for (size_t i = 0; i < images.size(); ++i) {
    threads.emplace_back([&, i] {
      for (int round = 0; round < 20; ++round) results[i] = ConvertImage(images[i]).text;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(results, expected);
}

}  // namespace
}  // namespace dkscr
