#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

#include "xml/XmlTree.h"
#include "xml/detail/TreeShortcuts.h"


namespace dkscr {
namespace {

constexpr size_t kItemsPerBlock = 256;

}  // namespace

XmlElementPool::~XmlElementPool() { ReleaseBlocks(); }

void XmlElementPool::ReleaseBlocks() {
  for (void* block : blocks_) ::operator delete(block);
  blocks_.clear();
  Rewind();
}

void XmlElementPool::Rewind() {
  nextBlock_ = 0;
  nextItem_ = blockEnd_ = nullptr;
  free_ = nullptr;
  owners_.clear();
  destroyEvery_ = false;
}

void XmlElementPool::NextBlock() {
  // Blocks kept from earlier trees are used again in order before new ones are taken.
  if (nextBlock_ == blocks_.size()) {
    blocks_.reserve(blocks_.size() + 1);
    blocks_.push_back(::operator new(kItemsPerBlock * sizeof(XmlElement)));
  }
  nextItem_ = static_cast<char*>(blocks_[nextBlock_++]);
  blockEnd_ = nextItem_ + kItemsPerBlock * sizeof(XmlElement);
}

bool XmlElementPool::DestroyAll() {
  if (free_ != nullptr) return false;
  // Elements that own no memory need no destructor: their slots are simply taken again.
  for (XmlElement* item : owners_) {
    if (destroyEvery_) break;
    item->first_ = nullptr;  // the children have slots of their own
    item->~XmlElement();
  }
  for (size_t block = 0; destroyEvery_ && block < nextBlock_; ++block) {
    char* at = static_cast<char*>(blocks_[block]);
    char* const end = block + 1 == nextBlock_ ? nextItem_ : at + kItemsPerBlock * sizeof(XmlElement);
    for (; at != end; at += sizeof(XmlElement)) {
      XmlElement* item = std::launder(reinterpret_cast<XmlElement*>(at));
      item->first_ = nullptr;  // the children have slots of their own
      item->~XmlElement();
    }
  }
  live_ = 0;
  Rewind();
  return true;
}

const XmlAttributes XmlElement::kNoAttributes;

inline void XmlElement::Free(XmlElement* item) {
  if (!item->pooled_) {
    delete item;
    return;
  }
  XmlElementPool& pool = item->document_->pool_;
  pool.NoteFreedAlone();
  item->~XmlElement();
  pool.Release(item);
}

void XmlElement::FreeItems() {
  // Every pooled element of a document lies in its root's tree: freeing that tree may destroy
  // them in memory order instead of following the links.
  if (document_ != nullptr && this == &document_->root_ && first_ != nullptr &&
      first_->pooled_ && document_->pool_.DestroyAll()) {
    first_ = last_ = cursor_ = nullptr;
    count_ = 0;
    cursorIndex_ = 0;
    return;
  }
  // The sibling links chain everything still to be freed: each element's children are put in
  // front of the chain before the element goes. No stack, no allocation, whatever the depth.
  XmlElement* pending = first_;
  first_ = last_ = cursor_ = nullptr;
  count_ = 0;
  cursorIndex_ = 0;
  while (pending != nullptr) {
    XmlElement* item = pending;
    pending = item->next_;
    if (item->first_ != nullptr) {
      item->last_->next_ = pending;
      pending = item->first_;
      item->first_ = item->last_ = item->cursor_ = nullptr;
    }
    Free(item);
  }
}

void XmlElement::ParseRawAttributes() const {
  attributes_ = std::make_unique<XmlAttributes>(ParseAttributesBody(rawAttributes_));
  if (pooled_) document_->pool_.NoteOwnedMemory(const_cast<XmlElement*>(this));
  rawAttributes_ = {};
}

void XmlElement::Clear() {
  FreeItems();
  attributes_.reset();
  rawAttributes_ = {};
  name_ = {};
  text_.clear();
  stableText_ = 0;
  textSignificant_ = false;
}

XmlElement* XmlElement::Child(int index) const {
  if (index < 0 || index >= count_) throw std::out_of_range("XML item index out of range");
  if (cursor_ == nullptr || index < cursorIndex_) {
    cursor_ = first_;
    cursorIndex_ = 0;
  }
  while (cursorIndex_ < index) {
    cursor_ = cursor_->next_;
    ++cursorIndex_;
  }
  return cursor_;
}

int XmlElement::IndexOfName(std::string_view name, int start) const {
  int index = 0;
  for (const XmlElement* item = first_; item != nullptr; item = item->next_, ++index) {
    if (index >= start && SameTextAscii(item->name_, name)) return index;
  }
  return -1;
}

}  // namespace dkscr
