#include "model/SlideFormats.h"

#include <algorithm>

#include "model/JsonWriter.h"
#include "model/ModelBudget.h"
#include "platform/Utf.h"
#include "text/Encode.h"

namespace dkscr {
namespace {

// What a form writes, within the bound the reader set from what the file holds. A small model
// can make a large form (one name on every comment, a ragged table padded to its widest row),
// so the form is checked as it grows: before a text is added (it adds at least its own size)
// and after (escapes may add more), and for every padding cell.
class FormText {
 public:
  FormText(std::string& out, uint64_t bound) : out_(out), start_(out.size()), bound_(bound) {}
  std::string& Out() { return out_; }
  // Before `bytes` more are added.
  void Expect(size_t bytes) const {
    if (bytes > bound_ || out_.size() - start_ > bound_ - bytes) throw ModelTooLargeError();
  }
  // After something was added.
  void Check() const { Expect(0); }

 private:
  std::string& out_;
  size_t start_;
  uint64_t bound_;
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Calls emitParagraph(index) and emitTable(table) in document order: a table stands where its
// first paragraph stood and its paragraphs are not given again. `skipBegin`/`skipEnd` leave out
// a range of paragraphs (the title, where the form shows it elsewhere).
template <typename ParagraphFn, typename TableFn>
void WalkBody(const Slide& slide, size_t skipBegin, size_t skipEnd, ParagraphFn emitParagraph,
              TableFn emitTable) {
  std::vector<const SlideTable*> tables;
  for (const SlideTable& table : slide.tables) tables.push_back(&table);
  std::stable_sort(tables.begin(), tables.end(), [](const SlideTable* a, const SlideTable* b) {
    return a->firstParagraph < b->firstParagraph;
  });
  size_t next = 0;  // the next table to place
  size_t index = 0;
  for (;;) {
    // Tables whose paragraphs have been covered already (one nested in another) are dropped.
    while (next < tables.size() && tables[next]->firstParagraph < index) ++next;
    if (next < tables.size() && tables[next]->firstParagraph == index) {
      emitTable(*tables[next]);
      index = std::max(index, tables[next]->endParagraph);
      ++next;
      continue;
    }
    if (index >= slide.paragraphs.size()) return;
    if (index < skipBegin || index >= skipEnd) emitParagraph(index);
    ++index;
  }
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.push_back('\n');
}

// One table row for the complete text: cells separated by tabs, a cell's own line breaks
// turned into spaces so that the row stays one line.
std::string TabbedRow(const std::vector<std::string>& cells) {
  std::string row;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) row.push_back('\t');
    for (char c : cells[i]) row.push_back(c == '\n' || c == '\r' ? ' ' : c);
  }
  return row;
}

// ---- Markdown ----

// The text as well-formed UTF-8: each maximal ill-formed subpart becomes one U+FFFD, as JSON
// strings and dkscrbatch repair it.
std::string RepairedUtf8(std::string text) {
  size_t at = 0;
  char32_t codePoint = 0;
  bool valid = true;
  while (at < text.size() && valid) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = DecodeUtf8Sequence(text, at, codePoint, valid);
    if (valid) at += length;
  }
  if (valid) return text;
  std::string out(text, 0, at);
  while (at < text.size()) {
    const size_t length = DecodeUtf8Sequence(text, at, codePoint, valid);
    if (valid) {
      out.append(text, at, length);
    } else {
      AppendUtf8(kReplacementChar, out);
    }
    at += length;
  }
  return out;
}

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

// One line of text that renders as itself: markup characters escaped, a leading list number's
// "." or ")" escaped, and blanks at the edges dropped (four leading blanks would start code).
std::string MarkdownLine(std::string_view line) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
  while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r')) --end;
  std::string out;
  bool leadingDigits = true;
  for (size_t i = begin; i < end; ++i) {
    const char c = line[i];
    if (NeedsMarkdownEscape(c) || (i == begin && NeedsLineStartEscape(c)) ||
        (leadingDigits && i > begin && (c == '.' || c == ')'))) {
      out.push_back('\\');
    }
    if (c < '0' || c > '9') leadingDigits = false;
    out.push_back(c);
  }
  return out;
}

// Calls fn(line) for each line of the text, split at every line ending CommonMark knows: a
// CR, a LF or a CR LF ends a line wherever it stands, so each is one break.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn fn) {
  size_t at = 0;
  for (;;) {
    const size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) {
      fn(text.substr(at));
      return;
    }
    fn(text.substr(at, end - at));
    at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

// Text that must stay on one line (a heading, a table cell, a list item): its line breaks
// become spaces, so that no break can start a heading or list of its own.
std::string FlatLine(std::string_view text) {
  std::string flat;
  bool first = true;
  ForEachLine(text, [&](std::string_view line) {
    if (!first) flat.push_back(' ');
    first = false;
    flat.append(line);
  });
  return MarkdownLine(flat);
}

// A paragraph: its line breaks become hard breaks (a backslash at the end of the line) between
// the lines that show something; a blank line would end the paragraph and a break at its end
// would show as a backslash.
std::string MarkdownParagraph(std::string_view text) {
  std::string out;
  ForEachLine(text, [&](std::string_view line) {
    const std::string shown = MarkdownLine(line);
    if (shown.empty()) return;
    if (!out.empty()) out += "\\\n";
    out += shown;
  });
  return out;
}

// A heading's text on one line; a closing run of "#" after a blank would be taken for the
// heading's own closing sequence and dropped, so its first "#" is escaped.
std::string MarkdownHeading(std::string_view text) {
  std::string line = FlatLine(text);
  size_t run = line.size();
  while (run > 0 && line[run - 1] == '#') --run;
  if (run < line.size() && run > 0 && (line[run - 1] == ' ' || line[run - 1] == '\t')) line.insert(run, 1, '\\');
  return line;
}

std::string MarkdownCell(std::string_view text) { return FlatLine(text); }

// Rows padded to the widest, within the form's bound: a ragged table of a few cells per row
// could otherwise pad to the square of its size.
void AppendMarkdownTable(const SlideTable& table, FormText& form) {
  std::string& out = form.Out();
  size_t columns = 0;
  for (const auto& row : table.rows) columns = std::max(columns, row.size());
  if (columns == 0) return;
  auto appendRow = [&](const std::vector<std::string>* row) {
    out += "|";
    for (size_t c = 0; c < columns; ++c) {
      form.Expect(c < (row != nullptr ? row->size() : 0) ? (*row)[c].size() + 3 : 6);
      out += " ";
      if (row == nullptr) out += "---";
      else if (c < row->size()) out += MarkdownCell((*row)[c]);
      out += " |";
    }
    out += "\n";
    form.Check();
  };
  bool first = true;
  for (const auto& row : table.rows) {
    appendRow(&row);
    if (first) appendRow(nullptr);
    first = false;
  }
  out += "\n";
}

// ---- JSON ----

// A text as a JSON string within the form's bound.
void AppendBoundedJsonString(FormText& form, std::string_view text) {
  form.Expect(text.size() + 3);
  AppendJsonString(form.Out(), text);
  form.Check();
}

void AppendJsonStrings(const std::vector<std::string>& texts, FormText& form) {
  std::string& out = form.Out();
  out.push_back('[');
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendBoundedJsonString(form, texts[i]);
  }
  out.push_back(']');
}

void AppendJsonSlide(const Slide& slide, FormText& form) {
  std::string& out = form.Out();
  out += "{\"number\":" + std::to_string(slide.number);
  out += slide.hidden ? ",\"hidden\":true" : ",\"hidden\":false";
  out += ",\"title\":";
  AppendBoundedJsonString(form, slide.title);
  out += ",\"paragraphs\":";
  AppendJsonStrings(slide.paragraphs, form);
  out += ",\"notes\":";
  AppendJsonStrings(slide.notes, form);
  out += ",\"tables\":[";
  for (size_t t = 0; t < slide.tables.size(); ++t) {
    if (t > 0) out.push_back(',');
    out.push_back('[');
    const auto& rows = slide.tables[t].rows;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) out.push_back(',');
      AppendJsonStrings(rows[r], form);
    }
    out.push_back(']');
  }
  out += "],\"diagrams\":";
  AppendJsonStrings(slide.diagrams, form);
  out += ",\"charts\":";
  AppendJsonStrings(slide.charts, form);
  out += ",\"comments\":[";
  for (size_t c = 0; c < slide.comments.size(); ++c) {
    if (c > 0) out.push_back(',');
    out += "{\"author\":";
    AppendBoundedJsonString(form, slide.comments[c].author.str());
    out += ",\"text\":";
    AppendBoundedJsonString(form, slide.comments[c].text);
    out.push_back('}');
  }
  out += "],\"footers\":";
  AppendJsonStrings(slide.footers, form);
  out += ",\"notes_footers\":";
  AppendJsonStrings(slide.notesFooters, form);
  out.push_back('}');
}

}  // namespace

std::optional<SlideMode> ParseSlideMode(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = LowerAscii(c);
  if (lower == "text") return SlideMode::kText;
  if (lower == "full") return SlideMode::kFull;
  if (lower == "md") return SlideMode::kMarkdown;
  if (lower == "json") return SlideMode::kJson;
  return std::nullopt;
}

std::string CompleteText(const SlideDeck& deck) {
  std::string out;
  FormText form(out, deck.outputBound);
  auto line = [&](std::string_view text) {
    form.Expect(text.size() + 1);
    AppendLine(out, text);
  };
  for (const Slide& slide : deck.slides) {
    if (&slide != &deck.slides.front()) out.push_back('\n');
    line("Slide " + std::to_string(slide.number) + (slide.hidden ? " (hidden)" : ""));
    WalkBody(
        slide, 0, 0, [&](size_t index) { line(slide.paragraphs[index]); },
        [&](const SlideTable& table) {
          for (const auto& row : table.rows) {
            size_t bytes = row.size();
            for (const std::string& cell : row) bytes += cell.size();
            form.Expect(bytes);
            AppendLine(out, TabbedRow(row));
          }
        });
    for (const std::string& text : slide.diagrams) line(text);
    for (const std::string& text : slide.charts) line(text);
    if (!slide.notes.empty() || !slide.notesFooters.empty()) {
      line("Notes:");
      for (const std::string& text : slide.notes) line(text);
      for (const std::string& text : slide.notesFooters) line(text);
    }
    for (const SlideComment& comment : slide.comments) {
      form.Expect(comment.author.str().size() + comment.text.size() + 3);
      AppendLine(out, comment.author.str() + ": " + comment.text);
    }
  }
  if (!deck.orphans.empty()) {
    if (!deck.slides.empty()) out.push_back('\n');
    line("Not on a slide:");
    for (const std::string& text : deck.orphans) line(text);
  }
  return out;
}

std::string MarkdownText(const SlideDeck& deck) {
  std::string out;
  FormText form(out, deck.outputBound);
  for (const Slide& slide : deck.slides) {
    form.Expect(slide.title.size() + 32);
    out += "## " + std::to_string(slide.number) + ".";
    if (const std::string heading = MarkdownHeading(slide.title); !heading.empty()) out += " " + heading;
    if (slide.hidden) out += " (hidden)";
    out += "\n\n";
    auto paragraph = [&](std::string_view text) {
      form.Expect(text.size() + 2);
      const std::string body = MarkdownParagraph(text);
      if (body.empty()) return;
      out += body;
      out += "\n\n";
    };
    WalkBody(
        slide, slide.titleBegin, slide.titleEnd,
        [&](size_t index) { paragraph(slide.paragraphs[index]); },
        [&](const SlideTable& table) { AppendMarkdownTable(table, form); });
    for (const std::string& text : slide.diagrams) paragraph(text);
    for (const std::string& text : slide.charts) paragraph(text);
    if (!slide.notes.empty() || !slide.notesFooters.empty()) {
      out += "### Notes\n\n";
      for (const std::string& text : slide.notes) paragraph(text);
      for (const std::string& text : slide.notesFooters) paragraph(text);
    }
    if (!slide.comments.empty()) {
      out += "### Comments\n\n";
      for (const SlideComment& comment : slide.comments) {
        form.Expect(comment.author.str().size() + comment.text.size() + 5);
        out += "- " + FlatLine(comment.author) + ": " + FlatLine(comment.text) + "\n";
      }
      out += "\n";
    }
  }
  if (!deck.orphans.empty()) {
    out += "## Not on a slide\n\n";
    for (const std::string& text : deck.orphans) {
      form.Expect(text.size() + 2);
      if (const std::string body = MarkdownParagraph(text); !body.empty()) out += body + "\n\n";
    }
  }
  return RepairedUtf8(std::move(out));
}

void AppendSlidesJsonArray(const SlideDeck& deck, std::string& out) {
  FormText form(out, deck.outputBound);
  out.push_back('[');
  for (size_t i = 0; i < deck.slides.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendJsonSlide(deck.slides[i], form);
  }
  out.push_back(']');
}

void AppendOrphansJsonArray(const SlideDeck& deck, std::string& out) {
  FormText form(out, deck.outputBound);
  AppendJsonStrings(deck.orphans, form);
}

std::string JsonText(const SlideDeck& deck) {
  std::string out = "{\"slides\":";
  AppendSlidesJsonArray(deck, out);
  out += ",\"orphans\":";
  AppendOrphansJsonArray(deck, out);
  out += "}\n";
  return out;
}

ResultCode EncodeSlides(const SlideDeck& deck, SlideMode mode, int32_t codePage,
                        OutputBuffer& output) {
  try {
    switch (mode) {
      case SlideMode::kFull: return EncodeUtf8Text(CompleteText(deck), kLineBreakCrLf, codePage, output);
      case SlideMode::kMarkdown: return CopyToOutput(MarkdownText(deck), output);
      case SlideMode::kJson: return CopyToOutput(JsonText(deck), output);
      case SlideMode::kText: break;
    }
  } catch (...) {  // memory running out
    return CaughtFailureCode();
  }
  return kResultFormatError;
}

}  // namespace dkscr
