#pragma once
// The expression builder: a dialog in which the user composes a report
// expression from a catalogue of fields, system values, variables,
// parameters, constants, operators and functions, and checks it with the
// real parser and evaluator.
#include <QDialog>
#include <string>
#include <vector>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zd {

class TComponent;
class TZdReport;
class TZdqDataManager;
class TZdqParameters;
class TZdqVariables;

class TfrmExpBuilder : public QDialog {
 public:
  // The catalogue groups, in the order of lbType.
  enum TGroup { grDataSources, grVariables, grConstants, grOperators, grFunctions };

  // Each source may be absent; captions and argument words come from the
  // string table of this language.
  TfrmExpBuilder(int languageShift, const TZdqDataManager* dataManager, const TZdqVariables* variables,
                 const TZdqParameters* parameters, QWidget* parent = nullptr);

  QString Expression() const;
  void SetExpression(const QString& expression);

  // Shows the group's subgroups and chooses the first.
  void ChooseGroup(int group);
  // Shows the items of the chosen subgroup and chooses the first.
  void FillItems();
  // Replaces the selection of the edit box, or inserts at its caret.
  void ValueAdd(const QString& text);
  // The text the chosen item inserts: a bracketed field reference for a
  // dataset field, the item padded with spaces otherwise.
  QString ItemInsertion() const;
  // Parses and evaluates the text; a message box tells the outcome.
  void btnValidateClick();
  // Validation's name resolver: the English system-value names only, with
  // sample values, so that a text is checked without a running report.
  void ZdqGetVariable(TComponent* sender, const std::string& variableName, bool& accept,
                      TFieldType& variableType, TVariant& value) const;

  QListWidget* lbType;
  QListWidget* lbSubType;
  QListWidget* lbValue;
  QLabel* lblHint;
  QPlainTextEdit* memExpression;
  std::vector<QPushButton*> OperatorButtons;
  QPushButton* btnValidate;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  // A catalogue entry: subgroups are keyed by their group's index, items
  // by 10000 x group + subgroup.
  struct TEntry {
    int key;
    QString text;
  };

  void loadCatalogue(const TZdqVariables* variables, const TZdqParameters* parameters);
  void loadFixedCatalogue();
  QString argumentWords(const QString& item) const;
  QWidget* buildOperatorButtons();
  int chosenKey() const;

  int shift_;
  const TZdqDataManager* dataManager_;
  std::vector<TEntry> subTypes_, items_;
};

// Runs the builder on `expression`; true, with the edited text written
// back, when the user confirms. Each source may be null.
bool ExpressionBuilder(std::string& expression, int languageShift, const TZdqDataManager* dataManager,
                       const TZdqVariables* variables, const TZdqParameters* parameters, QWidget* parent = nullptr);
// The same over a report's data manager, variables, parameters and language.
bool ExpressionBuilder(std::string& expression, TZdReport& report, QWidget* parent = nullptr);

}  // namespace zd
