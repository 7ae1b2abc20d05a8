// The tokenizer's own members; its scan is inline in TokenizerScan.h for the tree builder.
#include "xml/detail/TokenizerScan.h"

#include <cstring>

#include "xml/detail/TreeShortcuts.h"

namespace dkscr {

XmlTokenizer::XmlTokenizer(std::string_view data)
    : buffer_(new char[data.size() + kBufferPadding]) {
  data_ = buffer_.get();
  if (!data.empty()) std::memcpy(buffer_.get(), data.data(), data.size());
  std::memset(buffer_.get() + data.size(), 0, kBufferPadding);
  const void* zero = std::memchr(buffer_.get(), 0, data.size() + 1);
  end_ = static_cast<size_t>(static_cast<const char*>(zero) - buffer_.get());
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
