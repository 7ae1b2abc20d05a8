#pragma once
// The slide model of a binary presentation: slides in show order with their title, paragraphs,
// hidden flag, the notes page tied to each and the slide's comments.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/DocFile.h"
#include "core/OutputBuffer.h"
#include "core/ResultCodes.h"
#include "core/SlideFormats.h"
#include "core/SlideModel.h"

namespace dkscr {

// Fills `deck` from an opened compound document; 0, -11 (encrypted) or -5. A compound
// document that is no readable presentation gives an empty deck, as it gives empty text.
ResultCode ReadPptSlides(std::unique_ptr<TDocFileStorage> storage, SlideDeck& deck);
// The same from a file (-2 missing, -4 cannot be opened, -5 no compound document) or from a
// file image in memory.
ResultCode ReadPptFileSlides(const std::u16string& source, SlideDeck& deck);
ResultCode ReadPptImageSlides(std::string_view image, SlideDeck& deck);

// The converter of every mode: kText is ConvertPpt itself, the others the slide model in
// their form. Result codes as ConvertPpt's.
ResultCode ConvertPptSlides(const std::u16string& source, SlideMode mode, int32_t codePage,
                            OutputBuffer& output);
// The same on a file image in memory.
ResultCode ConvertPptImageSlides(std::string_view image, SlideMode mode, int32_t codePage,
                                 OutputBuffer& output);

}  // namespace dkscr
