#pragma once
// A slide form written slide by slide: as a reader hands each slide over (SlideSink), the form
// of the slide goes straight into the block the caller receives and the slide can go, so that
// a conversion holds the form once and one slide at a time, never the whole model. The bytes
// are those of the form of the whole deck (SlideFormats.h), its bound counted over them all.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/FormBlock.h"
#include "model/FormText.h"
#include "model/SlideFormPieces.h"
#include "model/SlideMode.h"
#include "model/SlideModel.h"
#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"

namespace dkscr {

class TextEncoder;

class SlideFormWriter final : public SlideSink, private FormSpill {
 public:
  // kFull, kMarkdown or kJson; the code page (resolved, not 0) of kFull.
  SlideFormWriter(SlideMode mode, int32_t codePage);
  ~SlideFormWriter() override;
  SlideFormWriter(const SlideFormWriter&) = delete;
  SlideFormWriter& operator=(const SlideFormWriter&) = delete;

  // Throw ModelTooLargeError past the deck's outputBound, std::bad_alloc when memory runs out.
  void Take(const SlideDeck& deck, Slide&& slide) override { Write(deck, slide); }
  void Write(const SlideDeck& deck, const Slide& slide);
  // What comes after the last slide (and for JSON, what comes before the first: the deck's
  // sections are known only at the end), then the form into `output`; its length, or -5 past
  // a bound, -13 when memory runs out.
  ResultCode Finish(const SlideDeck& deck, OutputBuffer& output);

 private:
  // What the form may still write.
  uint64_t Left(const SlideDeck& deck) const { return deck.outputBound - written_; }
  void Start(const SlideDeck& deck);
  void Put(std::string_view bytes);
  void Spill(std::string_view bytes) override { Put(bytes); }

  SlideMode mode_;
  std::unique_ptr<TextEncoder> encoder_;  // kFull: its code page and line breaks
  FormBlock block_;                       // kMarkdown, kJson
  std::string piece_;                     // the piece being made, its room kept
  Utf8PieceRepair repair_;                // kMarkdown
  std::string repaired_;                  // kMarkdown: a piece that needed repair
  uint64_t written_ = 0;                  // of the form, before encoding
  size_t head_ = 0;                       // kJson: bytes of the head written at the start
  size_t slides_ = 0;
  bool started_ = false;
  std::optional<std::string> section_;  // of the slide above (Markdown)
};

}  // namespace dkscr
