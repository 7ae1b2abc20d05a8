#pragma once
// The document's properties in an Open XML package: the core, extended and custom property
// parts (docProps/core.xml, app.xml, custom.xml).
#include <string_view>

#include "model/SlideModel.h"

namespace dkscr {

// Title, subject, author, keywords, description, last author, revision, dates and category.
void ReadCoreProperties(std::string_view xml, DocumentMetadata& metadata);
// Company and application.
void ReadExtendedProperties(std::string_view xml, DocumentMetadata& metadata);
// Custom properties, name -> value, in the part's order.
void ReadCustomProperties(std::string_view xml, DocumentMetadata& metadata);

}  // namespace dkscr
