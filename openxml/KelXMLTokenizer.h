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
  // Copies the data into a buffer of its own, ending with a zero byte.
  explicit TXMLLargeTokenizer(std::string_view data);

  // Reads the next token. With `keepSpaces` set, spaces (but no other white space) around
  // character data are part of it. Markup whose ">" never comes is dropped: the input ends.
  TXMLTokenKind NextToken(bool keepSpaces);
  TXMLTokenKind Kind() const { return FKind; }
  // The current token's bytes as they stand in the input.
  std::string_view RawToken() const { return {FBuffer.get() + FTokenStart, FPos - FTokenStart}; }
  // The current token with its CR LF and then its LF CR pairs deleted, into `out`.
  void TokenText(std::string& out) const;
  // Line of the current position, counting the LFs skipped as white space.
  size_t Line() const { return FLine; }

 private:
  std::unique_ptr<char[]> FBuffer;
  size_t FEnd = 0;  // the first zero byte
  size_t FPos = 0;
  size_t FTokenStart = 0;
  size_t FLine = 1;
  TXMLTokenKind FKind = TXMLTokenKind::EndOfInput;
};

}  // namespace dkscr
