#include "pptx/DiagramPart.h"

#include <algorithm>
#include <unordered_map>

#include "pptx/ParagraphCollector.h"
#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

struct Point {
  std::string id;
  bool isDocument = false;
  std::vector<std::string> paragraphs;
};

// A parent-child connection: `child` is the `order`th child of `parent`.
struct Connection {
  std::string parent;
  std::string child;
  long order = 0;
};

long OrderOf(const std::string& text) {
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9' || value > 1000000) return value;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

void ReadDiagramPart(std::string_view xml, std::vector<std::string>& texts, std::vector<DiagramItem>& items,
                     ModelBudget& budget) {
  MarkupWalker walker(xml);
  ParagraphCollector paragraph;
  std::vector<Point> points;
  std::vector<Connection> connections;
  size_t pointDepth = 0;  // the open point's, 0 when none
  for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
    if (paragraph.Take(walker, event) && !paragraph.Text().empty()) {
      budget.TakeItem(paragraph.Text().size());
      texts.push_back(paragraph.Text());
      if (pointDepth != 0) {
        budget.TakeItem(paragraph.Text().size());
        points.back().paragraphs.push_back(paragraph.Text());
      }
    }
    if (event == Event::kEndElement && pointDepth != 0 && walker.Depth() < pointDepth) pointDepth = 0;
    if (event != Event::kStartElement) continue;
    const std::string_view local = walker.Local();
    if (local == "pt" && walker.Open(1) == "ptLst" && pointDepth == 0) {
      pointDepth = walker.Depth();
      budget.TakeItem(0);
      points.push_back({walker.Reader().Attribute("modelId"), walker.Reader().Attribute("type") == "doc", {}});
    } else if (local == "cxn" && walker.Open(1) == "cxnLst") {
      const std::string type = walker.Reader().Attribute("type");
      if (!type.empty() && type != "parOf") continue;
      budget.TakeItem(0);
      connections.push_back({walker.Reader().Attribute("srcId"), walker.Reader().Attribute("destId"),
                             OrderOf(walker.Reader().Attribute("srcOrd"))});
    }
  }

  std::unordered_map<std::string_view, size_t> byId;
  for (size_t i = 0; i < points.size(); ++i) byId.emplace(points[i].id, i);
  std::vector<std::vector<std::pair<long, size_t>>> children(points.size());
  for (const Connection& connection : connections) {
    const auto parent = byId.find(connection.parent);
    const auto child = byId.find(connection.child);
    if (parent != byId.end() && child != byId.end()) children[parent->second].emplace_back(connection.order, child->second);
  }
  for (auto& list : children) std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  // Depth first from the document points, with a stack of our own; a point is given once
  // however many connections lead to it.
  std::vector<bool> given(points.size(), false);
  std::vector<std::pair<size_t, int>> stack;  // point, level
  for (size_t root = 0; root < points.size(); ++root) {
    if (!points[root].isDocument || given[root]) continue;
    given[root] = true;
    for (auto it = children[root].rbegin(); it != children[root].rend(); ++it) stack.emplace_back(it->second, 0);
    while (!stack.empty()) {
      const auto [point, level] = stack.back();
      stack.pop_back();
      if (given[point]) continue;
      given[point] = true;
      for (const std::string& text : points[point].paragraphs) {
        budget.TakeItem(text.size());
        items.push_back({text, level});
      }
      for (auto it = children[point].rbegin(); it != children[point].rend(); ++it) stack.emplace_back(it->second, level + 1);
    }
  }
  for (size_t i = 0; i < points.size(); ++i) {
    if (given[i] && !points[i].isDocument) continue;
    for (const std::string& text : points[i].paragraphs) {
      budget.TakeItem(text.size());
      items.push_back({text, 0});
    }
  }
}

}  // namespace dkscr
