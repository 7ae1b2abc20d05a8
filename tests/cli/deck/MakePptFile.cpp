// .ppt files through the compound-document and record writers.
#include "Deck.h"
#include "tests/support/PptBuilder.h"

namespace dkscr::test {

std::string MakePptFile(const Deck& deck) {
  std::vector<std::u16string> slides;
  std::vector<std::u16string> notes;
  for (const DeckSlide& slide : deck) {
    std::u16string text;
    for (size_t i = 0; i < slide.paragraphs.size(); ++i) {
      if (i > 0) text += u'\r';  // paragraphs of one text box are separated by CR
      text += slide.paragraphs[i];
    }
    slides.push_back(std::move(text));
    notes.push_back(slide.notes);
  }
  return MakePresentation(slides, notes);
}

}  // namespace dkscr::test
