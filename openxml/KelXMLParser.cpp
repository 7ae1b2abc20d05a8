#include "openxml/KelXMLParser.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "openxml/KelXMLSyntax.h"
#include "openxml/KelXMLTokenScan.h"
#include "openxml/XmlItemAlloc.h"
#include "openxml/XmlLoaderInternals.h"

namespace dkscr {

// Turns the token sequence into elements under the document's root. The current element is
// a pointer, so nesting depth costs no stack.
class TXMLTreeBuilder {
 public:
  explicit TXMLTreeBuilder(TKelXMLParser& document) : FDocument(document) {}

  void Build(std::string_view data) {
    TXMLLargeTokenizer tokenizer(data);
    // Elements point into the source from the first tag on, so the document holds it at once.
    FDocument.FSource = tokenizer.TakeBuffer();
    FCurrent = &FDocument.Root();
    bool keepSpaces = false;
    std::string scratch;
    for (;;) {
      const TXMLTokenKind kind = tokenizer.ReadToken(keepSpaces);
      if (kind == TXMLTokenKind::EndOfInput) break;
      const std::string_view token = tokenizer.TokenView(scratch);
      switch (kind) {
        case TXMLTokenKind::Declaration:
        case TXMLTokenKind::Comment:
        case TXMLTokenKind::EndOfInput:
          break;
        case TXMLTokenKind::Text:
          if (FCurrent != nullptr) AppendText(*FCurrent, token, tokenizer.TextMayHoldEscape());
          break;
        case TXMLTokenKind::StartTag:
        case TXMLTokenKind::EmptyTag:
          if (FCurrent != nullptr) {
            // A start tag names the current element while it has no name.
            const bool start = kind == TXMLTokenKind::StartTag;
            TXMLItem* item = start && Unnamed(*FCurrent) ? FCurrent : FCurrent->AddChild();
            keepSpaces = TakeTag(*item, token, tokenizer);
            if (start) FCurrent = item;
          }
          break;
        case TXMLTokenKind::EndTag:
          if (FCurrent != nullptr) FCurrent = FCurrent->FParent;
          break;
      }
    }
  }

 private:
  // Whether the element has no name yet, white space aside; a name's first byte mostly tells.
  static bool Unnamed(const TXMLItem& item) {
    const std::string_view name = item.FName;
    return name.empty() ||
           (static_cast<unsigned char>(name[0]) <= 0x20 && TrimControl(name).empty());
  }

  // Position of the first "/" of a tag from its second byte on, else of its last byte. The
  // tag lies in a buffer padded so that 16 bytes may be read from any position in it.
  static size_t SlashOrLast(std::string_view token) {
    const size_t last = token.size() - 1;
#if defined(__SSE2__)
    const __m128i slash = _mm_set1_epi8('/');
    for (size_t at = 1; at < last; at += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(token.data() + at));
      const unsigned slashes =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, slash)));
      if (slashes != 0) return std::min(last, at + static_cast<size_t>(__builtin_ctz(slashes)));
    }
    return last;
#else
    size_t at = 1;
    while (at < last && token[at] != '/') ++at;
    return at;
#endif
  }

  // Name and attribute text from the tag; returns whether spaces around text are now kept.
  DKSCR_XML_ALWAYS_INLINE bool TakeTag(TXMLItem& item, std::string_view token,
                                       const TXMLLargeTokenizer& tokenizer) {
    std::string_view body;
    bool maySetSpace = false;
    if (!tokenizer.TokenUnchanged()) {
      item.FName = FDocument.KeepText(TagName(token));
      body = ParamsBodyOf(token);
      if (!body.empty()) body = FDocument.KeepText(body);
      maySetSpace = MayPreserveSpace(body);
    } else {
      // The tokenizer has found the name's end and the first space already, and the only ">"
      // is the last byte; the token lies in the document's source buffer.
      const size_t space = tokenizer.FirstSpace();
      // An element taking a tag has no name yet, or only white space as one.
      item.FName = token.substr(1, (space != std::string_view::npos ? space
                                                                    : SlashOrLast(token)) - 1);
      if (space != std::string_view::npos) {
        size_t end = token.size() - 1;
        if (end > space + 1 && token[end - 1] == '/') --end;
        body = token.substr(space + 1, end - space - 1);
        maySetSpace = tokenizer.SpaceEquals();
      }
    }
    item.FParams.reset();
    item.FRawParams = body;
    return maySetSpace && item.Params().IndexOf("xml:space=preserve") >= 0;
  }

  static bool AnySignificant(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 0x20; });
  }

  // Character data joins the element's text after a CR LF, and the whole text is decoded
  // again, so earlier pieces are decoded once more with every later piece. Decoding never
  // acts across a line break, so only the part after the last stable line break needs it;
  // nothing does when that part is only the new piece and the piece has no "&" (character
  // data holds no "<", and every escape starts with one of the two).
  static void AppendText(TXMLItem& item, std::string_view token, bool tokenMayEscape) {
    std::string& text = item.FText;
    const size_t stable = item.FStableText;
    const bool significant =
        item.FTextSignificant || AnySignificant(std::string_view(text).substr(stable));
    bool plain = !tokenMayEscape;
    if (!significant) {
      text.assign(token);
      if (!plain) DecodeEscapesInPlace(text);
      item.FStableText = 0;
      item.FTextSignificant = false;
    } else {
      plain = plain && stable == text.size();
      text.append("\r\n").append(token);
      if (!plain) DecodeEscapesTail(text, stable);
    }
    AdvanceStable(item, plain);
  }

  // With `plain` the unstable part holds no escape.
  static void AdvanceStable(TXMLItem& item, bool plain) {
    const std::string_view rest = std::string_view(item.FText).substr(item.FStableText);
    const size_t escape = plain ? std::string_view::npos : FindEscape(rest);
    size_t stableLength = rest.size();
    if (escape != std::string_view::npos) {
      // Up to the last line break before the escape; what follows is decoded again later.
      const size_t lineBreak = escape == 0 ? std::string_view::npos
                                           : rest.find_last_of("\r\n", escape - 1);
      stableLength = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
    }
    if (stableLength == 0) return;
    item.FTextSignificant =
        item.FTextSignificant || AnySignificant(rest.substr(0, stableLength));
    item.FStableText += stableLength;
  }

  TKelXMLParser& FDocument;
  TXMLItem* FCurrent = nullptr;
};

TKelXMLParser::TKelXMLParser() { FRoot.FDocument = this; }

std::string_view TKelXMLParser::KeepText(std::string_view text) {
  return FKeptTexts.emplace_back(text);
}

void TKelXMLParser::ReleaseSource() {
  FSource.reset();
  FKeptTexts.clear();
}

void TKelXMLParser::Clear() {
  FRoot.Clear();
  ReleaseSource();
}

void TKelXMLParser::LoadFromStream(const std::string& stream, size_t position) {
  FRoot.Clear();
  ReleaseSource();
  TXMLTreeBuilder(*this).Build(std::string_view(stream).substr(std::min(position, stream.size())));
}

}  // namespace dkscr
