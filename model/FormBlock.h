#pragma once
// The bytes of a form on their way to the caller's block. A short form is gathered in a string
// and copied at the end, as a whole text would be; a long one moves into a block of its own
// that grows in place, so that the form is never held twice.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"

namespace dkscr {

class FormBlock {
 public:
  // Throw std::bad_alloc when memory runs out, ModelTooLargeError past what a result code
  // can count.
  void Append(std::string_view bytes);
  // Puts `bytes` in place of the first `length` bytes gathered (a head written before it was
  // final); where they are as long, nothing else moves.
  void ReplaceFront(size_t length, std::string_view bytes);
  // Hands the bytes over (length + 1 bytes) and gives their length; -13 when memory runs out,
  // `output` then unchanged.
  ResultCode Finish(OutputBuffer& output);

 private:
  void Reserve(size_t need);

  std::string short_;
  OutputBuffer block_;
  size_t used_ = 0;
};

}  // namespace dkscr
