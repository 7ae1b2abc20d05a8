// One document loaded again and again, as a converter loads slide after slide: each load
// gives the tree a fresh document would, whatever came before, and nothing stays allocated.
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "xml/XmlTree.h"

// Live allocations of the whole test program, to tell whether loads leave memory behind.
namespace {
std::atomic<long> gLiveAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  gLiveAllocations.fetch_add(1, std::memory_order_relaxed);
  return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept {
  if (memory == nullptr) return;
  gLiveAllocations.fetch_sub(1, std::memory_order_relaxed);
  std::free(memory);
}
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
void operator delete[](void* memory, std::size_t) noexcept { operator delete(memory); }

namespace dkscr {
namespace {

// The tree as text: names, texts and attribute lines, depth first.
void Describe(const XmlElement& item, std::string& out) {
  out.append("<").append(item.Name()).append("|").append(item.Text());
  for (const std::string& line : item.Attributes().Lines()) out.append("|@").append(line);
  for (const XmlElement* child = item.FirstChild(); child != nullptr; child = child->NextSibling()) {
    Describe(*child, out);
  }
  out.append(">");
}

std::string Fresh(const std::string& xml) {
  XmlTree tree;
  tree.LoadFromStream(xml);
  std::string out;
  Describe(tree.Root(), out);
  return out;
}

std::vector<std::string> Documents() {
  std::string big = "<p:sld a=\"1\">";
  for (int i = 0; i < 20000; ++i) {
    big += "<a:r><a:t>run " + std::to_string(i) + " with a text longer than a string holds in place</a:t></a:r>";
  }
  big += "</p:sld>";
  return {
      "<a b=\"c\">short</a>",
      big,
      "<x>after the big one</x>",  // the big buffer is given back, not reused
      std::string("<z>zero\0<hidden>gone</hidden></z>", 33),
      "<a:t xml:space=\"preserve\">  kept  </a:t>",
      "<a\r\n b=\"&amp;&lt;\">one\r\ntwo &gt; three</a>",
      "",
      "<y k=\"v\">a text long enough to need memory of its own, twice over</y>",
      "<y>x</y>",  // the same size again: reads no byte of the one before
      "<r><c k=\"v\">x</c><c k=\"w\"/></r>",  // attribute lines below the root
  };
}

TEST(XmlReloadTest, EveryLoadGivesWhatAFreshDocumentGives) {
  const std::vector<std::string> documents = Documents();
  XmlTree tree;
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& xml : documents) {
      SCOPED_TRACE(xml.substr(0, 40));
      tree.LoadFromStream(xml);
      std::string out;
      Describe(tree.Root(), out);
      EXPECT_EQ(out, Fresh(xml));
    }
  }
  tree.LoadFromStream("<q>left behind</q>", 3);  // from a position
  EXPECT_EQ(tree.Root().Name(), "");
  EXPECT_EQ(tree.Root().Text(), "left behind");
}

// The input ends at its first zero byte, wherever it falls: in a tag, an end tag, text or
// white space, at every offset of the 16-byte blocks the scanners read.
TEST(XmlReloadTest, AZeroByteEndsTheInputWhereverItFalls) {
  const std::string xml =
      "<p:sld xmlns:a=\"http://example.org/drawing\"><a:t xml:space=\"preserve\"> one &amp; two "
      "</a:t>\r\n  <a:p><a:r><a:rPr lang=\"en-US\" dirty=\"0\"/><a:t>three\nfour</a:t></a:r></a:p>"
      "<!-- a comment --><a:br/></p:sld>";
  const std::string after = std::string(1, '\0') + "<late>text</late>>>><<";
  XmlTree tree;
  for (size_t cut = 0; cut <= xml.size(); ++cut) {
    SCOPED_TRACE(cut);
    tree.LoadFromStream(xml.substr(0, cut) + after);
    std::string out;
    Describe(tree.Root(), out);
    EXPECT_EQ(out, Fresh(xml.substr(0, cut)));
  }
}

TEST(XmlReloadTest, LoadsLeaveNoMemoryBehind) {
  const std::vector<std::string> documents = Documents();
  const long before = gLiveAllocations.load();
  {
    XmlTree tree;
    for (int pass = 0; pass < 3; ++pass) {
      for (const std::string& xml : documents) {
        tree.LoadFromStream(xml);
        std::string out;
        if (pass == 1) Describe(tree.Root(), out);  // attribute lines made on demand
      }
    }
    // Part of a tree freed on its own, its slots then taken by the next elements.
    tree.LoadFromStream("<r><s><t>a text long enough to need memory of its own</t></s><u/></r>");
    tree.Root().FirstChild()->Clear();
    tree.LoadFromStream(documents[7]);
    tree.LoadFromStream(documents[1]);
    tree.Clear();
  }
  EXPECT_EQ(gLiveAllocations.load(), before);
}

}  // namespace
}  // namespace dkscr
