// The report explorer: its trees, selection kept in step with the designer,
// nodes dropped on the design surface, control nodes moved between bands.
#include <QDockWidget>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignWindowFixture.h"
#include "designer/ReportExplorer.h"
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
  EXPECT_FALSE(drop(tree.viewport(), center(tree.topLevelItem(2)), *dragOf(&tree, tree.topLevelItem(0))));
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

}  // namespace
}  // namespace zd
