#include "model/SlideFormats.h"

#include "model/SlideFormPieces.h"
#include "model/SlideFormWriter.h"

namespace dkscr {

std::string CompleteText(const SlideDeck& deck) {
  std::string complete;
  FormText out(complete, deck.outputBound);
  for (const Slide& slide : deck.slides) AppendCompleteSlide(slide, &slide == &deck.slides.front(), out);
  AppendCompleteEnd(deck, !deck.slides.empty(), out);
  return complete;
}

std::string MarkdownText(const SlideDeck& deck) {
  std::string text;
  FormText out(text, deck.outputBound);
  AppendMarkdownHead(deck, out);
  std::optional<std::string> section;  // of the slide above
  for (const Slide& slide : deck.slides) AppendMarkdownSlide(slide, section, out);
  AppendMarkdownEnd(deck, out);
  return RepairedUtf8(std::move(text));
}

std::string JsonText(const SlideDeck& deck) {
  std::string text = "{";
  FormText out(text, deck.outputBound);
  AppendJsonHead(deck, out);
  for (const Slide& slide : deck.slides) AppendJsonSlide(slide, &slide == &deck.slides.front(), out);
  AppendJsonEnd(deck, out);
  text += "}\n";
  return text;
}

ResultCode EncodeSlides(const SlideDeck& deck, SlideMode mode, int32_t codePage,
                        OutputBuffer& output) {
  if (mode == SlideMode::kText) return kResultFormatError;
  try {
    SlideFormWriter writer(mode, codePage);
    for (const Slide& slide : deck.slides) writer.Write(deck, slide);
    return writer.Finish(deck, output);
  } catch (...) {  // memory running out
    return CaughtFailureCode();
  }
}

}  // namespace dkscr
