#include "model/ContentText.h"

#include <algorithm>

#include "model/ContentJson.h"

namespace dkscr {
namespace {

bool IsNumbered(std::string_view bullet) {
  return !bullet.empty() && (bullet.back() == '.' || bullet.back() == ')') && bullet.size() > 1;
}

// A cell of a row: tabs and line breaks would split it.
void AppendCell(std::string_view text, std::string& out) {
  for (const char c : text) out.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

}  // namespace

std::vector<std::string> ParagraphPrefixes(const Slide& slide) {
  std::vector<std::string> prefixes(slide.paragraphs.size());
  for (const SlideBlock& block : slide.blocks) {
    for (const TextParagraph& paragraph : block.paragraphs) {
      if (!paragraph.bullet || paragraph.index >= prefixes.size()) continue;
      std::string prefix(static_cast<size_t>(std::max(paragraph.level, 0)) * 2, ' ');
      prefix += IsNumbered(*paragraph.bullet) ? *paragraph.bullet + " " : "- ";
      prefixes[paragraph.index] = std::move(prefix);
    }
  }
  return prefixes;
}

void AppendPictureLines(const Slide& slide, std::string& out) {
  for (const SlideBlock& block : slide.blocks) {
    if (block.type != BlockType::kPicture || !block.alt || block.alt->empty()) continue;
    out += "[Picture: ";
    AppendCell(*block.alt, out);
    out += "]\n";
  }
}

void AppendChartRows(const Slide& slide, std::string& out) {
  for (const SlideBlock& block : slide.blocks) {
    if (block.type != BlockType::kChart || block.series.empty()) continue;
    const auto withCategories = std::find_if(block.series.begin(), block.series.end(),
                                             [](const ChartSeries& s) { return !s.categories.empty(); });
    if (withCategories != block.series.end()) {
      for (const std::string& category : withCategories->categories) {
        out.push_back('\t');
        AppendCell(category, out);
      }
      out.push_back('\n');
    }
    for (const ChartSeries& series : block.series) {
      if (series.name) AppendCell(*series.name, out);
      for (const std::optional<double>& value : series.values) {
        out.push_back('\t');
        if (value) {
          std::string number;
          AppendJsonNumber(*value, number);
          if (number != "null") out += number;
        }
      }
      out.push_back('\n');
    }
  }
}

}  // namespace dkscr
