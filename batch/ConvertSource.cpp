#include "batch/ConvertSource.h"

#include <unistd.h>

#include <cerrno>

#include "core/KelPptCvt.h"
#include "core/PptSlides.h"
#include "core/NativePath.h"
#include "core/PresentationKind.h"
#include "core/RegularFile.h"
#include "openxml/OfficeXCvt.h"
#include "openxml/PptxSlides.h"

namespace dkscr {
namespace {

constexpr size_t kHeadSize = 8;

// The kind by content, read without blocking and only from a regular file.
ResultCode ReadKind(const std::string& path, PresentationKind& kind) {
  uint64_t size = 0;
  const int fd = OpenRegularFileForReading(path, size);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR || errno == EISDIR ? kResultSourceMissing
                                                                   : kResultSourceOpenError;
  }
  unsigned char head[kHeadSize];
  size_t got = 0;
  while (got < kHeadSize) {
    const ssize_t n = ::read(fd, head + got, kHeadSize - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  const bool failed = got < kHeadSize && got < size;
  ::close(fd);
  if (failed) return kResultSourceOpenError;
  kind = KindOfContent(head, got);
  if (kind == PresentationKind::kUnknown) kind = KindOfExtension(ExtensionOfPath(path));
  return kind == PresentationKind::kUnknown ? kResultTypeNotSupported : 0;
}

}  // namespace

ResultCode ConvertSource(const std::string& path, SlideMode mode, int32_t codePage,
                         OutputBuffer& buffer) {
  PresentationKind kind = PresentationKind::kUnknown;
  const ResultCode checked = ReadKind(path, kind);
  if (checked != 0) return checked;
  const auto converter = kind == PresentationKind::kPpt ? &ConvertPptSlides : &ConvertPptxSlides;
  const ResultCode result = converter(PathFromNative(path), mode, codePage, buffer);
  if (result < 0) return ReportedConverterCode(result);
  const auto length = static_cast<size_t>(result);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return kResultFormatError;  // a converter broke its contract
  }
  return result;
}

ResultCode ReadSourceSlides(const std::string& path, SlideDeck& deck) {
  PresentationKind kind = PresentationKind::kUnknown;
  const ResultCode checked = ReadKind(path, kind);
  if (checked != 0) return checked;
  const auto reader = kind == PresentationKind::kPpt ? &ReadPptFileSlides : &ReadPptxSlides;
  const ResultCode result = reader(PathFromNative(path), deck);
  return result < 0 ? ReportedConverterCode(result) : 0;
}

std::string FailureMessage(ResultCode code, const std::string& path) {
  std::string text = TextsForResult(code).console;
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace dkscr
