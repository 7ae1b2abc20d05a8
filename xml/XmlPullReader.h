#pragma once
// A forward-only XML reader for the complete slide text: start tags, end tags and character
// data, one at a time, with the text exactly as written (no trimming) and every standard and
// numeric character reference decoded. It keeps no tree: callers hold what context they need,
// so nesting depth costs them one stack entry per open element and the reader nothing.
// It scans the element tree's tokenizer buffer itself, dropping nothing, and reads comments,
// CDATA sections and quoted values past a ">" where the tree does not. A tag's attributes
// are split once, on the first question about them.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlTokenizer.h"

namespace dkscr {

class XmlPullReader {
 public:
  enum class Event { kStartElement, kEndElement, kText, kEnd };

  // The reader works on a copy of the data; it stops at its end or at a zero byte.
  explicit XmlPullReader(std::string_view data);
  // The same, the copy made in `kept` when it has room (it gets its storage back when the
  // reader is done); nullptr: a buffer of its own.
  XmlPullReader(std::string_view data, XmlBuffer* kept);
  ~XmlPullReader();
  XmlPullReader(const XmlPullReader&) = delete;
  XmlPullReader& operator=(const XmlPullReader&) = delete;

  // The next event. An empty-element tag gives a start and then an end. Comments, processing
  // instructions and declarations are passed over; CDATA sections are text. Markup that never
  // closes ends the input.
  Event Next();

  // The qualified name of the element just started or ended.
  std::string_view Name() const { return name_; }
  // The name without its prefix.
  std::string_view LocalName() const { return localName_; }
  // The decoded value of an attribute of the element just started, matched by qualified name;
  // empty when absent.
  std::string Attribute(std::string_view qualifiedName) const;
  bool HasAttribute(std::string_view qualifiedName) const;
  // The decoded value of the first attribute with a prefix and this local name ("r:id" for
  // "id", whatever the prefix); empty when there is none.
  std::string PrefixedAttribute(std::string_view localName) const;
  // The decoded character data of a text event.
  const std::string& Text() const { return text_; }

 private:
  // The markup walker reads events through the inline scan, without a call per event.
  friend class MarkupWalker;
  Event ReadEvent();
  // For the walker: moves past the end tag that closes the element just started, without
  // events, and returns true. Reads nothing and returns false, with `stoppedAt` where it gave
  // up, when that element was an empty-element tag, when an element with a local name in
  // `stops` starts inside it, when elements nest `depthRoom` deep inside it, or when the input
  // ends first.
  bool SkipContent(size_t depthRoom, std::span<const std::string_view> stops, size_t& stoppedAt);
  size_t Position() const { return tokenizer_.pos_; }

  // One attribute of the current start tag: offsets into attributes_.
  struct AttributeSpan {
    size_t nameAt, nameSize, valueAt, valueSize;
  };
  // Splits attributes_ into name and value once per tag, on the first question about it.
  void IndexAttributes() const;
  // Finds the first attribute whose qualified name satisfies `match`.
  template <typename Match>
  bool FindAttribute(Match match, std::string_view& rawValue) const;

  XmlBuffer* kept_ = nullptr;
  XmlTokenizer tokenizer_;
  std::string_view name_;
  std::string_view localName_;  // name_ past its prefix, found once per tag
  std::string_view attributes_;  // the raw text after the name of the last start tag
  std::string text_;
  static constexpr size_t kUsualAttributes = 8;
  mutable std::vector<AttributeSpan> index_;  // reused from tag to tag
  mutable bool indexed_ = false;  // index_ holds the attributes of attributes_
  bool pendingEnd_ = false;  // an empty-element tag owes its end event
};

// Appends text with its character references decoded; an unknown or malformed reference is
// kept as written.
void AppendXmlDecoded(std::string_view raw, std::string& out);

// The part of a qualified name after its prefix.
std::string_view XmlLocalName(std::string_view qualifiedName);

}  // namespace dkscr
