#pragma once
// The one entry of a conversion: a source already open, what is asked of it, and the result
// (the text's byte length, or a failure code) with the text in the caller's buffer. Every
// front end converts through here, and chooses the format through here, with its own policy.
// Nothing is shared between calls: conversions may run on many threads at once.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "convert/PresentationKind.h"
#include "model/SlideFormats.h"
#include "model/SlideModel.h"
#include "platform/ByteSource.h"
#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"

namespace dkscr {

// How the format of a source is chosen when the request names none.
enum class FormatChoice {
  kByExtension,  // the name's extension alone: dkscrcmd, whose results depend on it
  kByContent,    // the first bytes, then the extension; -3 when neither tells (dkscrbatch)
  // The same, and an Open XML package when neither tells: the ZIP reader finds a package
  // wherever it starts (after a self-extractor's program). The C API and the desktop.
  kByContentElsePptx,
};

struct ConvertRequest {
  SlideMode mode = SlideMode::kText;
  int32_t codePage = 0;  // 0: the default code page
  PresentationKind format = PresentationKind::kUnknown;  // named by the caller, else chosen
  FormatChoice choice = FormatChoice::kByContent;
  std::string_view name;  // the source's path as given, for its extension; may be empty
  // Checked between slides and parts; once set, the conversion ends with -14.
  const std::atomic<bool>* cancel = nullptr;
  // The document's properties alone, as the JSON form's "metadata" object (UTF-8, one line):
  // only the property parts or streams are read, never a slide. `mode` and `codePage` are not
  // used.
  bool metadataOnly = false;
};

// The format of the source under the request's policy: 0 with `format` set, -3 when no
// format is told, -4 when the first bytes cannot be read.
ResultCode ChooseFormat(ByteSource& source, const ConvertRequest& request, PresentationKind& format);

// Converts the source into the request's form. Returns the text's byte length with the text
// in `output` (one spare byte after it), or a converter's failure code: -3, -4, -5, -11, -13
// (memory ran out), -14.
ResultCode Convert(ByteSource& source, const ConvertRequest& request, OutputBuffer& output);
// The slide model of the source, for callers that write it in a form of their own.
ResultCode ReadSlideDeck(ByteSource& source, const ConvertRequest& request, SlideDeck& deck);

// Opens a native path for reading (the one place a conversion opens its file); none with an
// errno code in `error`. Tests pass their own to watch what is opened.
using SourceOpener = std::function<std::unique_ptr<ByteSource>(const std::string& nativePath, int& error)>;

// A file converted as the front ends report it: -2 for nothing there or a folder, -4 for what
// is no regular file or cannot be opened or read, -3 when no format is told, then the
// conversion's result with every failure other than -1, -4, -11, -13 (memory ran out, which
// only the library tells apart) and -14 reported as -5.
ResultCode ConvertFile(const std::string& nativePath, const ConvertRequest& request, OutputBuffer& output,
                       const SourceOpener& open = {});
ResultCode ReadSlideDeckFile(const std::string& nativePath, const ConvertRequest& request, SlideDeck& deck,
                             const SourceOpener& open = {});

// The converter contract, on a file path: the default text of a binary presentation and of an
// Open XML one, in the code page (resolved by the caller).
using Converter = ResultCode (*)(const std::u16string& source, OutputBuffer& output, int32_t codePage);
ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage);
ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage);

}  // namespace dkscr
