#pragma once
// Ordered, indexed collections of persistent items owned by their collection
// (report variables, parameters, highlights, outlines).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Component.h"

namespace zd {

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  std::string ClassName() const override { return "TCollectionItem"; }
  TCollection* Collection() const { return collection_; }
  int Index() const;  // -1 outside a collection
  // Moves the item within its collection.
  void SetIndex(int index);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
 public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;
  // owner: the persistent object the collection belongs to (may be null).
  TCollection(TItemFactory factory, TPersistent* owner = nullptr);
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  std::string ClassName() const override { return "TCollection"; }
  // Copies item by item; each item's Assign decides what it accepts.
  void Assign(const TPersistent& source) override;

  TPersistent* Owner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TCollectionItem* Items(int index) const;  // throws when out of range
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear() { items_.clear(); }
  int IndexOf(const TCollectionItem* item) const;  // -1 when absent
  void Move(int from, int to);
  // A copy of the items in a collection of no owner, for undo and for
  // reading items aside before they replace these.
  std::unique_ptr<TCollection> Copy() const;

 private:
  void checkIndex(int index, int limit) const;

  TItemFactory factory_;
  TPersistent* owner_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// A collection of one item class with typed access.
template <class Item>
class TOwnedCollection : public TCollection {
 public:
  explicit TOwnedCollection(TPersistent* owner = nullptr)
      : TCollection([] { return std::make_unique<Item>(); }, owner) {}
  Item* Add() { return static_cast<Item*>(TCollection::Add()); }
  Item* Insert(int index) { return static_cast<Item*>(TCollection::Insert(index)); }
  Item* operator[](int index) const { return static_cast<Item*>(Items(index)); }
};

}  // namespace zd
