#pragma once
// Splits an XML document held in memory into tokens: markup from "<" to the next ">", and
// character data between markup. It works on bytes and stops at the first zero byte.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace dkscr {

enum class XmlToken { kEndOfInput, kComment, kDeclaration, kText, kStartTag, kEndTag, kEmptyTag };

// A tokenizer's buffer kept between documents read one after another, so that a long run of
// small parts copies each into the same storage.
struct XmlBuffer {
  std::unique_ptr<char[]> bytes;
  size_t capacity = 0;
};

class XmlTokenizer {
 public:
  // Copies the data into a buffer of its own. Where the input ends (at its first zero byte)
  // the buffer holds ">" and "<", which end any markup or character data the scanners read,
  // and then enough bytes that they may read 16 bytes from any position up to them.
  static constexpr size_t kBufferPadding = 32;
  explicit XmlTokenizer(std::string_view data);
  // The same into `buffer`, of `capacity` bytes, when it has room and is not much larger than
  // needed; otherwise into a new buffer. TakeBuffer gives back whichever holds the data.
  XmlTokenizer(std::string_view data, std::unique_ptr<char[]> buffer, size_t capacity);

  // Hands the buffer over to a new owner; the tokenizer goes on reading it, so the owner
  // must keep it until the tokenizer is done.
  std::unique_ptr<char[]> TakeBuffer() { return std::move(buffer_); }
  // The bytes the buffer has room for.
  size_t BufferCapacity() const { return capacity_; }

  // Reads the next token. With `keepSpaces` set, spaces (but no other white space) around
  // character data are part of it. Markup whose ">" never comes is dropped: the input ends.
  XmlToken NextToken(bool keepSpaces);
  // The input from the current token's first byte to its end.
  std::string_view Rest() const { return {data_ + tokenStart_, end_ - tokenStart_}; }
  // Makes the current token the first `length` bytes of Rest(), for markup whose end its
  // reader knows better (a comment runs to "-->", a ">" may stand in a quoted value); reading
  // goes on after it. Past the input's end, the input ends.
  void ExtendToken(size_t length);
  XmlToken Kind() const { return kind_; }
  // The current token's bytes as they stand in the input.
  std::string_view RawToken() const { return {data_ + tokenStart_, pos_ - tokenStart_}; }
  // The current token with its CR LF and then its LF CR pairs deleted, into `out`.
  void TokenText(std::string& out) const;
  // The same as a view: of the input when there was nothing to delete, else of `scratch`.
  std::string_view TokenView(std::string& scratch) const {
    if (!tokenHasLf_) return RawToken();
    TokenText(scratch);
    return scratch;
  }
  // Where the current markup token's first space is, or npos. Only for tokens that TokenView
  // returns unchanged, whose only ">" is their last byte, and not for end tags (npos).
  size_t FirstSpace() const { return firstSpace_; }
  // False when no "=" of the current markup token follows "space" (ASCII case ignored), so
  // that no attribute line of it can read xml:space=preserve; always false for end tags.
  bool SpaceEquals() const { return spaceEquals_; }
  bool TokenUnchanged() const { return !tokenHasLf_; }
  // False when the current character data holds no "&", so that it holds no escape.
  bool TextMayHoldEscape() const { return textHasAmp_; }
  // Line of the current position, counting the LFs skipped as white space.
  size_t Line() const { return line_; }

 private:
  friend class XmlTreeBuilder;
  friend class XmlPullReader;
  // NextToken, defined inline in TokenizerScan.h for the tree builder; and the pull reader's
  // read with nothing dropped: character data keeps all its white space, and white space
  // between markup is character data too.
  XmlToken ReadToken(bool keepSpaces);
  XmlToken ReadExactToken();
  // Reads a token; bytes below `firstKept` around character data are white space to drop.
  XmlToken ScanToken(unsigned char firstKept);

  // Copies the data in and finds its end.
  void Fill(std::string_view data);

  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  const char* data_ = nullptr;  // the buffer, also after it has been handed over
  size_t end_ = 0;  // the first zero byte
  size_t pos_ = 0;
  size_t tokenStart_ = 0;
  size_t line_ = 1;
  bool tokenHasLf_ = false;  // only a token with an LF can hold a pair to delete
  size_t firstSpace_ = std::string::npos;
  bool spaceEquals_ = false;
  bool textHasAmp_ = false;
  XmlToken kind_ = XmlToken::kEndOfInput;
};

}  // namespace dkscr
