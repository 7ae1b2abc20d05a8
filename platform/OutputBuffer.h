#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ResultCodes.h"

namespace dkscr {

// The block a converter hands its text over in. The caller owns it and may keep one for many
// conversions: each converter resizes it to the text's length plus one spare byte and the
// destructor frees it. A failed conversion leaves it as it was.
class OutputBuffer {
 public:
  OutputBuffer() = default;
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;
  OutputBuffer(OutputBuffer&& other) noexcept;
  OutputBuffer& operator=(OutputBuffer&& other) noexcept;

  bool HasBlock() const { return data_ != nullptr; }
  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  // Bytes in the block: after a successful conversion, the result plus the spare byte.
  size_t BlockSize() const { return size_; }

  // Resizes the block (allocating one when there is none), keeping its first bytes.
  // Returns false and leaves the block untouched when memory runs out.
  bool Resize(size_t size);
  void Free();
  // Hands the block (from malloc, for free) to the caller; the buffer is then empty.
  uint8_t* Release();

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

// Puts the bytes into the buffer (grown to length + 1) and returns the length; -5 when the
// text is longer than a result code can count, -13 when memory runs out, the buffer then
// unchanged.
ResultCode CopyToOutput(std::string_view bytes, OutputBuffer& output);

}  // namespace dkscr
