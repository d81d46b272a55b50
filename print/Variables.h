#pragma once
// Report variables with their aggregate settings, and the outline entries
// a print component collects while it prepares.
#include <string>
#include <vector>

#include "expr/Calculation.h"
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

  TCalcType CalcType = TCalcType::ctNothing;
  TResetType ResetType = TResetType::rtEndReport;
  std::string ResetGroup;
  TZdqCalculate Calculate = TZdqCalculate::rcOnEveryRow;
  std::string GroupChange;
  std::string VariableChange;
};

struct TZdqVariable {
  std::string Name;        // compared ignoring case
  std::string Expression;  // evaluated by the report engine
  TVariant PrevValue, CurValue;
  TZdqCalculation Calculation;
  TRunningCalculation Running;  // run-time totals behind CurValue, never stored

  const TVariant& Value() const { return CurValue; }
  void SetCalculation(const TZdqCalculation& c) { Calculation.Assign(c); }
  // Changed when either value is Empty or the two differ.
  bool ValueChanged() const;
  // Templates keep only values that are not Null.
  bool StorePrevValue() const { return !PrevValue.isNull(); }
  bool StoreCurValue() const { return !CurValue.isNull(); }
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
