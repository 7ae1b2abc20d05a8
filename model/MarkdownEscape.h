#pragma once
// Text that renders in Markdown as itself: markup characters escaped, and links written as
// links. Shared by the Markdown form's parts (SlideFormats.cpp, ContentMarkdown.cpp).
#include <string>
#include <string_view>
#include <vector>

#include "model/FormText.h"
#include "model/SlideModel.h"

namespace dkscr {

// One line of text that renders as itself: markup characters escaped, a leading list number's
// "." or ")" escaped, and blanks at the edges dropped (four leading blanks would start code).
std::string MarkdownLine(std::string_view line);

// A paragraph: its line breaks (CR, LF or CR LF) become hard breaks (a backslash at the end of
// the line) between the lines that show something, each further line starting with `indent`.
// The links' runs (by their offsets in `text`) become [text](target); a link that spans lines
// stays plain text. Returns whether anything was written.
bool AppendMarkdownParagraph(FormText& out, std::string_view text, const std::vector<TextLink>& links = {},
                             std::string_view indent = {});
std::string MarkdownParagraph(std::string_view text, const std::vector<TextLink>& links = {},
                              std::string_view indent = {});

// A table cell, a list item: one line, its line breaks turned into blanks.
std::string MarkdownCell(std::string_view text);

// A heading's text on one line; a closing run of "#" after a blank would be taken for the
// heading's own closing sequence and dropped, so its first "#" is escaped.
std::string MarkdownHeading(std::string_view text);

// A link's target as a Markdown destination: blanks and angle brackets percent-encoded,
// parentheses and backslashes escaped, control characters dropped.
std::string MarkdownDestination(std::string_view target);

// A pipe table of rows of texts (each already escaped for a cell); the first row is the
// heading; short rows are padded, each padding cell counted against the form's bound.
// Nothing for no columns.
void AppendPipeTable(const std::vector<std::vector<std::string>>& rows, FormText& out);

}  // namespace dkscr
