#pragma once
// A small XML reader: builds a tree of elements (name, text, attributes, children) from the
// bytes of one document. It knows no encodings, namespaces or document types; what counts as
// text follows the tokenizer's white-space rules exactly, since that decides what a slide's
// text looks like.
#include <cstddef>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlAttributes.h"
#include "xml/XmlTokenizer.h"

// Under AddressSanitizer elements come from the heap one by one, so that every misuse of a
// freed element is caught.
#if defined(__SANITIZE_ADDRESS__)
#define DKSCR_XML_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DKSCR_XML_POOL 0
#endif
#endif
#ifndef DKSCR_XML_POOL
#define DKSCR_XML_POOL 1
#endif

namespace dkscr {

class XmlTree;
class XmlElementPool;

class XmlElement {
 public:
  XmlElement() = default;
  // Frees the whole subtree without recursion, however deep it is. Inline: freeing a loaded
  // tree destroys every element of it, mostly ones without children.
  ~XmlElement() {
    if (first_ != nullptr) FreeItems();
  }
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  const std::string& Text() const { return text_; }
  // A loaded element's name lies in its document's source buffer, so it is valid until the
  // document loads again or is cleared; copy it to keep it longer.
  std::string_view Name() const { return name_; }
  const XmlAttributes& Attributes() const {
    if (!rawAttributes_.empty()) ParseRawAttributes();
    return attributes_ ? *attributes_ : kNoAttributes;
  }

  int ChildCount() const { return count_; }
  // Child `index`; constant time when children are visited in order. Throws std::out_of_range.
  XmlElement* Child(int index) const;
  XmlElement* FirstChild() const { return first_; }
  XmlElement* NextSibling() const { return next_; }
  XmlElement* Parent() const { return parent_; }

  // Removes children, attributes, name and text.
  void Clear();
  // First child from `start` whose name matches without regard to ASCII case, or -1.
  int IndexOfName(std::string_view name, int start = 0) const;

 private:
  friend class XmlTree;
  friend class XmlTreeBuilder;
  friend class XmlElementPool;

  // Appends a new empty child and returns it.
  XmlElement* AddChild();
  // Frees all children and everything below them, iteratively.
  void FreeItems();
  static void Free(XmlElement* item);
  void ParseRawAttributes() const;

  // The flags come first, next to the public ones, where they fill no padding of their own.
  bool pooled_ = false;  // memory from the document's pool rather than the heap
  bool owner_ = false;   // on the pool's list of elements that own memory
  bool textSignificant_ = false;
  std::string text_;
  // Loading takes names from the source, without a copy.
  std::string_view name_;
  // A loaded element keeps the attribute text of its tag, which lies in its document's source
  // buffer, and makes the attribute lines from it when they are first asked for.
  static const XmlAttributes kNoAttributes;
  mutable std::unique_ptr<XmlAttributes> attributes_;  // none: no attributes
  mutable std::string_view rawAttributes_;
  // Children as a list; the cursor remembers the child last reached by index.
  XmlElement* first_ = nullptr;
  XmlElement* last_ = nullptr;
  XmlElement* next_ = nullptr;
  mutable XmlElement* cursor_ = nullptr;
  mutable int cursorIndex_ = 0;
  int count_ = 0;
  XmlElement* parent_ = nullptr;
  XmlTree* document_ = nullptr;
  // While loading: text_ up to here ends after a line break and holds no escape, so decoding
  // it again changes nothing; textSignificant_ tells whether that part has a byte above 0x20.
  size_t stableText_ = 0;
};

// Memory for the elements of one document, taken in blocks and reused from load to load; it
// follows the largest tree the document has held and goes back when the document goes.
class XmlElementPool {
 public:
  XmlElementPool() = default;
  ~XmlElementPool();
  XmlElementPool(const XmlElementPool&) = delete;
  XmlElementPool& operator=(const XmlElementPool&) = delete;

  void* Allocate() {
    void* memory = nullptr;
    if (free_ != nullptr) {
      memory = free_;
      free_ = free_->next;
    } else {
      if (nextItem_ == blockEnd_) NextBlock();
      memory = nextItem_;
      nextItem_ += sizeof(XmlElement);
    }
    ++live_;
    return memory;
  }

  // Destroys every element taken since the pool last started again, block by block in
  // address order, and starts again. Only when none was given back on its own, so that every
  // slot taken holds a live element; returns whether it did.
  bool DestroyAll();

  // An element taken from the pool now holds memory of its own (text or attribute lines
  // past what a string holds in place): DestroyAll destroys it.
  void NoteOwnedMemory(XmlElement* item) noexcept {
    if (item->owner_) return;
    try {
      owners_.push_back(item);
      item->owner_ = true;
    } catch (...) {
      destroyEvery_ = true;  // no room to list it: every element is destroyed
    }
  }
  // An element of the pool was freed on its own, so its slot may hold another element now.
  void NoteFreedAlone() { destroyEvery_ = true; }

  void Release(void* memory) {
    if (--live_ == 0) {
      // The whole tree is gone: start again at the first block, in address order.
      Rewind();
      return;
    }
    auto* slot = static_cast<FreeSlot*>(memory);
    slot->next = free_;
    free_ = slot;
  }

 private:
  struct FreeSlot {
    FreeSlot* next;
  };
  void ReleaseBlocks();
  void Rewind();
  void NextBlock();

  std::vector<void*> blocks_;
  size_t nextBlock_ = 0;      // the block to take when the current one is full
  char* nextItem_ = nullptr;  // free space in the current block
  char* blockEnd_ = nullptr;
  FreeSlot* free_ = nullptr;
  size_t live_ = 0;
  // The elements that own memory; all of them when destroyEvery_ is set.
  std::vector<XmlElement*> owners_;
  bool destroyEvery_ = false;
};

class XmlTree {
 public:
  XmlTree();
  ~XmlTree() = default;
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;

  XmlElement& Root() { return root_; }
  const XmlElement& Root() const { return root_; }

  void Clear();
  // Replaces the tree with the one built from stream[position..]. The old tree is gone even
  // when building fails (only memory can run out), leaving what was built so far.
  void LoadFromStream(const std::string& stream, size_t position = 0);

 private:
  friend class XmlElement;
  friend class XmlTreeBuilder;

  // Keeps text the elements' unparsed attributes point into.
  std::string_view KeepText(std::string_view text);
  void ReleaseSource();

  XmlElementPool pool_;  // declared before the root, which gives its elements back to it
  std::unique_ptr<char[]> source_;   // the bytes of the last load
  size_t sourceCapacity_ = 0;
  std::deque<std::string> keptTexts_;  // attribute texts of tags that had line breaks deleted
  XmlElement root_;
};

// Appending an element, inline for the tree builder, which adds one per tag.
inline XmlElement* XmlElement::AddChild() {
  XmlElement* item = nullptr;
  if (DKSCR_XML_POOL && document_ != nullptr) {
    XmlElementPool& pool = document_->pool_;
    item = new (pool.Allocate()) XmlElement;
    item->pooled_ = true;
  } else {
    item = new XmlElement;
  }
  item->parent_ = this;
  item->document_ = document_;
  if (last_ == nullptr) {
    first_ = item;
  } else {
    last_->next_ = item;
  }
  last_ = item;
  ++count_;
  return item;
}

}  // namespace dkscr
