#pragma once
// Appending an element, inline for the tree builder, which adds one per tag. Included by the
// loader's own sources only.
#include <new>

#include "openxml/KelXMLParser.h"

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

inline TXMLItem* TXMLItem::AddChild() {
  TXMLItem* item = nullptr;
  if (DKSCR_XML_POOL && FDocument != nullptr) {
    TXMLItemPool& pool = FDocument->FPool;
    item = new (pool.Allocate()) TXMLItem;
    item->FPooled = true;
  } else {
    item = new TXMLItem;
  }
  item->FParent = this;
  item->FDocument = FDocument;
  if (FLast == nullptr) {
    FFirst = item;
  } else {
    FLast->FNext = item;
  }
  FLast = item;
  ++FCount;
  return item;
}

}  // namespace dkscr
