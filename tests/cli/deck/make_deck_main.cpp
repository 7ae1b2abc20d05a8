// Writes presentations made by the project itself:
//   dkscr_make_deck samples DIR      DIR/sample.ppt and DIR/sample.pptx (the bundled samples)
//   dkscr_make_deck large N DIR      DIR/large-N.ppt and DIR/large-N.pptx (N slides each)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Deck.h"

namespace {

bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

int WriteBoth(const dkscr::test::Deck& deck, const std::string& stem) {
  if (!WriteWhole(stem + ".ppt", dkscr::test::MakePptFile(deck)) ||
      !WriteWhole(stem + ".pptx", dkscr::test::MakePptxFile(deck))) {
    std::fprintf(stderr, "cannot write %s.ppt or %s.pptx\n", stem.c_str(), stem.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "samples" && argc == 3) {
    return WriteBoth(dkscr::test::SampleDeck(), std::string(argv[2]) + "/sample");
  }
  if (mode == "large" && argc == 4) {
    const int slides = std::atoi(argv[2]);
    if (slides < 1 || slides > 100000) {
      std::fprintf(stderr, "slide count must be 1 to 100000\n");
      return 2;
    }
    return WriteBoth(dkscr::test::LargeDeck(slides),
                     std::string(argv[3]) + "/large-" + std::to_string(slides));
  }
  std::fprintf(stderr, "usage: %s samples DIR | large SLIDES DIR\n", argv[0]);
  return 2;
}
