#pragma once
// The document's properties in a compound document: the "\005SummaryInformation" and
// "\005DocumentSummaryInformation" property set streams ([MS-OLEPS]), each section's strings
// decoded by the section's own code page property.
#include <string_view>

#include "cfb/CompoundFile.h"
#include "model/ModelBudget.h"
#include "model/SlideModel.h"

namespace dkscr {

// Title, subject, author, keywords, comments, last author, revision, creation and save times
// and the application, from a SummaryInformation stream's bytes.
void ReadSummaryInformation(std::string_view stream, DocumentMetadata& metadata);
// Category and company, and the user-defined properties by their names in the dictionary,
// from a DocumentSummaryInformation stream's bytes.
// With `budget`, what the custom properties hold is taken from it.
void ReadDocumentSummaryInformation(std::string_view stream, DocumentMetadata& metadata,
                                    ModelBudget* budget = nullptr);
// Both, from the root storage's streams where they are.
void ReadPropertySets(CompoundFile& file, DocumentMetadata& metadata, ModelBudget* budget = nullptr);

}  // namespace dkscr
