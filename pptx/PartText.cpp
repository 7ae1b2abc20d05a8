#include "pptx/PartText.h"

#include <optional>

#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

// Collects paragraphs as DrawingML writes them: runs and fields joined as they are, a line
// break as "\n". `onParagraph` gets each finished paragraph, empty ones included.
class ParagraphCollector {
 public:
  // Call for every event before looking at it; returns true when the event was a paragraph's
  // end, with its text in Text().
  bool Take(const MarkupWalker& walker, Event event) {
    switch (event) {
      case Event::kStartElement: {
        const std::string_view local = walker.Local();
        if (depth_ == 0 && local == "p" && IsTextBody(walker.Open(1))) {
          depth_ = walker.Depth();
          text_.clear();
        } else if (depth_ != 0 && local == "br" && walker.Depth() == depth_ + 1) {
          text_.push_back('\n');
        }
        return false;
      }
      case Event::kText:
        if (depth_ != 0 && walker.Open() == "t" && (walker.Open(1) == "r" || walker.Open(1) == "fld")) {
          text_ += walker.Reader().Text();
        }
        return false;
      case Event::kEndElement:
        if (depth_ != 0 && walker.Depth() < depth_) {
          depth_ = 0;
          return true;
        }
        return false;
      case Event::kEnd:
        return false;
    }
    return false;
  }
  const std::string& Text() const { return text_; }

 private:
  // Elements whose "p" children are paragraphs: shape and cell text bodies, SmartArt text,
  // chart rich text.
  static bool IsTextBody(std::string_view local) {
    return local == "txBody" || local == "t" || local == "rich";
  }

  size_t depth_ = 0;  // the depth of the open paragraph, 0 when none
  std::string text_;
};

bool IsTitleType(std::string_view type) { return type == "title" || type == "ctrTitle"; }
bool IsFooterType(std::string_view type) { return type == "ftr" || type == "hdr" || type == "dt"; }

struct ShapeFrame {
  size_t depth;
  int ordinal;
  std::string placeholderType;  // "" when the shape is no placeholder
  bool isPlaceholder;
};

// Keeps the shapes open around the current position, so that a paragraph knows whose it is.
class ShapeStack {
 public:
  void Take(const MarkupWalker& walker, Event event) {
    if (event == Event::kStartElement) {
      const std::string_view local = walker.Local();
      if (local == "sp") {
        shapes_.push_back({walker.Depth(), next_++, {}, false});
      } else if (local == "ph" && !shapes_.empty() && walker.Open(1) == "nvPr") {
        shapes_.back().isPlaceholder = true;
        shapes_.back().placeholderType = walker.Reader().Attribute("type");
      }
    } else if (event == Event::kEndElement) {
      if (!shapes_.empty() && walker.Depth() < shapes_.back().depth) shapes_.pop_back();
    }
  }
  const ShapeFrame* Top() const { return shapes_.empty() ? nullptr : &shapes_.back(); }

 private:
  std::vector<ShapeFrame> shapes_;
  int next_ = 0;
};

struct OpenTable {
  SlideTable table;
  size_t depth;
  bool cellOpen = false;
};

}  // namespace

void ReadSlidePart(std::string_view xml, Slide& slide, ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  ShapeStack shapes;
  std::vector<OpenTable> tables;
  std::optional<int> titleShape;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    shapes.Take(walker, event);
    if (event == Event::kStartElement) {
      const std::string_view local = walker.Local();
      if (walker.Depth() == 1 && local == "sld") {
        const std::string show = walker.Reader().Attribute("show");
        slide.hidden = show == "0" || show == "false";
      } else if (local == "tbl") {
        budget.TakeItem(0);
        tables.push_back({{}, walker.Depth()});
        tables.back().table.firstParagraph = slide.paragraphs.size();
      } else if (!tables.empty() && local == "tr" && walker.Depth() == tables.back().depth + 1) {
        budget.TakeItem(0);
        tables.back().table.rows.emplace_back();
      } else if (!tables.empty() && local == "tc" && walker.Depth() == tables.back().depth + 2) {
        auto& rows = tables.back().table.rows;
        budget.TakeItem(0);
        if (rows.empty()) rows.emplace_back();
        rows.back().emplace_back();
        tables.back().cellOpen = true;
      }
    } else if (event == Event::kEndElement && !tables.empty()) {
      if (walker.Depth() < tables.back().depth) {
        tables.back().table.endParagraph = slide.paragraphs.size();
        slide.tables.push_back(std::move(tables.back().table));
        tables.pop_back();
      } else if (walker.Depth() == tables.back().depth + 1) {
        tables.back().cellOpen = false;  // a cell (or row) has ended
      }
    }
    if (!paragraph.Take(walker, event) || !walker.Within("cSld")) continue;
    const std::string& text = paragraph.Text();
    if (text.empty()) continue;
    if (!tables.empty() && tables.back().cellOpen) {
      std::string& cell = tables.back().table.rows.back().back();
      budget.Take(text.size() + 1);
      if (!cell.empty()) cell.push_back('\n');
      cell += text;
    }
    const size_t index = slide.paragraphs.size();
    budget.TakeItem(text.size());
    slide.paragraphs.push_back(text);
    const ShapeFrame* shape = shapes.Top();
    if (shape != nullptr && shape->isPlaceholder && IsFooterType(shape->placeholderType)) {
      budget.TakeItem(text.size());
      slide.footers.push_back(text);
    }
    if (shape != nullptr && IsTitleType(shape->placeholderType) &&
        (!titleShape || *titleShape == shape->ordinal)) {
      if (!titleShape) slide.titleBegin = index;
      titleShape = shape->ordinal;
      slide.titleEnd = index + 1;
      budget.Take(text.size() + 1);
      if (!slide.title.empty()) slide.title.push_back('\n');
      slide.title += text;
    }
  }
  // Tables left open by a part that ends early still count.
  while (!tables.empty()) {
    tables.back().table.endParagraph = slide.paragraphs.size();
    slide.tables.push_back(std::move(tables.back().table));
    tables.pop_back();
  }
}

void ReadNotesPart(std::string_view xml, std::vector<std::string>& notes, std::vector<std::string>& footers,
                   ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  ShapeStack shapes;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    shapes.Take(walker, event);
    if (!paragraph.Take(walker, event) || paragraph.Text().empty() || !walker.Within("cSld")) continue;
    const ShapeFrame* shape = shapes.Top();
    std::string_view type;
    if (shape != nullptr && shape->isPlaceholder) type = shape->placeholderType;
    if (IsFooterType(type)) {
      budget.TakeItem(paragraph.Text().size());
      footers.push_back(paragraph.Text());
    } else if (type != "sldImg" && type != "sldNum") {
      budget.TakeItem(paragraph.Text().size());
      notes.push_back(paragraph.Text());
    }
  }
}

void ReadDiagramPart(std::string_view xml, std::vector<std::string>& texts, ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (!paragraph.Take(walker, event) || paragraph.Text().empty()) continue;
    budget.TakeItem(paragraph.Text().size());
    texts.push_back(paragraph.Text());
  }
}

void ReadChartPart(std::string_view xml, std::vector<std::string>& texts, ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  std::string title;
  size_t titleDepth = 0;       // the open title's depth, 0 when none
  size_t seriesNameDepth = 0;  // the open series name ("tx" of a "ser")
  size_t categoryDepth = 0;    // the open category list ("cat" of a "ser")
  bool categoriesTaken = false;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    const bool paragraphEnded = paragraph.Take(walker, event);
    if (event == Event::kStartElement) {
      const std::string_view local = walker.Local();
      if (local == "title" && titleDepth == 0) {
        titleDepth = walker.Depth();
        title.clear();
      } else if (local == "tx" && walker.Open(1) == "ser") {
        seriesNameDepth = walker.Depth();
      } else if (local == "cat" && walker.Open(1) == "ser" && !categoriesTaken) {
        categoryDepth = walker.Depth();
      }
    } else if (event == Event::kText && walker.Open() == "v") {
      const std::string& value = walker.Reader().Text();
      if (titleDepth != 0) {
        if (!title.empty()) title.push_back('\n');
        title += value;
      } else if ((seriesNameDepth != 0 || categoryDepth != 0) && !value.empty()) {
        budget.TakeItem(value.size());
        texts.push_back(value);
      }
    } else if (event == Event::kEndElement) {
      if (titleDepth != 0 && walker.Depth() < titleDepth) {
        titleDepth = 0;
        if (!title.empty()) {
          budget.TakeItem(title.size());
          texts.push_back(title);
        }
      }
      if (seriesNameDepth != 0 && walker.Depth() < seriesNameDepth) seriesNameDepth = 0;
      if (categoryDepth != 0 && walker.Depth() < categoryDepth) {
        categoryDepth = 0;
        categoriesTaken = true;  // every series repeats the same labels
      }
    }
    if (paragraphEnded && titleDepth != 0 && !paragraph.Text().empty()) {
      if (!title.empty()) title.push_back('\n');
      title += paragraph.Text();
    }
  }
}

std::vector<PartComment> ReadCommentsPart(std::string_view xml, ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  std::vector<PartComment> comments;
  // A comment takes its place when it starts, so that it goes before its replies wherever
  // the part writes them.
  struct OpenComment {
    size_t depth;
    size_t index;
    size_t textDepth = 0;  // the open "text" or "txBody", 0 when none
  };
  std::vector<OpenComment> open;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    const bool paragraphEnded = paragraph.Take(walker, event);
    if (event == Event::kStartElement) {
      const std::string_view local = walker.Local();
      if (local == "cm" || local == "reply") {
        open.push_back({walker.Depth(), comments.size()});
        std::string authorId = walker.Reader().Attribute("authorId");
        // The author's name is shared; an unknown author keeps its id, held by the comment.
        budget.TakeItem(authorId.size());
        comments.push_back({std::move(authorId), {}});
      } else if (!open.empty() && (local == "text" || local == "txBody") &&
                 walker.Depth() == open.back().depth + 1) {
        open.back().textDepth = walker.Depth();
      }
    } else if (event == Event::kText && !open.empty() && open.back().textDepth != 0 &&
               walker.Open() == "text") {
      budget.Take(walker.Reader().Text().size());
      comments[open.back().index].text += walker.Reader().Text();
    } else if (event == Event::kEndElement && !open.empty()) {
      if (walker.Depth() < open.back().textDepth) open.back().textDepth = 0;
      if (walker.Depth() < open.back().depth) open.pop_back();
    }
    if (paragraphEnded && !open.empty() && open.back().textDepth != 0) {
      std::string& text = comments[open.back().index].text;
      budget.Take(paragraph.Text().size() + 1);
      if (!text.empty()) text.push_back('\n');
      text += paragraph.Text();
    }
  }
  return comments;
}

void ReadCommentAuthors(std::string_view xml, std::unordered_map<std::string, SharedText>& names,
                        ModelBudget& budget) {
  MarkupWalker walker(xml);
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (event != Event::kStartElement) continue;
    const std::string_view local = walker.Local();
    if (local != "cmAuthor" && local != "author") continue;
    std::string id = walker.Reader().Attribute("id");
    std::string name = walker.Reader().Attribute("name");
    budget.TakeItem(id.size() + name.size());
    names.emplace(std::move(id), std::move(name));
  }
}

}  // namespace dkscr
