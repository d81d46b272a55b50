#pragma once
// The report explorer's dialogs for a custom variable (name, expression and
// calculation settings) and for a parameter (name, label, value, editor,
// ask mode and prompt values). Each edits its item only on OK.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zd {

class TExpressionEdit;
class TZdqCalculation;
class TZdqParameter;
class TZdqVariable;
class TZdReport;

class TfrmVariable : public QDialog {
 public:
  // Shows the variable's values; the lists name the report's groups and its
  // other variables.
  TfrmVariable(TZdReport& report, const TZdqVariable& shown, QWidget* parent = nullptr);
  void WriteBack(TZdqVariable& variable) const;

  QLineEdit* edName;
  TExpressionEdit* edExpression;
  QComboBox* cbReset;
  QComboBox* cbCalcType;
  QRadioButton *rbEveryRow, *rbGroupChange, *rbVariableChange;
  QComboBox *cbGroupChange, *cbVariableChange;
  QPushButton *btnOK, *btnCancel;

 private:
  void showCalculation(const TZdqCalculation& calculation);
  void enableChoices();
  QString text(int id) const;

  int shift_;
  bool hasGroups_;
};

class TfrmParameter : public QDialog {
 public:
  TfrmParameter(int languageShift, const TZdqParameter& shown, QWidget* parent = nullptr);
  void WriteBack(TZdqParameter& parameter) const;

  QLineEdit *edDisplayName, *edName, *edValue;
  QComboBox* cbEditor;
  QRadioButton *rbAskAlways, *rbAskUndefined;
  QPlainTextEdit* mmPromptValues;
  QPushButton *btnOK, *btnCancel;

 private:
  QString text(int id) const;
  int shift_;
};

}  // namespace zd
