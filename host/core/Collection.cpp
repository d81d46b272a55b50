#include "host/core/Collection.h"

#include <algorithm>
#include <stdexcept>

namespace zd {

int TCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
  if (collection_) collection_->Move(Index(), index);
}

TCollection::TCollection(TItemFactory factory, TPersistent* owner)
    : factory_(std::move(factory)), owner_(owner) {
  if (!factory_) throw std::invalid_argument("A collection needs an item factory");
}

void TCollection::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TCollection*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (other == this) return;
  // Build the copies aside so that a refused item leaves this collection as it was.
  std::vector<std::unique_ptr<TCollectionItem>> copies;
  for (const auto& item : other->items_) {
    auto copy = factory_();
    copy->collection_ = this;
    copy->Assign(*item);
    copies.push_back(std::move(copy));
  }
  items_ = std::move(copies);
}

std::unique_ptr<TCollection> TCollection::Copy() const {
  auto copy = std::make_unique<TCollection>(factory_);
  copy->Assign(*this);
  return copy;
}

void TCollection::checkIndex(int index, int limit) const {
  if (index < 0 || index > limit)
    throw std::out_of_range("Collection index " + std::to_string(index) + " out of bounds");
}

TCollectionItem* TCollection::Items(int index) const {
  checkIndex(index, Count() - 1);
  return items_[size_t(index)].get();
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int index) {
  checkIndex(index, Count());
  auto item = factory_();
  if (!item) throw std::logic_error("Collection item factory returned no item");
  item->collection_ = this;
  TCollectionItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  return raw;
}

void TCollection::Delete(int index) {
  checkIndex(index, Count() - 1);
  items_.erase(items_.begin() + index);
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [item](const auto& p) { return p.get() == item; });
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TCollection::Move(int from, int to) {
  checkIndex(from, Count() - 1);
  checkIndex(to, Count() - 1);
  auto item = std::move(items_[size_t(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
}

}  // namespace zd
