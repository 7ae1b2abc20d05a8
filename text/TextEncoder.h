#pragma once
// The output encodings applied a piece at a time: line breaks rewritten and the text encoded
// for the code page straight into the block the caller receives, so that a converter never
// holds its whole text a second time in another form. The pieces give the bytes that
// EncodeWideText or EncodeUtf8Text give for their concatenation, wherever it is cut.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"
#include "text/CodePage.h"

namespace dkscr {

class TextEncoder {
 public:
  enum class Input { kWide, kUtf8 };

  // Wide input also counts U+2028 as a line break. Code page 0 is the default code page.
  TextEncoder(Input input, int lineBreakStyle, int32_t codePage);
  ~TextEncoder();
  TextEncoder(const TextEncoder&) = delete;
  TextEncoder& operator=(const TextEncoder&) = delete;

  // Pieces of the kind given at construction.
  void Append(std::u16string_view text);
  void Append(std::string_view text);
  // The encoded bytes, into `output` (length + 1 bytes), and their length; -5 with `output`
  // unchanged when memory ran out or the text is longer than a result code can count.
  ResultCode Finish(OutputBuffer& output);

 private:
  enum class Target { kUtf8, kUtf16Le, kCodePage };

  void PushUnit(char16_t unit);
  void RewriteWide(std::u16string_view text);
  void RewriteUtf8(std::string_view text);
  void DecodeUtf8(std::string_view text, bool final);
  void EncodeWide(bool final);
  void Put(std::string_view bytes);
  void PutPending();

  Input input_;
  int style_;
  Target target_ = Target::kCodePage;
  bool passUtf8_ = false;    // UTF-8 in, UTF-8 out: the bytes need no decoding
  std::unique_ptr<WideToCodePageEncoder> codePage_;
  bool pendingCr_ = false;   // the last unit or byte was CR: a LF right after it belongs to it
  std::u16string wide_;      // rewritten UTF-16 waiting to be encoded
  std::string bytes_;        // rewritten UTF-8 waiting to be decoded or put
  std::string encoded_;      // bytes of the code page on their way into the block
  std::string utf8Tail_;     // an unfinished UTF-8 sequence at the end of the last piece
  // A short text is gathered here and copied into the caller's block at the end, as a whole
  // text would be; a long one moves into a block of its own that grows in place.
  std::string short_;
  OutputBuffer block_;
  size_t used_ = 0;
  bool failed_ = false;       // the text grew too long, or memory ran out (outOfMemory_)
  bool outOfMemory_ = false;
};

}  // namespace dkscr
