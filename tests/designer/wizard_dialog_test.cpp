// The report wizard's dialog driven as a user drives it: steps by report
// type, the field list, grouping levels, the calculation grid, closing, and
// the designer's wizard button rebuilding the report.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "DesignWindowFixture.h"
#include "designer/ZdqWizard.h"
#include "host/data/MemoryDataSet.h"
#include "report/controls/TextControls.h"

namespace zd {
namespace {

using test::WhenModal;

// Orders (three fields, one hidden) and Customers (two fields).
struct WizardData {
  TComponent form;
  TZdqDataManager manager{&form};
  WizardData() {
    manager.SetName("dmWizard");
    auto* orders = new TMemoryDataSet(&form);
    orders->SetName("Orders");
    orders->AddField("Country", TFieldType::ftString, 15);
    orders->AddField("Amount", TFieldType::ftFloat);
    orders->AddField("Secret", TFieldType::ftInteger).SetVisible(false);
    auto* customers = new TMemoryDataSet(&form);
    customers->SetName("Customers");
    customers->AddField("Name", TFieldType::ftString, 30).SetDisplayLabel("Customer");
    customers->AddField("Since", TFieldType::ftDate);
    manager.AddDataset(orders);
    manager.AddDataset(customers);
  }
};

void chooseType(TfrmZdqWizard& w, TWizardReportType type) {
  QTest::mouseClick(w.rgReportType->button(int(type)), Qt::LeftButton);
}

void clickCell(QTableWidget* grid, int row, int column) {
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
}

// Chooses an entry of a cell's drop-down list as a user does.
void chooseInCell(TfrmZdqWizard& w, int row, int column, int index) {
  clickCell(w.sgCalculate, row, column);
  QComboBox* editor = column == 0 ? w.cbCalcExpression : column == 1 ? w.cbCalcType : w.cbCalcReset;
  ASSERT_TRUE(editor->isVisible());
  editor->setCurrentIndex(index);
  emit editor->activated(index);
}

TEST(WizardDialog, StepsFollowTheReportType) {
  test::ensureDesignerApp();
  TfrmZdqWizard w(0);
  w.show();
  EXPECT_EQ(w.windowTitle(), "ZdqWizard: New report creation");
  EXPECT_EQ(w.lblStep->text(), "Step 1 of 5  ");
  EXPECT_EQ(w.lblHeading->text(), "Report wizard");
  EXPECT_FALSE(w.btnPrev->isEnabled());
  EXPECT_EQ(w.btnFinish->text(), "&Cancel");
  EXPECT_TRUE(w.gbReportStyle->isVisible());

  const std::vector<QString> headings = {"Field List", "Data grouping", "Calculated values", "Create report"};
  for (const QString& heading : headings) {
    QTest::mouseClick(w.btnNext, Qt::LeftButton);
    EXPECT_EQ(w.lblHeading->text(), heading);
  }
  EXPECT_EQ(w.lblDescription->text(),
            "That's all of the information the wizard needs to create a report form for your data.");
  EXPECT_EQ(w.lblStep->text(), "Step 5 of 5  ");
  EXPECT_FALSE(w.btnNext->isEnabled());
  EXPECT_EQ(w.btnFinish->text(), "&Create");
  QTest::mouseClick(w.btnNext, Qt::LeftButton);  // past the end: nothing
  EXPECT_EQ(w.CurrentStep(), 5);

  for (int i = 0; i < 4; ++i) QTest::mouseClick(w.btnPrev, Qt::LeftButton);
  EXPECT_EQ(w.CurrentStep(), 1);
  chooseType(w, TWizardReportType::rtMailLabels);
  EXPECT_FALSE(w.gbReportStyle->isVisible());
  EXPECT_EQ(w.lblStep->text(), "Step 1 of 4  ");
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  EXPECT_EQ(w.lblHeading->text(), "Label setup");
  EXPECT_EQ(w.lblDescription->text(), "Specify all settings for label printing");
  EXPECT_EQ(w.Pages->currentIndex(), TfrmZdqWizard::pgLabelSetup);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  EXPECT_EQ(w.lblHeading->text(), "Create report");
  EXPECT_EQ(w.btnFinish->text(), "&Create");

  for (int i = 0; i < 3; ++i) QTest::mouseClick(w.btnPrev, Qt::LeftButton);
  chooseType(w, TWizardReportType::rtBlank);
  EXPECT_EQ(w.lblStep->text(), "Step 1 of 1  ");
  EXPECT_FALSE(w.btnNext->isEnabled());
  EXPECT_EQ(w.btnFinish->text(), "&Create");
}

TEST(WizardDialog, FieldListShowsEveryDatasetAndItsMenuChecksRows) {
  test::ensureDesignerApp();
  WizardData data;
  TfrmZdqWizard w(0);
  w.FillFields(&data.manager);
  w.show();
  ASSERT_EQ(w.lvFields->topLevelItemCount(), 5);
  const QTreeWidgetItem* customer = w.lvFields->topLevelItem(3);
  EXPECT_EQ(customer->text(0), "Customers");
  EXPECT_EQ(customer->text(1), "Customer");
  EXPECT_EQ(customer->text(2), "Name");
  EXPECT_EQ(customer->text(3), "ftString");
  EXPECT_EQ(customer->text(4), "30");
  EXPECT_EQ(w.lvFields->topLevelItem(1)->text(3), "ftFloat");
  auto checked = [&] {
    QString marks;
    for (int i = 0; i < w.lvFields->topLevelItemCount(); ++i)
      marks += w.lvFields->topLevelItem(i)->checkState(0) == Qt::Checked ? 'x' : '-';
    return marks;
  };
  // The visible fields of the first dataset.
  EXPECT_EQ(checked(), "xx---");

  // The menu is a popup, not a modal dialog: its item is clicked once it shows.
  auto runMenu = [&](int item) {
    QTimer::singleShot(0, [item] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(item)).center());
    });
    emit w.lvFields->customContextMenuRequested(QPoint(5, 5));
  };
  runMenu(2);
  EXPECT_EQ(checked(), "--xxx");
  runMenu(0);
  EXPECT_EQ(checked(), "xxxxx");
  runMenu(1);
  EXPECT_EQ(checked(), "-----");

  w.lvFields->topLevelItem(3)->setCheckState(0, Qt::Checked);
  w.lvFields->topLevelItem(1)->setCheckState(0, Qt::Checked);
  const TWizardChoices choices = w.Choices();
  ASSERT_EQ(choices.Fields.size(), 2u);
  EXPECT_EQ(choices.Fields[0].FieldName, "Amount");
  EXPECT_EQ(choices.Fields[0].Alignment, TAlignment::taRightJustify);
  EXPECT_EQ(choices.Fields[1].DatasetCaption, "Customers");
  EXPECT_EQ(choices.Fields[1].FieldLabel, "Customer");
  EXPECT_EQ(choices.Fields[1].Length, 30);
}

TEST(WizardDialog, GroupLevelsOpenOneAfterAnother) {
  test::ensureDesignerApp();
  WizardData data;
  TfrmZdqWizard w(0);
  w.FillFields(&data.manager);
  w.show();
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  ASSERT_EQ(w.cbGroupBy[0]->count(), 5);
  EXPECT_EQ(w.cbGroupBy[0]->itemText(3), "Customers.Customer");
  EXPECT_TRUE(w.cbGroup[0]->isEnabled());
  EXPECT_FALSE(w.cbGroup[1]->isEnabled());
  EXPECT_FALSE(w.cbGroupBy[0]->isEnabled());

  QTest::mouseClick(w.cbGroup[0], Qt::LeftButton);
  EXPECT_TRUE(w.cbGroupBy[0]->isEnabled());
  EXPECT_FALSE(w.cbGroup[1]->isEnabled());  // no entry chosen yet
  w.cbGroupBy[0]->setCurrentIndex(0);       // the first entry counts
  EXPECT_TRUE(w.cbGroup[1]->isEnabled());
  EXPECT_TRUE(w.cbGroup[1]->isChecked());
  EXPECT_TRUE(w.cbGroupBy[1]->isEnabled());
  w.cbGroupBy[1]->setCurrentIndex(4);
  EXPECT_TRUE(w.cbGroup[2]->isChecked());
  w.cbGroupBy[2]->setCurrentIndex(1);
  EXPECT_EQ(w.Choices().Groups, std::vector<std::string>({"Orders.Country", "Customers.Since", "Orders.Amount"}));

  // Unchecking a level closes the ones after it.
  QTest::mouseClick(w.cbGroup[1], Qt::LeftButton);
  EXPECT_FALSE(w.cbGroupBy[1]->isEnabled());
  EXPECT_FALSE(w.cbGroup[2]->isEnabled());
  EXPECT_FALSE(w.cbGroup[2]->isChecked());
  EXPECT_EQ(w.Choices().Groups, std::vector<std::string>({"Orders.Country"}));
}

TEST(WizardDialog, CalculationGridTakesExpressionKindAndReset) {
  test::ensureDesignerApp();
  WizardData data;
  TfrmZdqWizard w(0);
  w.FillFields(&data.manager);
  w.show();
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  QTest::mouseClick(w.cbGroup[0], Qt::LeftButton);
  w.cbGroupBy[0]->setCurrentIndex(0);
  w.cbGroupBy[1]->setCurrentIndex(3);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);

  // Entering the page lists the chosen groups as reset points.
  QStringList resets;
  for (int i = 0; i < w.cbCalcReset->count(); ++i) resets << w.cbCalcReset->itemText(i);
  EXPECT_EQ(resets, QStringList({"End Of Report", "End Of Page", QString(12, QChar(0x2014)), "End Of Group:",
                                 "Orders.Country", "Customers.Customer"}));
  EXPECT_EQ(w.sgCalculate->currentRow(), 0);
  EXPECT_EQ(w.sgCalculate->currentColumn(), 0);
  EXPECT_TRUE(w.cbCalcExpression->isVisible());

  chooseInCell(w, 0, 0, 1);
  chooseInCell(w, 0, 1, 2);
  chooseInCell(w, 0, 2, 3);  // "End Of Group:" is no choice: the first group is taken
  EXPECT_EQ(w.cbCalcReset->currentIndex(), 4);
  chooseInCell(w, 1, 0, 1);
  chooseInCell(w, 1, 1, 5);
  chooseInCell(w, 1, 2, 1);
  chooseInCell(w, 2, 1, 1);  // a kind alone is a used row
  clickCell(w.sgCalculate, 3, 0);
  EXPECT_FALSE(w.cbCalcReset->isVisible());
  EXPECT_EQ(w.sgCalculate->item(0, 2)->text(), "Orders.Country");
  EXPECT_EQ(w.sgCalculate->item(1, 1)->text(), "Highest");
  w.cbCalcExpression->setCurrentText("Orders.Amount * 2");  // typed
  clickCell(w.sgCalculate, 5, 0);
  w.sgCalculate->item(3, 1)->setText("Median");  // not a calculation name

  const std::vector<TWizardCalculation> calcs = w.Choices().Calculations;
  ASSERT_EQ(calcs.size(), 4u);
  EXPECT_EQ(calcs[0].Expression, "Orders.Amount");
  EXPECT_EQ(calcs[0].CalcType, TCalcType::ctSum);
  EXPECT_EQ(calcs[0].ResetType, TResetType::rtEndGroup);
  EXPECT_EQ(calcs[0].ResetText, "Orders.Country");
  EXPECT_EQ(calcs[1].CalcType, TCalcType::ctHighest);
  EXPECT_EQ(calcs[1].ResetType, TResetType::rtEndPage);
  EXPECT_EQ(calcs[2].Expression, "");
  EXPECT_EQ(calcs[2].CalcType, TCalcType::ctCount);
  EXPECT_EQ(calcs[2].ResetType, TResetType::rtEndReport);  // no reset chosen
  EXPECT_EQ(calcs[3].Expression, "Orders.Amount * 2");
  EXPECT_EQ(calcs[3].CalcType, TCalcType::ctNothing);

  // Without a first group level only the report and the page remain.
  QTest::mouseClick(w.btnPrev, Qt::LeftButton);
  QTest::mouseClick(w.cbGroup[0], Qt::LeftButton);
  QTest::mouseClick(w.btnNext, Qt::LeftButton);
  EXPECT_EQ(w.cbCalcReset->count(), 2);
  EXPECT_EQ(w.Choices().Calculations[0].ResetType, TResetType::rtEndReport);
}

TEST(WizardDialog, ClosingEarlyAsksAndAborts) {
  test::ensureDesignerApp();
  TfrmZdqWizard w(0);
  w.show();
  QString asked;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    asked = box->text();
    box->button(QMessageBox::No)->click();
  });
  QTest::mouseClick(w.btnFinish, Qt::LeftButton);
  EXPECT_EQ(asked, "ZdqWizard is not complete. If you quit the ZdqWizard now, the new report will not be "
                   "created. Abort wizard?");
  EXPECT_TRUE(w.isVisible());

  WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(w.Aborted());

  // At the last step closing creates.
  TfrmZdqWizard blank(0);
  blank.show();
  chooseType(blank, TWizardReportType::rtBlank);
  QTest::mouseClick(blank.btnFinish, Qt::LeftButton);
  EXPECT_FALSE(blank.isVisible());
  EXPECT_FALSE(blank.Aborted());
  EXPECT_EQ(blank.result(), QDialog::Accepted);
}

class WizardButton : public test::DesignWindowTest {};

TEST_F(WizardButton, RebuildsTheReportFromTheChoicesAsOneUndoStep) {
  WizardData data;
  report->SetDataManager(&data.manager);
  AddLabel(1, 5, 5, 40, 20).SetDisplayName("Before");
  TfrmReportDesigner& window = Open();
  ASSERT_NE(window.actWizard, nullptr);
  ASSERT_TRUE(window.actWizard->isEnabled());

  WhenModal<TfrmZdqWizard>([](TfrmZdqWizard* w) {
    QTest::mouseClick(w->btnNext, Qt::LeftButton);
    QTest::mouseClick(w->btnNext, Qt::LeftButton);
    QTest::mouseClick(w->cbGroup[0], Qt::LeftButton);
    w->cbGroupBy[0]->setCurrentIndex(0);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(w->btnNext, Qt::LeftButton);
    QTest::mouseClick(w->btnFinish, Qt::LeftButton);
  });
  window.actWizard->trigger();
  ASSERT_EQ(report->GetIndexBand(TBandType::btReportTitle), 0);
  const TZdqBand& header = *report->GetBand(report->GetIndexBand(TBandType::btGroupHeader));
  EXPECT_EQ(header.Expression(), "Orders.Country");
  const TZdqBand& detail = *report->GetBand(report->GetIndexBand(TBandType::btDetail));
  ASSERT_EQ(detail.Objects().size(), 2u);
  EXPECT_EQ(dynamic_cast<const TZdqExpression&>(*detail.Objects()[1]).Expression(), "Orders.Amount");
  EXPECT_GT(Surface().BandOrigin(detail).y(), Surface().BandOrigin(header).y());  // the surface was rebuilt

  window.Undo();
  EXPECT_EQ(report->GetIndexBand(TBandType::btReportTitle), -1);
  EXPECT_EQ(report->Bands()[1]->Objects().at(0)->DisplayName(), "Before");

  // Abandoning the wizard leaves the report alone.
  WhenModal<TfrmZdqWizard>([](TfrmZdqWizard* w) {
    WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QTest::mouseClick(w->btnFinish, Qt::LeftButton);
  });
  window.actWizard->trigger();
  EXPECT_EQ(report->Bands()[1]->Objects().at(0)->DisplayName(), "Before");
}

}  // namespace
}  // namespace zd
