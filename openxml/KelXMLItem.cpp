#include <algorithm>
#include <memory>
#include <stdexcept>

#include "openxml/KelXMLParser.h"

namespace dkscr {

TXMLItem::~TXMLItem() { FreeItems(); }

void TXMLItem::FreeItems() {
  // The parent links of the elements being freed are no longer needed, so they chain the
  // elements still to be freed: no stack, no allocation, whatever the depth.
  TXMLItem* pending = nullptr;
  for (TXMLItem* child : FItems) {
    child->FParent = pending;
    pending = child;
  }
  FItems.clear();
  while (pending != nullptr) {
    TXMLItem* item = pending;
    pending = item->FParent;
    for (TXMLItem* child : item->FItems) {
      child->FParent = pending;
      pending = child;
    }
    item->FItems.clear();
    delete item;
  }
}

void TXMLItem::Changed() {
  if (Notify && FDocument != nullptr && FDocument->XMLItemChanged) {
    FDocument->XMLItemChanged(*FDocument, *this);
  }
}

void TXMLItem::SetText(std::string text) {
  FText = std::move(text);
  FStableText = 0;
  FTextSignificant = false;
  Changed();
}

void TXMLItem::SetName(std::string name) {
  FName = std::move(name);
  Changed();
}

void TXMLItem::SetParams(TXMLParams params) {
  FParams = std::move(params);
  Changed();
}

void TXMLItem::Clear() {
  const bool notify = Notify;
  Notify = false;
  FreeItems();
  FParams.Clear();
  FName.clear();
  FText.clear();
  FStableText = 0;
  FTextSignificant = false;
  Notify = notify;
}

TXMLItem* TXMLItem::New() {
  auto item = std::make_unique<TXMLItem>();
  item->FParent = this;
  item->FDocument = FDocument;
  item->CrLfInText = CrLfInText;
  TXMLItem* const added = item.get();
  FItems.push_back(added);
  item.release();
  Changed();
  return added;
}

void TXMLItem::Delete(int index) {
  if (index < 0 || static_cast<size_t>(index) >= FItems.size()) {
    throw std::out_of_range("XML item index out of range");
  }
  std::unique_ptr<TXMLItem> item(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TXMLItem::Move(TXMLItem* child, int newIndex) {
  const int from = IndexOf(child);
  if (from < 0 || newIndex < 0 || static_cast<size_t>(newIndex) >= FItems.size()) {
    throw std::out_of_range("XML item index out of range");
  }
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + newIndex, child);
  Changed();
}

int TXMLItem::IndexOf(const TXMLItem* child) const {
  const auto it = std::find(FItems.begin(), FItems.end(), child);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TXMLItem::IndexOfName(std::string_view name, int start) const {
  for (size_t i = static_cast<size_t>(std::max(start, 0)); i < FItems.size(); ++i) {
    if (SameTextAscii(FItems[i]->FName, name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace dkscr
