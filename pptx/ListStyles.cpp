#include "pptx/ListStyles.h"

#include "model/ListNumbering.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

constexpr int kLevels = 9;

// "lvl1pPr" .. "lvl9pPr" -> 0 .. 8; -1 for any other name.
int StyleLevel(std::string_view local) {
  if (local.size() != 7 || !local.starts_with("lvl") || !local.ends_with("pPr")) return -1;
  const char digit = local[3];
  return digit >= '1' && digit <= '9' ? digit - '1' : -1;
}

// The local names a layout or master is read for (see ReadTemplatePart): an element that
// holds none of them inside gives the template nothing, and is passed over unread.
constexpr std::string_view kTemplateNames[] = {"sp", "ph", "lstStyle", "cSld", "titleStyle", "bodyStyle", "otherStyle"};
// Those that still count inside a shape that is no placeholder: only a "ph" can make it one,
// and the master's text styles are read wherever they stand.
constexpr std::string_view kShapeNames[] = {"ph", "cSld", "titleStyle", "bodyStyle", "otherStyle"};

// Elements that rarely hold any of those, and hold much else: a shape's geometry and look,
// backgrounds, pictures, connectors, extensions, and a placeholder's sample paragraphs.
bool IsPassedOver(std::string_view local) {
  return local == "spPr" || local == "style" || local == "bg" || local == "extLst" || local == "pic" ||
         local == "cxnSp" || local == "grpSpPr" || local == "timing" || local == "transition" || local == "p" ||
         local == "bodyPr";
}

}  // namespace

void ListStyle::Take(const MarkupWalker& walker, size_t styleDepth) {
  // The level element opens at styleDepth + 1, its bullet elements one below it.
  if (walker.Depth() != styleDepth + 2) return;
  const int level = StyleLevel(walker.Open(1));
  if (level >= 0) levels[static_cast<size_t>(level)].Take(walker);
}

bool ListStyle::TakeAndPass(MarkupWalker& walker, size_t styleDepth) {
  Take(walker, styleDepth);
  const size_t depth = walker.Depth();
  // Only a level's own children are read, and only their start tags.
  const bool givesNoMore = depth >= styleDepth + 2 || (depth == styleDepth + 1 && StyleLevel(walker.Local()) < 0);
  return givesNoMore && walker.SkipRest({});
}

TemplatePart ReadTemplatePart(std::string_view xml) {
  TemplatePart part;
  MarkupWalker walker(xml);
  ListStyle* style = nullptr;  // the style being read
  size_t styleDepth = 0;
  size_t shapeDepth = 0;  // of the open "sp", 0 when none
  PlaceholderStyle shape;
  bool isPlaceholder = false;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    // What gives the template nothing is passed over unread: the look of shapes and slides,
    // and the rest of a shape once its non-visual properties show that it is no placeholder.
    if (style == nullptr) {
      const bool start = event == Event::kStartElement;
      const bool passOver = start ? IsPassedOver(walker.Local())
                                  : event == Event::kEndElement && shapeDepth != 0 && !isPlaceholder &&
                                        walker.Depth() == shapeDepth && walker.Local() == "nvSpPr";
      if (passOver && walker.SkipRest(start ? std::span<const std::string_view>(kTemplateNames) : kShapeNames)) event = Event::kEndElement;
    }
    if (event == Event::kEndElement) {
      if (style != nullptr && walker.Depth() < styleDepth) style = nullptr;
      if (shapeDepth != 0 && walker.Depth() < shapeDepth) {
        shapeDepth = 0;
        if (isPlaceholder) part.placeholders.push_back(std::move(shape));
      }
      continue;
    }
    if (event != Event::kStartElement) continue;
    if (style != nullptr) {
      // An element passed over ends inside the style and inside its shape: nothing to do.
      style->TakeAndPass(walker, styleDepth);
      continue;
    }
    const std::string_view local = walker.Local();
    if (local == "cSld" && walker.Depth() == 2) {
      part.name = walker.Reader().Attribute("name");
    } else if (local == "sp" && shapeDepth == 0) {
      shapeDepth = walker.Depth();
      shape = {};
      isPlaceholder = false;
    } else if (local == "ph" && shapeDepth != 0 && walker.Open(1) == "nvPr") {
      isPlaceholder = true;
      shape.type = walker.Reader().Attribute("type");
      shape.index = walker.Reader().Attribute("idx");
    } else if (local == "lstStyle" && shapeDepth != 0 && walker.Open(1) == "txBody") {
      style = &shape.list;
    } else if (walker.Open(1) == "txStyles") {
      if (local == "titleStyle") style = &part.titleStyle;
      if (local == "bodyStyle") style = &part.bodyStyle;
      if (local == "otherStyle") style = &part.otherStyle;
    }
    if (style != nullptr) styleDepth = walker.Depth();
  }
  return part;
}

ListStyle ReadDefaultTextStyle(std::string_view xml) {
  ListStyle style;
  MarkupWalker walker(xml);
  size_t styleDepth = 0;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (event == Event::kEndElement && styleDepth != 0 && walker.Depth() < styleDepth) return style;
    if (event != Event::kStartElement) continue;
    if (styleDepth != 0) {
      style.TakeAndPass(walker, styleDepth);
    } else if (walker.Local() == "defaultTextStyle" && walker.Depth() == 2) {
      styleDepth = walker.Depth();
    }
  }
  return style;
}

BulletSpec InheritedStyles::Inherited(bool placeholder, std::string_view type, std::string_view index,
                                      int level) const {
  const auto at = static_cast<size_t>(level < 0 ? 0 : level >= kLevels ? kLevels - 1 : level);
  if (!placeholder) return defaultStyle != nullptr ? defaultStyle->levels[at] : BulletSpec{};
  // A placeholder with an index is matched by it, else by its type; title and centred title
  // are one kind, as is a placeholder without a type and a content ("obj") one.
  auto kindOf = [](std::string_view t) -> std::string_view {
    if (t == "ctrTitle") return "title";
    if (t.empty() || t == "obj") return "body";
    return t;
  };
  std::string_view kind = kindOf(type);
  auto find = [&](const TemplatePart* part, bool byIndex) -> const PlaceholderStyle* {
    if (part == nullptr) return nullptr;
    for (const PlaceholderStyle& candidate : part->placeholders) {
      if (byIndex ? (!index.empty() && candidate.index == index) : kindOf(candidate.type) == kind) return &candidate;
    }
    return nullptr;
  };
  const PlaceholderStyle* inLayout = find(layout, true);
  if (inLayout == nullptr) inLayout = find(layout, false);
  if (inLayout != nullptr) {
    if (inLayout->list.levels[at].IsSet()) return inLayout->list.levels[at];
    if (type.empty()) kind = kindOf(inLayout->type);  // the layout tells what the slide's is
  }
  // A master's placeholders of the body's kinds are its body placeholder.
  const bool titleKind = kind == "title";
  const bool otherKind = kind == "dt" || kind == "ftr" || kind == "sldNum" || kind == "hdr";
  if (!titleKind && !otherKind) kind = "body";
  if (const PlaceholderStyle* inMaster = find(master, false); inMaster != nullptr && inMaster->list.levels[at].IsSet()) {
    return inMaster->list.levels[at];
  }
  if (master == nullptr) return {};
  return (titleKind ? master->titleStyle : otherKind ? master->otherStyle : master->bodyStyle).levels[at];
}

std::optional<std::string> ListNumbering::Unnumbered(const BulletSpec& bullet) {
  if (bullet.kind == BulletSpec::Kind::kChar && !bullet.character.empty()) return bullet.character;
  return std::nullopt;
}

std::optional<std::string> ListNumbering::Next(int level, const BulletSpec& bullet) {
  const auto at = static_cast<size_t>(level < 0 ? 0 : level >= kLevels ? kLevels - 1 : level);
  for (size_t deeper = at + 1; deeper < counters_.size(); ++deeper) counters_[deeper].active = false;
  Counter& counter = counters_[at];
  if (bullet.kind != BulletSpec::Kind::kNumber) {
    counter.active = false;
    return Unnumbered(bullet);
  }
  if (!counter.active || counter.scheme != bullet.scheme || counter.startAt != bullet.startAt) {
    counter = {bullet.scheme, bullet.startAt, bullet.startAt, true};
  }
  return AutoNumberLabel(bullet.scheme, counter.next++);
}

}  // namespace dkscr
