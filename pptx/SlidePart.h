#pragma once
// A slide part, read in one walk into everything the slide model holds of it: its paragraphs,
// title, tables, footers and hidden flag, and its blocks in the shape tree's order with their
// paragraphs' levels, bullets and links, and the slide's hyperlinks.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ModelBudget.h"
#include "model/SlideModel.h"
#include "pptx/ListStyles.h"
#include "pptx/OpcRelationships.h"
#include "xml/XmlTokenizer.h"

namespace dkscr {

// What the slide's own part does not hold; all of it may be missing.
struct SlidePartContext {
  const std::vector<OpcRelationship>* relationships = nullptr;  // the slide's, external ones too
  const std::unordered_map<std::string, int>* slideNumbers = nullptr;  // slide part -> number in the show
  InheritedStyles styles;
  ModelBudget* budget = nullptr;  // what the reading may store; unbounded when missing
  XmlBuffer* kept = nullptr;  // storage for the reading's copy of the part, kept for the next
};

// A block whose content lies in another part (a chart, a SmartArt data part), to be filled
// from that part.
struct RelatedBlock {
  size_t block;  // in Slide::blocks
  std::string part;
};

void ReadSlidePart(std::string_view xml, Slide& slide, const SlidePartContext& context = {},
                   std::vector<RelatedBlock>* related = nullptr);

}  // namespace dkscr
