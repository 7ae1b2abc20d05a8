// The C interface over the conversion core: type choice, code page 0, the text handed over
// in a block of its own. Everything here lives on the caller's stack; nothing is shared.
#include <deckscribe/deckscribe.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/Convert.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

constexpr char kArgumentMessage[] = "Invalid argument";
constexpr char kMemoryMessage[] = "Out of memory";
constexpr char kSuccessMessage[] = "OK";

dkscr_options OptionsOrDefaults(const dkscr_options* options) {
  dkscr_options result;
  dkscr_options_init(&result);
  if (options != nullptr) result = *options;
  return result;
}

// What the library reports for a conversion's result: what the programs report, except that
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

// The request of the options: a type the caller names, else the content decides, then the
// extension, then the ZIP reader, which finds a package wherever it starts.
ConvertRequest RequestOf(const dkscr_options& options) {
  ConvertRequest request;
  request.mode = ModeOf(options);
  request.codePage = options.code_page;
  request.format = options.type == DKSCR_TYPE_PPT    ? PresentationKind::kPpt
                   : options.type == DKSCR_TYPE_PPTX ? PresentationKind::kPptx
                                                     : PresentationKind::kUnknown;
  request.choice = FormatChoice::kByContentElsePptx;
  return request;
}

// The request for the document's properties alone: only the type counts.
ConvertRequest MetadataRequestOf(const dkscr_options& options) {
  dkscr_options typeOnly;
  dkscr_options_init(&typeOnly);
  typeOnly.type = options.type;
  ConvertRequest request = RequestOf(typeOnly);
  request.metadataOnly = true;
  return request;
}

ResultCode ConvertMemory(std::string_view image, const ConvertRequest& request, OutputBuffer& output) {
  const std::unique_ptr<ByteSource> source = ByteSource::OfMemory(image);
  return LibraryCode(Convert(*source, request, output));
}

// A file converted under the request, handed over to the caller.
int32_t ConvertFileFor(const char* path, const ConvertRequest& request, unsigned char** text, size_t* size) {
  try {
    OutputBuffer output;
    const ResultCode result = ConvertFile(path, request, output);
    return HandOver(result, output, text, size);
  } catch (const std::bad_alloc&) {  // memory running out on the way in
    return DKSCR_ERROR_MEMORY;
  } catch (...) {
    return DKSCR_ERROR_FORMAT;
  }
}

// A presentation in memory converted under the request, handed over to the caller.
int32_t ConvertMemoryFor(const void* data, size_t size, const ConvertRequest& request, unsigned char** text,
                         size_t* textSize) {
  try {
    OutputBuffer output;
    const std::string_view image(data == nullptr ? "" : static_cast<const char*>(data), size);
    const ResultCode result = ConvertMemory(image, request, output);
    return HandOver(result, output, text, textSize);
  } catch (const std::bad_alloc&) {
    return DKSCR_ERROR_MEMORY;
  } catch (...) {
    return DKSCR_ERROR_FORMAT;
  }
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
  if (!dkscr::IsCodePageServed(chosen.code_page)) return DKSCR_ERROR_ARGUMENT;
  return dkscr::ConvertFileFor(path, dkscr::RequestOf(chosen), text, size);
}

int32_t dkscr_convert_memory(const void* data, size_t size, const dkscr_options* options,
                             unsigned char** text, size_t* text_size) {
  if (text != nullptr) *text = nullptr;
  if (text_size != nullptr) *text_size = 0;
  if ((data == nullptr && size != 0) || text == nullptr) return DKSCR_ERROR_ARGUMENT;
  const dkscr_options chosen = dkscr::OptionsOrDefaults(options);
  if (!dkscr::ValidType(chosen.type) || !dkscr::ValidMode(chosen.mode)) return DKSCR_ERROR_TYPE;
  if (!dkscr::IsCodePageServed(chosen.code_page)) return DKSCR_ERROR_ARGUMENT;
  return dkscr::ConvertMemoryFor(data, size, dkscr::RequestOf(chosen), text, text_size);
}

int32_t dkscr_metadata_file(const char* path, const dkscr_options* options, unsigned char** text,
                            size_t* size) {
  if (text != nullptr) *text = nullptr;
  if (size != nullptr) *size = 0;
  if (path == nullptr || text == nullptr) return DKSCR_ERROR_ARGUMENT;
  const dkscr_options chosen = dkscr::OptionsOrDefaults(options);
  if (!dkscr::ValidType(chosen.type)) return DKSCR_ERROR_TYPE;
  return dkscr::ConvertFileFor(path, dkscr::MetadataRequestOf(chosen), text, size);
}

int32_t dkscr_metadata_memory(const void* data, size_t size, const dkscr_options* options,
                              unsigned char** text, size_t* text_size) {
  if (text != nullptr) *text = nullptr;
  if (text_size != nullptr) *text_size = 0;
  if ((data == nullptr && size != 0) || text == nullptr) return DKSCR_ERROR_ARGUMENT;
  const dkscr_options chosen = dkscr::OptionsOrDefaults(options);
  if (!dkscr::ValidType(chosen.type)) return DKSCR_ERROR_TYPE;
  return dkscr::ConvertMemoryFor(data, size, dkscr::MetadataRequestOf(chosen), text, text_size);
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
