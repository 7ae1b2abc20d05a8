#include "model/MarkdownEscape.h"

#include <algorithm>

namespace dkscr {
namespace {

// Characters that start markup wherever they stand.
bool NeedsMarkdownEscape(char c) {
  switch (c) {
    case '\\': case '`': case '*': case '_': case '[': case ']': case '<': case '>':
    case '|': case '~': case '&':
      return true;
    default:
      return false;
  }
}

// Characters that start markup at the beginning of a line: headings, list items, rules.
bool NeedsLineStartEscape(char c) { return c == '#' || c == '+' || c == '-' || c == '='; }

// A link's place in one line, by offsets in the line's text.
struct LinkSpan {
  size_t begin, end;
  const std::string* target;
};

// The line [lineBegin, lineEnd) of `text`, escaped, with the spans given as links.
std::string EscapedLine(std::string_view text, size_t lineBegin, size_t lineEnd, const std::vector<LinkSpan>& spans) {
  size_t begin = lineBegin;
  size_t end = lineEnd;
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
  std::string out;
  bool leadingDigits = true;
  size_t span = 0;  // the next span to open or close
  bool open = false;
  for (size_t i = begin; i < end; ++i) {
    while (!open && span < spans.size() && spans[span].end <= i) ++span;  // left out by the trimming
    if (!open && span < spans.size() && std::max(spans[span].begin, begin) == i) {
      out.push_back('[');
      open = true;
    }
    const char c = text[i];
    if (NeedsMarkdownEscape(c) || (i == begin && NeedsLineStartEscape(c)) ||
        (leadingDigits && i > begin && (c == '.' || c == ')'))) {
      out.push_back('\\');
    }
    if (c < '0' || c > '9') leadingDigits = false;
    out.push_back(c);
    if (open && (i + 1 == spans[span].end || i + 1 == end)) {
      out += "](" + MarkdownDestination(*spans[span].target) + ")";
      open = false;
      ++span;
    }
  }
  return out;
}

}  // namespace

std::string MarkdownLine(std::string_view line) { return EscapedLine(line, 0, line.size(), {}); }

std::string MarkdownParagraph(std::string_view text, const std::vector<TextLink>& links, std::string_view indent) {
  std::string out;
  size_t at = 0;
  for (;;) {
    const size_t lf = std::min(text.find('\n', at), text.size());
    std::vector<LinkSpan> spans;
    for (const TextLink& link : links) {
      const size_t end = link.offset + link.text.size();
      if (link.text.empty() || link.offset < at || end > lf || end > text.size()) continue;
      if (!spans.empty() && link.offset < spans.back().end) continue;  // overlapping: the first holds
      spans.push_back({link.offset, end, &link.target});
    }
    const std::string line = EscapedLine(text, at, lf, spans);
    out += line;
    if (lf == text.size()) return out;
    if (!line.empty()) out += "\\";
    out.push_back('\n');
    out += indent;
    at = lf + 1;
  }
}

std::string MarkdownCell(std::string_view text) {
  std::string flat(text);
  for (char& c : flat) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return MarkdownLine(flat);
}

std::string MarkdownDestination(std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : target) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) continue;
    if (c == ' ' || c == '<' || c == '>') {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
    } else {
      if (c == '(' || c == ')' || c == '\\') out.push_back('\\');
      out.push_back(c);
    }
  }
  return out;
}

void AppendPipeTable(const std::vector<std::vector<std::string>>& rows, std::string& out) {
  size_t columns = 0;
  for (const auto& row : rows) columns = std::max(columns, row.size());
  if (columns == 0) return;
  auto appendRow = [&](const std::vector<std::string>* row) {
    out += "|";
    for (size_t c = 0; c < columns; ++c) {
      out += " ";
      if (row == nullptr) out += "---";
      else if (c < row->size()) out += (*row)[c];
      out += " |";
    }
    out += "\n";
  };
  for (size_t r = 0; r < rows.size(); ++r) {
    appendRow(&rows[r]);
    if (r == 0) appendRow(nullptr);
  }
  out += "\n";
}

}  // namespace dkscr
