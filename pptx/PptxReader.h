#pragma once
// The one reader of Open XML presentations. Over one open source it reads the package's
// directory once and its parts from that one handle, and gives what it sees to two places:
// the default text (every slide part by its number, each with a header line) and the slide
// model (slides in show order with their notes, tables, SmartArt, charts, comments and
// footers, and the text of slide parts the show does not list).
#include <atomic>
#include <string_view>

#include "model/SlideModel.h"
#include "platform/ByteSource.h"
#include "platform/ResultCodes.h"
#include "text/TextEncoder.h"

namespace dkscr {

// What one reading fills; either may be none. `cancel`, when set, is checked between parts.
struct PptxReadTargets {
  TextEncoder* text = nullptr;
  SlideDeck* deck = nullptr;
  const std::atomic<bool>* cancel = nullptr;
};

// Reads the package the source holds; `name` (may be empty) tells a self-extracting archive
// by its ".exe". Returns 0, or -4 (the archive cannot be read), -11 (a password-protected
// package), -14 (cancelled), -5 (no ZIP package, no slide in it, damage, or a bound passed).
ResultCode ReadPptx(ByteSource& source, std::u16string_view name, const PptxReadTargets& targets);

}  // namespace dkscr
