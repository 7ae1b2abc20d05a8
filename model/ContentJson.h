#pragma once
// The JSON of what the slide model holds beyond the slides' plain texts: a slide's blocks and
// links, the document's metadata and sections. Part of the JSON form (SlideFormats.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/FormText.h"
#include "model/SlideModel.h"

namespace dkscr {

// The name of the JSON layout, written as its "schema" member.
inline constexpr std::string_view kSlidesSchema = "deckscribe/slides-2";

// A number as JSON writes it, in the shortest form that reads back as the same double; null
// for what JSON cannot hold (infinities, NaN).
void AppendJsonNumber(double value, std::string& out);
void AppendJsonNumber(double value, FormText& out);
// A string, or null for none.
void AppendJsonOptional(const std::optional<std::string>& text, FormText& out);
// A JSON array of strings.
void AppendJsonStrings(const std::vector<std::string>& texts, FormText& out);

// ,"id":...,"section":...,"layout":...,"blocks":[...],"links":[...] of a slide.
void AppendSlideContentJson(const Slide& slide, FormText& out);
// The "metadata" object: the members the file has, "custom" when it has custom properties.
void AppendMetadataJson(const DocumentMetadata& metadata, FormText& out);
// The "sections" array.
void AppendSectionsJson(const SlideDeck& deck, FormText& out);

}  // namespace dkscr
