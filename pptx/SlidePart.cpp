#include "pptx/SlidePart.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>

#include "pptx/ParagraphCollector.h"
#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

constexpr std::string_view kSlideJump = "ppaction://hlinksldjump";

enum class FrameKind { kShape, kGroup, kGraphicFrame, kPicture, kOther };

// The kind of a shape tree element, or none for an element that is no shape.
std::optional<FrameKind> FrameKindOf(std::string_view local) {
  if (local == "sp" || local == "cxnSp") return FrameKind::kShape;
  if (local == "grpSp") return FrameKind::kGroup;
  if (local == "graphicFrame") return FrameKind::kGraphicFrame;
  if (local == "pic") return FrameKind::kPicture;
  if (local == "contentPart") return FrameKind::kOther;
  return std::nullopt;
}

std::optional<std::string> NonEmpty(std::string text) {
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<uint32_t> ShapeIdOf(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

int SpanOf(const std::string& text) {
  const std::optional<uint32_t> value = ShapeIdOf(text);
  return value && *value >= 1 && *value <= 65535 ? static_cast<int>(*value) : 1;
}

bool IsTrue(const std::string& text) { return text == "1" || text == "true"; }

// An open element of the shape tree and the block it makes.
struct BlockFrame {
  size_t depth = 0;
  FrameKind kind = FrameKind::kShape;
  SlideBlock block;
  bool placeholder = false;
  std::string placeholderType, placeholderIndex;
  // Made when first needed, so that a frame stays small: a shape's own list style when it
  // sets a level, its numbering at its first numbered paragraph.
  std::unique_ptr<ListStyle> listStyle;
  std::unique_ptr<ListNumbering> numbering;
  std::string relatedPart;  // of a chart or SmartArt
  bool media = false;
  bool table = false;  // a table's rows are in the block
};

struct CellSpan {
  int rowSpan = 1;
  int colSpan = 1;
  bool mergedOver = false;
};

struct OpenTable {
  SlideTable table;
  size_t depth;
  bool cellOpen = false;
  std::vector<std::vector<CellSpan>> spans;
};

class SlideReader {
 public:
  SlideReader(Slide& slide, const SlidePartContext& context, std::vector<RelatedBlock>* related)
      : slide_(slide), context_(context), related_(related),
        budget_(context.budget != nullptr ? *context.budget : unbounded_) {
    if (context.relationships != nullptr) {
      relationships_.reserve(context.relationships->size());
      for (const OpcRelationship& relationship : *context.relationships) relationships_.push_back(&relationship);
      // Of relationships that share an id, the first in the part's order counts.
      std::stable_sort(relationships_.begin(), relationships_.end(),
                       [](const OpcRelationship* a, const OpcRelationship* b) { return a->id < b->id; });
    }
  }

  void Read(std::string_view xml) {
    MarkupWalker walker(xml, context_.kept);
    for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
      shapes_.Take(walker, event);
      if (event == Event::kStartElement) {
        Start(walker);
      } else if (event == Event::kEndElement) {
        End(walker);
      }
      if (!paragraph_.Take(walker, event) || !walker.Within("cSld")) continue;
      Paragraph();
    }
    // Tables and shapes left open by a part that ends early still count.
    while (!tables_.empty()) CloseTable();
    while (!frames_.empty()) CloseFrame();
  }

 private:
  void Start(const MarkupWalker& walker) {
    const std::string_view local = walker.Local();
    // Runs and paragraphs ("r", "p", "t"), a text body's most frequent elements, start
    // nothing here outside a list style: no name below looked for has a single letter.
    if (local.size() == 1 && listStyle_ == nullptr) return;
    const size_t depth = walker.Depth();
    if (depth == 1 && local == "sld") {
      const std::string show = walker.Reader().Attribute("show");
      slide_.hidden = show == "0" || show == "false";
    } else if (local == "tbl") {
      budget_.TakeItem(0);
      tables_.push_back({{}, depth, false, {}});
      tables_.back().table.firstParagraph = slide_.paragraphs.size();
    } else if (!tables_.empty() && local == "tr" && depth == tables_.back().depth + 1) {
      budget_.TakeItem(0);
      tables_.back().table.rows.emplace_back();
      tables_.back().spans.emplace_back();
    } else if (!tables_.empty() && local == "tc" && depth == tables_.back().depth + 2) {
      OpenTable& open = tables_.back();
      if (open.table.rows.empty()) {
        open.table.rows.emplace_back();
        open.spans.emplace_back();
      }
      budget_.TakeItem(0);
      open.table.rows.back().emplace_back();
      const XmlPullReader& reader = walker.Reader();
      open.spans.back().push_back({SpanOf(reader.Attribute("rowSpan")), SpanOf(reader.Attribute("gridSpan")),
                                   IsTrue(reader.Attribute("hMerge")) || IsTrue(reader.Attribute("vMerge"))});
      open.cellOpen = true;
    }
    if (listStyle_ != nullptr) {
      if (depth == listStyleDepth_ + 2) {  // where a style's bullets stand
        if (*listStyle_ == nullptr) *listStyle_ = std::make_unique<ListStyle>();
        (*listStyle_)->Take(walker, listStyleDepth_);
      }
      return;
    }
    if (const std::optional<FrameKind> kind = FrameKindOf(local)) {
      // A shape within a graphic frame or picture (an object's preview) is part of it.
      if ((frames_.empty() || frames_.back().kind == FrameKind::kGroup) && walker.Within("cSld")) {
        frames_.emplace_back();
        frames_.back().depth = depth;
        frames_.back().kind = *kind;
      }
      return;
    }
    if (frames_.empty()) return;
    BlockFrame& frame = frames_.back();
    const std::string_view parent = walker.Open(1);
    const XmlPullReader& reader = walker.Reader();
    if (depth == frame.depth + 2 && local == "cNvPr") {
      frame.block.shapeId = ShapeIdOf(reader.Attribute("id"));
      frame.block.name = NonEmpty(reader.Attribute("name"));
      frame.block.alt = NonEmpty(reader.Attribute("descr"));
      frame.block.title = NonEmpty(reader.Attribute("title"));
    } else if (depth == frame.depth + 3 && parent == "cNvPr" && (local == "hlinkClick" || local == "hlinkHover")) {
      Target(reader.PrefixedAttribute("id"), reader.Attribute("action"));
    } else if (depth == frame.depth + 3 && parent == "nvPr") {
      if (local == "ph") {
        frame.placeholder = true;
        frame.placeholderType = reader.Attribute("type");
        frame.placeholderIndex = reader.Attribute("idx");
      } else if (local == "videoFile" || local == "quickTimeFile" || local == "audioFile" || local == "wavAudioFile" ||
                 local == "audioCd") {
        frame.media = true;
        frame.block.mediaType = local == "videoFile" || local == "quickTimeFile" ? "video" : "audio";
        std::string id = reader.PrefixedAttribute("link");
        if (id.empty()) id = reader.PrefixedAttribute("embed");
        frame.block.target = PartOrFile(id);
      }
    } else if (local == "media" && parent == "ext" && frame.kind == FrameKind::kPicture) {
      frame.media = true;  // a movie or sound embedded the way later versions write it
      if (!frame.block.target) frame.block.target = PartOrFile(reader.PrefixedAttribute("embed"));
    } else if (local == "blip" && parent == "blipFill" && frame.kind == FrameKind::kPicture) {
      std::string id = reader.PrefixedAttribute("embed");
      if (id.empty()) id = reader.PrefixedAttribute("link");
      frame.block.image = PartOrFile(id);
    } else if (local == "lstStyle" && parent == "txBody" && depth == frame.depth + 2) {
      listStyle_ = &frame.listStyle;
      listStyleDepth_ = depth;
    } else if (frame.kind == FrameKind::kGraphicFrame) {
      if (local == "chart" && parent == "graphicData") {
        frame.block.type = BlockType::kChart;
        frame.relatedPart = PartOf(reader.PrefixedAttribute("id"));
      } else if (local == "relIds" && parent == "graphicData") {
        frame.block.type = BlockType::kDiagram;
        frame.relatedPart = PartOf(reader.PrefixedAttribute("dm"));
      } else if (local == "oleObj") {
        frame.block.type = BlockType::kOle;
        frame.block.progId = NonEmpty(reader.Attribute("progId"));
        frame.block.target = PartOrFile(reader.PrefixedAttribute("id"));
        if (!frame.block.name) frame.block.name = NonEmpty(reader.Attribute("name"));
      }
    }
  }

  void End(const MarkupWalker& walker) {
    const size_t depth = walker.Depth();
    if (listStyle_ != nullptr && depth < listStyleDepth_) listStyle_ = nullptr;
    if (!tables_.empty()) {
      if (depth < tables_.back().depth) {
        CloseTable();
      } else if (depth == tables_.back().depth + 1) {
        tables_.back().cellOpen = false;  // a cell (or row) has ended
      }
    }
    if (!frames_.empty() && depth < frames_.back().depth) CloseFrame();
  }

  void Paragraph() {
    const std::string& text = paragraph_.Text();
    if (text.empty()) return;
    for (const RunLink& link : paragraph_.Links()) Target(link.relationshipId, link.action);
    const bool inCell = !tables_.empty() && tables_.back().cellOpen;
    if (inCell) {
      std::string& cell = tables_.back().table.rows.back().back();
      budget_.Take(text.size() + 1);
      if (!cell.empty()) cell.push_back('\n');
      cell += text;
    }
    const size_t index = slide_.paragraphs.size();
    budget_.TakeItem(text.size());
    slide_.paragraphs.push_back(text);
    const ShapeFrame* shape = shapes_.Top();
    const bool footer = shape != nullptr && shape->isPlaceholder && IsFooterPlaceholder(shape->placeholderType);
    if (footer) {
      budget_.TakeItem(text.size());
      slide_.footers.push_back(text);
    }
    bool inTitle = false;
    if (shape != nullptr && IsTitlePlaceholder(shape->placeholderType) && (!titleShape_ || *titleShape_ == shape->ordinal)) {
      if (!titleShape_) slide_.titleBegin = index;
      titleShape_ = shape->ordinal;
      slide_.titleEnd = index + 1;
      budget_.Take(text.size() + 1);
      if (!slide_.title.empty()) slide_.title.push_back('\n');
      slide_.title += text;
      inTitle = true;
    }
    if (inCell || footer) return;
    // Text of no shape (the part puts it where none is open) is a block of its own.
    if (frames_.empty()) {
      BlockFrame loose;
      AddParagraph(loose);
      budget_.TakeItem(0);
      slide_.blocks.push_back(std::move(loose.block));
      return;
    }
    AddParagraph(frames_.back());
    frames_.back().block.holdsTitle |= inTitle;
  }

  void AddParagraph(BlockFrame& frame) {
    TextParagraph paragraph;
    budget_.TakeItem(paragraph_.Text().size());
    paragraph.text = paragraph_.Text();
    paragraph.index = slide_.paragraphs.size() - 1;  // Paragraph() has just put it there
    paragraph.level = paragraph_.Level();
    const size_t level = static_cast<size_t>(paragraph.level);
    BulletSpec bullet = paragraph_.Bullet();
    if (!bullet.IsSet() && frame.listStyle != nullptr) bullet = frame.listStyle->levels[level];
    if (!bullet.IsSet()) {
      bullet = context_.styles.Inherited(frame.placeholder, frame.placeholderType, frame.placeholderIndex, paragraph.level);
    }
    // Until a paragraph is numbered, every counter is idle: no numbering to keep yet.
    if (frame.numbering == nullptr && bullet.kind == BulletSpec::Kind::kNumber) {
      frame.numbering = std::make_unique<ListNumbering>();
    }
    paragraph.bullet = frame.numbering != nullptr ? frame.numbering->Next(paragraph.level, bullet)
                                                  : ListNumbering::Unnumbered(bullet);
    for (const RunLink& link : paragraph_.Links()) {
      std::optional<std::string> target = Target(link.relationshipId, link.action);
      if (!target) continue;
      // Runs of one link written apart are one link.
      if (!paragraph.links.empty() && paragraph.links.back().target == *target &&
          paragraph.links.back().offset + paragraph.links.back().text.size() == link.offset) {
        budget_.Take(link.length);
        paragraph.links.back().text += paragraph.text.substr(link.offset, link.length);
        continue;
      }
      budget_.TakeItem(link.length + target->size());
      paragraph.links.push_back({paragraph.text.substr(link.offset, link.length), std::move(*target), link.offset});
    }
    frame.block.paragraphs.push_back(std::move(paragraph));
  }

  void CloseTable() {
    OpenTable& open = tables_.back();
    open.table.endParagraph = slide_.paragraphs.size();
    std::vector<std::vector<TableCell>> rows;
    for (size_t r = 0; r < open.table.rows.size(); ++r) {
      rows.emplace_back();
      for (size_t c = 0; c < open.table.rows[r].size(); ++c) {
        const CellSpan& span = open.spans[r][c];
        std::string& text = open.table.rows[r][c];
        // A position a merged cell covers is no cell, unless the file left text in it.
        if (span.mergedOver && text.empty()) continue;
        budget_.TakeItem(text.size());
        rows.back().push_back({text, span.mergedOver ? 1 : span.rowSpan, span.mergedOver ? 1 : span.colSpan});
      }
    }
    slide_.tables.push_back(std::move(open.table));
    tables_.pop_back();
    if (!frames_.empty() && frames_.back().kind == FrameKind::kGraphicFrame && !frames_.back().table) {
      frames_.back().table = true;
      frames_.back().block.type = BlockType::kTable;
      frames_.back().block.rows = std::move(rows);
      return;
    }
    SlideBlock block;
    block.type = BlockType::kTable;
    block.rows = std::move(rows);
    budget_.TakeItem(0);
    slide_.blocks.push_back(std::move(block));
  }

  void CloseFrame() {
    BlockFrame& frame = frames_.back();
    if (listStyle_ == &frame.listStyle) listStyle_ = nullptr;
    EmitFrame(frame);
    frames_.pop_back();
  }

  // The blocks a shape just closed makes, taken from its frame.
  void EmitFrame(BlockFrame& frame) {
    SlideBlock& block = frame.block;
    std::vector<TextParagraph> paragraphs = std::move(block.paragraphs);
    block.paragraphs.clear();
    bool content = false;
    switch (frame.kind) {
      case FrameKind::kPicture:
        block.type = frame.media ? BlockType::kMedia : BlockType::kPicture;
        content = true;
        break;
      case FrameKind::kGraphicFrame:
        content = block.type != BlockType::kText;
        break;
      case FrameKind::kShape:
      case FrameKind::kGroup:
      case FrameKind::kOther:
        break;
    }
    if (block.type != BlockType::kPicture) {
      block.alt.reset();
      if (block.type != BlockType::kChart) block.title.reset();
    }
    if (block.type != BlockType::kMedia && block.type != BlockType::kOle) block.target.reset();
    if (block.type != BlockType::kMedia) block.mediaType.reset();
    if (content) {
      if (!frame.relatedPart.empty() && related_ != nullptr) related_->push_back({slide_.blocks.size(), frame.relatedPart});
      if (paragraphs.empty()) {
        budget_.TakeItem(0);
        slide_.blocks.push_back(std::move(block));
        return;
      }
      budget_.TakeItem(0);
      slide_.blocks.push_back(block);  // its stray text follows as a text block of the same shape
    }
    if (paragraphs.empty()) return;
    block.type = BlockType::kText;
    block.rows.clear();
    block.alt.reset();
    block.title.reset();
    block.image.reset();
    block.progId.reset();
    block.target.reset();
    block.mediaType.reset();
    if (frame.placeholder) block.placeholder = frame.placeholderType.empty() ? "obj" : frame.placeholderType;
    block.paragraphs = std::move(paragraphs);
    budget_.TakeItem(0);
    slide_.blocks.push_back(std::move(block));
  }

  // The slide's relationship of that id, or none.
  const OpcRelationship* Relationship(std::string_view id) const {
    const auto it = std::lower_bound(relationships_.begin(), relationships_.end(), id,
                                     [](const OpcRelationship* r, std::string_view key) { return r->id < key; });
    return it != relationships_.end() && (*it)->id == id ? *it : nullptr;
  }
  // The part a relationship leads to inside the package, or "" for none.
  std::string PartOf(const std::string& id) const {
    const OpcRelationship* relationship = Relationship(id);
    return relationship == nullptr || relationship->external ? std::string() : relationship->target;
  }
  // The part or (external) file a relationship leads to.
  std::optional<std::string> PartOrFile(const std::string& id) const {
    const OpcRelationship* relationship = Relationship(id);
    if (relationship == nullptr || relationship->target.empty()) return std::nullopt;
    return relationship->target;
  }

  // Where a hyperlink leads, noted among the slide's links: a jump to a slide of the show as
  // "#slide=N", any other target as the relationship gives it; none without a target.
  std::optional<std::string> Target(const std::string& id, std::string_view action) {
    if (id.empty()) return std::nullopt;
    std::optional<std::string> target = PartOrFile(id);
    if (!target) return std::nullopt;
    const OpcRelationship* relationship = Relationship(id);
    if (!relationship->external && context_.slideNumbers != nullptr &&
        (action.starts_with(kSlideJump) || RelationshipIs(*relationship, "slide"))) {
      const auto number = context_.slideNumbers->find(*target);
      if (number != context_.slideNumbers->end()) target = "#slide=" + std::to_string(number->second);
    }
    if (linked_.insert(*target).second) {
      budget_.TakeItem(target->size());
      slide_.links.push_back(*target);
    }
    return target;
  }

  Slide& slide_;
  const SlidePartContext& context_;
  std::vector<RelatedBlock>* related_;
  std::vector<const OpcRelationship*> relationships_;  // by id
  ParagraphCollector paragraph_;
  ShapeStack shapes_;
  std::vector<OpenTable> tables_;
  std::optional<int> titleShape_;
  std::vector<BlockFrame> frames_;
  std::unique_ptr<ListStyle>* listStyle_ = nullptr;  // the list style being read, in the innermost frame
  size_t listStyleDepth_ = 0;
  std::unordered_set<std::string> linked_;
  ModelBudget unbounded_;
  ModelBudget& budget_;
};

}  // namespace

void ReadSlidePart(std::string_view xml, Slide& slide, const SlidePartContext& context,
                   std::vector<RelatedBlock>* related) {
  SlideReader(slide, context, related).Read(xml);
}

}  // namespace dkscr
