#pragma once
// The one reader of binary presentations. It walks the slide lists and then every slide and
// notes page they refer to, once, and gives what it sees to two places: the default text
// (every slide's and notes page's text in the order met, encoded as it is found) and the slide
// model (slides in show order with their notes, tables, diagrams, comments and footers, and
// the text that belongs to no slide). One conversion object per call: any number may run side
// by side.
#include <atomic>
#include <memory>

#include "cfb/CompoundFile.h"
#include "model/SlideModel.h"
#include "platform/ResultCodes.h"
#include "text/TextEncoder.h"

namespace dkscr {

// What one reading fills; any may be none. `cancel`, when set, is checked between pages.
// `metadata` is read alone, from the property sets without the slides, when there is no deck
// to fill.
struct PptReadTargets {
  TextEncoder* text = nullptr;
  SlideDeck* deck = nullptr;
  const std::atomic<bool>* cancel = nullptr;
  DocumentMetadata* metadata = nullptr;
};

// Reads a parsed compound document. Returns 0 (also for a compound document that is no
// readable presentation, which gives no text), -11 for an encrypted presentation, -14 when
// cancelled, -5 for damage the reader cannot go past or memory running out.
ResultCode ReadPpt(std::shared_ptr<CompoundFile> file, const PptReadTargets& targets);

}  // namespace dkscr
