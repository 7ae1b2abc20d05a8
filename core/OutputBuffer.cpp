#include "core/OutputBuffer.h"

#include <cstdlib>
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

}  // namespace dkscr
