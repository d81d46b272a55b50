// The groups dialog: rows read from the report's group bands, editing,
// reordering by drag, deleting, and the bands rebuilt on close.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignerFixtures.h"
#include "designer/ExpressionBuilder.h"
#include "designer/GroupsDialog.h"
#include "designer/controls/ZdNumberEdit.h"
#include "host/data/MemoryDataSet.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqBase.h"

namespace zd {
namespace {

using test::ensureWidgetsApp;

class GroupsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureWidgetsApp();
    auto* orders = new TMemoryDataSet(&form);
    orders->SetName("Orders");
    orders->AddField("Region", TFieldType::ftString, 10);
    orders->AddField("City", TFieldType::ftString, 10);
    orders->Open();
    report = new TZdReport(&form);
    report->SetDataSet(orders);
    report->NewReport();
  }

  TZdqGroupBands group(const std::string& expression) {
    TZdqGroupOptions options;
    options.Expression = expression;
    return report->AddGroup(options);
  }

  // "H:expr" and "F:expr" for the group bands in report order.
  std::vector<std::string> groupBands() const {
    std::vector<std::string> list;
    for (const TZdqBand* band : report->Bands())
      if (band->IsGroup())
        list.push_back((band->BandType() == TBandType::btGroupHeader ? "H:" : "F:") + band->Expression());
    return list;
  }

  QPoint rowCenter(TfrmGroups& dialog, int row) {
    return dialog.lbGroups->visualItemRect(dialog.lbGroups->item(row)).center();
  }

  TComponent form;
  TZdReport* report = nullptr;
};

TEST_F(GroupsDialog, RowsJoinBandsWithEqualRulesAndShowTheirValues) {
  group("Orders.Region");
  TZdqGroupBands byCity = group("Orders.City");
  byCity.Footer.SetNewPage(true);  // same expression, other rule: a row of its own
  TZdqGroupBands computed = group("Upper(Orders.City)");
  computed.Header.SetLessThan(2.5);
  computed.Footer.SetLessThan(2.5);

  TfrmGroups dialog(*report);
  EXPECT_EQ(dialog.windowTitle(), "Report group bands");
  ASSERT_EQ(dialog.lbGroups->count(), 4);
  EXPECT_EQ(dialog.lbGroups->item(0)->text(), "Group/Orders.Region");
  EXPECT_EQ(dialog.Groups()[0]->lstBands.size(), 2u);
  EXPECT_EQ(dialog.Groups()[1]->lstBands, std::vector<TZdqBand*>{&byCity.Header});
  EXPECT_EQ(dialog.Groups()[3]->lstBands, std::vector<TZdqBand*>{&byCity.Footer});
  EXPECT_EQ(dialog.Groups()[3]->boolNewPage, true);

  // A field is chosen from the list; another expression sits in the scratch entry.
  EXPECT_EQ(dialog.lbGroups->currentRow(), 0);
  EXPECT_EQ(dialog.cbData->currentIndex(), dialog.cbData->findText("Orders.Region"));
  EXPECT_EQ(dialog.cbData->itemText(0), "");
  EXPECT_FALSE(dialog.cbLessThan->isChecked());
  EXPECT_FALSE(dialog.edLessThan->isEnabled());
  dialog.lbGroups->setCurrentRow(2);
  EXPECT_EQ(dialog.cbData->currentIndex(), 0);
  EXPECT_EQ(dialog.cbData->itemText(0), "Upper(Orders.City)");
  EXPECT_TRUE(dialog.cbLessThan->isChecked());
  EXPECT_TRUE(dialog.edLessThan->isEnabled());
  EXPECT_EQ(dialog.edLessThan->text(), "2.5");
  EXPECT_TRUE(dialog.btnDelete->isEnabled());
  EXPECT_FALSE(dialog.Modified());  // showing rows is no edit
  dialog.lbGroups->setCurrentRow(0);
  EXPECT_FALSE(dialog.Modified());
  dialog.lbGroups->setCurrentRow(2);

  // The builder's result: a field is chosen from the list, anything else goes to the scratch entry.
  auto build = [&](const QString& expression) {
    test::WhenModal<TfrmExpBuilder>([expression](TfrmExpBuilder* builder) {
      builder->memExpression->setPlainText(expression);
      QTest::mouseClick(builder->btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(dialog.btnExpression, Qt::LeftButton);
  };
  build("Orders.Region");
  EXPECT_EQ(dialog.cbData->currentIndex(), dialog.cbData->findText("Orders.Region"));
  EXPECT_EQ(dialog.cbData->itemText(0), "");
  EXPECT_EQ(dialog.Groups()[2]->strExpression, "Orders.Region");
  build("Lower(Orders.City)");
  EXPECT_EQ(dialog.cbData->currentIndex(), 0);
  EXPECT_EQ(dialog.cbData->itemText(0), "Lower(Orders.City)");
  EXPECT_EQ(dialog.lbGroups->item(2)->text(), "Group/Lower(Orders.City)");
  EXPECT_TRUE(dialog.Modified());
}

TEST_F(GroupsDialog, ClosingWithoutEditsLeavesTheBands) {
  group("Orders.Region");
  TfrmGroups dialog(*report);
  // Closing without edits leaves every band where it was.
  const std::vector<TZdqBand*> before = report->Bands();
  dialog.ApplyTo(*report);
  EXPECT_EQ(report->Bands(), before);
}

TEST_F(GroupsDialog, EditsAddAndDeleteRebuildTheBands) {
  group("Orders.Region");
  group("Orders.City");
  TfrmGroups dialog(*report);
  dialog.lbGroups->setCurrentRow(1);
  QTest::mouseClick(dialog.cbReprintHeader, Qt::LeftButton);
  QTest::mouseClick(dialog.cbLessThan, Qt::LeftButton);
  dialog.edLessThan->setText("abc");
  dialog.edLessThan->editingFinished();
  EXPECT_EQ(dialog.Groups()[1]->flLessThan, 0);  // not a number
  dialog.edLessThan->setText("12.5");
  dialog.edLessThan->editingFinished();
  EXPECT_EQ(dialog.Groups()[1]->flLessThan, 12.5);

  QTest::mouseClick(dialog.btnAdd, Qt::LeftButton);
  EXPECT_EQ(dialog.lbGroups->currentRow(), 2);
  EXPECT_EQ(dialog.lbGroups->item(2)->text(), "Group");
  dialog.cbData->setCurrentText("Orders.Region + 'x'");
  EXPECT_EQ(dialog.lbGroups->item(2)->text(), "Group/Orders.Region + 'x'");

  // Declining the question keeps the row; confirming removes it and selects the one before.
  dialog.lbGroups->setCurrentRow(0);
  test::WhenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->text(), "Do you really want to delete a selected group band?");
    box->button(QMessageBox::No)->click();
  });
  QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
  EXPECT_EQ(dialog.lbGroups->count(), 3);
  test::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  QTest::mouseClick(dialog.btnDelete, Qt::LeftButton);
  EXPECT_EQ(dialog.lbGroups->count(), 2);
  EXPECT_EQ(dialog.lbGroups->currentRow(), -1);  // the first row went
  EXPECT_FALSE(dialog.pnlProperties->isEnabled());

  dialog.ApplyTo(*report);
  EXPECT_EQ(groupBands(), (std::vector<std::string>{"H:Orders.City", "H:Orders.Region + 'x'",
                                                    "F:Orders.Region + 'x'", "F:Orders.City"}));
  const TZdqBand& city = *report->GetBand(report->GetIndexBand(TBandType::btGroupHeader));
  EXPECT_TRUE(city.ReprintHeader());
  EXPECT_EQ(city.LessThan(), 12.5);
  const TZdqBand& added = *report->GetBand(report->GetIndexBand(TBandType::btGroupHeader) + 1);
  EXPECT_FALSE(added.ReprintHeader());
  EXPECT_EQ(added.LessThan(), 0);
}

TEST_F(GroupsDialog, DraggingARowChangesTheNesting) {
  group("Orders.Region");
  group("Orders.City");
  group("Orders.Region + Orders.City");
  ASSERT_EQ(groupBands(), (std::vector<std::string>{"H:Orders.Region", "H:Orders.City",
                                                    "H:Orders.Region + Orders.City", "F:Orders.Region + Orders.City",
                                                    "F:Orders.City", "F:Orders.Region"}));
  test::WhenModal<TfrmGroups>([this](TfrmGroups* dialog) {
    QWidget* viewport = dialog->lbGroups->viewport();
    // The last row dropped on the first takes its place.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCenter(*dialog, 2));
    QTest::mouseMove(viewport, rowCenter(*dialog, 1));
    QTest::mouseMove(viewport, rowCenter(*dialog, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCenter(*dialog, 0));
    EXPECT_EQ(dialog->lbGroups->item(0)->text(), "Group/Orders.Region + Orders.City");
    EXPECT_EQ(dialog->lbGroups->currentRow(), 0);
    // A click without moving is no drag.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCenter(*dialog, 2));
    EXPECT_EQ(dialog->lbGroups->item(2)->text(), "Group/Orders.City");
    QTest::mouseClick(dialog->btnClose, Qt::LeftButton);
  });
  EXPECT_TRUE(EditGroups(nullptr, *report));
  EXPECT_EQ(groupBands(), (std::vector<std::string>{"H:Orders.Region + Orders.City", "H:Orders.Region",
                                                    "H:Orders.City", "F:Orders.City", "F:Orders.Region",
                                                    "F:Orders.Region + Orders.City"}));
}

}  // namespace
}  // namespace zd
