#pragma once
// The slide model of an Open XML presentation: slides in show order with their notes,
// tables, SmartArt, charts and comments, read through the package's relationships.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/OutputBuffer.h"
#include "core/ResultCodes.h"
#include "core/SlideFormats.h"
#include "core/SlideModel.h"

namespace dkscr {

// Fills `deck`; 0 on success, else -2 (no such file), -4 (cannot be read), -11 (a
// password-protected package), -5 (no ZIP package, or no slide in it).
ResultCode ReadPptxSlides(const std::u16string& source, SlideDeck& deck);
// The same for a package held in memory (-4 when no ZIP directory is found in it).
ResultCode ReadPptxImageSlides(std::string_view image, SlideDeck& deck);

// The converter of every mode: kText is ConvertPptx itself, the others the slide model in
// their form. Result codes as ConvertPptx's.
ResultCode ConvertPptxSlides(const std::u16string& source, SlideMode mode, int32_t codePage,
                             OutputBuffer& output);
// The same on a package in memory.
ResultCode ConvertPptxImageSlides(std::string_view image, SlideMode mode, int32_t codePage,
                                  OutputBuffer& output);

}  // namespace dkscr
