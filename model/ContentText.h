#pragma once
// What the complete text adds from a slide's blocks: the bullets and numbers of list
// paragraphs, the alt text of pictures and the values of chart series. Part of the complete
// text form (SlideFormats.h).
#include <string>
#include <vector>

#include "model/FormText.h"
#include "model/SlideModel.h"

namespace dkscr {

// For each of Slide::paragraphs, the list paragraph of a block that shows it; null for others.
std::vector<const TextParagraph*> ListParagraphs(const Slide& slide);
// What goes before a listed paragraph: two blanks a level and "- " for a bulleted paragraph,
// the number as shown ("1. ", "c) ") for a numbered one; nothing for others (null).
void AppendParagraphPrefix(const TextParagraph* paragraph, FormText& out);

// A "[Picture: alt]" line for each described picture.
void AppendPictureLines(const Slide& slide, FormText& out);

// For each chart with series: a row of its categories, then a row per series, its name and
// its values, tab-separated ("" for a missing value).
void AppendChartRows(const Slide& slide, FormText& out);

}  // namespace dkscr
