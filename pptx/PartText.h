#pragma once
// The text of the parts behind a slide: the slide itself, its notes page, SmartArt data,
// charts and comments, each read from the part's XML into the slide model.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/SlideModel.h"

namespace dkscr {

// Paragraphs, title, tables, footers and the hidden flag of a slide part.
void ReadSlidePart(std::string_view xml, Slide& slide);
// The paragraphs of a notes page: its header, footer and date to `footers`, the slide image
// and page number nowhere, every other text to `notes`.
void ReadNotesPart(std::string_view xml, std::vector<std::string>& notes, std::vector<std::string>& footers);
// The paragraphs of a SmartArt data part.
void ReadDiagramPart(std::string_view xml, std::vector<std::string>& texts);
// Chart and axis titles, series names and the first series' category labels.
void ReadChartPart(std::string_view xml, std::vector<std::string>& texts);

struct PartComment {
  std::string authorId;
  std::string text;
};
// The comments of a comments part, classic or threaded; a reply follows its comment.
std::vector<PartComment> ReadCommentsPart(std::string_view xml);
// Author id -> name from a comment-authors part (classic or threaded).
void ReadCommentAuthors(std::string_view xml, std::unordered_map<std::string, std::string>& names);

}  // namespace dkscr
