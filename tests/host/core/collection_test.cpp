#include "host/core/Collection.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

class TNamedItem : public TCollectionItem {
 public:
  std::string name;
  std::string ClassName() const override { return "TNamedItem"; }
  void Assign(const TPersistent& source) override {
    if (auto* s = dynamic_cast<const TNamedItem*>(&source)) {
      name = s->name;
      return;
    }
    TCollectionItem::Assign(source);
  }
};

class TOtherItem : public TCollectionItem {};

std::vector<std::string> names(const TOwnedCollection<TNamedItem>& c) {
  std::vector<std::string> r;
  for (int i = 0; i < c.Count(); ++i) r.push_back(c[i]->name);
  return r;
}

TEST(Collection, ItemsKnowTheirCollectionAndIndex) {
  TComponent owner;
  TOwnedCollection<TNamedItem> c(&owner);
  EXPECT_EQ(c.Owner(), &owner);
  c.Add()->name = "a";
  c.Add()->name = "c";
  c.Insert(1)->name = "b";
  EXPECT_EQ(names(c), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(c[2]->Index(), 2);
  EXPECT_EQ(c[2]->Collection(), &c);
  c[0]->SetIndex(2);
  EXPECT_EQ(names(c), (std::vector<std::string>{"b", "c", "a"}));
  c.Delete(0);
  EXPECT_EQ(names(c), (std::vector<std::string>{"c", "a"}));
  EXPECT_EQ(TNamedItem().Index(), -1);
  EXPECT_THROW(c.Items(2), std::out_of_range);
  EXPECT_THROW(c.Insert(3), std::out_of_range);
  EXPECT_THROW(c.Move(0, 5), std::out_of_range);
}

TEST(Collection, AssignCopiesItemsAndRefusesForeignOnesWhole) {
  TOwnedCollection<TNamedItem> source, target;
  source.Add()->name = "x";
  source.Add()->name = "y";
  target.Add()->name = "old";
  target.Assign(source);
  EXPECT_EQ(names(target), (std::vector<std::string>{"x", "y"}));
  EXPECT_NE(target[0], source[0]);
  EXPECT_EQ(target[0]->Collection(), &target);

  TOwnedCollection<TOtherItem> foreign;
  foreign.Add();
  EXPECT_THROW(target.Assign(foreign), EConvertError);
  EXPECT_EQ(names(target), (std::vector<std::string>{"x", "y"}));  // untouched
  TPersistent plain;
  EXPECT_THROW(target.Assign(plain), EConvertError);
}

}  // namespace
}  // namespace zd
