#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "XmlTestUtil.h"
#include "xml/detail/TagSyntax.h"

namespace dkscr {
namespace {

using test::LoadedXml;
using Lines = std::vector<std::string>;

TEST(XmlTree, TextLosesOuterWhiteSpaceUnlessPreserved) {
  LoadedXml plain("<a:t>  Hello  world  </a:t>");
  EXPECT_EQ(plain.Root().Name(), "a:t");
  EXPECT_EQ(plain.Root().Text(), "Hello  world");
  LoadedXml kept("<a:t xml:space=\"preserve\">  Hello  world  </a:t>");
  EXPECT_EQ(kept.Root().Text(), "  Hello  world  ");
  LoadedXml keptCase("<a:t XML:SPACE=\"PRESERVE\">  x </a:t>");
  EXPECT_EQ(keptCase.Root().Text(), "  x ");
  EXPECT_EQ(LoadedXml("<a:t> </a:t>").Root().Text(), "");
  EXPECT_EQ(LoadedXml("<a:t xml:space=\"preserve\"> </a:t>").Root().Text(), " ");
}

TEST(XmlTree, SpaceBeforeCloseSpoilsPreserve) {
  LoadedXml xml("<a:t xml:space=\"preserve\" > x </a:t>");
  EXPECT_EQ(xml.Root().Attributes().Lines(), (Lines{"xml:space=preserve\" "}));
  EXPECT_EQ(xml.Root().Text(), "x");
}

TEST(XmlTree, PreserveIsFoundAnywhereInALongTag) {
  // Padding moves "space=" across every offset of the 16-byte blocks the tag is scanned in.
  const struct {
    const char* attribute;
    const char* text;
  } cases[] = {
      {"xml:space=\"preserve\"", " x "},
      {"XML:SPACE=\"PRESERVE\"", " x "},
      {"xml:Space=\"preserve\" b=\"a&amp;b\"", " x "},
      {"xml:spade=\"preserve\"", "x"},
      {"xml:space =\"preserve\"", "x"},
      {"xml:space=\"preservex\"", "x"},
      {"xspace=\"preserve\"", "x"},
  };
  for (const auto& c : cases) {
    for (size_t pad = 0; pad < 40; ++pad) {
      const std::string xml =
          "<a:t z=\"" + std::string(pad, 'p') + "\" " + c.attribute + "> x </a:t>";
      EXPECT_EQ(LoadedXml(xml).Root().Text(), c.text) << xml;
    }
  }
}

TEST(XmlTree, WhiteSpaceFlagChangesOnlyAtTags) {
  // After the preserving element ends, the flag is still set: the space before <q/> becomes
  // the parent's text. <q/> clears it again.
  LoadedXml xml("<p><a:t xml:space=\"preserve\">x</a:t> <q/> <r/></p>");
  EXPECT_EQ(xml.Root().Text(), " ");
  ASSERT_EQ(xml.Root().ChildCount(), 3);
  // An empty-element tag sets the flag from its own attributes.
  LoadedXml empty("<p><e xml:space=\"preserve\"/> y </p>");
  EXPECT_EQ(empty.Root().Text(), " y ");
}

TEST(XmlTree, TextSplitByChildrenIsJoinedWithCrLf) {
  LoadedXml xml("<x>one<y/>two</x>");
  EXPECT_EQ(xml.Root().Text(), "one\r\ntwo");
  ASSERT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_EQ(xml.Root().Child(0)->Name(), "y");
  // Text that is only white space so far is replaced, not joined.
  LoadedXml blank("<x xml:space=\"preserve\">  <y/>two</x>");
  EXPECT_EQ(blank.Root().Text(), "two");
}

TEST(XmlTree, EarlierPiecesAreDecodedAgain) {
  EXPECT_EQ(LoadedXml("<x>&amp;lt;</x>").Root().Text(), "&lt;");
  EXPECT_EQ(LoadedXml("<x>&amp;lt;<y/>b</x>").Root().Text(), "<\r\nb");
  EXPECT_EQ(LoadedXml("<x>&amp;amp;lt;<y/>b<y/>c</x>").Root().Text(), "<\r\nb\r\nc");
  // "&lt;br/&gt;" decodes to "<br/>", which the next piece turns into a line break; the text
  // is then blank and the piece after that replaces it.
  EXPECT_EQ(LoadedXml("<x>&lt;br/&gt;<y/>b</x>").Root().Text(), "\r\n\r\nb");
  EXPECT_EQ(LoadedXml("<x>&lt;br/&gt;<y/>&amp;amp;<y/>c</x>").Root().Text(), "\r\n\r\n&\r\nc");
}

TEST(XmlTree, EscapesAndLineBreaksAnywhereInLongText) {
  // Padding moves the escape and the CR LF across every offset of the 16-byte blocks the
  // character data is scanned in; each is found wherever it lands.
  for (size_t pad = 0; pad < 40; ++pad) {
    const std::string before(pad, 'a');
    const std::string after(20, 'b');
    EXPECT_EQ(LoadedXml("<x>" + before + "&amp;" + after + "</x>").Root().Text(),
              before + "&" + after)
        << pad;
    EXPECT_EQ(LoadedXml("<x>" + before + "\r\n" + after + "</x>").Root().Text(), before + after)
        << pad;
    // A piece without "&" still decodes what the piece before left undecoded.
    EXPECT_EQ(LoadedXml("<x>" + before + "&amp;lt;<y/>" + after + "</x>").Root().Text(),
              before + "<\r\n" + after)
        << pad;
  }
}

// The text rule as stated, one whole decode per piece, against the builder's incremental one.
std::string NaiveText(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) {
    if (!TrimControl(text).empty()) {
      text = DecodeEscapes(text + "\r\n" + piece);
    } else {
      text = DecodeEscapes(piece);
    }
  }
  return text;
}

TEST(XmlTree, IncrementalDecodingMatchesWholeDecoding) {
  const std::vector<std::string> parts = {"&", "amp;", "lt;", "gt;", "quot;", "br/&gt;", "a",
                                          " ", "\n", "\r", "&lt;", "x&amp;"};
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> pieces;
    std::string xml = "<x>";
    const int count = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
      // Pieces begin and end with a significant byte, so the tokenizer keeps them whole.
      std::string piece = "b";
      const int length = static_cast<int>(rng() % 8);
      for (int j = 0; j < length; ++j) piece += parts[rng() % parts.size()];
      piece += ";";
      if (piece.find("\r\n") != std::string::npos || piece.find("\n\r") != std::string::npos) {
        continue;
      }
      if (i > 0) xml += "<y/>";
      xml += piece;
      pieces.push_back(piece);
    }
    xml += "</x>";
    ASSERT_EQ(LoadedXml(xml).Root().Text(), NaiveText(pieces)) << xml;
  }
}

TEST(XmlTree, ManyPiecesStayLinear) {
  // A million pieces would take hours if every piece decoded the whole text again.
  std::string xml = "<x>&amp;";
  for (int i = 0; i < 200000; ++i) xml += "<y/>a&amp;b";
  xml += "</x>";
  LoadedXml loaded(xml);
  EXPECT_EQ(loaded.Root().ChildCount(), 200000);
  EXPECT_EQ(loaded.Root().Text().substr(0, 9), "&\r\na&b\r\na");
}

TEST(XmlTree, EmptyElementTagAddsChildAndKeepsCurrent) {
  LoadedXml xml("<a:r><a:rPr lang=\"en-US\" b=\"1\"/><a:t>x</a:t></a:r>");
  XmlElement& run = xml.Root();
  ASSERT_EQ(run.ChildCount(), 2);
  EXPECT_EQ(run.Child(0)->Name(), "a:rPr");
  EXPECT_EQ(run.Child(0)->Attributes().Lines(), (Lines{"lang=en-US", "b=1"}));
  EXPECT_EQ(run.Child(0)->ChildCount(), 0);
  EXPECT_EQ(run.Child(1)->Text(), "x");
  EXPECT_EQ(run.Child(1)->Parent(), &run);
}

TEST(XmlTree, AttributesOfTagsWithLineBreaks) {
  // Line-break pairs are deleted from the tag before its attributes are taken; a lone LF
  // separates attributes like a space.
  XmlTree doc;
  doc.LoadFromStream("<r a=\"1\"\r\n b=\"2\"><e\nc=\"3\" d=\"4\"/><f g=\"x\r\ny\"/></r>");
  EXPECT_EQ(doc.Root().Attributes().Lines(), (Lines{"a=1", "b=2"}));
  EXPECT_EQ(doc.Root().Child(0)->Name(), "e\nc=\"3\"");
  EXPECT_EQ(doc.Root().Child(0)->Attributes().Lines(), (Lines{"d=4"}));
  EXPECT_EQ(doc.Root().Child(1)->Attributes().Lines(), (Lines{"g=xy"}));
  // Attributes read after the next load belong to the new tree.
  doc.LoadFromStream("<s h=\"5\"></s>");
  EXPECT_EQ(doc.Root().Attributes().Lines(), (Lines{"h=5"}));
  EXPECT_EQ(doc.Root().Attributes().Value("H"), "5");
}

TEST(XmlTree, DeclarationLeavesNoTrace) {
  LoadedXml xml("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<p:sld><p:cSld/></p:sld>");
  EXPECT_EQ(xml.Root().Name(), "p:sld");
  EXPECT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_TRUE(xml.Root().Attributes().Empty());
}

TEST(XmlTree, DoctypeBecomesTheRoot) {
  LoadedXml xml("<!DOCTYPE p:sld><p:sld><a:t>x</a:t></p:sld>");
  EXPECT_EQ(xml.Root().Name(), "!DOCTYPE");
  EXPECT_EQ(xml.Root().Attributes().Lines(), (Lines{"p:sld"}));
  ASSERT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_EQ(xml.Root().Child(0)->Name(), "p:sld");
}

TEST(XmlTree, EndTagNamesAreNotCompared) {
  LoadedXml xml("<r><a><b></x>t</y></z>");
  ASSERT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_EQ(xml.Root().Child(0)->Text(), "t");  // </x> closed b, so t belongs to a
}

TEST(XmlTree, TokensAfterTheDocumentElementAreIgnored) {
  LoadedXml xml("<r>x</r>after<s>y</s></t><u/>");
  EXPECT_EQ(xml.Root().Name(), "r");
  EXPECT_EQ(xml.Root().Text(), "x");
  EXPECT_EQ(xml.Root().ChildCount(), 0);
}

TEST(XmlTree, ProcessingInstructionStaysCurrent) {
  LoadedXml xml("<r><?pi x?><a/></r>");
  ASSERT_EQ(xml.Root().ChildCount(), 1);
  EXPECT_EQ(xml.Root().Child(0)->Name(), "?pi");
  EXPECT_EQ(xml.Root().Child(0)->ChildCount(), 1);
}

TEST(XmlTree, LoadReplacesTheTree) {
  XmlTree doc;
  doc.LoadFromStream("<a><b/></a>");
  doc.LoadFromStream("xx<c/>", 2);
  EXPECT_EQ(doc.Root().Name(), "");
  ASSERT_EQ(doc.Root().ChildCount(), 1);
  EXPECT_EQ(doc.Root().Child(0)->Name(), "c");
  doc.Clear();
  EXPECT_EQ(doc.Root().ChildCount(), 0);
  EXPECT_EQ(doc.Root().Name(), "");
}

TEST(XmlTree, NameEndsAtSpaceElseAtSlashElseAtClose) {
  // Names longer than sixteen bytes put the "/" or ">" beyond the first load of the scan.
  const std::string name21(21, 'n');
  const std::string name40(40, 'm');
  LoadedXml xml("<r><a/b/><c/d e=\"1\"/><" + name21 + "/w/><" + name40 +
                "/></><x/y></x/y></r>");
  const XmlElement& root = xml.Root();
  ASSERT_EQ(root.ChildCount(), 6);
  const std::vector<std::string> names{"a", "c/d", name21, name40, "", "x"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(root.Child(i)->Name(), names[i]) << i;
}

TEST(XmlItem, TreesOfManyBlocksAreFreedAndLoadedAgain) {
  // Hundreds of elements fill several blocks of the document's memory; a tree is freed
  // whole, or element by element once part of it has been cleared on its own.
  auto deck = [](int count, char letter) {
    std::string xml = "<r>";
    for (int i = 0; i < count; ++i) {
      xml += "<e" + std::to_string(i) + " k=\"" + std::to_string(i) + "\">" +
             std::string(20, letter) + "</e" + std::to_string(i) + ">";
    }
    return xml + "</r>";
  };
  auto check = [](const XmlTree& doc, int count, char letter) {
    ASSERT_EQ(doc.Root().ChildCount(), count);
    int i = 0;
    for (const XmlElement* item = doc.Root().FirstChild(); item != nullptr;
         item = item->NextSibling(), ++i) {
      EXPECT_EQ(item->Name(), "e" + std::to_string(i));
      EXPECT_EQ(item->Text(), std::string(20, letter));
      EXPECT_EQ(item->Attributes().Value("k"), std::to_string(i));
    }
  };
  XmlTree doc;
  for (const int count : {700, 3, 300, 1000}) {
    doc.LoadFromStream(deck(count, 'a'));
    check(doc, count, 'a');
    doc.Root().Child(count / 2)->Clear();
    doc.LoadFromStream(deck(count, 'b'));
    check(doc, count, 'b');
  }
  doc.Clear();
  EXPECT_EQ(doc.Root().ChildCount(), 0);
}

TEST(XmlItem, ChildrenByNameIgnoringCase) {
  LoadedXml xml("<r><A/><b/><a/></r>");
  EXPECT_EQ(xml.Root().IndexOfName("a"), 0);
  EXPECT_EQ(xml.Root().IndexOfName("B", 1), 1);
  EXPECT_EQ(xml.Root().IndexOfName("a", 1), 2);
  EXPECT_EQ(xml.Root().IndexOfName("c"), -1);
}

}  // namespace
}  // namespace dkscr
