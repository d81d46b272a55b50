#include "designer/VariableDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "designer/DialogButtons.h"
#include "designer/ExpressionEdit.h"
#include "designer/DesignerText.h"
#include "expr/ExprValue.h"
#include "host/core/Strings.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqTypes.h"

namespace zd {

namespace {

enum : int {
  kVariableCaption = 1758, kVariableName, kReset, kEndOfReport, kEndOfPage, kEndOfGroup, kCalculationMethod,
  kNothing, kCount, kSum, kAverage, kLowest, kHighest, kCalculateFor, kEveryRow, kGroupChanged, kVariableChanged,
  kParameterCaption, kDisplayName, kName, kValue, kEditor, kEditorEdit, kEditorMemo, kEditorCheckBox,
  kEditorCombobox, kEditorListBox, kAskMode, kAskAlways, kAskUndefined, kPromptValues,
};

// Positions in the reset list: the two fixed ends, then a separator and
// "End Of Group:" heading the group names (both only when there are groups).
enum : int { kResetReport, kResetPage, kResetSeparator, kResetGroupHeading, kFirstResetGroup };

QDialogButtonBox* okCancel(QDialog* dialog, int shift, QPushButton*& ok, QPushButton*& cancel) {
  return NewOkCancel(*dialog, DesignerText(shift, txt::OK),
                     DesignerText(shift, txt::Cancel), &ok, &cancel);
}

QStringList toQt(const TStrings& list) {
  QStringList out;
  for (int i = 0; i < list.Count(); ++i) out << QString::fromStdString(list[i]);
  return out;
}

}  // namespace

// ---- variables ----------------------------------------------------------

QString TfrmVariable::text(int id) const { return DesignerText(shift_, id); }

TfrmVariable::TfrmVariable(TZdReport& report, const TZdqVariable& shown, QWidget* parent)
    : QDialog(parent), shift_(report.GetLanguageShift()) {
  setWindowTitle(text(kVariableCaption));
  edName = new QLineEdit(QString::fromStdString(shown.Name()), this);
  edExpression = new TExpressionEdit(this);
  edExpression->SetReport(&report);
  edExpression->SetExpression(shown.Expression());

  TStringList groups;
  report.AssignGroups(true, groups);
  hasGroups_ = groups.Count() > 0;
  cbReset = new QComboBox(this);
  cbReset->addItems({text(kEndOfReport), text(kEndOfPage)});
  if (hasGroups_) {
    cbReset->addItems({QString(20, QChar(0x2014)), text(kEndOfGroup)});
    cbReset->addItems(toQt(groups));
  }
  // The separator and the heading are no choices: they lead to the first group.
  connect(cbReset, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index == kResetSeparator || index == kResetGroupHeading) cbReset->setCurrentIndex(kFirstResetGroup);
  });

  cbCalcType = new QComboBox(this);
  for (int id = kNothing; id <= kHighest; ++id) cbCalcType->addItem(text(id));

  auto* calculateFor = new QGroupBox(text(kCalculateFor).trimmed(), this);
  rbEveryRow = new QRadioButton(text(kEveryRow), calculateFor);
  rbGroupChange = new QRadioButton(text(kGroupChanged), calculateFor);
  rbVariableChange = new QRadioButton(text(kVariableChanged), calculateFor);
  cbGroupChange = new QComboBox(calculateFor);
  cbGroupChange->addItems(toQt(groups));
  cbVariableChange = new QComboBox(calculateFor);
  const TZdqVariables& variables = report.Variables();
  for (int i = 0; i < variables.Count(); ++i)
    if (variables[i] != &shown) cbVariableChange->addItem(QString::fromStdString(variables[i]->Name()));
  auto* forLayout = new QFormLayout(calculateFor);
  forLayout->addRow(rbEveryRow);
  forLayout->addRow(rbGroupChange, cbGroupChange);
  forLayout->addRow(rbVariableChange, cbVariableChange);
  for (QRadioButton* rb : {rbEveryRow, rbGroupChange, rbVariableChange})
    connect(rb, &QRadioButton::toggled, this, [this] { enableChoices(); });

  auto* form = new QFormLayout;
  form->addRow(text(kVariableName), edName);
  form->addRow(text(txt::ExpressionLabel), edExpression);
  form->addRow(text(kReset), cbReset);
  form->addRow(text(kCalculationMethod).trimmed(), cbCalcType);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(calculateFor);
  layout->addWidget(okCancel(this, shift_, btnOK, btnCancel));
  showCalculation(shown.Calculation());
  resize(460, sizeHint().height());
}

void TfrmVariable::showCalculation(const TZdqCalculation& c) {
  switch (c.ResetType()) {
    case TResetType::rtEndReport: cbReset->setCurrentIndex(kResetReport); break;
    case TResetType::rtEndPage: cbReset->setCurrentIndex(kResetPage); break;
    case TResetType::rtEndGroup: {
      const int at = cbReset->findText(QString::fromStdString(c.ResetGroup()), Qt::MatchExactly);
      cbReset->setCurrentIndex(at >= kFirstResetGroup ? at : kResetReport);
      break;
    }
  }
  cbCalcType->setCurrentIndex(int(c.CalcType()));
  rbEveryRow->setChecked(c.Calculate() == TZdqCalculate::rcOnEveryRow);
  rbGroupChange->setChecked(c.Calculate() == TZdqCalculate::rcGroupChange);
  rbVariableChange->setChecked(c.Calculate() == TZdqCalculate::rcVariableChange);
  cbGroupChange->setCurrentText(QString::fromStdString(c.GroupChange()));
  cbVariableChange->setCurrentText(QString::fromStdString(c.VariableChange()));
  enableChoices();
}

void TfrmVariable::enableChoices() {
  rbGroupChange->setEnabled(hasGroups_);
  rbVariableChange->setEnabled(cbVariableChange->count() > 0);
  cbGroupChange->setEnabled(hasGroups_ && rbGroupChange->isChecked());
  cbVariableChange->setEnabled(cbVariableChange->count() > 0 && rbVariableChange->isChecked());
}

void TfrmVariable::WriteBack(TZdqVariable& variable) const {
  variable.SetName(edName->text().toStdString());
  variable.SetExpression(edExpression->Expression());
  TZdqCalculation& c = variable.Calculation();
  const int reset = cbReset->currentIndex();
  c.SetResetType(reset == kResetReport ? TResetType::rtEndReport
                 : reset == kResetPage ? TResetType::rtEndPage
                                       : TResetType::rtEndGroup);
  c.SetResetGroup(reset >= kFirstResetGroup ? cbReset->currentText().toStdString() : std::string());
  c.SetCalcType(TCalcType(cbCalcType->currentIndex()));
  c.SetCalculate(rbGroupChange->isChecked()      ? TZdqCalculate::rcGroupChange
                 : rbVariableChange->isChecked() ? TZdqCalculate::rcVariableChange
                                                 : TZdqCalculate::rcOnEveryRow);
  c.SetGroupChange(rbGroupChange->isChecked() ? cbGroupChange->currentText().toStdString() : std::string());
  c.SetVariableChange(rbVariableChange->isChecked() ? cbVariableChange->currentText().toStdString() : std::string());
}

// ---- parameters ---------------------------------------------------------

QString TfrmParameter::text(int id) const { return DesignerText(shift_, id); }

TfrmParameter::TfrmParameter(int shift, const TZdqParameter& shown, QWidget* parent) : QDialog(parent), shift_(shift) {
  setWindowTitle(text(kParameterCaption));
  edDisplayName = new QLineEdit(QString::fromStdString(shown.DisplayLabel()), this);
  edName = new QLineEdit(QString::fromStdString(shown.Name()), this);
  edValue = new QLineEdit(QString::fromStdString(VarToStr(shown.Value())), this);
  cbEditor = new QComboBox(this);
  for (int id = kEditorEdit; id <= kEditorListBox; ++id) cbEditor->addItem(text(id));
  cbEditor->setCurrentIndex(int(shown.ParameterEditor()));
  auto* askMode = new QGroupBox(text(kAskMode).trimmed(), this);
  rbAskAlways = new QRadioButton(text(kAskAlways), askMode);
  rbAskUndefined = new QRadioButton(text(kAskUndefined), askMode);
  (shown.ParameterMode() == TZdqParameterMode::pmAskUndefined ? rbAskUndefined : rbAskAlways)->setChecked(true);
  auto* askLayout = new QVBoxLayout(askMode);
  askLayout->addWidget(rbAskAlways);
  askLayout->addWidget(rbAskUndefined);
  mmPromptValues = new QPlainTextEdit(toQt(shown.ParamPromptValues()).join('\n'), this);
  // Only lists offer prompt values.
  auto enablePrompts = [this] {
    const auto editor = TZdqParameterEditor(cbEditor->currentIndex());
    mmPromptValues->setEnabled(editor == TZdqParameterEditor::peCombobox || editor == TZdqParameterEditor::peListBox);
  };
  connect(cbEditor, &QComboBox::currentIndexChanged, this, enablePrompts);
  enablePrompts();

  auto* form = new QFormLayout;
  form->addRow(text(kDisplayName), edDisplayName);
  form->addRow(text(kName), edName);
  form->addRow(text(kValue), edValue);
  form->addRow(text(kEditor), cbEditor);
  form->addRow(askMode);
  form->addRow(text(kPromptValues), mmPromptValues);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancel(this, shift_, btnOK, btnCancel));
}

void TfrmParameter::WriteBack(TZdqParameter& parameter) const {
  parameter.SetName(edName->text().toStdString());
  parameter.SetDisplayLabel(edDisplayName->text().toStdString());
  parameter.SetValue(TVariant(edValue->text().toStdString()));
  parameter.SetParameterEditor(TZdqParameterEditor(cbEditor->currentIndex()));
  parameter.SetParameterMode(rbAskUndefined->isChecked() ? TZdqParameterMode::pmAskUndefined
                                                         : TZdqParameterMode::pmAskAlways);
  TStringList prompts;
  const QString lines = mmPromptValues->toPlainText();
  if (!lines.isEmpty())
    for (const QString& line : lines.split('\n')) prompts.Add(line.toStdString());
  parameter.SetParamPromptValues(prompts);
}

}  // namespace zd
