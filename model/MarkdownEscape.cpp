#include "model/MarkdownEscape.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

#include "text/LineBreaks.h"

namespace dkscr {
namespace {

// Characters that start markup wherever they stand, looked up by byte.
constexpr std::array<bool, 256> kMarkup = [] {
  std::array<bool, 256> markup{};
  for (const char c : std::string_view("\\`*_[]<>|~&")) markup[static_cast<unsigned char>(c)] = true;
  return markup;
}();
bool NeedsMarkdownEscape(char c) { return kMarkup[static_cast<unsigned char>(c)]; }

// The first character at or after `at` and before `end` that starts markup, else `end`:
// sixteen bytes at a time where the processor compares them at once, as most text has none.
size_t NextMarkup(std::string_view text, size_t at, size_t end) {
#if defined(__SSE2__) && defined(__GNUC__)
  static constexpr char kChars[] = "\\`*_[]<>|~&";
  for (; end - at >= 16; at += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    __m128i found = _mm_setzero_si128();
    for (size_t c = 0; c + 1 < sizeof kChars; ++c) found = _mm_or_si128(found, _mm_cmpeq_epi8(v, _mm_set1_epi8(kChars[c])));
    if (const int mask = _mm_movemask_epi8(found); mask != 0) return at + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  while (at < end && !NeedsMarkdownEscape(text[at])) ++at;
  return at;
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
  out.reserve(end - begin + 8);
  bool leadingDigits = true;
  size_t span = 0;  // the next span to open or close
  bool open = false;
  for (size_t i = begin; i < end; ++i) {
    if (spans.empty() && !leadingDigits && i > begin) {
      // No link and past the line's start: only markup characters are escaped.
      while (i < end) {
        const size_t run = NextMarkup(text, i, end);
        out.append(text, i, run - i);
        if (run == end) break;
        out.push_back('\\');
        out.push_back(text[run]);
        i = run + 1;
      }
      break;
    }
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

bool AppendMarkdownParagraph(FormText& out, std::string_view text, const std::vector<TextLink>& links,
                             std::string_view indent) {
  bool wrote = false;
  size_t at = 0;
  for (;;) {
    // A CR, a LF or a CR LF ends a line wherever it stands: each is one break.
    const size_t end = FindLineBreak(text, at);
    std::vector<LinkSpan> spans;
    for (const TextLink& link : links) {
      const size_t linkEnd = link.offset + link.text.size();
      if (link.text.empty() || link.offset < at || linkEnd > end || linkEnd > text.size()) continue;
      if (!spans.empty() && link.offset < spans.back().end) continue;  // overlapping: the first holds
      spans.push_back({link.offset, linkEnd, &link.target});
    }
    out.Expect(end - at);
    const std::string line = EscapedLine(text, at, end, spans);
    // Only lines that show something: a blank line would end the paragraph, and a break
    // before nothing would show as a backslash.
    if (!line.empty()) {
      if (wrote) {
        out += "\\\n";
        out += indent;
      }
      out += line;
      wrote = true;
    }
    if (end == text.size()) return wrote;
    at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

std::string MarkdownParagraph(std::string_view text, const std::vector<TextLink>& links, std::string_view indent) {
  std::string out;
  FormText form(out, UINT64_MAX);
  AppendMarkdownParagraph(form, text, links, indent);
  return out;
}

std::string MarkdownCell(std::string_view text) {
  // Its lines joined by blanks, a CR LF as one break.
  size_t end = FindLineBreak(text, 0);
  if (end == text.size()) return MarkdownLine(text);  // one line already
  std::string flat;
  flat.reserve(text.size());
  size_t at = 0;
  for (;; end = FindLineBreak(text, at)) {
    flat.append(text.substr(at, end - at));
    if (end == text.size()) break;
    flat.push_back(' ');
    at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return MarkdownLine(flat);
}

std::string MarkdownHeading(std::string_view text) {
  std::string line = MarkdownCell(text);
  size_t run = line.size();
  while (run > 0 && line[run - 1] == '#') --run;
  if (run < line.size() && run > 0 && (line[run - 1] == ' ' || line[run - 1] == '\t')) line.insert(run, 1, '\\');
  return line;
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

void AppendPipeTable(const std::vector<std::vector<std::string>>& rows, FormText& out) {
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
