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
  calcType_ = other->calcType_;
  resetType_ = other->resetType_;
  resetGroup_ = other->resetGroup_;
  calculate_ = other->calculate_;
  groupChange_ = other->groupChange_;
  variableChange_ = other->variableChange_;
}

bool TZdqCalculation::StateChanged(const std::string& groupName, const std::string& variableName) const {
  switch (calculate_) {
    case TZdqCalculate::rcOnEveryRow: return groupName.empty() && variableName.empty();
    case TZdqCalculate::rcGroupChange: return SameText(groupChange_, groupName);
    case TZdqCalculate::rcVariableChange: return SameText(variableChange_, variableName);
  }
  return false;
}

bool TZdqCalculation::EndsWith(TResetType type, const std::string& groupName) const {
  return type == TResetType::rtEndReport || (resetType_ == type && resetGroup_ == groupName);
}

const TClassProperties& TZdqCalculation::ClassProperties() {
  using C = TZdqCalculation;
  static const TClassProperties props =
      TPropertiesOf<C>("TZdqCalculation", nullptr)
          .Enum("CalcType", &C::CalcType, &C::SetCalcType, kCalcTypeNames)
          .Enum("ResetType", &C::ResetType, &C::SetResetType, kResetTypeNames)
          .String("ResetGroup", &C::ResetGroup, &C::SetResetGroup)
          .Enum("Calculate", &C::Calculate, &C::SetCalculate, kCalculateNames, TZdqCalculate::rcOnEveryRow)
          .String("GroupChange", &C::GroupChange, &C::SetGroupChange)
          .String("VariableChange", &C::VariableChange, &C::SetVariableChange)
          .Build();
  return props;
}

// ---- TZdqVariable ----

void TZdqVariable::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqVariable*>(&source);
  if (!other) return TPersistent::Assign(source);
  name_ = other->name_;
  expression_ = other->expression_;
  prevValue_ = other->prevValue_;
  curValue_ = other->curValue_;
  calculation_.Assign(other->calculation_);
  Running = other->Running;
}

const TClassProperties& TZdqVariable::ClassProperties() {
  using V = TZdqVariable;
  static const TClassProperties props =
      TPropertiesOf<V>("TZdqVariable", nullptr)
          .String("Name", &V::Name, &V::SetName)
          .String("Expression", &V::Expression, &V::SetExpression)
          .Object("Calculation", [](V& v) -> TZdqCalculation& { return v.Calculation(); })
          // Templates keep only values that are not Null.
          .Variant("PrevValue", &V::PrevValue, &V::SetPrevValue)
          .StoredWhen([](const V& v) { return !v.PrevValue().isNull(); })
          .Variant("CurValue", &V::CurValue, &V::SetCurValue)
          .StoredWhen([](const V& v) { return !v.CurValue().isNull(); })
          .Build();
  return props;
}

bool TZdqVariable::ValueChanged() const {
  return curValue_.isEmpty() || prevValue_.isEmpty() || !(curValue_ == prevValue_);
}

// ---- TZdqVariables ----

const TZdqVariable* TZdqVariables::Find(const std::string& name) const {
  const std::string wanted = UpperCase(Trim(name));
  for (int i = 0; i < Count(); ++i)
    if (UpperCase((*this)[i]->Name()) == wanted) return (*this)[i];
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
