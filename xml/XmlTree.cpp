#include "xml/XmlTree.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/detail/TokenizerScan.h"
#include "xml/detail/TagSyntax.h"
#include "xml/detail/TreeShortcuts.h"

namespace dkscr {

// Turns the token sequence into elements under the document's root. The current element is
// a pointer, so nesting depth costs no stack.
class XmlTreeBuilder {
  // What a string holds without memory of its own.
  static inline const size_t kInPlaceText = std::string().capacity();

 public:
  explicit XmlTreeBuilder(XmlTree& document) : document_(document) {}

  void Build(std::string_view data) {
    // The previous source's buffer takes this one when it fits; elements point into the
    // source from the first tag on, so the document holds it at once.
    XmlTokenizer tokenizer(data, std::move(document_.source_), document_.sourceCapacity_);
    document_.sourceCapacity_ = tokenizer.BufferCapacity();
    document_.source_ = tokenizer.TakeBuffer();
    current_ = &document_.Root();
    bool keepSpaces = false;
    std::string scratch;
    for (;;) {
      const XmlToken kind = tokenizer.ReadToken(keepSpaces);
      if (kind == XmlToken::kEndOfInput) break;
      const std::string_view token = tokenizer.TokenView(scratch);
      switch (kind) {
        case XmlToken::kDeclaration:
        case XmlToken::kComment:
        case XmlToken::kEndOfInput:
          break;
        case XmlToken::kText:
          if (current_ != nullptr) {
            AppendText(*current_, token, tokenizer.TextMayHoldEscape());
            if (current_->pooled_ && current_->text_.capacity() > kInPlaceText) {
              document_.pool_.NoteOwnedMemory(current_);
            }
          }
          break;
        case XmlToken::kStartTag:
        case XmlToken::kEmptyTag:
          if (current_ != nullptr) {
            // A start tag names the current element while it has no name.
            const bool start = kind == XmlToken::kStartTag;
            XmlElement* item = start && Unnamed(*current_) ? current_ : current_->AddChild();
            keepSpaces = TakeTag(*item, token, tokenizer);
            if (start) current_ = item;
          }
          break;
        case XmlToken::kEndTag:
          if (current_ != nullptr) current_ = current_->parent_;
          break;
      }
    }
  }

 private:
  // Whether the element has no name yet, white space aside; a name's first byte mostly tells.
  static bool Unnamed(const XmlElement& item) {
    const std::string_view name = item.name_;
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
  DKSCR_XML_ALWAYS_INLINE bool TakeTag(XmlElement& item, std::string_view token,
                                       const XmlTokenizer& tokenizer) {
    std::string_view body;
    bool maySetSpace = false;
    if (!tokenizer.TokenUnchanged()) {
      item.name_ = document_.KeepText(TagName(token));
      body = AttributesBodyOf(token);
      if (!body.empty()) body = document_.KeepText(body);
      maySetSpace = MayPreserveSpace(body);
    } else {
      // The tokenizer has found the name's end and the first space already, and the only ">"
      // is the last byte; the token lies in the document's source buffer.
      const size_t space = tokenizer.FirstSpace();
      // An element taking a tag has no name yet, or only white space as one.
      item.name_ = token.substr(1, (space != std::string_view::npos ? space
                                                                    : SlashOrLast(token)) - 1);
      if (space != std::string_view::npos) {
        size_t end = token.size() - 1;
        if (end > space + 1 && token[end - 1] == '/') --end;
        body = token.substr(space + 1, end - space - 1);
        maySetSpace = tokenizer.SpaceEquals();
      }
    }
    item.attributes_.reset();
    item.rawAttributes_ = body;
    return maySetSpace && item.Attributes().IndexOf("xml:space=preserve") >= 0;
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
  static void AppendText(XmlElement& item, std::string_view token, bool tokenMayEscape) {
    std::string& text = item.text_;
    const size_t stable = item.stableText_;
    const bool significant =
        item.textSignificant_ || AnySignificant(std::string_view(text).substr(stable));
    bool plain = !tokenMayEscape;
    if (!significant) {
      text.assign(token);
      if (!plain) DecodeEscapesInPlace(text);
      item.stableText_ = 0;
      item.textSignificant_ = false;
    } else {
      plain = plain && stable == text.size();
      text.append("\r\n").append(token);
      if (!plain) DecodeEscapesTail(text, stable);
    }
    AdvanceStable(item, plain);
  }

  // With `plain` the unstable part holds no escape.
  static void AdvanceStable(XmlElement& item, bool plain) {
    const std::string_view rest = std::string_view(item.text_).substr(item.stableText_);
    const size_t escape = plain ? std::string_view::npos : FindEscape(rest);
    size_t stableLength = rest.size();
    if (escape != std::string_view::npos) {
      // Up to the last line break before the escape; what follows is decoded again later.
      const size_t lineBreak = escape == 0 ? std::string_view::npos
                                           : rest.find_last_of("\r\n", escape - 1);
      stableLength = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
    }
    if (stableLength == 0) return;
    item.textSignificant_ =
        item.textSignificant_ || AnySignificant(rest.substr(0, stableLength));
    item.stableText_ += stableLength;
  }

  XmlTree& document_;
  XmlElement* current_ = nullptr;
};

XmlTree::XmlTree() { root_.document_ = this; }

std::string_view XmlTree::KeepText(std::string_view text) {
  return keptTexts_.emplace_back(text);
}

void XmlTree::ReleaseSource() {
  source_.reset();
  sourceCapacity_ = 0;
  keptTexts_.clear();
}

void XmlTree::Clear() {
  root_.Clear();
  ReleaseSource();
}

void XmlTree::LoadFromStream(const std::string& stream, size_t position) {
  root_.Clear();
  keptTexts_.clear();
  XmlTreeBuilder(*this).Build(std::string_view(stream).substr(std::min(position, stream.size())));
}

}  // namespace dkscr
