#include "cli/ConvertOneFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/NativePath.h"

namespace dkscr {
namespace {

// Only something that is not a directory counts as a file.
bool FileExists(const std::string& path, struct stat* info = nullptr) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (info != nullptr) *info = st;
  return true;
}

std::string WithPath(std::string_view pattern, std::string_view path) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

int Fail(ConsoleOutput& console, ResultCode code, std::string_view path) {
  console.WriteMessage(WithPath(TextsForResult(code).console, path));
  return code;
}

// The codes a converter may return that keep their own message; every other one is -5.
ResultCode ReportedConverterCode(ResultCode result) {
  switch (result) {
    case kResultLoadError:
    case kResultSourceOpenError:
    case kResultEncrypted:
      return result;
    default:
      return kResultFormatError;
  }
}

bool WriteAllToFile(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Creates (or replaces) the destination and writes the text into it.
int WriteDestination(const ConvertRequest& request, const struct stat& sourceInfo,
                     const uint8_t* data, size_t size, ConsoleOutput& console) {
  const std::string destination(request.destination);
  struct stat existing {};
  // Replacing the presentation by its own text would destroy it: refuse like a create error.
  if (FileExists(destination, &existing) && existing.st_dev == sourceInfo.st_dev &&
      existing.st_ino == sourceInfo.st_ino) {
    return Fail(console, kResultTargetCreateError, request.destination);
  }
  const int fd = ::open(destination.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(console, kResultTargetCreateError, request.destination);

  bool written = WriteAllToFile(fd, data, size);
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (::close(fd) != 0) written = false;
  if (!written) {
    // A cut-off text file must not pass for a converted one; devices are left alone.
    if (regular) ::unlink(destination.c_str());
    return Fail(console, kResultTargetWriteError, request.destination);
  }
  std::string message = "\"";
  message += request.source;
  message += "\" --> \"";
  message += request.destination;
  message += "\" OK";
  console.WriteMessage(message);
  return 0;
}

}  // namespace

std::string TypeOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string type(name.substr(dot));
  if (type.size() > 1) type.erase(0, 1);
  for (char& c : type) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return type;
}

int ConvertOneFile(const ConvertRequest& request, const ConverterTable& converters,
                   OutputBuffer& buffer, ConsoleOutput& console) {
  struct stat sourceInfo {};
  if (!FileExists(std::string(request.source), &sourceInfo)) {
    return Fail(console, kResultSourceMissing, request.source);
  }
  const bool toStandardOutput = request.destination == kStandardOutputName;
  if (!toStandardOutput && FileExists(std::string(request.destination)) && !request.overwrite) {
    console.WriteMessage(WithPath("Output file \"%s\" already exists, convert canceled",
                                  request.destination));
    return kExitDestinationExists;
  }

  const std::string type =
      request.forcedType.empty() ? TypeOfPath(request.source) : std::string(request.forcedType);
  const int32_t codePage = request.codePage == 0 ? DefaultCodePage() : request.codePage;
  if (type != "PPT" && type != "PPTX") {
    return Fail(console, kResultTypeNotSupported, request.source);
  }
  ResultCode result = kResultLoadError;
  if (request.mode == SlideMode::kText) {
    const Converter converter = type == "PPT" ? converters.ppt : converters.pptx;
    if (converter == nullptr) return Fail(console, kResultLoadError, request.source);
    result = converter(PathFromNative(request.source), buffer, codePage);
  } else {
    const SlideConverter converter = type == "PPT" ? converters.pptSlides : converters.pptxSlides;
    if (converter == nullptr) return Fail(console, kResultLoadError, request.source);
    result = converter(PathFromNative(request.source), request.mode, codePage, buffer);
  }
  if (result < 0) return Fail(console, ReportedConverterCode(result), request.source);
  const auto length = static_cast<size_t>(result);
  if (length > 0 && (!buffer.HasBlock() || buffer.BlockSize() < length)) {
    return Fail(console, kResultFormatError, request.source);  // a converter broke its contract
  }

  if (toStandardOutput) {
    console.WriteOutputBytes(buffer.Data(), length);
    if (!console.Flush()) return Fail(console, kResultTargetWriteError, request.destination);
    return 0;
  }
  return WriteDestination(request, sourceInfo, buffer.Data(), length, console);
}

}  // namespace dkscr
