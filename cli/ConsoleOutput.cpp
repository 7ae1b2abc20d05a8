#include "cli/ConsoleOutput.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "platform/NativePath.h"
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace dkscr {
namespace {

#ifdef _WIN32
// A console shows UTF-16: a message (UTF-8, file names included) goes to it as such, so that
// any name reads right whatever the console's code page. Files and pipes get the bytes.
bool WriteToConsole(int fd, std::string_view text) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return false;
  const std::u16string wide = PathFromNative(text);
  DWORD written = 0;
  return ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
         written == wide.size();
}
#endif

}  // namespace

void ConsoleOutput::WriteMessage(std::string_view text) {
#ifdef _WIN32
  if (Flush() && WriteToConsole(fd_, std::string(text) + "\r\n")) return;
#endif
  pending_ += text;
  pending_ += "\r\n";
  Flush();
}

void ConsoleOutput::WriteOutputBytes(const uint8_t* data, size_t size) {
  if (pending_.size() + size <= kBlockSize) {
    pending_.append(reinterpret_cast<const char*>(data), size);
    if (pending_.size() == kBlockSize) Flush();
    return;
  }
  Flush();
  if (size < kBlockSize) {
    pending_.append(reinterpret_cast<const char*>(data), size);
  } else {
    WriteAll(data, size);
  }
}

bool ConsoleOutput::Flush() {
  if (!pending_.empty()) {
    WriteAll(reinterpret_cast<const uint8_t*>(pending_.data()), pending_.size());
    pending_.clear();
  }
  return !failed_;
}

void ConsoleOutput::WriteAll(const uint8_t* data, size_t size) {
  // A pipe or terminal may take fewer bytes than asked; keep going until all are out. A long
  // text goes a few blocks at a time: one write of hundreds of megabytes into a file can take
  // several times as long as the same bytes in pieces.
  while (size > 0 && !failed_) {
    const ssize_t written = ::write(fd_, data, std::min(size, kLargestWrite));
    if (written < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
    } else if (written == 0) {
      failed_ = true;
    } else {
      data += written;
      size -= static_cast<size_t>(written);
    }
  }
}

}  // namespace dkscr
