#include "report/ZdqTypes.h"

#include "host/core/TextUtil.h"

namespace zd {

namespace {

const TEnumNames kCalcTypeNames{"TCalcType",
                                {"ctNothing", "ctCount", "ctSum", "ctAverage", "ctLowest", "ctHighest"}};
const TEnumNames kResetTypeNames{"TResetType", {"rtEndReport", "rtEndPage", "rtEndGroup"}};
const TEnumNames kCalculateNames{"TZdqCalculate", {"rcOnEveryRow", "rcGroupChange", "rcVariableChange"}};
const TEnumNames kEditorNames{"TZdqParameterEditor",
                              {"peEdit", "peMemo", "peCheckBox", "peCombobox", "peListBox"}};
const TEnumNames kModeNames{"TZdqParameterMode", {"pmAskAlways", "pmAskUndefined"}};

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

// ---- TZdqHighLight ----

void TZdqHighLight::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqHighLight*>(&source);
  if (!other) return TPersistent::Assign(source);
  Expression = other->Expression;
  Color = other->Color;
  font_.Assign(other->font_);
}

const TClassProperties& TZdqHighLight::ClassProperties() {
  using H = TZdqHighLight;
  static const TClassProperties props =
      TPropertiesOf<H>("TZdqHighLight", nullptr)
          .String("Expression", [](const H& h) { return h.Expression; },
                  [](H& h, const std::string& v) { h.Expression = v; })
          .Object("Font", [](H& h) -> TZdqFont& { return h.Font(); })
          .Color("Color", [](const H& h) { return h.Color; }, [](H& h, uint32_t v) { h.Color = v; }, clWhite)
          .Build();
  return props;
}

// ---- TZdqParameter ----

void TZdqParameter::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqParameter*>(&source);
  if (!other) return TPersistent::Assign(source);
  Name = other->Name;
  DisplayLabel = other->DisplayLabel;
  Value = other->Value;
  ParameterEditor = other->ParameterEditor;
  ParameterMode = other->ParameterMode;
  promptValues_.Assign(other->promptValues_);
}

const TClassProperties& TZdqParameter::ClassProperties() {
  using P = TZdqParameter;
  static const TClassProperties props =
      TPropertiesOf<P>("TZdqParameter", nullptr)
          .String("Name", [](const P& p) { return p.Name; }, [](P& p, const std::string& v) { p.Name = v; })
          .String("DisplayLabel", [](const P& p) { return p.DisplayLabel; },
                  [](P& p, const std::string& v) { p.DisplayLabel = v; })
          .Variant("Value", [](const P& p) { return p.Value; }, [](P& p, const TVariant& v) { p.Value = v; })
          .StringList("ParamPromptValues", [](P& p) -> TStringList& { return p.ParamPromptValues(); })
          .Enum("ParameterEditor", [](const P& p) { return p.ParameterEditor; },
                [](P& p, TZdqParameterEditor v) { p.ParameterEditor = v; }, kEditorNames,
                TZdqParameterEditor::peEdit)
          .Enum("ParameterMode", [](const P& p) { return p.ParameterMode; },
                [](P& p, TZdqParameterMode v) { p.ParameterMode = v; }, kModeNames,
                TZdqParameterMode::pmAskAlways)
          .Build();
  return props;
}

TZdqParameter* TZdqParameters::ParamByName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if ((*this)[i]->Name == name) return (*this)[i];
  return nullptr;
}

}  // namespace zd
