#pragma once
// Splits an XML document held in memory into tokens: markup from "<" to the next ">", and
// character data between markup. It works on bytes and stops at the first zero byte.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace dkscr {

enum class TXMLTokenKind { EndOfInput, Comment, Declaration, Text, StartTag, EndTag, EmptyTag };

class TXMLLargeTokenizer {
 public:
  // Copies the data into a buffer of its own, ending with a zero byte and then with enough
  // zero bytes that the scanner may read 16 bytes from any position up to the first zero.
  static constexpr size_t kBufferPadding = 16;
  explicit TXMLLargeTokenizer(std::string_view data);

  // Hands the buffer over to a new owner; the tokenizer goes on reading it, so the owner
  // must keep it until the tokenizer is done.
  std::unique_ptr<char[]> TakeBuffer() { return std::move(FBuffer); }

  // Reads the next token. With `keepSpaces` set, spaces (but no other white space) around
  // character data are part of it. Markup whose ">" never comes is dropped: the input ends.
  TXMLTokenKind NextToken(bool keepSpaces);
  TXMLTokenKind Kind() const { return FKind; }
  // The current token's bytes as they stand in the input.
  std::string_view RawToken() const { return {FData + FTokenStart, FPos - FTokenStart}; }
  // The current token with its CR LF and then its LF CR pairs deleted, into `out`.
  void TokenText(std::string& out) const;
  // The same as a view: of the input when there was nothing to delete, else of `scratch`.
  std::string_view TokenView(std::string& scratch) const {
    if (!FTokenHasLf) return RawToken();
    TokenText(scratch);
    return scratch;
  }
  // Where the current markup token's first space is, or npos. Only for tokens that TokenView
  // returns unchanged, whose only ">" is their last byte, and not for end tags (npos).
  size_t FirstSpace() const { return FFirstSpace; }
  // False when no "=" of the current markup token follows "space" (ASCII case ignored), so
  // that no attribute line of it can read xml:space=preserve; always false for end tags.
  bool SpaceEquals() const { return FSpaceEquals; }
  bool TokenUnchanged() const { return !FTokenHasLf; }
  // False when the current character data holds no "&", so that it holds no escape.
  bool TextMayHoldEscape() const { return FTextHasAmp; }
  // Line of the current position, counting the LFs skipped as white space.
  size_t Line() const { return FLine; }

 private:
  friend class TXMLTreeBuilder;
  // NextToken, defined inline in KelXMLTokenScan.h for the tree builder.
  TXMLTokenKind ReadToken(bool keepSpaces);

  std::unique_ptr<char[]> FBuffer;
  const char* FData = nullptr;  // the buffer, also after it has been handed over
  size_t FEnd = 0;  // the first zero byte
  size_t FPos = 0;
  size_t FTokenStart = 0;
  size_t FLine = 1;
  bool FTokenHasLf = false;  // only a token with an LF can hold a pair to delete
  size_t FFirstSpace = std::string::npos;
  bool FSpaceEquals = false;
  bool FTextHasAmp = false;
  TXMLTokenKind FKind = TXMLTokenKind::EndOfInput;
};

}  // namespace dkscr
