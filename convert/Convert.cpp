#include "convert/Convert.h"

#include <cerrno>

#include "cfb/CompoundFile.h"
#include "model/ContentJson.h"
#include "model/SlideFormWriter.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "ppt/PptReader.h"
#include "pptx/PptxReader.h"
#include "text/Encode.h"
#include "text/TextEncoder.h"

namespace dkscr {
namespace {

// A compound document's signature is eight bytes long.
constexpr size_t kSignatureBytes = 8;

std::u16string WideName(std::string_view name) { return PathFromNative(std::string(name)); }

// The compound document of a binary presentation, parsed once; none when it is no sound one.
std::shared_ptr<CompoundFile> OpenCompoundFile(ByteSource& source) {
  std::string error;  // the parser's reason; the result code is all callers see of it
  return CompoundFile::Open(ByteSource::Borrow(source), error);
}

// Reads the source with the reader of its format into the targets given.
ResultCode ReadSource(ByteSource& source, PresentationKind format, const ConvertRequest& request,
                      TextEncoder* text, SlideDeck* deck, DocumentMetadata* metadata) {
  if (format == PresentationKind::kPpt) {
    std::shared_ptr<CompoundFile> file = OpenCompoundFile(source);
    if (!file) return kResultFormatError;
    return ReadPpt(std::move(file), {text, deck, request.cancel, metadata});
  }
  return ReadPptx(source, WideName(request.name), {text, deck, request.cancel, metadata});
}

// The default text, encoded as it is found: never held whole in another form.
ResultCode ConvertText(ByteSource& source, PresentationKind format, const ConvertRequest& request,
                       int32_t codePage, OutputBuffer& output) {
  // The binary format's text is UTF-16, the package's UTF-8.
  TextEncoder text(format == PresentationKind::kPpt ? TextEncoder::Input::kWide : TextEncoder::Input::kUtf8,
                   kLineBreakCrLf, codePage);
  const ResultCode read = ReadSource(source, format, request, &text, nullptr, nullptr);
  return read < 0 ? read : text.Finish(output);
}

// The document's properties as a JSON object, read without the slides.
ResultCode ConvertMetadata(ByteSource& source, PresentationKind format, const ConvertRequest& request,
                           OutputBuffer& output) {
  DocumentMetadata metadata;
  const ResultCode read = ReadSource(source, format, request, nullptr, nullptr, &metadata);
  if (read < 0) return read;
  std::string json;
  FormText out(json, UINT64_MAX);  // no larger than the parts it was read from
  AppendMetadataJson(metadata, out);
  json += '\n';
  return CopyToOutput(json, output);
}

// The format the request names or its policy chooses.
ResultCode ResolveFormat(ByteSource& source, const ConvertRequest& request, PresentationKind& format) {
  if (request.format != PresentationKind::kUnknown) {
    format = request.format;
    return 0;
  }
  return ChooseFormat(source, request, format);
}

// What a failed open means: nothing there, nothing that can be opened as a presentation (a
// FIFO or device is never opened: its open could block), or a file that cannot be read, which
// the binary converter has always reported as a format error.
ResultCode OpenFailure(int error, const ConvertRequest& request) {
  if (error == ENOENT || error == ENOTDIR || error == EISDIR) return kResultSourceMissing;
  if (error == EINVAL || request.choice == FormatChoice::kByContent) return kResultSourceOpenError;
  const PresentationKind named = request.format != PresentationKind::kUnknown
                                     ? request.format
                                     : KindOfExtension(ExtensionOfPath(request.name));
  return named == PresentationKind::kPpt ? kResultFormatError : kResultSourceOpenError;
}

// Opens a file as the front ends do, then runs `run` on it.
template <typename Run>
ResultCode WithFile(const std::string& nativePath, const ConvertRequest& request, const SourceOpener& open, Run run) {
  // Only something that exists and is no folder is a file; a FIFO or device cannot be opened
  // as a source.
  const PathKind kind = KindOfPath(nativePath);
  if (kind == PathKind::kMissing || kind == PathKind::kDirectory) return kResultSourceMissing;
  ConvertRequest named = request;
  if (named.name.empty()) named.name = nativePath;
  if (named.format == PresentationKind::kUnknown && named.choice == FormatChoice::kByExtension) {
    named.format = KindOfExtension(ExtensionOfPath(named.name));
    if (named.format == PresentationKind::kUnknown) return kResultTypeNotSupported;
  }
  if (kind != PathKind::kRegular) return kResultSourceOpenError;
  int error = 0;
  const std::unique_ptr<ByteSource> source = open ? open(nativePath, error) : ByteSource::OpenFile(nativePath, error);
  if (!source) return OpenFailure(error, named);
  const ResultCode chosen = ResolveFormat(*source, named, named.format);
  if (chosen < 0) return chosen;
  const ResultCode result = run(*source, named);
  return result == kResultOutOfMemory ? result : ReportedConverterCode(result);
}

}  // namespace

ResultCode ChooseFormat(ByteSource& source, const ConvertRequest& request, PresentationKind& format) {
  format = KindOfExtension(ExtensionOfPath(request.name));
  if (request.choice != FormatChoice::kByExtension) {
    unsigned char head[kSignatureBytes] = {};
    const size_t got = source.ReadAt(0, head, sizeof head);
    if (got < sizeof head && got < source.Size()) return kResultSourceOpenError;
    if (const PresentationKind content = KindOfContent(head, got); content != PresentationKind::kUnknown) {
      format = content;
    }
    if (format == PresentationKind::kUnknown && request.choice == FormatChoice::kByContentElsePptx) {
      format = PresentationKind::kPptx;
    }
  }
  return format == PresentationKind::kUnknown ? kResultTypeNotSupported : 0;
}

ResultCode Convert(ByteSource& source, const ConvertRequest& request, OutputBuffer& output) {
  try {
    PresentationKind format = PresentationKind::kUnknown;
    if (const ResultCode chosen = ResolveFormat(source, request, format); chosen < 0) return chosen;
    if (request.metadataOnly) return ConvertMetadata(source, format, request, output);
    const int32_t codePage = request.codePage == 0 ? DefaultCodePage() : request.codePage;
    if (request.mode == SlideMode::kText) return ConvertText(source, format, request, codePage, output);
    // Each slide is written as the reader hands it over and then let go: the model is never
    // held whole.
    SlideFormWriter writer(request.mode, codePage);
    SlideDeck deck;
    deck.sink = &writer;
    const ResultCode read = ReadSource(source, format, request, nullptr, &deck, nullptr);
    return read < 0 ? read : writer.Finish(deck, output);
  } catch (...) {  // memory running out
    return CaughtFailureCode();
  }
}

ResultCode ReadSlideDeck(ByteSource& source, const ConvertRequest& request, SlideDeck& deck) {
  try {
    PresentationKind format = PresentationKind::kUnknown;
    if (const ResultCode chosen = ResolveFormat(source, request, format); chosen < 0) return chosen;
    return ReadSource(source, format, request, nullptr, &deck, nullptr);
  } catch (...) {
    return CaughtFailureCode();
  }
}

ResultCode ConvertFile(const std::string& nativePath, const ConvertRequest& request, OutputBuffer& output,
                       const SourceOpener& open) {
  return WithFile(nativePath, request, open, [&](ByteSource& source, const ConvertRequest& named) {
    const ResultCode result = Convert(source, named, output);
    const auto length = static_cast<size_t>(result);
    // A converter that breaks its contract reports a format error.
    if (result > 0 && (!output.HasBlock() || output.BlockSize() < length)) return kResultFormatError;
    return result;
  });
}

ResultCode ReadSlideDeckFile(const std::string& nativePath, const ConvertRequest& request, SlideDeck& deck,
                             const SourceOpener& open) {
  return WithFile(nativePath, request, open,
                  [&](ByteSource& source, const ConvertRequest& named) { return ReadSlideDeck(source, named, deck); });
}

ResultCode ConvertPpt(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  // A folder is no compound document: the binary converter has always answered -5 for it.
  const std::string native = PathToNative(source);
  if (KindOfPath(native) == PathKind::kDirectory) return kResultFormatError;
  ConvertRequest request;
  request.codePage = codePage;
  request.format = PresentationKind::kPpt;
  request.choice = FormatChoice::kByExtension;
  return ConvertFile(native, request, output);
}

ResultCode ConvertPptx(const std::u16string& source, OutputBuffer& output, int32_t codePage) {
  ConvertRequest request;
  request.codePage = codePage;
  request.format = PresentationKind::kPptx;
  request.choice = FormatChoice::kByExtension;
  return ConvertFile(PathToNative(source), request, output);
}

}  // namespace dkscr
