// The report explorer: its trees, selection kept in step with the designer,
// nodes dropped on the design surface, control nodes moved between bands.
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignWindowFixture.h"
#include "designer/ExpressionEdit.h"
#include "designer/ReportExplorer.h"
#include "designer/VariableDialogs.h"
#include "expr/StrUtils.h"
#include "host/data/MemoryDataSet.h"

namespace zd {
namespace {

class ReportExplorer : public test::DesignWindowTest {
 protected:
  void SetUp() override {
    DesignWindowTest::SetUp();
    auto* orders = new TMemoryDataSet(&root);
    orders->SetName("Orders");
    orders->AddField("Region", TFieldType::ftString, 10);
    orders->AddField("Amount", TFieldType::ftInteger);
    orders->Open();
    report->SetDataSet(orders);
  }

  TfrmZdqExplorer& ShowExplorer() {
    TfrmReportDesigner& w = Open();
    w.actExplorer->trigger();
    return *w.Explorer();
  }

  static QStringList captions(const QTreeWidgetItem* parent) {
    QStringList list;
    for (int i = 0; i < parent->childCount(); ++i) list << parent->child(i)->text(0);
    return list;
  }

  // What dragging the node carries, as the tree hands it to a drag.
  static std::unique_ptr<QMimeData> dragOf(QTreeWidget* tree, QTreeWidgetItem* item) {
    QModelIndex index;
    if (QTreeWidgetItem* parent = item->parent())
      index = tree->model()->index(parent->indexOfChild(item), 0,
                                   tree->model()->index(tree->indexOfTopLevelItem(parent), 0));
    else
      index = tree->model()->index(tree->indexOfTopLevelItem(item), 0);
    return std::unique_ptr<QMimeData>(tree->model()->mimeData({index}));
  }

  // The events a drag sends the widget under the pointer: entering, moving, dropping.
  static bool drop(QWidget* target, QPoint at, const QMimeData& data) {
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return false;
    QDropEvent event(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
  }
};

TEST_F(ReportExplorer, TreesShowBandsControlsDataAndNames) {
  AddLabel(1, 10, 10, 50, 20).SetDisplayName("Heading");
  TZdqGroupOptions byRegion;
  byRegion.Expression = "Orders.Region";
  report->AddGroup(byRegion);
  report->Variables().Add()->SetName("Total");
  report->Parameters().Add()->SetName("Year");

  TfrmZdqExplorer& explorer = ShowExplorer();
  EXPECT_TRUE(explorer.isVisible());
  EXPECT_EQ(window->dockWidgetArea(&explorer), Qt::LeftDockWidgetArea);
  EXPECT_EQ(explorer.windowTitle(), "Zdq Object Explorer: report bands and controls");
  EXPECT_EQ(explorer.Pages->tabText(2), "Variables list");

  QTreeWidget& bands = *explorer.tvReport;
  ASSERT_EQ(bands.topLevelItemCount(), int(report->Bands().size()));
  for (int b = 0; b < bands.topLevelItemCount(); ++b) {
    const TZdqBand& band = *report->Bands()[size_t(b)];
    const std::string expected = band.IsGroup() ? band.DisplayName() + ": Orders.Region" : band.DisplayName();
    EXPECT_EQ(bands.topLevelItem(b)->text(0).toStdString(), expected);
  }
  const int detail = report->GetIndexBand(TBandType::btDetail);
  EXPECT_EQ(captions(bands.topLevelItem(detail)), QStringList{"Heading"});

  const QTreeWidgetItem* orders = explorer.tvData->topLevelItem(0);
  EXPECT_EQ(orders->text(0), "Orders");
  EXPECT_EQ(captions(orders), (QStringList{"Region  String (10)", "Amount  Integer"}));

  QTreeWidget& names = *explorer.tvVariables;
  ASSERT_EQ(names.topLevelItemCount(), 3);
  EXPECT_EQ(names.topLevelItem(0)->text(0), "System variables");
  EXPECT_EQ(names.topLevelItem(0)->childCount(), 15);
  EXPECT_EQ(names.topLevelItem(0)->child(int(TZdqSysDataType::sdPageCount))->text(0), "PageCount");
  EXPECT_EQ(captions(names.topLevelItem(1)), QStringList{"Total"});
  EXPECT_EQ(captions(names.topLevelItem(2)), QStringList{"Year"});

  // The button hides it and shows it again, filled afresh.
  window->actExplorer->trigger();
  EXPECT_FALSE(explorer.isVisible());
  EXPECT_FALSE(window->actExplorer->isChecked());
  report->Variables().Add()->SetName("Count");
  window->actExplorer->trigger();
  EXPECT_EQ(captions(names.topLevelItem(1)), (QStringList{"Total", "Count"}));
}

TEST_F(ReportExplorer, SelectionFollowsBothWays) {
  TZdqLabel& first = AddLabel(1, 10, 10, 50, 20);
  TZdqLabel& second = AddLabel(1, 80, 10, 50, 20);
  TfrmZdqExplorer& explorer = ShowExplorer();
  QTreeWidgetItem* detail = explorer.tvReport->topLevelItem(1);

  explorer.tvReport->setCurrentItem(detail->child(1));
  EXPECT_EQ(designer.Selection(), std::vector<TZdqControl*>{&second});
  explorer.tvReport->setCurrentItem(detail);
  EXPECT_EQ(designer.Selection(), std::vector<TZdqControl*>{&Band(1)});

  Press(At(first, 5, 5));
  Release(At(first, 5, 5));
  EXPECT_EQ(explorer.NodeControl(explorer.tvReport->currentItem()), &first);
  EXPECT_EQ(designer.Selection(), std::vector<TZdqControl*>{&first});  // following is no new choice
}

TEST_F(ReportExplorer, DroppedNodesBecomeControls) {
  TfrmZdqExplorer& explorer = ShowExplorer();
  QWidget& surface = Surface();
  TZdqBand& detail = Band(1);

  const auto field = dragOf(explorer.tvData, explorer.tvData->topLevelItem(0)->child(0));
  ASSERT_TRUE(field && IsExplorerNode(*field));
  EXPECT_TRUE(drop(&surface, At(detail, 30, 15), *field));
  ASSERT_EQ(detail.Objects().size(), 2u);
  const auto* label = dynamic_cast<TZdqLabel*>(detail.Objects()[0]);
  const auto* value = dynamic_cast<TZdqExpression*>(detail.Objects()[1]);
  ASSERT_TRUE(label && value);
  EXPECT_EQ(label->DisplayName(), "Region");
  EXPECT_EQ(label->Left(), 30);
  EXPECT_EQ(label->Top(), 15);
  EXPECT_EQ(value->Expression(), SetDSExpression("Orders", "Region"));
  EXPECT_EQ(value->DisplayName(), value->Expression());
  EXPECT_EQ(value->Left(), label->Left() + label->Width() + 2);
  EXPECT_EQ(designer.Selection(), std::vector<TZdqControl*>{detail.Objects()[1]});
  // The new controls show in the explorer at once.
  EXPECT_EQ(explorer.tvReport->topLevelItem(1)->childCount(), 2);

  QTreeWidgetItem* system = explorer.tvVariables->topLevelItem(0);
  const auto pageNo = dragOf(explorer.tvVariables, system->child(int(TZdqSysDataType::sdPageNo)));
  EXPECT_TRUE(drop(&surface, At(Band(2), 5, 5), *pageNo));
  const auto* sysData = dynamic_cast<TZdqSysData*>(Band(2).Objects().at(0));
  ASSERT_TRUE(sysData);
  EXPECT_EQ(sysData->SysData(), TZdqSysDataType::sdPageNo);

  // Group nodes carry nothing (the trees were filled again after the drop),
  // and a drop outside every band makes nothing.
  EXPECT_EQ(dragOf(explorer.tvVariables, explorer.tvVariables->topLevelItem(0)), nullptr);
  EXPECT_FALSE(drop(&surface, QPoint(2, 2), *field));
  EXPECT_EQ(detail.Objects().size(), 2u);

  window->Undo();
  window->Undo();
  EXPECT_TRUE(Band(1).Objects().empty());  // each drop was one undo step
}

TEST_F(ReportExplorer, ControlNodesMoveToTheBandTheyAreDroppedOn) {
  TZdqLabel& a = AddLabel(0, 10, 10, 50, 20);
  TZdqLabel& b = AddLabel(1, 10, 10, 50, 20);
  TZdqLabel& c = AddLabel(1, 80, 10, 50, 20);
  TfrmZdqExplorer& explorer = ShowExplorer();
  QTreeWidget& tree = *explorer.tvReport;
  auto center = [&](const QTreeWidgetItem* item) { return tree.visualItemRect(item).center(); };

  // On a band node: the control goes to the band's end.
  auto dragged = dragOf(&tree, tree.topLevelItem(0)->child(0));
  EXPECT_TRUE(drop(tree.viewport(), center(tree.topLevelItem(1)), *dragged));
  EXPECT_TRUE(Band(0).Objects().empty());
  EXPECT_EQ(Band(1).Objects(), (std::vector<TZdqControl*>{&b, &c, &a}));
  EXPECT_EQ(captions(tree.topLevelItem(1)).size(), 3);

  // On a control node: before that control.
  dragged = dragOf(&tree, tree.topLevelItem(1)->child(2));
  EXPECT_TRUE(drop(tree.viewport(), center(tree.topLevelItem(1)->child(0)), *dragged));
  EXPECT_EQ(Band(1).Objects(), (std::vector<TZdqControl*>{&a, &b, &c}));
  // Not on itself, and never a band.
  dragged = dragOf(&tree, tree.topLevelItem(1)->child(0));
  EXPECT_FALSE(drop(tree.viewport(), center(tree.topLevelItem(1)->child(0)), *dragged));
  EXPECT_EQ(dragOf(&tree, tree.topLevelItem(0)), nullptr);  // bands do not move
  window->Undo();
  EXPECT_EQ(Band(1).Objects().size(), 3u);
  EXPECT_EQ(Band(1).Objects()[0]->Left(), 10);
}

TEST_F(ReportExplorer, DeletesCustomVariablesAfterAsking) {
  report->Variables().Add()->SetName("Total");
  report->Parameters().Add()->SetName("Year");
  TfrmZdqExplorer& explorer = ShowExplorer();
  QTreeWidget& names = *explorer.tvVariables;
  names.setCurrentItem(names.topLevelItem(2)->child(0));
  EXPECT_FALSE(explorer.btnVarDelete->isEnabled());  // parameters stay
  names.setCurrentItem(names.topLevelItem(1)->child(0));
  ASSERT_TRUE(explorer.btnVarDelete->isEnabled());

  test::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
  QTest::mouseClick(explorer.btnVarDelete, Qt::LeftButton);
  EXPECT_EQ(report->Variables().Count(), 1);
  test::WhenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->text(), "Do you really want to delete a selected item?");
    box->button(QMessageBox::Yes)->click();
  });
  QTest::mouseClick(explorer.btnVarDelete, Qt::LeftButton);
  EXPECT_EQ(report->Variables().Count(), 0);
  EXPECT_EQ(names.topLevelItem(1)->childCount(), 0);
  window->Undo();
  EXPECT_EQ(report->Variables().Count(), 1);
}

TEST_F(ReportExplorer, AddsAndEditsVariablesAndParameters) {
  TZdqVariable& total = *report->Variables().Add();
  total.SetName("Total");
  {
    // Without groups the reset list holds only the two fixed ends.
    TfrmVariable dialog(*report, total);
    EXPECT_EQ(dialog.cbReset->count(), 2);
    EXPECT_FALSE(dialog.rbGroupChange->isEnabled());
    EXPECT_FALSE(dialog.rbVariableChange->isEnabled());  // no other variable
  }
  TZdqGroupOptions byRegion;
  byRegion.Expression = "Orders.Region";
  report->AddGroup(byRegion);
  TfrmZdqExplorer& explorer = ShowExplorer();
  QTreeWidget& names = *explorer.tvVariables;

  // Add on the parameters' node: a new parameter.
  names.setCurrentItem(names.topLevelItem(2));
  EXPECT_FALSE(explorer.btnVarEdit->isEnabled());
  test::WhenModal<TfrmParameter>([](TfrmParameter* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Parameter properties");
    EXPECT_EQ(dialog->cbEditor->currentIndex(), 0);
    EXPECT_TRUE(dialog->rbAskAlways->isChecked());
    EXPECT_FALSE(dialog->mmPromptValues->isEnabled());
    dialog->edName->setText("Year");
    dialog->edDisplayName->setText("Which year");
    dialog->edValue->setText("2025");
    dialog->cbEditor->setCurrentIndex(int(TZdqParameterEditor::peCombobox));
    EXPECT_TRUE(dialog->mmPromptValues->isEnabled());
    dialog->mmPromptValues->setPlainText("2024\n2025");
    dialog->rbAskUndefined->setChecked(true);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(explorer.btnVarAdd, Qt::LeftButton);
  ASSERT_EQ(report->Parameters().Count(), 1);
  const TZdqParameter& year = *report->Parameters()[0];
  EXPECT_EQ(year.Name(), "Year");
  EXPECT_EQ(year.DisplayLabel(), "Which year");
  EXPECT_EQ(year.Value(), TVariant(std::string("2025")));
  EXPECT_EQ(year.ParameterEditor(), TZdqParameterEditor::peCombobox);
  EXPECT_EQ(year.ParameterMode(), TZdqParameterMode::pmAskUndefined);
  EXPECT_EQ(year.ParamPromptValues().Items(), (std::vector<std::string>{"2024", "2025"}));
  EXPECT_EQ(captions(names.topLevelItem(2)), QStringList{"Year"});

  // Add with a parameter chosen: the parameter dialog again, in add mode;
  // Cancel adds nothing.
  names.setCurrentItem(names.topLevelItem(2)->child(0));
  ASSERT_TRUE(explorer.btnVarEdit->isEnabled());
  test::WhenModal<TfrmParameter>([](TfrmParameter* dialog) {
    EXPECT_EQ(dialog->edName->text(), "");
    dialog->edName->setText("Month");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  QTest::mouseClick(explorer.btnVarAdd, Qt::LeftButton);
  EXPECT_EQ(report->Parameters().Count(), 1);

  // Edit of a variable: the separator and heading lead to the first group.
  names.setCurrentItem(names.topLevelItem(1)->child(0));
  test::WhenModal<TfrmVariable>([](TfrmVariable* dialog) {
    EXPECT_EQ(dialog->edName->text(), "Total");
    ASSERT_EQ(dialog->cbReset->count(), 5);
    EXPECT_EQ(dialog->cbReset->itemText(3), "End Of Group:");
    dialog->cbReset->setCurrentIndex(3);
    EXPECT_EQ(dialog->cbReset->currentIndex(), 4);
    dialog->edExpression->SetExpression("Orders.Amount");
    dialog->cbCalcType->setCurrentIndex(int(TCalcType::ctSum));
    EXPECT_FALSE(dialog->cbGroupChange->isEnabled());
    dialog->rbGroupChange->setChecked(true);
    EXPECT_TRUE(dialog->cbGroupChange->isEnabled());
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(explorer.btnVarEdit, Qt::LeftButton);
  ASSERT_EQ(report->Variables().Count(), 1);
  const TZdqCalculation& sum = total.Calculation();
  EXPECT_EQ(total.Expression(), "Orders.Amount");
  EXPECT_EQ(sum.ResetType(), TResetType::rtEndGroup);
  EXPECT_EQ(sum.ResetGroup(), "Orders.Region");
  EXPECT_EQ(sum.CalcType(), TCalcType::ctSum);
  EXPECT_EQ(sum.Calculate(), TZdqCalculate::rcGroupChange);
  EXPECT_EQ(sum.GroupChange(), "Orders.Region");

  // Add elsewhere: a new variable, which may follow the other one.
  names.setCurrentItem(names.topLevelItem(0));
  test::WhenModal<TfrmVariable>([](TfrmVariable* dialog) {
    EXPECT_EQ(dialog->cbReset->currentIndex(), 0);
    EXPECT_TRUE(dialog->rbEveryRow->isChecked());
    dialog->edName->setText("Running");
    dialog->rbVariableChange->setChecked(true);
    EXPECT_EQ(dialog->cbVariableChange->currentText(), "Total");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(explorer.btnVarAdd, Qt::LeftButton);
  ASSERT_EQ(report->Variables().Count(), 2);
  EXPECT_EQ(report->Variables()[1]->Calculation().VariableChange(), "Total");
  EXPECT_EQ(captions(names.topLevelItem(1)), (QStringList{"Total", "Running"}));
  window->Undo();
  EXPECT_EQ(report->Variables().Count(), 1);
}

}  // namespace
}  // namespace zd
