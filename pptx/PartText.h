#pragma once
// The text of the parts behind a slide: its notes page and comments, each read from the
// part's XML into the slide model. Whatever they store is taken from the reader's budget first.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ModelBudget.h"
#include "model/SlideModel.h"
#include "xml/XmlTokenizer.h"

namespace dkscr {

// The paragraphs of a notes page: its header, footer and date to `footers`, the slide image
// and page number nowhere, every other text to `notes`. `kept`, when given, holds the reading's
// copy of the part for the next.
void ReadNotesPart(std::string_view xml, std::vector<std::string>& notes, std::vector<std::string>& footers,
                   ModelBudget& budget, XmlBuffer* kept = nullptr);

struct PartComment {
  std::string authorId;
  std::string text;
};
// The comments of a comments part, classic or threaded; a reply follows its comment.
std::vector<PartComment> ReadCommentsPart(std::string_view xml, ModelBudget& budget);
// Author id -> name from a comment-authors part (classic or threaded).
void ReadCommentAuthors(std::string_view xml, std::unordered_map<std::string, SharedText>& names,
                        ModelBudget& budget);

}  // namespace dkscr
