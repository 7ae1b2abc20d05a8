// The C interface over the conversion core: type choice, code page 0, the text handed over
// in a block of its own. Everything here lives on the caller's stack; nothing is shared.
#include <deckscribe/deckscribe.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ByteSource.h"
#include "core/KelPptCvt.h"
#include "core/NativePath.h"
#include "core/RegularFile.h"
#include "core/PptImage.h"
#include "core/PptSlides.h"
#include "core/PresentationKind.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/PptxSlides.h"

namespace dkscr {
namespace {

constexpr char kArgumentMessage[] = "Invalid argument";
constexpr char kMemoryMessage[] = "Out of memory";
constexpr char kSuccessMessage[] = "OK";
// The first bytes of a file tell its kind (a compound document's signature is 8 bytes long).
constexpr size_t kSignatureBytes = 8;

dkscr_options OptionsOrDefaults(const dkscr_options* options) {
  dkscr_options result;
  dkscr_options_init(&result);
  if (options != nullptr) result = *options;
  return result;
}

// What the library reports for a converter's result: what the programs report, except that
// memory running out keeps a code of its own.
ResultCode LibraryCode(ResultCode result) {
  return result == kResultOutOfMemory ? DKSCR_ERROR_MEMORY : ReportedConverterCode(result);
}

// The console's message without the file name it quotes: `Input file "%s" not exists` is
// "Input file not exists".
std::string WithoutPath(std::string_view pattern) {
  std::string text(pattern);
  const size_t at = text.find(" \"%s\"");
  if (at != std::string::npos) text.erase(at, 5);
  return text;
}

// The console's message of every code it has one for, made once and never changed.
const char* ConsoleMessage(ResultCode code) {
  static constexpr ResultCode kCodes[] = {kResultLoadError,       kResultSourceMissing,
                                          kResultTypeNotSupported, kResultSourceOpenError,
                                          kResultFormatError,     kResultTargetCreateError,
                                          kResultTargetWriteError, kResultEncrypted};
  static const std::vector<std::pair<ResultCode, std::string>> kMessages = [] {
    std::vector<std::pair<ResultCode, std::string>> rows;
    for (const ResultCode row : kCodes) rows.emplace_back(row, WithoutPath(TextsForResult(row).console));
    return rows;
  }();
  for (const auto& [row, text] : kMessages) {
    if (row == code) return text.c_str();
  }
  return ConsoleMessage(kResultFormatError);  // a code of no meaning reads as damage, as elsewhere
}

// Moves the converter's text to the caller, or clears the caller's pointers on failure.
int32_t HandOver(ResultCode result, OutputBuffer& output, unsigned char** text, size_t* size) {
  if (result >= 0 && !output.HasBlock()) result = kResultFormatError;
  if (result < 0) {
    if (size != nullptr) *size = 0;
    return result;
  }
  output.Data()[result] = 0;  // the block always has the spare byte
  *text = output.Release();
  if (size != nullptr) *size = static_cast<size_t>(result);
  return result;
}

bool ValidType(int32_t type) {
  return type == DKSCR_TYPE_AUTO || type == DKSCR_TYPE_PPT || type == DKSCR_TYPE_PPTX;
}

bool ValidMode(int32_t mode) { return mode >= DKSCR_MODE_TEXT && mode <= DKSCR_MODE_JSON; }

SlideMode ModeOf(const dkscr_options& options) {
  switch (options.mode) {
    case DKSCR_MODE_FULL: return SlideMode::kFull;
    case DKSCR_MODE_MARKDOWN: return SlideMode::kMarkdown;
    case DKSCR_MODE_JSON: return SlideMode::kJson;
    default: return SlideMode::kText;
  }
}

// A kind the content does not tell is left to the ZIP reader: it finds a package's end
// record wherever the package starts (after a self-extractor stub, for instance).
PresentationKind KindOfUnknown(PresentationKind kind) {
  return kind == PresentationKind::kUnknown ? PresentationKind::kPptx : kind;
}

ResultCode ConvertFile(const char* path, const dkscr_options& options, OutputBuffer& output) {
  const std::string native(path);
  // As dkscrcmd: only something that exists and is no folder is a file.
  const PathKind pathKind = KindOfPath(native);
  if (pathKind == PathKind::kMissing || pathKind == PathKind::kDirectory) return kResultSourceMissing;
  const int32_t codePage = options.code_page == 0 ? DefaultCodePage() : options.code_page;

  PresentationKind kind = options.type == DKSCR_TYPE_PPT    ? PresentationKind::kPpt
                          : options.type == DKSCR_TYPE_PPTX ? PresentationKind::kPptx
                                                            : PresentationKind::kUnknown;
  std::unique_ptr<ByteSource> source;
  if (kind != PresentationKind::kPptx) {
    int openError = 0;
    source = ByteSource::OpenFile(native, openError);
    if (kind == PresentationKind::kUnknown) {
      unsigned char head[kSignatureBytes] = {};
      const size_t got = source ? source->ReadAt(0, head, sizeof head) : 0;
      kind = KindOfContent(head, got);
      if (kind == PresentationKind::kUnknown) kind = KindOfExtension(ExtensionOfPath(native));
      kind = KindOfUnknown(kind);
    }
  }
  const SlideMode mode = ModeOf(options);
  if (kind == PresentationKind::kPpt) {
    // The file is opened already: the reader takes it over instead of opening it again.
    if (source && mode == SlideMode::kText) {
      return LibraryCode(ConvertPptSource(std::move(source), output, codePage));
    }
    source.reset();
    return LibraryCode(ConvertPptSlides(PathFromNative(native), mode, codePage, output));
  }
  source.reset();
  return LibraryCode(ConvertPptxSlides(PathFromNative(native), mode, codePage, output));
}

ResultCode ConvertMemory(std::string_view image, const dkscr_options& options,
                         OutputBuffer& output) {
  const int32_t codePage = options.code_page == 0 ? DefaultCodePage() : options.code_page;
  const PresentationKind kind =
      options.type == DKSCR_TYPE_PPT    ? PresentationKind::kPpt
      : options.type == DKSCR_TYPE_PPTX ? PresentationKind::kPptx
                                        : KindOfUnknown(KindOfContent(image.data(), image.size()));
  const SlideMode mode = ModeOf(options);
  if (kind == PresentationKind::kPpt) {
    return LibraryCode(ConvertPptImageSlides(image, mode, codePage, output));
  }
  return LibraryCode(ConvertPptxImageSlides(image, mode, codePage, output));
}

}  // namespace
}  // namespace dkscr

extern "C" {

void dkscr_options_init(dkscr_options* options) {
  if (options == nullptr) return;
  *options = dkscr_options{};
  options->code_page = 0;
  options->type = DKSCR_TYPE_AUTO;
  options->mode = DKSCR_MODE_TEXT;
}

int32_t dkscr_convert_file(const char* path, const dkscr_options* options, unsigned char** text,
                           size_t* size) {
  if (text != nullptr) *text = nullptr;
  if (size != nullptr) *size = 0;
  if (path == nullptr || text == nullptr) return DKSCR_ERROR_ARGUMENT;
  const dkscr_options chosen = dkscr::OptionsOrDefaults(options);
  if (!dkscr::ValidType(chosen.type) || !dkscr::ValidMode(chosen.mode)) return DKSCR_ERROR_TYPE;
  try {
    dkscr::OutputBuffer output;
    const dkscr::ResultCode result = dkscr::ConvertFile(path, chosen, output);
    return dkscr::HandOver(result, output, text, size);
  } catch (const std::bad_alloc&) {  // memory running out on the way in
    return DKSCR_ERROR_MEMORY;
  } catch (...) {
    return DKSCR_ERROR_FORMAT;
  }
}

int32_t dkscr_convert_memory(const void* data, size_t size, const dkscr_options* options,
                             unsigned char** text, size_t* text_size) {
  if (text != nullptr) *text = nullptr;
  if (text_size != nullptr) *text_size = 0;
  if ((data == nullptr && size != 0) || text == nullptr) return DKSCR_ERROR_ARGUMENT;
  const dkscr_options chosen = dkscr::OptionsOrDefaults(options);
  if (!dkscr::ValidType(chosen.type) || !dkscr::ValidMode(chosen.mode)) return DKSCR_ERROR_TYPE;
  try {
    dkscr::OutputBuffer output;
    const std::string_view image(data == nullptr ? "" : static_cast<const char*>(data), size);
    const dkscr::ResultCode result = dkscr::ConvertMemory(image, chosen, output);
    return dkscr::HandOver(result, output, text, text_size);
  } catch (const std::bad_alloc&) {
    return DKSCR_ERROR_MEMORY;
  } catch (...) {
    return DKSCR_ERROR_FORMAT;
  }
}

void dkscr_free(unsigned char* text) { std::free(text); }

const char* dkscr_result_message(int32_t code) {
  if (code >= 0) return dkscr::kSuccessMessage;
  if (code == DKSCR_ERROR_ARGUMENT) return dkscr::kArgumentMessage;
  if (code == DKSCR_ERROR_MEMORY) return dkscr::kMemoryMessage;
  try {
    return dkscr::ConsoleMessage(code);
  } catch (...) {  // the table could not be made
    return dkscr::kMemoryMessage;
  }
}

const char* dkscr_version(void) { return DKSCR_VERSION_STRING; }

}  // extern "C"
