#pragma once
// The Markdown of a slide's blocks: text as paragraphs and lists with their levels and links,
// tables as pipe tables, pictures with alt text as images, charts as tables of their values
// under their titles, SmartArt as nested lists. Part of the Markdown form (SlideFormats.h).
#include <string>

#include "model/FormText.h"
#include "model/SlideModel.h"

namespace dkscr {

// Every block of the slide but the one that holds its title (the form's heading shows it).
void AppendBlocksMarkdown(const Slide& slide, FormText& out);

// Whether the slide has a block of the type.
bool HasBlockOf(const Slide& slide, BlockType type);

}  // namespace dkscr
