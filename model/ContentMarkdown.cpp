#include "model/ContentMarkdown.h"

#include <algorithm>

#include "model/ContentJson.h"
#include "model/MarkdownEscape.h"

namespace dkscr {
namespace {

// Columns a merged cell may reach past the widest row: a hostile span stays small.
constexpr size_t kSpareColumns = 64;

bool IsOneCharacter(std::string_view text) {
  if (text.empty()) return false;
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return text.size() == length;
}

// A Markdown ordered-list marker: up to nine digits and "." or ")".
bool IsListNumber(std::string_view bullet) {
  if (bullet.size() < 2 || bullet.size() > 10 || (bullet.back() != '.' && bullet.back() != ')')) return false;
  return std::all_of(bullet.begin(), bullet.end() - 1, [](char c) { return c >= '0' && c <= '9'; });
}

// Paragraphs as Markdown paragraphs and list items: a bulleted paragraph is an item, nested
// below the items of lower levels above it; a paragraph without a bullet ends the list.
class ListWriter {
 public:
  explicit ListWriter(FormText& out) : out_(out) {}

  void Paragraph(const TextParagraph& paragraph) {
    if (!paragraph.bullet) {
      End();
      if (AppendMarkdownParagraph(out_, paragraph.text, paragraph.links)) out_ += "\n\n";
      return;
    }
    const std::string& bullet = *paragraph.bullet;
    std::string marker = "-";
    std::string label;
    if (IsListNumber(bullet)) {
      marker = bullet;
    } else if (!IsOneCharacter(bullet)) {
      label = MarkdownLine(bullet) + " ";  // a number that Markdown cannot count ("c)", "iv.")
    }
    while (!open_.empty() && open_.back().level >= paragraph.level) open_.pop_back();
    const size_t indent = open_.empty() ? 0 : open_.back().content;
    const size_t content = indent + marker.size() + 1;
    out_.Expect(indent);
    out_.Out().append(indent, ' ');
    out_ += marker;
    out_ += ' ';
    out_ += label;
    out_.Expect(content);
    AppendMarkdownParagraph(out_, paragraph.text, paragraph.links, std::string(content, ' '));
    out_ += '\n';
    open_.push_back({paragraph.level, content});
  }

  void End() {
    if (open_.empty()) return;
    open_.clear();
    out_ += "\n";
  }

 private:
  struct Item {
    int level;
    size_t content;  // the column its text starts at
  };
  FormText& out_;
  std::vector<Item> open_;
};

// The table's cells at their places: a merged cell's text once, the positions it covers empty.
void AppendTable(const std::vector<std::vector<TableCell>>& rows, FormText& out) {
  size_t widest = 0;
  for (const auto& row : rows) widest = std::max(widest, row.size());
  const size_t columns = widest + kSpareColumns;
  std::vector<std::vector<std::string>> grid(rows.size());
  std::vector<std::vector<bool>> taken(rows.size());
  uint64_t positions = 0;
  for (size_t r = 0; r < rows.size(); ++r) {
    size_t c = 0;
    for (const TableCell& cell : rows[r]) {
      while (c < taken[r].size() && taken[r][c]) ++c;
      if (c >= columns) break;
      const size_t lastRow = std::min(rows.size(), r + static_cast<size_t>(std::max(cell.rowSpan, 1)));
      const size_t lastColumn = std::min(columns, c + static_cast<size_t>(std::max(cell.colSpan, 1)));
      for (size_t rr = r; rr < lastRow; ++rr) {
        // Each position of the grid is written as a cell of at least three bytes: a merged
        // cell spanning many rows and columns of a sparse table is counted before it is laid.
        if (grid[rr].size() < lastColumn) {
          positions += lastColumn - grid[rr].size();
          out.Expect(3 * positions);
        }
        if (taken[rr].size() < lastColumn) taken[rr].resize(lastColumn, false);
        if (grid[rr].size() < lastColumn) grid[rr].resize(lastColumn);
        for (size_t cc = c; cc < lastColumn; ++cc) taken[rr][cc] = true;
      }
      grid[r][c] = MarkdownCell(cell.text);
      c = lastColumn;
    }
  }
  AppendPipeTable(grid, out);
}

std::string NumberText(const std::optional<double>& value) {
  std::string text;
  if (value) AppendJsonNumber(*value, text);
  return text == "null" ? std::string() : text;
}

// Under the title, a row per category and a column per series.
void AppendChart(const SlideBlock& block, FormText& out) {
  if (block.title && AppendMarkdownParagraph(out, *block.title)) out += "\n\n";
  if (block.series.empty()) return;
  const std::vector<std::string>* categories = nullptr;
  size_t length = 0;
  for (const ChartSeries& series : block.series) {
    if (categories == nullptr && !series.categories.empty()) categories = &series.categories;
    length = std::max({length, series.categories.size(), series.values.size()});
  }
  // Every cell of the table is written in at least three bytes: many short series crossed
  // with one long one are counted before the table is laid.
  const uint64_t cells = (uint64_t{1} + length) * (uint64_t{1} + block.series.size());
  out.Expect(cells > UINT64_MAX / 3 ? UINT64_MAX : 3 * cells);
  std::vector<std::vector<std::string>> rows(1 + length);
  rows[0].emplace_back();
  for (const ChartSeries& series : block.series) rows[0].push_back(series.name ? MarkdownCell(*series.name) : "");
  for (size_t i = 0; i < length; ++i) {
    rows[1 + i].push_back(categories != nullptr && i < categories->size() ? MarkdownCell((*categories)[i]) : "");
    for (const ChartSeries& series : block.series) {
      rows[1 + i].push_back(i < series.values.size() ? NumberText(series.values[i]) : "");
    }
  }
  AppendPipeTable(rows, out);
}

void AppendDiagram(const std::vector<DiagramItem>& items, FormText& out) {
  int previous = -1;
  for (const DiagramItem& item : items) {
    const std::string text = MarkdownCell(item.text);
    if (text.empty()) continue;
    // A level deeper than one below the item above would not nest: it is taken as the next.
    const int level = std::clamp(item.level, 0, previous + 1);
    out.Expect(static_cast<size_t>(level) * 2);
    out.Out().append(static_cast<size_t>(level) * 2, ' ');
    out += "- ";
    out += text;
    out += '\n';
    previous = level;
  }
  if (previous >= 0) out += "\n";
}

}  // namespace

bool HasBlockOf(const Slide& slide, BlockType type) {
  return std::any_of(slide.blocks.begin(), slide.blocks.end(), [type](const SlideBlock& b) { return b.type == type; });
}

void AppendBlocksMarkdown(const Slide& slide, FormText& out) {
  for (const SlideBlock& block : slide.blocks) {
    switch (block.type) {
      case BlockType::kText: {
        if (block.holdsTitle) break;
        ListWriter list(out);
        for (const TextParagraph& paragraph : block.paragraphs) list.Paragraph(paragraph);
        list.End();
        break;
      }
      case BlockType::kTable:
        AppendTable(block.rows, out);
        break;
      case BlockType::kPicture:
        // Only a described picture: an empty image reference tells a reader nothing.
        if (block.alt) {
          if (const std::string alt = MarkdownCell(*block.alt); !alt.empty()) {
            out += "![";
            out += alt;
            out += "](";
            out += MarkdownDestination(block.image.value_or(""));
            out += ")\n\n";
          }
        }
        break;
      case BlockType::kChart:
        AppendChart(block, out);
        break;
      case BlockType::kDiagram:
        AppendDiagram(block.items, out);
        break;
      case BlockType::kMedia:
      case BlockType::kOle:
        break;
    }
  }
}

}  // namespace dkscr
