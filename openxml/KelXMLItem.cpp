#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

#include "openxml/KelXMLParser.h"
#include "openxml/XmlItemAlloc.h"
#include "openxml/XmlLoaderInternals.h"


namespace dkscr {
namespace {

constexpr size_t kItemsPerBlock = 256;

}  // namespace

TXMLItemPool::~TXMLItemPool() { ReleaseBlocks(); }

void TXMLItemPool::ReleaseBlocks() {
  for (void* block : FBlocks) ::operator delete(block);
  FBlocks.clear();
  Rewind();
}

void TXMLItemPool::Rewind() {
  FNextBlock = 0;
  FNextItem = FBlockEnd = nullptr;
  FFree = nullptr;
}

void TXMLItemPool::NextBlock() {
  // Blocks kept from earlier trees are used again in order before new ones are taken.
  if (FNextBlock == FBlocks.size()) {
    FBlocks.reserve(FBlocks.size() + 1);
    FBlocks.push_back(::operator new(kItemsPerBlock * sizeof(TXMLItem)));
  }
  FNextItem = static_cast<char*>(FBlocks[FNextBlock++]);
  FBlockEnd = FNextItem + kItemsPerBlock * sizeof(TXMLItem);
}

bool TXMLItemPool::DestroyAll() {
  if (FFree != nullptr) return false;
  for (size_t block = 0; block < FNextBlock; ++block) {
    char* at = static_cast<char*>(FBlocks[block]);
    char* const end = block + 1 == FNextBlock ? FNextItem : at + kItemsPerBlock * sizeof(TXMLItem);
    for (; at != end; at += sizeof(TXMLItem)) {
      TXMLItem* item = std::launder(reinterpret_cast<TXMLItem*>(at));
      item->FFirst = nullptr;  // the children have slots of their own
      item->~TXMLItem();
    }
  }
  FLive = 0;
  Rewind();
  return true;
}

const TXMLParams TXMLItem::kNoParams;

inline void TXMLItem::Free(TXMLItem* item) {
  if (!item->FPooled) {
    delete item;
    return;
  }
  TXMLItemPool& pool = item->FDocument->FPool;
  item->~TXMLItem();
  pool.Release(item);
}

void TXMLItem::FreeItems() {
  // Every pooled element of a document lies in its root's tree: freeing that tree may destroy
  // them in memory order instead of following the links.
  if (FDocument != nullptr && this == &FDocument->FRoot && FFirst != nullptr &&
      FFirst->FPooled && FDocument->FPool.DestroyAll()) {
    FFirst = FLast = FCursor = nullptr;
    FCount = 0;
    FCursorIndex = 0;
    return;
  }
  // The sibling links chain everything still to be freed: each element's children are put in
  // front of the chain before the element goes. No stack, no allocation, whatever the depth.
  TXMLItem* pending = FFirst;
  FFirst = FLast = FCursor = nullptr;
  FCount = 0;
  FCursorIndex = 0;
  while (pending != nullptr) {
    TXMLItem* item = pending;
    pending = item->FNext;
    if (item->FFirst != nullptr) {
      item->FLast->FNext = pending;
      pending = item->FFirst;
      item->FFirst = item->FLast = item->FCursor = nullptr;
    }
    Free(item);
  }
}

void TXMLItem::ParseRawParams() const {
  FParams = std::make_unique<TXMLParams>(ParseParamsBody(FRawParams));
  FRawParams = {};
}

void TXMLItem::Clear() {
  FreeItems();
  FParams.reset();
  FRawParams = {};
  FName = {};
  FText.clear();
  FStableText = 0;
  FTextSignificant = false;
}

TXMLItem* TXMLItem::SubItem(int index) const {
  if (index < 0 || index >= FCount) throw std::out_of_range("XML item index out of range");
  if (FCursor == nullptr || index < FCursorIndex) {
    FCursor = FFirst;
    FCursorIndex = 0;
  }
  while (FCursorIndex < index) {
    FCursor = FCursor->FNext;
    ++FCursorIndex;
  }
  return FCursor;
}

int TXMLItem::IndexOfName(std::string_view name, int start) const {
  int index = 0;
  for (const TXMLItem* item = FFirst; item != nullptr; item = item->FNext, ++index) {
    if (index >= start && SameTextAscii(item->FName, name)) return index;
  }
  return -1;
}

}  // namespace dkscr
