#pragma once
// Report variables with their aggregate settings, and the outline entries
// a print component collects while it prepares.
#include <string>
#include <vector>

#include "expr/Calculation.h"
#include "host/core/Collection.h"
#include "host/core/Component.h"
#include "host/core/Properties.h"
#include "host/core/Variant.h"

namespace zd {

enum class TResetType { rtEndReport, rtEndPage, rtEndGroup };
enum class TZdqCalculate { rcOnEveryRow, rcGroupChange, rcVariableChange };

// Aggregate settings of an expression control or a variable.
class TZdqCalculation : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdqCalculation"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  // Whether a new value is taken in for this group and variable change;
  // a row update passes two empty names.
  bool StateChanged(const std::string& groupName, const std::string& variableName) const;
  // Whether a reset of this kind (and group, for group ends) clears the
  // values; the end of the report clears everything.
  bool EndsWith(TResetType type, const std::string& groupName) const;

  TCalcType CalcType() const { return calcType_; }
  void SetCalcType(TCalcType type) { calcType_ = type; }
  TResetType ResetType() const { return resetType_; }
  void SetResetType(TResetType type) { resetType_ = type; }
  const std::string& ResetGroup() const { return resetGroup_; }
  void SetResetGroup(const std::string& group) { resetGroup_ = group; }
  TZdqCalculate Calculate() const { return calculate_; }
  void SetCalculate(TZdqCalculate when) { calculate_ = when; }
  const std::string& GroupChange() const { return groupChange_; }
  void SetGroupChange(const std::string& group) { groupChange_ = group; }
  const std::string& VariableChange() const { return variableChange_; }
  void SetVariableChange(const std::string& variable) { variableChange_ = variable; }

 private:
  TCalcType calcType_ = TCalcType::ctNothing;
  TResetType resetType_ = TResetType::rtEndReport;
  std::string resetGroup_;
  TZdqCalculate calculate_ = TZdqCalculate::rcOnEveryRow;
  std::string groupChange_;
  std::string variableChange_;
};

// A report variable: an expression the engine keeps a running aggregate of.
class TZdqVariable : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TZdqVariable"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  const std::string& Name() const { return name_; }  // compared ignoring case
  void SetName(const std::string& name) { name_ = name; }
  const std::string& Expression() const { return expression_; }  // evaluated by the report engine
  void SetExpression(const std::string& expression) { expression_ = expression; }
  const TVariant& PrevValue() const { return prevValue_; }
  void SetPrevValue(const TVariant& v) { prevValue_ = v; }
  const TVariant& CurValue() const { return curValue_; }
  void SetCurValue(const TVariant& v) { curValue_ = v; }
  TZdqCalculation& Calculation() { return calculation_; }
  const TZdqCalculation& Calculation() const { return calculation_; }
  void SetCalculation(const TZdqCalculation& c) { calculation_.Assign(c); }

  const TVariant& Value() const { return curValue_; }
  // Changed when either value is Empty or the two differ.
  bool ValueChanged() const;

  TRunningCalculation Running;  // run-time totals behind CurValue, never stored

 private:
  std::string name_;
  std::string expression_;
  TVariant prevValue_, curValue_;
  TZdqCalculation calculation_;
};

class TZdqVariables : public TOwnedCollection<TZdqVariable> {
 public:
  using TOwnedCollection::TOwnedCollection;
  std::string ClassName() const override { return "TZdqVariables"; }
  // First variable with this name ignoring case and surrounding blanks; nullptr when none.
  const TZdqVariable* Find(const std::string& name) const;
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
