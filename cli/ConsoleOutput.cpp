#include "cli/ConsoleOutput.h"

#include <unistd.h>

#include <cerrno>

namespace dkscr {

void ConsoleOutput::WriteMessage(std::string_view text) {
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
  // A pipe or terminal may take fewer bytes than asked; keep going until all are out.
  while (size > 0 && !failed_) {
    const ssize_t written = ::write(fd_, data, size);
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
