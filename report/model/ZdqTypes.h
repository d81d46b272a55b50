#pragma once
// Collections a report and its controls own beside the band tree:
// highlights and parameters, and the calculation settings and variables
// that live with the print component. They hold the persisted settings;
// the engine gives them their run-time meaning.
#include <string>
#include <utility>
#include <vector>

#include "host/core/Collection.h"
#include "host/core/Properties.h"
#include "host/core/Strings.h"
#include "host/core/Variant.h"
#include "print/Variables.h"
#include "report/model/FontObject.h"

namespace zd {

// Conditional font and background of a control.
class TZdqHighLight : public TCollectionItem {
 public:
  TZdqHighLight() { font_.Edit().Name = "Arial"; }
  std::string ClassName() const override { return "TZdqHighLight"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& expression) { expression_ = expression; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  TZdqFont& Font() { return font_; }
  const TZdqFont& Font() const { return font_; }
  void SetFont(const TZdqFont& font) { font_.Assign(font); }

 private:
  std::string expression_;
  TColor color_ = clWhite;
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

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& DisplayLabel() const { return displayLabel_; }
  void SetDisplayLabel(const std::string& label) { displayLabel_ = label; }
  const TVariant& Value() const { return value_; }
  void SetValue(const TVariant& value) { value_ = value; }
  TZdqParameterEditor ParameterEditor() const { return parameterEditor_; }
  void SetParameterEditor(TZdqParameterEditor editor) { parameterEditor_ = editor; }
  TZdqParameterMode ParameterMode() const { return parameterMode_; }
  void SetParameterMode(TZdqParameterMode mode) { parameterMode_ = mode; }
  TStringList& ParamPromptValues() { return promptValues_; }
  const TStringList& ParamPromptValues() const { return promptValues_; }
  void SetParamPromptValues(const TStrings& values) { promptValues_.Assign(values); }

 private:
  std::string name_;
  std::string displayLabel_;
  TVariant value_;
  TZdqParameterEditor parameterEditor_ = TZdqParameterEditor::peEdit;
  TZdqParameterMode parameterMode_ = TZdqParameterMode::pmAskAlways;
  TStringList promptValues_;
};

class TZdqParameters : public TOwnedCollection<TZdqParameter> {
 public:
  using TOwnedCollection::TOwnedCollection;
  std::string ClassName() const override { return "TZdqParameters"; }
  // First parameter with exactly this name (case-sensitive), else nullptr.
  TZdqParameter* ParamByName(const std::string& name) const;
};

class TZdReport;

// Answers the parameter questions without a dialog, from NAME=VALUE texts
// (the command line's). A name matches a parameter's Name or DisplayLabel
// ignoring case; an asked parameter without an answer keeps its value. The
// text becomes the value as the dialog's editor would write it: a Boolean
// for a check box, one of the prompt values for a combo or list box, text
// otherwise. Usable as TUserInterface::ShowParameterDialog.
class TZdqParameterAnswers {
 public:
  // Raises std::invalid_argument for a text without "=" or with an empty name.
  explicit TZdqParameterAnswers(const std::vector<std::string>& assignments);

  // Raises std::invalid_argument for a name that no parameter of the report
  // carries or a value its editor cannot take; never cancels.
  bool operator()(TZdReport& report, const std::vector<TZdqParameter*>& asked) const;

 private:
  const std::string* AnswerFor(const TZdqParameter& parameter) const;

  std::vector<std::pair<std::string, std::string>> answers_;
};

}  // namespace zd
