#pragma once
// Standard output of dkscrcmd: message lines and the converted bytes, written in large blocks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dkscr {

class ConsoleOutput {
 public:
  explicit ConsoleOutput(int fd) : fd_(fd) {}
  ~ConsoleOutput() { Flush(); }
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  // The text followed by CR LF, written out at once.
  void WriteMessage(std::string_view text);
  // Converted text: exactly these bytes, nothing added. Small pieces are gathered into a
  // block; large ones go straight to the file descriptor.
  void WriteOutputBytes(const uint8_t* data, size_t size);
  void WriteOutputByte(uint8_t byte) { WriteOutputBytes(&byte, 1); }
  // Writes what is gathered. Returns false once any write has failed.
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  void WriteAll(const uint8_t* data, size_t size);

  static constexpr size_t kBlockSize = 64 * 1024;
  static constexpr size_t kLargestWrite = 16 * kBlockSize;
  int fd_;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace dkscr
