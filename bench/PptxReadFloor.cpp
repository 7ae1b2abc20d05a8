// pptx_read_floor [PASSES] [FILE_OR_DIR...]
// How fast the slide forms of a .pptx could be at most, whatever the reading and writing cost:
// per file, the parts the default text reads (the presentation, its relationships, the slides)
// and the parts the slide forms read besides (each slide's relationships, its layout and the
// layout's master, its notes, charts and SmartArt data, the document properties) are found
// through the package's relationships; then, in turn, one process times the default text, the
// JSON form, and the decompression alone of each set of parts. Decompressing what the forms
// read is work no form can skip, so the default text's time over it bounds the forms' speed
// against the text's: a JSON form that did nothing but decompress could reach no further.
// Prints milliseconds of processor time per pass (median over PASSES) and that bound.
// Without arguments, the corpus beside the repository.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "pptx/OpcRelationships.h"
#include "zip/ZipReader.h"

namespace {

namespace fs = std::filesystem;

struct Deck {
  std::string path;
  std::string bytes;
  std::vector<std::string> textParts;  // what the default text reads
  std::vector<std::string> formParts;  // what the slide forms read, the text's parts among them
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::vector<dkscr::OpcRelationship> RelationshipsOf(dkscr::ZipReader& zip, const std::string& part) {
  std::string xml;
  if (zip.ExtractToStream(xml, dkscr::RelationshipsPartName(part)) == 0) return {};
  return dkscr::ParseRelationships(xml, part);
}

// The parts of both sets, each once, in the order the reader meets them; false when the file
// is no package the reader gets slides from.
bool FindParts(Deck& deck) {
  const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(deck.bytes);
  dkscr::ZipReader zip(*source);
  std::set<std::string> seen;
  auto add = [&](std::vector<std::string>& to, const std::string& part) {
    if (zip.HasEntry(part) && seen.insert(part).second) to.push_back(part);
  };
  try {
    std::string presentation;
    for (const dkscr::OpcRelationship& r : RelationshipsOf(zip, "")) {
      if (dkscr::RelationshipIs(r, "officeDocument")) presentation = r.target;
      if (dkscr::RelationshipIs(r, "core-properties") || dkscr::RelationshipIs(r, "extended-properties") ||
          dkscr::RelationshipIs(r, "custom-properties")) {
        add(deck.formParts, r.target);
      }
    }
    if (presentation.empty()) return false;
    add(deck.formParts, dkscr::RelationshipsPartName(""));
    add(deck.textParts, dkscr::RelationshipsPartName(presentation));
    add(deck.textParts, presentation);
    std::vector<std::string> slides;
    for (const dkscr::OpcRelationship& r : RelationshipsOf(zip, presentation)) {
      if (dkscr::RelationshipIs(r, "slide")) slides.push_back(r.target);
    }
    for (const std::string& slide : slides) add(deck.textParts, slide);
    for (const std::string& slide : slides) {
      add(deck.formParts, dkscr::RelationshipsPartName(slide));
      for (const dkscr::OpcRelationship& r : RelationshipsOf(zip, slide)) {
        if (dkscr::RelationshipIs(r, "slideLayout")) {
          if (seen.count(r.target) != 0) continue;
          add(deck.formParts, r.target);
          add(deck.formParts, dkscr::RelationshipsPartName(r.target));
          for (const dkscr::OpcRelationship& m : RelationshipsOf(zip, r.target)) {
            if (dkscr::RelationshipIs(m, "slideMaster")) add(deck.formParts, m.target);
          }
        } else if (dkscr::RelationshipIs(r, "notesSlide") || dkscr::RelationshipIs(r, "chart") ||
                   dkscr::RelationshipIs(r, "diagramData")) {
          add(deck.formParts, r.target);
        }
      }
    }
  } catch (const std::exception&) {
    return false;
  }
  deck.formParts.insert(deck.formParts.begin(), deck.textParts.begin(), deck.textParts.end());
  return !deck.textParts.empty();
}

void Convert(const std::vector<Deck>& decks, dkscr::SlideMode mode, dkscr::OutputBuffer& out) {
  for (const Deck& deck : decks) {
    dkscr::ConvertRequest request;
    request.mode = mode;
    request.codePage = 65001;
    request.format = dkscr::PresentationKind::kPptx;
    request.name = deck.path;
    const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(deck.bytes);
    dkscr::Convert(*source, request, out);
  }
}

// Opens each package and decompresses the parts, as a conversion opens it; the bytes made.
size_t Decompress(const std::vector<Deck>& decks, bool formParts, std::string& part) {
  size_t made = 0;
  for (const Deck& deck : decks) {
    const std::unique_ptr<dkscr::ByteSource> source = dkscr::ByteSource::OfMemory(deck.bytes);
    dkscr::ZipReader zip(*source);
    for (const std::string& name : formParts ? deck.formParts : deck.textParts) {
      part.clear();
      zip.ExtractToStream(part, name);
      made += part.size();
    }
  }
  return made;
}

void AddDeck(const fs::path& path, std::vector<Deck>& decks) {
  const std::string ext = path.extension().string();
  if (ext != ".pptx" && ext != ".pptm" && ext != ".ppsx") return;
  std::ifstream in(path, std::ios::binary);
  Deck deck{path.string(), std::string(std::istreambuf_iterator<char>(in), {}), {}, {}};
  if (FindParts(deck)) decks.push_back(std::move(deck));
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<fs::path> inputs;
  for (int i = 2; i < argc; ++i) inputs.emplace_back(argv[i]);
  if (inputs.empty()) inputs.emplace_back(DKSCR_CORPUS_DIR);
  std::vector<Deck> decks;
  for (const fs::path& input : inputs) {
    if (fs::is_directory(input)) {
      std::vector<fs::path> files;
      for (const fs::directory_entry& e : fs::directory_iterator(input)) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (const fs::path& file : files) AddDeck(file, decks);
    } else {
      AddDeck(input, decks);
    }
  }
  if (decks.empty()) {
    std::fprintf(stderr, "no .pptx package found\n");
    return 1;
  }
  size_t textParts = 0, formParts = 0;
  for (const Deck& deck : decks) {
    textParts += deck.textParts.size();
    formParts += deck.formParts.size();
  }
  dkscr::OutputBuffer out;
  std::string part;
  const size_t textBytes = Decompress(decks, false, part);
  const size_t formBytes = Decompress(decks, true, part);
  // Rounds of about a tenth of a second each, sized on the default text.
  double once = CpuSeconds();
  Convert(decks, dkscr::SlideMode::kText, out);
  once = CpuSeconds() - once;
  const int rounds = std::max(1, static_cast<int>(0.1 / std::max(once, 1e-6)));
  enum { kText, kJson, kTextParts, kFormParts, kCount };
  std::vector<double> times[kCount];
  for (int p = 0; p < passes; ++p) {
    for (int what = 0; what < kCount; ++what) {
      const double start = CpuSeconds();
      for (int r = 0; r < rounds; ++r) {
        if (what == kText) Convert(decks, dkscr::SlideMode::kText, out);
        if (what == kJson) Convert(decks, dkscr::SlideMode::kJson, out);
        if (what == kTextParts) Decompress(decks, false, part);
        if (what == kFormParts) Decompress(decks, true, part);
      }
      times[what].push_back((CpuSeconds() - start) / rounds);
    }
  }
  double median[kCount];
  for (int what = 0; what < kCount; ++what) {
    std::sort(times[what].begin(), times[what].end());
    median[what] = times[what][times[what].size() / 2] * 1e3;
  }
  std::printf("%zu packages; the default text reads %zu parts (%zu bytes), the forms %zu (%zu bytes)\n",
              decks.size(), textParts, textBytes, formParts, formBytes);
  std::printf("ms per pass: default text %.3f, json %.3f; decompressing alone: the text's parts %.3f, "
              "the forms' parts %.3f\n",
              median[kText], median[kJson], median[kTextParts], median[kFormParts]);
  std::printf("json/text %.2f; at most %.2f with all but decompression free\n", median[kText] / median[kJson],
              median[kText] / median[kFormParts]);
  return 0;
}
