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
