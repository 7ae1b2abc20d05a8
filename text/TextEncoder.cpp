#include "text/TextEncoder.h"

#include <algorithm>
#include <climits>

#include "platform/Utf.h"
#include "text/CodePage.h"
#include "text/LineBreaks.h"

namespace dkscr {
namespace {

// Units or bytes gathered before they are encoded: small enough to stay in the cache, large
// enough that a piece costs little.
constexpr size_t kChunk = 16 * 1024;
// Texts up to this size are gathered before they take a block of their own.
constexpr size_t kShortText = 64 * 1024;
// The longest text a result code can count, with the spare byte the block keeps.
constexpr size_t kMaxLength = static_cast<size_t>(INT32_MAX) - 1;

}  // namespace

TextEncoder::TextEncoder(Input input, int lineBreakStyle, int32_t codePage)
    : input_(input), style_(lineBreakStyle) {
  bool bom = false;
  if (codePage == kCodePageUtf8) {
    target_ = Target::kUtf8;
    bom = true;
  } else if (codePage == kCodePageUtf16Le) {
    target_ = Target::kUtf16Le;
    bom = true;
  } else {
    if (codePage == 0) codePage = DefaultCodePage();
    if (codePage == kCodePageUtf8) {
      target_ = Target::kUtf8;  // the default code page: plain UTF-8, normalised
    } else {
      codePage_ = std::make_unique<WideToCodePageEncoder>(codePage);
    }
  }
  // UTF-8 bytes pass unchanged only into UTF-8 with its mark; otherwise they are decoded and
  // encoded again, ill-formed sequences becoming U+FFFD as Utf8ToWide makes them.
  passUtf8_ = input == Input::kUtf8 && bom && target_ == Target::kUtf8;
  if (bom) Put(target_ == Target::kUtf8 ? std::string_view("\xEF\xBB\xBF") : std::string_view("\xFF\xFE"));
}

TextEncoder::~TextEncoder() = default;

void TextEncoder::Append(std::u16string_view text) {
  for (size_t at = 0; at < text.size() && !failed_; at += kChunk) {
    RewriteWide(text.substr(at, kChunk));
    if (wide_.size() >= kChunk) EncodeWide(false);
  }
}

void TextEncoder::Append(std::string_view text) {
  for (size_t at = 0; at < text.size() && !failed_; at += kChunk) {
    RewriteUtf8(text.substr(at, kChunk));
    if (bytes_.size() < kChunk) continue;
    if (passUtf8_) {
      Put(bytes_);
    } else {
      DecodeUtf8(bytes_, false);
    }
    bytes_.clear();
  }
}

void TextEncoder::RewriteWide(std::u16string_view text) {
  if (input_ != Input::kWide) return;
  RewriteLineBreaks(text, style_, true, pendingCr_, wide_);
}

void TextEncoder::RewriteUtf8(std::string_view text) {
  if (input_ != Input::kUtf8) return;
  RewriteLineBreaks(text, style_, false, pendingCr_, bytes_);
}

void TextEncoder::DecodeUtf8(std::string_view text, bool final) {
  std::string joined;
  if (!utf8Tail_.empty()) {
    joined = utf8Tail_ + std::string(text);
    utf8Tail_.clear();
    text = joined;
  }
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<uint8_t>(text[pos]);
    if (c < 0x80) {
      wide_.push_back(c);
      ++pos;
      continue;
    }
    char32_t cp;
    bool valid;
    const size_t length = DecodeUtf8Sequence(text, pos, cp, valid);
    if (!valid && !final && pos + length == text.size()) {
      utf8Tail_.assign(text.substr(pos));  // the next piece may complete it
      break;
    }
    AppendUtf16(valid ? cp : kReplacementChar, wide_);
    pos += length;
  }
  EncodeWide(final);
}

void TextEncoder::EncodeWide(bool final) {
  // The first half of a surrogate pair waits for its second.
  const size_t keep = !final && !wide_.empty() && IsHighSurrogate(wide_.back()) ? 1 : 0;
  const std::u16string_view text(wide_.data(), wide_.size() - keep);
  switch (target_) {
    case Target::kUtf8:
      AppendWideAsUtf8(text, encoded_);
      break;
    case Target::kUtf16Le:
      for (const char16_t u : text) {
        encoded_.push_back(static_cast<char>(u & 0xFF));
        encoded_.push_back(static_cast<char>(u >> 8));
      }
      break;
    case Target::kCodePage:
      codePage_->Encode(text, encoded_);
      if (final) codePage_->Finish(encoded_);
      break;
  }
  wide_.erase(0, text.size());
  Put(encoded_);
  encoded_.clear();
}

void TextEncoder::Put(std::string_view bytes) {
  if (failed_ || bytes.empty()) return;
  if (bytes.size() > kMaxLength - used_) {
    failed_ = true;
    block_.Free();
    return;
  }
  const size_t need = used_ + bytes.size();
  if (!block_.HasBlock() && need <= kShortText) {
    short_.append(bytes);
    used_ = need;
    return;
  }
  if (need > block_.BlockSize()) {
    // Doubling keeps the copies few; a large block grows in place without being touched.
    const size_t grown = std::max({need, 2 * kShortText, std::min(block_.BlockSize() * 2, kMaxLength + 1)});
    if (!block_.Resize(grown)) {
      failed_ = true;
      outOfMemory_ = true;
      block_.Free();
      return;
    }
    if (!short_.empty()) {
      std::copy(short_.begin(), short_.end(), block_.Data());
      std::string().swap(short_);
    }
  }
  std::copy(bytes.begin(), bytes.end(), block_.Data() + used_);
  used_ = need;
}

ResultCode TextEncoder::Finish(OutputBuffer& output) {
  if (input_ == Input::kUtf8) {
    if (passUtf8_) {
      Put(bytes_);
    } else {
      DecodeUtf8(bytes_, true);
    }
    bytes_.clear();
  }
  if (!passUtf8_) EncodeWide(true);
  if (failed_) return outOfMemory_ ? kResultOutOfMemory : kResultFormatError;
  if (!block_.HasBlock()) return CopyToOutput(short_, output);
  if (!block_.Resize(used_ + 1)) return kResultOutOfMemory;
  output = std::move(block_);
  return static_cast<ResultCode>(used_);
}

}  // namespace dkscr
