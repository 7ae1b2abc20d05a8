#pragma once
// Bullets as PowerPoint shows them: a paragraph's own bullet, else its shape's list style,
// else, for a placeholder, its layout's and master's placeholder and the master's text styles,
// else the presentation's default text style; and the numbers of numbered paragraphs.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pptx/ParagraphCollector.h"

namespace dkscr {

// The bullets of the nine levels of a list style ("a:lstStyle", "p:bodyStyle" ...).
struct ListStyle {
  std::array<BulletSpec, 9> levels;

  // Call for every start element below the style element, which stands at `styleDepth`.
  void Take(const MarkupWalker& walker, size_t styleDepth);
  // The same, then passes over what is inside that element when it gives the style nothing
  // more (inside a level's bullet, font or spacing; anything beside the levels); true when it
  // did, the element having then ended without an end event.
  bool TakeAndPass(MarkupWalker& walker, size_t styleDepth);
};

struct PlaceholderStyle {
  std::string type;  // "" when the placeholder names none
  std::string index;
  ListStyle list;
};

// What a layout or master part gives the slides that use it.
struct TemplatePart {
  std::string name;  // p:cSld/@name
  std::vector<PlaceholderStyle> placeholders;
  ListStyle titleStyle, bodyStyle, otherStyle;  // a master's p:txStyles
};
TemplatePart ReadTemplatePart(std::string_view xml);
// The p:defaultTextStyle of a presentation part.
ListStyle ReadDefaultTextStyle(std::string_view xml);

// Where a slide's shapes inherit their bullets from; any may be none.
struct InheritedStyles {
  const TemplatePart* layout = nullptr;
  const TemplatePart* master = nullptr;
  const ListStyle* defaultStyle = nullptr;

  // The bullet a shape's paragraph of that level inherits: a placeholder's from its layout
  // and master, any other shape's from the default text style.
  BulletSpec Inherited(bool placeholder, std::string_view type, std::string_view index, int level) const;
};

// Numbers the numbered paragraphs of one text body: a paragraph continues the list of the
// paragraphs above it at its level while they number in the same scheme; a paragraph at a
// shallower level ends the lists below it.
class ListNumbering {
 public:
  // The bullet as shown for a paragraph of that level and bullet, or none.
  std::optional<std::string> Next(int level, const BulletSpec& bullet);
  // The bullet as shown for a bullet that is no number: its character, or none.
  static std::optional<std::string> Unnumbered(const BulletSpec& bullet);

 private:
  struct Counter {
    std::string scheme;
    int startAt = 0;
    int next = 0;
    bool active = false;
  };
  std::array<Counter, 9> counters_;
};

}  // namespace dkscr
