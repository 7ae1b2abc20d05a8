#include "model/SlideFormWriter.h"

#include "model/ModelBudget.h"
#include "model/SlideFormPieces.h"
#include "text/LineBreaks.h"
#include "text/TextEncoder.h"

namespace dkscr {

SlideFormWriter::SlideFormWriter(SlideMode mode, int32_t codePage) : mode_(mode) {
  if (mode == SlideMode::kFull) {
    encoder_ = std::make_unique<TextEncoder>(TextEncoder::Input::kUtf8, kLineBreakCrLf, codePage);
  }
}

SlideFormWriter::~SlideFormWriter() = default;

void SlideFormWriter::Put(std::string_view bytes) {
  written_ += bytes.size();
  switch (mode_) {
    case SlideMode::kFull: encoder_->Append(bytes); return;
    case SlideMode::kMarkdown: block_.Append(repair_.Piece(bytes, repaired_)); return;
    case SlideMode::kJson:
    case SlideMode::kText: block_.Append(bytes); return;
  }
}

void SlideFormWriter::Start(const SlideDeck& deck) {
  started_ = true;
  if (mode_ == SlideMode::kJson || mode_ == SlideMode::kText) {
    // The head goes first where the deck has no sections yet, which is how it stays unless
    // sections come after the last slide: the end then writes it again, and only then does
    // the form move behind it.
    if (!deck.sections.empty()) return;
    piece_ = "{";
    try {
      FormText head(piece_, Left(deck));
      AppendJsonHead(deck, head);
    } catch (const ModelTooLargeError&) {
      return;  // the end tells
    }
    block_.Append(piece_);
    head_ = piece_.size();
    return;
  }
  if (mode_ != SlideMode::kMarkdown) return;
  piece_.clear();
  FormText out(piece_, Left(deck), this);
  AppendMarkdownHead(deck, out);
  Put(piece_);
}

void SlideFormWriter::Write(const SlideDeck& deck, const Slide& slide) {
  if (!started_) Start(deck);
  piece_.clear();
  FormText out(piece_, Left(deck), this);
  switch (mode_) {
    case SlideMode::kFull: AppendCompleteSlide(slide, slides_ == 0, out); break;
    case SlideMode::kMarkdown: AppendMarkdownSlide(slide, section_, out); break;
    case SlideMode::kJson:
    case SlideMode::kText: AppendJsonSlide(slide, slides_ == 0, out); break;
  }
  ++slides_;
  Put(piece_);
  // A slide far larger than the rest leaves no room behind it.
  if (piece_.capacity() > (uint64_t{1} << 20)) std::string().swap(piece_);
}

ResultCode SlideFormWriter::Finish(const SlideDeck& deck, OutputBuffer& output) {
  try {
    if (!started_) Start(deck);
    piece_.clear();
    FormText out(piece_, Left(deck), this);
    switch (mode_) {
      case SlideMode::kFull:
        AppendCompleteEnd(deck, slides_ > 0, out);
        Put(piece_);
        return encoder_->Finish(output);
      case SlideMode::kMarkdown:
        AppendMarkdownEnd(deck, out);
        Put(piece_);
        block_.Append(repair_.Finish());
        break;
      case SlideMode::kJson:
      case SlideMode::kText: {
        AppendJsonEnd(deck, out);
        Put(piece_);
        if (head_ > 0 && deck.sections.empty()) {
          // The head written first stands: counted as the end would have counted it.
          if (head_ - 1 > Left(deck)) throw ModelTooLargeError();
        } else {
          piece_ = "{";
          FormText head(piece_, Left(deck));
          AppendJsonHead(deck, head);
          block_.ReplaceFront(head_, piece_);
        }
        block_.Append("}\n");
        break;
      }
    }
    return block_.Finish(output);
  } catch (...) {
    return CaughtFailureCode();
  }
}

}  // namespace dkscr
