#include "Deck.h"

namespace dkscr::test {
namespace {

std::u16string Number(int n) {
  std::u16string digits;
  const std::string text = std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

}  // namespace

Deck SampleDeck() {
  return {
      {{u"Deckscribe sample", u"Text out of PowerPoint files, fast"},
       u"Welcome everyone; keep this short."},
      {{u"What it reads", u"Binary .ppt presentations", u"Open XML .pptx packages",
        u"Slides first, then notes pages"},
       u"Mention that masters give no text."},
      {{u"Code pages", u"Caf\u00e9 cr\u00e8me for 5 \u20ac \u2013 in 1252, UTF-8 or UTF-16",
        u"Line breaks are CR LF"},
       u""},
      {{u"Questions?"}, u"Thank the audience & close <on time>."},
  };
}

Deck LargeDeck(int slides) {
  Deck deck;
  deck.reserve(static_cast<size_t>(slides));
  for (int i = 1; i <= slides; ++i) {
    DeckSlide slide;
    slide.paragraphs.push_back(u"Slide " + Number(i) + u": quarterly review of project " +
                               Number(i % 97));
    for (int p = 1; p <= 4; ++p) {
      slide.paragraphs.push_back(u"Point " + Number(p) + u" of slide " + Number(i) +
                                 u": results, risks and next steps for the team");
    }
    if (i % 2 == 0) slide.notes = u"Speaker notes for slide " + Number(i) + u", keep it brief.";
    deck.push_back(std::move(slide));
  }
  return deck;
}

std::u16string ExpectedPptText(const Deck& deck) {
  std::u16string text;
  for (const DeckSlide& slide : deck) {
    for (size_t i = 0; i < slide.paragraphs.size(); ++i) {
      text += slide.paragraphs[i];
      text += u"\r\n";
    }
  }
  for (const DeckSlide& slide : deck) {
    if (!slide.notes.empty()) text += slide.notes + u"\r\n";
  }
  return text;
}

std::u16string ExpectedPptxText(const Deck& deck) {
  std::u16string text;
  for (size_t i = 0; i < deck.size(); ++i) {
    text += u"slide" + Number(static_cast<int>(i + 1)) + u":\r\n";
    for (const std::u16string& paragraph : deck[i].paragraphs) text += paragraph + u"\r\n";
  }
  return text;
}

}  // namespace dkscr::test
