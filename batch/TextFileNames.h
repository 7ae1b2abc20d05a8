#pragma once
// Names of the text files of a batch: name.ext becomes name.txt (or the output form's own
// extension) under the output folder, in the same relative folder; where two presentations of
// one folder would share a text file, both keep their extension (a.ppt.txt, a.pptx.txt). The choice depends only on the names
// in each source folder, never on the order of the input, so split lists agree.
#include <string>
#include <string_view>
#include <vector>

#include "batch/InputList.h"

namespace dkscr {

// The name without its last extension; a name with none, or starting with its only dot,
// is its own stem.
std::string_view StemOfName(std::string_view name);

// Sets every item's target. Names that collide are the items of one folder plus the files
// selected by `selection` beside them on disk. A target that an earlier item already has
// fails the later item. `extension` includes its dot.
void AssignTextFileNames(std::vector<BatchItem>& items, const std::string& outputDir,
                         const InputSelection& selection, std::string_view extension = ".txt");

}  // namespace dkscr
