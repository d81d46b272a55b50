#include "print/Variables.h"

#include "host/core/TextUtil.h"

namespace zd {

namespace {

const TEnumNames kCalcTypeNames{"TCalcType",
                                {"ctNothing", "ctCount", "ctSum", "ctAverage", "ctLowest", "ctHighest"}};
const TEnumNames kResetTypeNames{"TResetType", {"rtEndReport", "rtEndPage", "rtEndGroup"}};
const TEnumNames kCalculateNames{"TZdqCalculate", {"rcOnEveryRow", "rcGroupChange", "rcVariableChange"}};

}  // namespace

// ---- TZdqCalculation ----

void TZdqCalculation::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqCalculation*>(&source);
  if (!other) return TPersistent::Assign(source);
  CalcType = other->CalcType;
  ResetType = other->ResetType;
  ResetGroup = other->ResetGroup;
  Calculate = other->Calculate;
  GroupChange = other->GroupChange;
  VariableChange = other->VariableChange;
}

bool TZdqCalculation::StateChanged(const std::string& groupName, const std::string& variableName) const {
  switch (Calculate) {
    case TZdqCalculate::rcOnEveryRow: return groupName.empty() && variableName.empty();
    case TZdqCalculate::rcGroupChange: return SameText(GroupChange, groupName);
    case TZdqCalculate::rcVariableChange: return SameText(VariableChange, variableName);
  }
  return false;
}

bool TZdqCalculation::EndsWith(TResetType type, const std::string& groupName) const {
  return type == TResetType::rtEndReport || (ResetType == type && ResetGroup == groupName);
}

const TClassProperties& TZdqCalculation::ClassProperties() {
  using C = TZdqCalculation;
  static const TClassProperties props =
      TPropertiesOf<C>("TZdqCalculation", nullptr)
          .Enum("CalcType", [](const C& c) { return c.CalcType; }, [](C& c, TCalcType v) { c.CalcType = v; },
                kCalcTypeNames)
          .Enum("ResetType", [](const C& c) { return c.ResetType; },
                [](C& c, TResetType v) { c.ResetType = v; }, kResetTypeNames)
          .String("ResetGroup", [](const C& c) { return c.ResetGroup; },
                  [](C& c, const std::string& v) { c.ResetGroup = v; })
          .Enum("Calculate", [](const C& c) { return c.Calculate; },
                [](C& c, TZdqCalculate v) { c.Calculate = v; }, kCalculateNames, TZdqCalculate::rcOnEveryRow)
          .String("GroupChange", [](const C& c) { return c.GroupChange; },
                  [](C& c, const std::string& v) { c.GroupChange = v; })
          .String("VariableChange", [](const C& c) { return c.VariableChange; },
                  [](C& c, const std::string& v) { c.VariableChange = v; })
          .Build();
  return props;
}

// ---- TZdqVariable ----

bool TZdqVariable::ValueChanged() const {
  return CurValue.isEmpty() || PrevValue.isEmpty() || !(CurValue == PrevValue);
}

// ---- TZdqVariables ----

void TZdqVariables::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqVariables*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  items_ = other->items_;
}

TZdqVariable& TZdqVariables::Add() { return items_.emplace_back(); }

const TZdqVariable* TZdqVariables::Find(const std::string& name) const {
  const std::string wanted = UpperCase(Trim(name));
  for (const TZdqVariable& v : items_)
    if (UpperCase(v.Name) == wanted) return &v;
  return nullptr;
}

// ---- TZdqOutlines ----

void TZdqOutlines::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqOutlines*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  items_ = other->items_;
}

TZdqOutline& TZdqOutlines::Add() { return items_.emplace_back(); }

}  // namespace zd
