// Passing over an element without events must leave the walker exactly where walking it
// event by event would, and must give up (reading nothing) whenever walking could see more.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

// The starts and ends a walk sees, as "+name@depth" and "-name@depth" (the depth after the
// event). With `stops`, every element named "s" is passed over with SkipRest(stops), a pass
// that gives up marked "!"; without, the insides of the outermost "s" are walked but left out
// when `hide`, else all walked and each "s" marked as given up.
std::string Trace(std::string_view xml, const std::vector<std::string_view>* stops, bool hide = true) {
  MarkupWalker walker(xml);
  std::string trace;
  const auto note = [&](char sign) {
    trace += sign + std::string(walker.Local()) + "@" + std::to_string(walker.Depth()) + " ";
  };
  size_t hiddenFrom = 0;  // depth of the "s" whose insides are left out, 0 when none
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (event == Event::kText) continue;
    if (hiddenFrom != 0) {
      if (walker.Depth() < hiddenFrom) {
        hiddenFrom = 0;
        note('-');
      }
      continue;
    }
    note(event == Event::kStartElement ? '+' : '-');
    if (event != Event::kStartElement || walker.Local() != "s") continue;
    if (stops == nullptr) {
      if (hide) hiddenFrom = walker.Depth();
      if (!hide) trace += "! ";
    } else if (walker.SkipRest(*stops)) {
      note('-');
    } else {
      trace += "! ";
    }
  }
  return trace;
}

std::string Skipped(std::string_view xml, std::vector<std::string_view> stops = {}) { return Trace(xml, &stops); }
std::string Walked(std::string_view xml) { return Trace(xml, nullptr); }

TEST(MarkupSkipTest, PassingOverEndsWhereWalkingEnds) {
  const std::vector<std::string> documents = {
      // Quoted values holding markup characters, in both quotes.
      R"(<r><s><a v="x>y</s>"/><b w='<c>' v="'"/>t</s><after/></r>)",
      // Comments, CDATA sections, instructions and declarations that hold end tags.
      "<r><s><!-- </s> <x> --><![CDATA[</s>]]><?pi x?><!DOCTYPE d></s><after/></r>",
      // An instruction ends at its first \">\", even inside a would-be end tag.
      "<r><s><?pi </s>?></s><after/></r>",
      // The same name nested, empty elements, prefixes and spaces in end tags.
      "<r><p:s><a:s><s/><s></s></a:s></p:s ><after/></r>",
      // End tags are counted whatever their names.
      "<r><s><a></b></s><after/></r>",
      // Alternatives inside are passed over with everything else.
      "<r><s><mc:AlternateContent><mc:Choice><x/></mc:Choice><mc:Fallback><y/></mc:Fallback>"
      "</mc:AlternateContent></s><mc:AlternateContent><mc:Choice><k/></mc:Choice></mc:AlternateContent></r>",
      // Character data with line breaks and references around the markup.
      "<r>\n<s>a &lt; b\r\n<t>x</t>\n</s>\n<after/>\n</r>",
      // Two in a row, and one at the outermost level.
      "<s><x/></s><r><s></s><s><y/></s><after/></r>",
      // Long names and long values (past the sixteen bytes read at once).
      R"(<r><s><averyveryverylongprefix:averylongname attribute="a value longer than sixteen bytes >"/></s><after/></r>)",
  };
  for (const std::string& xml : documents) {
    const std::string skipped = Skipped(xml);
    EXPECT_EQ(skipped, Walked(xml)) << xml;
    EXPECT_EQ(skipped.find('!'), std::string::npos) << xml;
  }
  EXPECT_EQ(Skipped("<r><s><a/><b>t</b></s><after/></r>"), "+r@1 +s@2 -s@1 +after@2 -after@1 -r@0 ");
}

TEST(MarkupSkipTest, GivesUpOnWhatTheCallerReadsAndOnInputThatEndsInside) {
  const std::vector<std::string> documents = {
      "<r><s><a/><ph/></s><after/></r>",                  // a stop, empty
      "<r><s><a><p:ph type=\"x\">t</p:ph></a></s><after/></r>",  // a stop, prefixed, holding more
      "<r><s><a></a>",                                        // the input ends inside
      "<r><s><a v=\"x></s><after/></r>",                       // a value that never closes
      "<r><s><!-- </s><after/></r>",                           // a comment that never closes
      "<r><s><![CDATA[ </s><after/></r>",                      // a CDATA section that never closes
      std::string("<r><s><a/>\0</s><after/></r>", 26),         // a zero byte ends the input
  };
  for (const std::string& xml : documents) {
    const std::string skipped = Skipped(xml, {"ph"});
    EXPECT_NE(skipped.find('!'), std::string::npos) << xml;
    // Giving up reads nothing: the walk goes on from the same place and sees every event.
    const std::string walked = Trace(xml, nullptr, false);
    EXPECT_EQ(skipped, walked) << xml;
  }
  // A stop's name is matched as a whole local name, whatever its length.
  EXPECT_EQ(Skipped("<r><s><phx/><p:xph/></s></r>", {"ph"}).find('!'), std::string::npos);
  const std::string longName(70, 'n');
  const std::string longStop = "<r><s><x:" + longName + "/></s></r>";
  EXPECT_NE(Skipped(longStop, {"ph", longName}).find('!'), std::string::npos);
  EXPECT_EQ(Skipped(longStop, {"ph", longName + "m"}).find('!'), std::string::npos);
  // Without stops only the nesting matters.
  EXPECT_EQ(Skipped("<r><s><ph/><ph></ph></s></r>"), "+r@1 +s@2 -s@1 -r@0 ");
  // An empty element has nothing to pass over: its end comes as an event.
  EXPECT_EQ(Skipped("<r><s/><after/></r>"), "+r@1 +s@2 ! -s@1 +after@2 -after@1 -r@0 ");
}

TEST(MarkupSkipTest, BytesAlreadyGivenUpOnAreNotScannedAgain) {
  // The outer pass gives up at the stop; the inner element, skippable alone, lies before it
  // and is walked, so that nested elements cannot make the scans quadratic.
  EXPECT_EQ(Skipped("<r><s><s><x/></s><ph/></s></r>", {"ph"}),
            "+r@1 +s@2 ! +s@3 ! +x@4 -x@3 -s@2 +ph@3 -ph@2 -s@1 -r@0 ");
  // Past that point passing over works again.
  EXPECT_EQ(Skipped("<r><s><ph/></s><s><x/></s></r>", {"ph"}), "+r@1 +s@2 ! +ph@3 -ph@2 -s@1 +s@2 -s@1 -r@0 ");
}

// What passing over "s" with the stop "ph" must give, worked out from a walk of every event:
// an "s" that closes, with no "ph" starting inside, is passed over; any other gives up, and so
// does every "s" that starts before where the last one gave up.
std::string Expected(std::string_view xml) {
  struct Seen {
    bool start;
    std::string local;
    size_t depth;
  };
  std::vector<Seen> events;
  MarkupWalker walker(xml);
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (event != Event::kText) events.push_back({event == Event::kStartElement, std::string(walker.Local()), walker.Depth()});
  }
  std::string trace;
  const auto note = [&](const Seen& e) {
    trace += (e.start ? "+" : "-") + e.local + "@" + std::to_string(e.depth) + " ";
  };
  size_t givenUpUntil = 0;  // events before this one do not pass over
  for (size_t i = 0; i < events.size(); ++i) {
    note(events[i]);
    if (!events[i].start || events[i].local != "s") continue;
    size_t end = i + 1;
    while (end < events.size() && events[end].depth >= events[i].depth) ++end;
    size_t stop = i + 1;
    while (stop < end && !(events[stop].start && events[stop].local == "ph")) ++stop;
    if (i < givenUpUntil || end == events.size() || stop < end) {
      trace += "! ";
      if (i >= givenUpUntil) givenUpUntil = stop < end ? stop : events.size();
      continue;
    }
    note(events[end]);
    i = end;
  }
  return trace;
}

TEST(MarkupSkipTest, PassingOverAgreesWithTheWalkOnScrambledMarkup) {
  // Pieces of markup, well-formed or not, put together at random (no empty "s", whose end the
  // walk of every event cannot tell from a closed one).
  const std::vector<std::string> pieces = {
      "<s>", "</s>", "<a>", "</a>", "<a/>", "<ph/>", "<p:ph>", "</p:ph>", "<a v=\"x>y\">",
      "<a v='<'/>", "<!-- </s> -->", "<!--", "-->", "<![CDATA[</s>]]>", "<![CDATA[", "]]>", "<?p </s>?>",
      "<!DOCTYPE d>", "text", "\"", "'", ">", "<", "/>", " ", "&amp;", "</s >", "<s a=\"/>\">"};
  uint32_t state = 12345;
  const auto next = [&] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string xml = "<r>";
    const size_t count = next() % 24;
    for (size_t i = 0; i < count; ++i) xml += pieces[next() % pieces.size()];
    if (next() % 2 == 0) xml += "</r>";
    ASSERT_EQ(Skipped(xml, {"ph"}), Expected(xml)) << xml;
  }
}

TEST(MarkupSkipTest, NestingPastTheBoundIsLeftToTheWalkThatRefusesIt) {
  const size_t inside = MarkupWalker::kMaxDepth;  // with the outer two, past the bound
  std::string xml = "<r><s>";
  for (size_t i = 0; i < inside; ++i) xml += "<a>";
  for (size_t i = 0; i < inside; ++i) xml += "</a>";
  xml += "</s></r>";
  MarkupWalker walker(xml);
  while (walker.Next() != Event::kStartElement || walker.Local() != "s") {
  }
  EXPECT_FALSE(walker.SkipRest({}));
  EXPECT_THROW(
      {
        while (walker.Next() != Event::kEnd) {
        }
      },
      MarkupTooDeepError);
}

}  // namespace
}  // namespace dkscr
