#pragma once
// A forward-only XML reader for the complete slide text: start tags, end tags and character
// data, one at a time, with the text exactly as written (no trimming) and every standard and
// numeric character reference decoded. It keeps no tree: callers hold what context they need,
// so nesting depth costs them one stack entry per open element and the reader nothing.
// It scans the element tree's tokenizer buffer itself, dropping nothing, and reads comments,
// CDATA sections and quoted values past a ">" where the tree does not. A tag's attributes
// are split once, on the first question about them.
#include <cstddef>
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
