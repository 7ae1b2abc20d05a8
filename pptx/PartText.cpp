#include "pptx/PartText.h"

#include "pptx/ParagraphCollector.h"
#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

}  // namespace

void ReadNotesPart(std::string_view xml, std::vector<std::string>& notes, std::vector<std::string>& footers,
                   ModelBudget& budget, XmlBuffer* kept) {
  MarkupWalker walker(xml, kept);
  ParagraphCollector paragraph;
  ShapeStack shapes;
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    shapes.Take(walker, event);
    if (!paragraph.Take(walker, event) || paragraph.Text().empty() || !walker.Within("cSld")) continue;
    const ShapeFrame* shape = shapes.Top();
    std::string_view type;
    if (shape != nullptr && shape->isPlaceholder) type = shape->placeholderType;
    if (IsFooterPlaceholder(type)) {
      budget.TakeItem(paragraph.Text().size());
      footers.push_back(paragraph.Text());
    } else if (type != "sldImg" && type != "sldNum") {
      budget.TakeItem(paragraph.Text().size());
      notes.push_back(paragraph.Text());
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
