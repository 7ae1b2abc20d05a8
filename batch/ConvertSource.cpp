#include "batch/ConvertSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/KelPptCvt.h"
#include "core/NativePath.h"
#include "core/PresentationKind.h"
#include "openxml/OfficeXCvt.h"

namespace dkscr {
namespace {

constexpr size_t kHeadSize = 8;

// The codes a converter may return that keep their own message; every other one is -5.
ResultCode ReportedCode(ResultCode result) {
  switch (result) {
    case kResultLoadError:
    case kResultSourceOpenError:
    case kResultEncrypted:
      return result;
    default:
      return kResultFormatError;
  }
}

// The kind by content, read without blocking and only from a regular file.
ResultCode ReadKind(const std::string& path, PresentationKind& kind, struct stat& st) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? kResultSourceMissing
                                                           : kResultSourceOpenError;
  ResultCode code = 0;
  unsigned char head[kHeadSize];
  size_t got = 0;
  if (::fstat(fd, &st) != 0) {
    code = kResultSourceOpenError;
  } else if (S_ISDIR(st.st_mode)) {
    code = kResultSourceMissing;
  } else if (!S_ISREG(st.st_mode)) {
    code = kResultSourceOpenError;
  } else {
    while (got < kHeadSize) {
      const ssize_t n = ::read(fd, head + got, kHeadSize - got);
      if (n > 0) {
        got += static_cast<size_t>(n);
      } else if (n == 0) {
        break;
      } else if (errno != EINTR) {
        code = kResultSourceOpenError;
        break;
      }
    }
  }
  ::close(fd);
  if (code != 0) return code;
  kind = KindOfContent(head, got);
  if (kind == PresentationKind::kUnknown) kind = KindOfExtension(ExtensionOfPath(path));
  return kind == PresentationKind::kUnknown ? kResultTypeNotSupported : 0;
}

}  // namespace

ResultCode ConvertSource(const std::string& path, int32_t codePage, OutputBuffer& buffer,
                         struct stat* info) {
  PresentationKind kind = PresentationKind::kUnknown;
  struct stat st {};
  const ResultCode checked = ReadKind(path, kind, st);
  if (info != nullptr) *info = st;
  if (checked != 0) return checked;
  const Converter converter = kind == PresentationKind::kPpt ? ConvertPpt : ConvertPptx;
  const ResultCode result = converter(PathFromNative(path), buffer, codePage);
  if (result < 0) return ReportedCode(result);
  const auto length = static_cast<size_t>(result);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return kResultFormatError;  // a converter broke its contract
  }
  return result;
}

std::string FailureMessage(ResultCode code, const std::string& path) {
  std::string text = TextsForResult(code).console;
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace dkscr
