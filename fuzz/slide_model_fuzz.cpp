// Every form of both formats on any input: a result code of the contract, never a crash or a
// hang, JSON that is always valid, and forms of the slide model no larger than the bound the
// input's size sets (the seeds are small hostile decks: huge runs, shared streams, deep
// nesting, one author on many comments, ragged and sparse tables, amplified texts). Input starting with "PK" is a whole package, a
// compound document a .ppt file; anything else is split at zero bytes into the parts of a
// package built here (presentation, relationships, slide, notes, SmartArt, chart, comments),
// so that every part reader is reached.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/support/Conversions.h"
#include "../tests/support/JsonValue.h"
#include "../tests/support/ZipWriter.h"
#include "platform/NativePath.h"

namespace {

constexpr std::string_view kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string PackageOf(std::string_view input) {
  if (input.starts_with("PK")) return std::string(input);
  static const char* const kParts[] = {
      "ppt/presentation.xml", "ppt/slides/slide1.xml", "ppt/notesSlides/notesSlide1.xml",
      "ppt/diagrams/data1.xml", "ppt/charts/chart1.xml", "ppt/comments/comment1.xml",
      "ppt/commentAuthors.xml", "ppt/slides/slide2.xml"};
  dkscr::test::ZipWriter zip;
  auto rel = [](std::string_view id, std::string_view type, std::string_view target) {
    return "<Relationship Id=\"" + std::string(id) + "\" Type=\"" + std::string(kRel) + std::string(type) +
           "\" Target=\"" + std::string(target) + "\"/>";
  };
  zip.Add("ppt/_rels/presentation.xml.rels",
          "<Relationships>" + rel("rId1", "slide", "slides/slide1.xml") + rel("rId2", "slide", "slides/slide2.xml") +
              rel("rId3", "commentAuthors", "commentAuthors.xml") + "</Relationships>");
  zip.Add("ppt/slides/_rels/slide1.xml.rels",
          "<Relationships>" + rel("rId1", "notesSlide", "../notesSlides/notesSlide1.xml") +
              rel("rId2", "diagramData", "../diagrams/data1.xml") + rel("rId3", "chart", "../charts/chart1.xml") +
              rel("rId4", "comments", "../comments/comment1.xml") + "</Relationships>");
  size_t start = 0;
  for (const char* name : kParts) {
    if (start > input.size()) break;
    size_t end = input.find('\0', start);
    if (end == std::string_view::npos) end = input.size();
    zip.Add(name, std::string(input.substr(start, end - start)));
    start = end + 1;
  }
  return zip.Build();
}

// What a form of the slide model may write for an input of `size` bytes: the model's bound
// (16 MiB and 64 bytes per byte at most), twice over for line breaks written as CR LF.
uint64_t FormBound(size_t size) { return 2 * ((uint64_t{16} << 20) + 64 * uint64_t{size}) + 16; }

void CheckResult(dkscr::ResultCode result, const dkscr::OutputBuffer& output, dkscr::SlideMode mode,
                 size_t inputSize) {
  if (result < 0) {
    if (result != dkscr::kResultFormatError && result != dkscr::kResultSourceOpenError &&
        result != dkscr::kResultEncrypted) {
      std::abort();
    }
    return;
  }
  if (output.BlockSize() != static_cast<size_t>(result) + 1) std::abort();
  if (mode != dkscr::SlideMode::kText && static_cast<uint64_t>(result) > FormBound(inputSize)) std::abort();
  if (mode == dkscr::SlideMode::kJson &&
      !dkscr::test::JsonParser::Parse(std::string_view(reinterpret_cast<const char*>(output.Data()),
                                                       static_cast<size_t>(result)))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view kCompoundMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  for (dkscr::SlideMode mode :
       {dkscr::SlideMode::kText, dkscr::SlideMode::kJson, dkscr::SlideMode::kFull, dkscr::SlideMode::kMarkdown}) {
    dkscr::OutputBuffer output;
    if (input.starts_with(kCompoundMagic)) {
      CheckResult(dkscr::test::ConvertPptBytes(input, output, 1252, mode), output, mode, input.size());
      continue;
    }
    const std::string package = PackageOf(input);
    const int fd = ::memfd_create("pptx", 0);
    if (fd < 0) std::abort();
    if (::write(fd, package.data(), package.size()) != static_cast<ssize_t>(package.size())) std::abort();
    const std::u16string path = dkscr::PathFromNative("/proc/self/fd/" + std::to_string(fd));
    CheckResult(dkscr::test::ConvertPptxFile(path, output, 65001, mode), output, mode, package.size());
    ::close(fd);
  }
  return 0;
}
