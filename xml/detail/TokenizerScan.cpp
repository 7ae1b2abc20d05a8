// The tokenizer's own members; its scan is inline in TokenizerScan.h for the tree builder.
#include "xml/detail/TokenizerScan.h"

#include <cstring>

#include "xml/detail/TreeShortcuts.h"

namespace dkscr {
namespace {

// How much larger than needed a reused buffer may be.
constexpr size_t kKeptSlack = 64 * 1024;

}  // namespace

XmlTokenizer::XmlTokenizer(std::string_view data)
    : buffer_(new char[data.size() + kBufferPadding]), capacity_(data.size() + kBufferPadding) {
  Fill(data);
}

XmlTokenizer::XmlTokenizer(std::string_view data, std::unique_ptr<char[]> buffer, size_t capacity) {
  const size_t needed = data.size() + kBufferPadding;
  // A buffer kept from a larger document is given back rather than held on to.
  if (buffer != nullptr && capacity >= needed && capacity - needed <= needed + kKeptSlack) {
    buffer_ = std::move(buffer);
    capacity_ = capacity;
  } else {
    buffer.reset();
    buffer_.reset(new char[needed]);
    capacity_ = needed;
  }
  Fill(data);
}

void XmlTokenizer::Fill(std::string_view data) {
  data_ = buffer_.get();
  if (!data.empty()) std::memcpy(buffer_.get(), data.data(), data.size());
  std::memset(buffer_.get() + data.size(), 0, kBufferPadding);
  const void* zero = std::memchr(buffer_.get(), 0, data.size() + 1);
  end_ = static_cast<size_t>(static_cast<const char*>(zero) - buffer_.get());
  // The scans stop here without looking for the zero byte as well.
  buffer_[end_] = '>';
  buffer_[end_ + 1] = '<';
}

XmlToken XmlTokenizer::NextToken(bool keepSpaces) { return ReadToken(keepSpaces); }

void XmlTokenizer::ExtendToken(size_t length) {
  if (length > end_ - tokenStart_) {
    pos_ = tokenStart_ = end_;
    kind_ = XmlToken::kEndOfInput;
    return;
  }
  pos_ = tokenStart_ + length;
  // What the scan found about the token no longer holds: assume the costlier case.
  tokenHasLf_ = true;
  firstSpace_ = std::string::npos;
  spaceEquals_ = true;
}

void XmlTokenizer::TokenText(std::string& out) const {
  out.assign(RawToken());
  DeleteLineBreakPairs(out);
}

}  // namespace dkscr
