#pragma once
// Report variables and outline entries kept by a print component.
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Variant.h"

namespace zd {

struct TZdqVariable {
  std::string Name;        // compared ignoring case
  std::string Expression;  // evaluated by the report engine
  TVariant PrevValue, CurValue;
  const TVariant& Value() const { return CurValue; }
};

class TZdqVariables : public TPersistent {
 public:
  explicit TZdqVariables(TComponent* owner = nullptr) : owner_(owner) {}
  std::string ClassName() const override { return "TZdqVariables"; }
  void Assign(const TPersistent& source) override;

  TComponent* Owner() const { return owner_; }
  TZdqVariable& Add();
  int Count() const { return int(items_.size()); }
  TZdqVariable& Items(int i) { return items_.at(size_t(i)); }
  const TZdqVariable& Items(int i) const { return items_.at(size_t(i)); }
  void SetItem(int i, const TZdqVariable& v) { items_.at(size_t(i)) = v; }
  // First variable with this name ignoring case and surrounding blanks; nullptr when none.
  const TZdqVariable* Find(const std::string& name) const;
  void Clear() { items_.clear(); }

 private:
  TComponent* owner_;
  std::vector<TZdqVariable> items_;
};

struct TZdqOutline {
  std::string Text;
  int PageNo = 0;  // 0-based page within the bar
  int BarNo = 0;   // 0-based bar
  int Top = 0;     // top of the band, page units
};

class TZdqOutlines : public TPersistent {
 public:
  explicit TZdqOutlines(TComponent* owner = nullptr) : owner_(owner) {}
  std::string ClassName() const override { return "TZdqOutlines"; }
  void Assign(const TPersistent& source) override;

  TComponent* Owner() const { return owner_; }
  TZdqOutline& Add();
  int Count() const { return int(items_.size()); }
  TZdqOutline& Items(int i) { return items_.at(size_t(i)); }
  const TZdqOutline& Items(int i) const { return items_.at(size_t(i)); }
  void SetItem(int i, const TZdqOutline& o) { items_.at(size_t(i)) = o; }
  void Clear() { items_.clear(); }

 private:
  TComponent* owner_;
  std::vector<TZdqOutline> items_;
};

}  // namespace zd
