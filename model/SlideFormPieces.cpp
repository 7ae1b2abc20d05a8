#include "model/SlideFormPieces.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "model/ContentJson.h"
#include "model/ContentMarkdown.h"
#include "model/ContentText.h"
#include "model/JsonWriter.h"
#include "model/MarkdownEscape.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

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

void AppendLine(FormText& out, std::string_view line) {
  out += line;
  out += '\n';
}

// One table row for the complete text: cells separated by tabs, a cell's own line breaks
// turned into spaces so that the row stays one line.
void AppendTabbedRow(const std::vector<std::string>& cells, FormText& form) {
  size_t bytes = cells.size();
  for (const std::string& cell : cells) bytes += cell.size();
  form.Expect(bytes);
  std::string& row = form.Out();
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) row.push_back('\t');
    for (char c : cells[i]) row.push_back(c == '\n' || c == '\r' ? ' ' : c);
  }
  row.push_back('\n');
}

// ---- Markdown ----

void AppendMarkdownTable(const SlideTable& table, FormText& out) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& row : table.rows) {
    rows.emplace_back();
    for (const std::string& cell : row) {
      out.Expect(cell.size());  // what the table will write of it at least
      rows.back().push_back(MarkdownCell(cell));
    }
  }
  AppendPipeTable(rows, out);
}

// ---- JSON ----

void AppendJsonSlideObject(const Slide& slide, FormText& out) {
  char number[16];
  const char* const numberEnd = std::to_chars(number, number + sizeof number, slide.number).ptr;
  out += "{\"number\":";
  out += std::string_view(number, static_cast<size_t>(numberEnd - number));
  out += slide.hidden ? ",\"hidden\":true,\"title\":" : ",\"hidden\":false,\"title\":";
  AppendJsonString(out, slide.title);
  out += ",\"paragraphs\":";
  AppendJsonStrings(slide.paragraphs, out);
  if (slide.notes.empty() && slide.tables.empty() && slide.diagrams.empty() && slide.charts.empty() &&
      slide.comments.empty() && slide.footers.empty() && slide.notesFooters.empty()) {
    // What most slides have none of, at once.
    out += ",\"notes\":[],\"tables\":[],\"diagrams\":[],\"charts\":[],\"comments\":[],\"footers\":[],\"notes_footers\":[]";
    AppendSlideContentJson(slide, out);
    out.push_back('}');
    return;
  }
  out += ",\"notes\":";
  AppendJsonStrings(slide.notes, out);
  out += ",\"tables\":[";
  for (size_t t = 0; t < slide.tables.size(); ++t) {
    if (t > 0) out.push_back(',');
    out.push_back('[');
    const auto& rows = slide.tables[t].rows;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) out.push_back(',');
      AppendJsonStrings(rows[r], out);
    }
    out.push_back(']');
  }
  out += "],\"diagrams\":";
  AppendJsonStrings(slide.diagrams, out);
  out += ",\"charts\":";
  AppendJsonStrings(slide.charts, out);
  out += ",\"comments\":[";
  for (size_t c = 0; c < slide.comments.size(); ++c) {
    if (c > 0) out.push_back(',');
    out += "{\"author\":";
    AppendJsonString(out, slide.comments[c].author.str());
    out += ",\"text\":";
    AppendJsonString(out, slide.comments[c].text);
    out.push_back('}');
  }
  out += "],\"footers\":";
  AppendJsonStrings(slide.footers, out);
  out += ",\"notes_footers\":";
  AppendJsonStrings(slide.notesFooters, out);
  AppendSlideContentJson(slide, out);
  out.push_back('}');
}

// How much of the text is well-formed UTF-8 from its start.
size_t WellFormedUtf8(std::string_view text) {
  size_t at = 0;
  char32_t codePoint = 0;
  bool valid = true;
  while (at < text.size() && valid) {
    // ASCII passes eight bytes at a time.
    if (uint64_t word; text.size() - at >= sizeof word) {
      std::memcpy(&word, text.data() + at, sizeof word);
      if ((word & 0x8080808080808080u) == 0) {
        at += sizeof word;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = DecodeUtf8Sequence(text, at, codePoint, valid);
    if (valid) at += length;
  }
  return at;
}

// Where a lead byte among the last three starts a sequence that would end past the text, else
// its end: what comes before a lead byte is repaired the same whatever follows it.
size_t OpenSequenceStart(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto c = static_cast<unsigned char>(text[text.size() - back]);
    if (c < 0x80) break;
    if (c >= 0xC0) {
      const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      return length > back ? text.size() - back : text.size();
    }
  }
  return text.size();
}

}  // namespace

// The text as well-formed UTF-8: each maximal ill-formed subpart becomes one U+FFFD, as JSON
// strings and dkscrbatch repair it.
std::string RepairedUtf8(std::string text) {
  size_t at = WellFormedUtf8(text);
  if (at == text.size()) return text;
  char32_t codePoint = 0;
  bool valid = true;
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

std::string Utf8PieceRepair::Piece(std::string_view bytes) {
  std::string text = std::move(tail_);
  tail_.clear();
  text.append(bytes);
  // A sequence the next piece may complete waits for it.
  const size_t cut = OpenSequenceStart(text);
  tail_.assign(text, cut, std::string::npos);
  text.resize(cut);
  return RepairedUtf8(std::move(text));
}

std::string_view Utf8PieceRepair::Piece(std::string_view bytes, std::string& scratch) {
  if (tail_.empty()) {
    const std::string_view whole = bytes.substr(0, OpenSequenceStart(bytes));
    if (WellFormedUtf8(whole) == whole.size()) {
      tail_.assign(bytes.substr(whole.size()));
      return whole;
    }
  }
  scratch = Piece(bytes);
  return scratch;
}

std::string Utf8PieceRepair::Finish() { return RepairedUtf8(std::move(tail_)); }

void AppendCompleteSlide(const Slide& slide, bool first, FormText& out) {
  if (!first) out.push_back('\n');
  AppendLine(out, "Slide " + std::to_string(slide.number) + (slide.hidden ? " (hidden)" : ""));
  const std::vector<const TextParagraph*> listed = ListParagraphs(slide);
  WalkBody(
      slide, 0, 0,
      [&](size_t index) {
        AppendParagraphPrefix(listed[index], out);
        AppendLine(out, slide.paragraphs[index]);
      },
      [&](const SlideTable& table) {
        for (const auto& row : table.rows) AppendTabbedRow(row, out);
      });
  AppendPictureLines(slide, out);
  for (const std::string& text : slide.diagrams) AppendLine(out, text);
  for (const std::string& text : slide.charts) AppendLine(out, text);
  AppendChartRows(slide, out);
  if (!slide.notes.empty() || !slide.notesFooters.empty()) {
    AppendLine(out, "Notes:");
    for (const std::string& text : slide.notes) AppendLine(out, text);
    for (const std::string& text : slide.notesFooters) AppendLine(out, text);
  }
  for (const SlideComment& comment : slide.comments) {
    out += comment.author;
    out += ": ";
    AppendLine(out, comment.text);
  }
}

void AppendCompleteEnd(const SlideDeck& deck, bool anySlide, FormText& out) {
  if (deck.orphans.empty()) return;
  if (anySlide) out.push_back('\n');
  AppendLine(out, "Not on a slide:");
  for (const std::string& orphan : deck.orphans) AppendLine(out, orphan);
}

void AppendMarkdownHead(const SlideDeck& deck, FormText& out) {
  if (!deck.metadata.title) return;
  if (const std::string title = MarkdownHeading(*deck.metadata.title); !title.empty()) {
    out += "# ";
    out += title;
    out += "\n\n";
  }
}

void AppendMarkdownSlide(const Slide& slide, std::optional<std::string>& section, FormText& out) {
  // A section's name heads its slides; a section the show enters again is named again.
  if (slide.section && (!section || *section != *slide.section)) {
    out.Expect(slide.section->size() + 4);
    out += "# ";
    out += MarkdownHeading(*slide.section);
    out += "\n\n";
  }
  section = slide.section;
  out.Expect(slide.title.size() + 32);
  out += "## " + std::to_string(slide.number) + ".";
  if (const std::string heading = MarkdownHeading(slide.title); !heading.empty()) {
    out += ' ';
    out += heading;
  }
  if (slide.hidden) out += " (hidden)";
  out += "\n\n";
  auto paragraph = [&](std::string_view body) {
    if (AppendMarkdownParagraph(out, body)) out += "\n\n";
  };
  if (slide.blocks.empty()) {
    WalkBody(
        slide, slide.titleBegin, slide.titleEnd,
        [&](size_t index) { paragraph(slide.paragraphs[index]); },
        [&](const SlideTable& table) { AppendMarkdownTable(table, out); });
  } else {
    AppendBlocksMarkdown(slide, out);
    for (const std::string& footer : slide.footers) paragraph(footer);
  }
  // The texts of charts and SmartArt that have no block of their own.
  if (!HasBlockOf(slide, BlockType::kDiagram)) {
    for (const std::string& diagram : slide.diagrams) paragraph(diagram);
  }
  if (!HasBlockOf(slide, BlockType::kChart)) {
    for (const std::string& chart : slide.charts) paragraph(chart);
  }
  if (!slide.notes.empty() || !slide.notesFooters.empty()) {
    out += "### Notes\n\n";
    for (const std::string& note : slide.notes) paragraph(note);
    for (const std::string& footer : slide.notesFooters) paragraph(footer);
  }
  if (!slide.comments.empty()) {
    out += "### Comments\n\n";
    for (const SlideComment& comment : slide.comments) {
      out.Expect(comment.author.str().size() + comment.text.size() + 5);
      out += "- ";
      out += MarkdownCell(comment.author);
      out += ": ";
      out += MarkdownCell(comment.text);
      out += '\n';
    }
    out += '\n';
  }
}

void AppendMarkdownEnd(const SlideDeck& deck, FormText& out) {
  if (deck.orphans.empty()) return;
  out += "## Not on a slide\n\n";
  for (const std::string& orphan : deck.orphans) {
    if (AppendMarkdownParagraph(out, orphan)) out += "\n\n";
  }
}

void AppendJsonHead(const SlideDeck& deck, FormText& out) {
  out += "\"schema\":";
  AppendJsonString(out, kSlidesSchema);
  out += ",\"metadata\":";
  AppendMetadataJson(deck.metadata, out);
  out += ",\"sections\":";
  AppendSectionsJson(deck, out);
  out += ",\"slides\":[";
}

void AppendJsonSlide(const Slide& slide, bool first, FormText& out) {
  if (!first) out.push_back(',');
  AppendJsonSlideObject(slide, out);
}

void AppendJsonEnd(const SlideDeck& deck, FormText& out) {
  out += "],\"orphans\":";
  AppendJsonStrings(deck.orphans, out);
}

}  // namespace dkscr
