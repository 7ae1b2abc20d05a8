#include "platform/OutputBuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace dkscr {

OutputBuffer::~OutputBuffer() { Free(); }

OutputBuffer::OutputBuffer(OutputBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

OutputBuffer& OutputBuffer::operator=(OutputBuffer&& other) noexcept {
  if (this != &other) {
    Free();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool OutputBuffer::Resize(size_t size) {
  if (size == 0) size = 1;  // a block always exists after a resize
  void* block = std::realloc(data_, size);
  if (block == nullptr) return false;
  data_ = static_cast<uint8_t*>(block);
  size_ = size;
  return true;
}

void OutputBuffer::Free() {
  std::free(data_);
  data_ = nullptr;
  size_ = 0;
}

uint8_t* OutputBuffer::Release() {
  size_ = 0;
  return std::exchange(data_, nullptr);
}

ResultCode CopyToOutput(std::string_view bytes, OutputBuffer& output) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX) - 1) return kResultFormatError;
  if (!output.Resize(bytes.size() + 1)) return kResultOutOfMemory;
  if (!bytes.empty()) std::memcpy(output.Data(), bytes.data(), bytes.size());
  return static_cast<ResultCode>(bytes.size());
}

}  // namespace dkscr
