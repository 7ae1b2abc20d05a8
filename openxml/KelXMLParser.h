#pragma once
// A small XML reader: builds a tree of elements (name, text, attributes, children) from the
// bytes of one document. It knows no encodings, namespaces or document types; what counts as
// text follows the tokenizer's white-space rules exactly, since that decides what a slide's
// text looks like.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "openxml/KelXMLParams.h"
#include "openxml/KelXMLTokenizer.h"

namespace dkscr {

class TKelXMLParser;
class TXMLItemPool;

class TXMLItem {
 public:
  TXMLItem() = default;
  // Frees the whole subtree without recursion, however deep it is. Inline: freeing a loaded
  // tree destroys every element of it, mostly ones without children.
  ~TXMLItem() {
    if (FFirst != nullptr) FreeItems();
  }
  TXMLItem(const TXMLItem&) = delete;
  TXMLItem& operator=(const TXMLItem&) = delete;

  const std::string& Text() const { return FText; }
  // A loaded element's name lies in its document's source buffer, so it is valid until the
  // document loads again or is cleared; copy it to keep it longer.
  std::string_view Name() const { return FName; }
  const TXMLParams& Params() const {
    if (!FRawParams.empty()) ParseRawParams();
    return FParams ? *FParams : kNoParams;
  }

  int SubItemCount() const { return FCount; }
  int Count() const { return FCount; }
  // Child `index`; constant time when children are visited in order. Throws std::out_of_range.
  TXMLItem* SubItem(int index) const;
  TXMLItem* FirstChild() const { return FFirst; }
  TXMLItem* NextSibling() const { return FNext; }
  TXMLItem* Parent() const { return FParent; }

  // Removes children, attributes, name and text.
  void Clear();
  // First child from `start` whose name matches without regard to ASCII case, or -1.
  int IndexOfName(std::string_view name, int start = 0) const;

 private:
  friend class TKelXMLParser;
  friend class TXMLTreeBuilder;
  friend class TXMLItemPool;

  // Appends a new empty child and returns it.
  TXMLItem* AddChild();
  // Frees all children and everything below them, iteratively.
  void FreeItems();
  static void Free(TXMLItem* item);
  void ParseRawParams() const;

  // The flags come first, next to the public ones, where they fill no padding of their own.
  bool FPooled = false;  // memory from the document's pool rather than the heap
  bool FTextSignificant = false;
  std::string FText;
  // Loading takes names from the source, without a copy.
  std::string_view FName;
  // A loaded element keeps the attribute text of its tag, which lies in its document's source
  // buffer, and makes the attribute lines from it when they are first asked for.
  static const TXMLParams kNoParams;
  mutable std::unique_ptr<TXMLParams> FParams;  // none: no attributes
  mutable std::string_view FRawParams;
  // Children as a list; the cursor remembers the child last reached by index.
  TXMLItem* FFirst = nullptr;
  TXMLItem* FLast = nullptr;
  TXMLItem* FNext = nullptr;
  mutable TXMLItem* FCursor = nullptr;
  mutable int FCursorIndex = 0;
  int FCount = 0;
  TXMLItem* FParent = nullptr;
  TKelXMLParser* FDocument = nullptr;
  // While loading: FText up to here ends after a line break and holds no escape, so decoding
  // it again changes nothing; FTextSignificant tells whether that part has a byte above 0x20.
  size_t FStableText = 0;
};

// Memory for the elements of one document, taken in blocks and reused from load to load; it
// follows the largest tree the document has held and goes back when the document goes.
class TXMLItemPool {
 public:
  TXMLItemPool() = default;
  ~TXMLItemPool();
  TXMLItemPool(const TXMLItemPool&) = delete;
  TXMLItemPool& operator=(const TXMLItemPool&) = delete;

  void* Allocate() {
    void* memory = nullptr;
    if (FFree != nullptr) {
      memory = FFree;
      FFree = FFree->next;
    } else {
      if (FNextItem == FBlockEnd) NextBlock();
      memory = FNextItem;
      FNextItem += sizeof(TXMLItem);
    }
    ++FLive;
    return memory;
  }

  // Destroys every element taken since the pool last started again, block by block in
  // address order, and starts again. Only when none was given back on its own, so that every
  // slot taken holds a live element; returns whether it did.
  bool DestroyAll();

  void Release(void* memory) {
    if (--FLive == 0) {
      // The whole tree is gone: start again at the first block, in address order.
      Rewind();
      return;
    }
    auto* slot = static_cast<FreeSlot*>(memory);
    slot->next = FFree;
    FFree = slot;
  }

 private:
  struct FreeSlot {
    FreeSlot* next;
  };
  void ReleaseBlocks();
  void Rewind();
  void NextBlock();

  std::vector<void*> FBlocks;
  size_t FNextBlock = 0;      // the block to take when the current one is full
  char* FNextItem = nullptr;  // free space in the current block
  char* FBlockEnd = nullptr;
  FreeSlot* FFree = nullptr;
  size_t FLive = 0;
};

class TKelXMLParser {
 public:
  TKelXMLParser();
  ~TKelXMLParser() = default;
  TKelXMLParser(const TKelXMLParser&) = delete;
  TKelXMLParser& operator=(const TKelXMLParser&) = delete;

  TXMLItem& Root() { return FRoot; }
  const TXMLItem& Root() const { return FRoot; }

  void Clear();
  // Replaces the tree with the one built from stream[position..]. The old tree is gone even
  // when building fails (only memory can run out), leaving what was built so far.
  void LoadFromStream(const std::string& stream, size_t position = 0);

 private:
  friend class TXMLItem;
  friend class TXMLTreeBuilder;

  // Keeps text the elements' unparsed attributes point into.
  std::string_view KeepText(std::string_view text);
  void ReleaseSource();

  TXMLItemPool FPool;  // declared before the root, which gives its elements back to it
  std::unique_ptr<char[]> FSource;   // the bytes of the last load
  std::deque<std::string> FKeptTexts;  // attribute texts of tags that had line breaks deleted
  TXMLItem FRoot;
};

}  // namespace dkscr
