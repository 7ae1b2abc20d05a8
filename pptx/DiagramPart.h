#pragma once
// A SmartArt data part, read once for both the diagram texts of a slide and its diagram block:
// the points' paragraphs in the part's order, and as items in the order and levels of the
// diagram's tree.
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelBudget.h"
#include "model/SlideModel.h"

namespace dkscr {

// Appends every paragraph of the part to `texts` and every paragraph of its points to
// `items`: those of the tree below the document point first, in the order its connections
// give, each at its depth below the document point (0 for the top nodes); then those of points
// the tree does not reach, at level 0. What it stores is taken from `budget` first.
void ReadDiagramPart(std::string_view xml, std::vector<std::string>& texts, std::vector<DiagramItem>& items,
                     ModelBudget& budget);

}  // namespace dkscr
