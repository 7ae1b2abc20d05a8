#include "model/ContentText.h"

#include <algorithm>

#include "model/ContentJson.h"

namespace dkscr {
namespace {

bool IsNumbered(std::string_view bullet) {
  return !bullet.empty() && (bullet.back() == '.' || bullet.back() == ')') && bullet.size() > 1;
}

// A cell of a row: tabs and line breaks would split it.
void AppendCell(std::string_view text, FormText& form) {
  form.Expect(text.size());
  std::string& out = form.Out();
  for (const char c : text) out.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

}  // namespace

std::vector<const TextParagraph*> ListParagraphs(const Slide& slide) {
  std::vector<const TextParagraph*> listed(slide.paragraphs.size(), nullptr);
  for (const SlideBlock& block : slide.blocks) {
    for (const TextParagraph& paragraph : block.paragraphs) {
      if (!paragraph.bullet || paragraph.index >= listed.size()) continue;
      listed[paragraph.index] = &paragraph;
    }
  }
  return listed;
}

void AppendParagraphPrefix(const TextParagraph* paragraph, FormText& out) {
  if (paragraph == nullptr || !paragraph->bullet) return;
  const size_t indent = static_cast<size_t>(std::max(paragraph->level, 0)) * 2;
  out.Expect(indent);
  out.Out().append(indent, ' ');
  if (IsNumbered(*paragraph->bullet)) {
    out += *paragraph->bullet;
    out += ' ';
  } else {
    out += "- ";
  }
}

void AppendPictureLines(const Slide& slide, FormText& out) {
  for (const SlideBlock& block : slide.blocks) {
    if (block.type != BlockType::kPicture || !block.alt || block.alt->empty()) continue;
    out += "[Picture: ";
    AppendCell(*block.alt, out);
    out += "]\n";
  }
}

void AppendChartRows(const Slide& slide, FormText& out) {
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
