#pragma once
// What the archive reader asks of its host program. The core knows no windowing toolkit, so
// a host that has windows passes these with each conversion; unset hooks do nothing (the
// console program, the library).
#include <functional>
#include <string>

namespace dkscr {

struct ZipHostHooks {
  // Shown while a directory is read; RestoreCursor is always called after ShowBusyCursor.
  std::function<void()> ShowBusyCursor;
  std::function<void()> RestoreCursor;
  // Lets the host process pending window messages: once per 32768-byte input chunk and every
  // 10240 bytes of a recovery scan. The host must not call into the reader from here.
  std::function<void()> ProcessMessages;
  // A modal message box (text, caption), e.g. "Unknown Compression Method" / "Zip Error".
  std::function<void(const std::string& text, const std::string& caption)> ShowMessage;
};

}  // namespace dkscr
