#include "report/model/ZdqTypes.h"

#include <stdexcept>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

const TEnumNames kEditorNames{"TZdqParameterEditor",
                              {"peEdit", "peMemo", "peCheckBox", "peCombobox", "peListBox"}};
const TEnumNames kModeNames{"TZdqParameterMode", {"pmAskAlways", "pmAskUndefined"}};

}  // namespace

// ---- TZdqHighLight ----

void TZdqHighLight::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqHighLight*>(&source);
  if (!other) return TPersistent::Assign(source);
  expression_ = other->expression_;
  color_ = other->color_;
  font_.Assign(other->font_);
}

const TClassProperties& TZdqHighLight::ClassProperties() {
  using H = TZdqHighLight;
  static const TClassProperties props =
      TPropertiesOf<H>("TZdqHighLight", nullptr)
          .String("Expression", &H::Expression, &H::SetExpression)
          .Object("Font", [](H& h) -> TZdqFont& { return h.Font(); })
          .Color("Color", &H::Color, &H::SetColor, clWhite)
          .Build();
  return props;
}

// ---- TZdqParameter ----

void TZdqParameter::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqParameter*>(&source);
  if (!other) return TPersistent::Assign(source);
  name_ = other->name_;
  displayLabel_ = other->displayLabel_;
  value_ = other->value_;
  parameterEditor_ = other->parameterEditor_;
  parameterMode_ = other->parameterMode_;
  promptValues_.Assign(other->promptValues_);
}

const TClassProperties& TZdqParameter::ClassProperties() {
  using P = TZdqParameter;
  static const TClassProperties props =
      TPropertiesOf<P>("TZdqParameter", nullptr)
          .String("Name", &P::Name, &P::SetName)
          .String("DisplayLabel", &P::DisplayLabel, &P::SetDisplayLabel)
          .Variant("Value", &P::Value, &P::SetValue)
          .StringList("ParamPromptValues", [](P& p) -> TStringList& { return p.ParamPromptValues(); })
          .Enum("ParameterEditor", &P::ParameterEditor, &P::SetParameterEditor, kEditorNames,
                TZdqParameterEditor::peEdit)
          .Enum("ParameterMode", &P::ParameterMode, &P::SetParameterMode, kModeNames,
                TZdqParameterMode::pmAskAlways)
          .Build();
  return props;
}

TZdqParameter* TZdqParameters::ParamByName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if ((*this)[i]->Name() == name) return (*this)[i];
  return nullptr;
}

// ---- TZdqParameterAnswers ----

namespace {

bool Answers(const std::string& name, const TZdqParameter& p) {
  return SameText(name, p.Name()) || (!p.DisplayLabel().empty() && SameText(name, p.DisplayLabel()));
}

TVariant EditorValue(const TZdqParameter& p, const std::string& text) {
  switch (p.ParameterEditor()) {
    case TZdqParameterEditor::peCheckBox: {
      bool on = false;
      if (!TryStrToBool(text, on))
        throw std::invalid_argument("Parameter '" + p.Name() + "' takes True or False, not '" + text + "'");
      return TVariant(on);
    }
    case TZdqParameterEditor::peCombobox:
    case TZdqParameterEditor::peListBox:
      if (p.ParamPromptValues().IndexOf(text) < 0)
        throw std::invalid_argument("'" + text + "' is not one of the choices of parameter '" + p.Name() + "'");
      return TVariant(text);
    default: return TVariant(text);
  }
}

}  // namespace

TZdqParameterAnswers::TZdqParameterAnswers(const std::vector<std::string>& assignments) {
  for (const std::string& assignment : assignments) {
    const size_t eq = assignment.find('=');
    if (eq == std::string::npos)
      throw std::invalid_argument("Parameter assignment '" + assignment + "' is not NAME=VALUE");
    std::string name = Trim(assignment.substr(0, eq));
    if (name.empty()) throw std::invalid_argument("Parameter assignment '" + assignment + "' has no name");
    answers_.emplace_back(std::move(name), assignment.substr(eq + 1));
  }
}

const std::string* TZdqParameterAnswers::AnswerFor(const TZdqParameter& parameter) const {
  // The last answer wins, as a later option on a command line overrides an earlier one.
  for (auto it = answers_.rbegin(); it != answers_.rend(); ++it)
    if (Answers(it->first, parameter)) return &it->second;
  return nullptr;
}

bool TZdqParameterAnswers::operator()(TZdReport& report, const std::vector<TZdqParameter*>& asked) const {
  const TZdqParameters& all = report.Parameters();
  for (const auto& [name, value] : answers_) {
    bool known = false;
    for (int i = 0; i < all.Count() && !known; ++i) known = Answers(name, *all[i]);
    if (!known) throw std::invalid_argument("The report has no parameter '" + name + "'");
  }
  // Every value is checked before any is written, so a bad one changes nothing.
  std::vector<std::pair<TZdqParameter*, TVariant>> values;
  for (TZdqParameter* p : asked)
    if (const std::string* text = AnswerFor(*p)) values.emplace_back(p, EditorValue(*p, *text));
  for (auto& [p, value] : values) p->SetValue(std::move(value));
  return true;
}

}  // namespace zd
