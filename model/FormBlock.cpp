#include "model/FormBlock.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "model/ModelBudget.h"

namespace dkscr {
namespace {

// Forms up to this size are gathered before they take a block of their own.
constexpr size_t kShortForm = 64 * 1024;
// The longest form a result code can count, with the spare byte the block keeps.
constexpr size_t kMaxLength = static_cast<size_t>(INT32_MAX) - 1;

}  // namespace

void FormBlock::Reserve(size_t need) {
  if (need > kMaxLength) throw ModelTooLargeError();
  if (need <= block_.BlockSize()) return;
  // Doubling keeps the copies few; a large block grows in place without being touched.
  const size_t grown = std::max({need, 2 * kShortForm, std::min(block_.BlockSize() * 2, kMaxLength + 1)});
  if (!block_.Resize(grown)) throw std::bad_alloc();
  if (!short_.empty()) {
    std::memcpy(block_.Data(), short_.data(), short_.size());
    std::string().swap(short_);
  }
}

void FormBlock::Append(std::string_view bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > kMaxLength - used_) throw ModelTooLargeError();
  const size_t need = used_ + bytes.size();
  if (!block_.HasBlock() && need <= kShortForm) {
    short_.append(bytes);
    used_ = need;
    return;
  }
  Reserve(need);
  std::memcpy(block_.Data() + used_, bytes.data(), bytes.size());
  used_ = need;
}

void FormBlock::ReplaceFront(size_t length, std::string_view bytes) {
  length = std::min(length, used_);
  if (bytes.size() > length && bytes.size() - length > kMaxLength - used_) throw ModelTooLargeError();
  const size_t need = used_ - length + bytes.size();
  if (!block_.HasBlock() && need <= kShortForm) {
    short_.replace(0, length, bytes);
    used_ = need;
    return;
  }
  Reserve(need);
  if (bytes.size() != length) std::memmove(block_.Data() + bytes.size(), block_.Data() + length, used_ - length);
  if (!bytes.empty()) std::memcpy(block_.Data(), bytes.data(), bytes.size());
  used_ = need;
}

ResultCode FormBlock::Finish(OutputBuffer& output) {
  if (!block_.HasBlock()) return CopyToOutput(short_, output);
  if (!block_.Resize(used_ + 1)) return kResultOutOfMemory;
  output = std::move(block_);
  return static_cast<ResultCode>(used_);
}

}  // namespace dkscr
