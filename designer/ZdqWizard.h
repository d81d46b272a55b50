#pragma once
// The report wizard's dialog: report type and style, the fields to print,
// grouping, calculated values (or, for mail labels, the label setup), page
// by page. What it collects is turned into a report by WizardGeneration.
#include <QDialog>
#include <array>
#include <vector>

#include "designer/WizardGeneration.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTreeWidget;

namespace zd {

class TZdqDataManager;

class TfrmZdqWizard : public QDialog {
 public:
  // The pages of the stack, in the order of a columnar report's steps.
  enum TPage { pgType, pgFields, pgGroups, pgCalculations, pgFinish, pgLabelSetup };
  static constexpr int kCalculationRows = 19;

  explicit TfrmZdqWizard(int languageShift, QWidget* parent = nullptr);

  // One row per field of every dataset; the visible fields of the first
  // dataset start checked. Also fills the group and expression lists.
  void FillFields(const TZdqDataManager* dataManager);

  int CurrentStep() const { return current_; }
  int LastStep() const;
  // Set when the user closed the dialog before the last step and confirmed.
  bool Aborted() const { return aborted_; }
  TWizardReportType ReportType() const;
  TWizardReportStyle ReportStyle() const;
  // The choices as the dialog shows them; the client width is the caller's.
  TWizardChoices Choices() const;

  void btnNextClick();
  void btnPrevClick();
  void UpdateButtons();
  void rgReportTypeClick();

  QStackedWidget* Pages;
  QLabel* lblHeading;
  QLabel* lblDescription;
  QLabel* lblStep;
  QPushButton* btnPrev;
  QPushButton* btnNext;
  QPushButton* btnFinish;  // "Create" at the last step, "Cancel" before
  QButtonGroup* rgReportType;
  QButtonGroup* rgReportStyle;
  QGroupBox* gbReportStyle;
  QWidget* pbSample;
  QTreeWidget* lvFields;
  QCheckBox* chkAdjustWidth;
  std::array<QCheckBox*, 3> cbGroup{};
  std::array<QComboBox*, 3> cbGroupBy{};
  QTableWidget* sgCalculate;
  QComboBox* cbCalcExpression;
  QComboBox* cbCalcType;
  QComboBox* cbCalcReset;
  QLineEdit* edNumberAcross;
  QComboBox* cbLabelShape;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override { close(); }

 private:
  QWidget* typePage();
  QWidget* fieldsPage();
  QWidget* groupsPage();
  QWidget* calculationsPage();
  QWidget* finishPage();
  QWidget* labelSetupPage();
  QComboBox* cellEditor(int column) const;
  void placeCellEditor(int row, int column);
  void commitCellEditor();
  void groupLevelChanged(int level);
  void fillResetList();
  void setAllChecked(int mode);  // 0 checks, 1 unchecks, 2 inverts
  TPage pageOfStep(int step) const;
  QString text(int id) const;

  int shift_;
  int current_ = 1;
  bool aborted_ = true;
  int editedRow_ = -1, editedColumn_ = -1;
  std::vector<TWizardField> rows_;  // behind lvFields, row by row
};

}  // namespace zd
