#pragma once
// Collections a report and its controls own beside the band tree:
// calculation settings, highlights and parameters. They hold the persisted
// settings; the engine gives them their run-time meaning.
#include <string>

#include "host/core/Collection.h"
#include "host/core/Properties.h"
#include "host/core/Strings.h"
#include "host/core/Variant.h"
#include "report/FontObject.h"

namespace zd {

enum class TCalcType { ctNothing, ctCount, ctSum, ctAverage, ctLowest, ctHighest };
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

  TCalcType CalcType = TCalcType::ctNothing;
  TResetType ResetType = TResetType::rtEndReport;
  std::string ResetGroup;
  TZdqCalculate Calculate = TZdqCalculate::rcOnEveryRow;
  std::string GroupChange;
  std::string VariableChange;
};

// Conditional font and background of a control.
class TZdqHighLight : public TCollectionItem {
 public:
  TZdqHighLight() { font_.Edit().Name = "Arial"; }
  std::string ClassName() const override { return "TZdqHighLight"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  std::string Expression;
  TColor Color = clWhite;
  TZdqFont& Font() { return font_; }
  const TZdqFont& Font() const { return font_; }
  void SetFont(const TZdqFont& font) { font_.Assign(font); }

 private:
  TZdqFont font_;
};
using TZdqHighLights = TOwnedCollection<TZdqHighLight>;

enum class TZdqParameterEditor { peEdit, peMemo, peCheckBox, peCombobox, peListBox };
enum class TZdqParameterMode { pmAskAlways, pmAskUndefined };

// A value the user is asked for before a run.
class TZdqParameter : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TZdqParameter"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  std::string Name;
  std::string DisplayLabel;
  TVariant Value;
  TZdqParameterEditor ParameterEditor = TZdqParameterEditor::peEdit;
  TZdqParameterMode ParameterMode = TZdqParameterMode::pmAskAlways;
  TStringList& ParamPromptValues() { return promptValues_; }
  const TStringList& ParamPromptValues() const { return promptValues_; }
  void SetParamPromptValues(const TStrings& values) { promptValues_.Assign(values); }

 private:
  TStringList promptValues_;
};

class TZdqParameters : public TOwnedCollection<TZdqParameter> {
 public:
  using TOwnedCollection::TOwnedCollection;
  std::string ClassName() const override { return "TZdqParameters"; }
  // First parameter with exactly this name (case-sensitive), else nullptr.
  TZdqParameter* ParamByName(const std::string& name) const;
};

}  // namespace zd
