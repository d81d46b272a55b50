// Printing Qt's item views: string grids, list views, any item model, and
// a table view as the data grid of a dataset printer.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>

#include "quickprint/widgets/ZdqALV.h"
#include "tests/quickprint/PageContent.h"

using namespace zd;
using zd::test::PageStrings;
using Texts = std::vector<std::string>;

namespace {

class WidgetsPrint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useWidgetsAndVirtualPrinter(); }

  template <class T>
  static void Plain(T& printer) {
    printer.SetAnimatedStatus(false);
    test::UsePaper(printer);
    printer.SetHeader({});
    printer.SetFooter({});
  }
  static QStandardItemModel* Model(QObject* parent, int rows) {
    auto* model = new QStandardItemModel(rows, 3, parent);
    model->setHorizontalHeaderLabels({"Id", "City", "Note"});
    for (int r = 0; r < rows; ++r) {
      model->setItem(r, 0, new QStandardItem(QString::number(r + 1)));
      model->setItem(r, 1, new QStandardItem(QString("city%1").arg(r + 1)));
      model->setItem(r, 2, new QStandardItem(QString("note%1").arg(r + 1)));
    }
    return model;
  }

  TComponent owner;
};

TEST_F(WidgetsPrint, StringGridLeavesHiddenColumnsOut) {
  QTableWidget grid(2, 3);
  grid.setHorizontalHeaderLabels({"A", "B", "C"});
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) grid.setItem(r, c, new QTableWidgetItem(QString("%1%2").arg(QChar('a' + c)).arg(r)));
  grid.setColumnHidden(1, true);
  grid.setColumnWidth(2, 150);
  TZdPrintStringGrid printer(&owner);
  Plain(printer);
  printer.StringGrid = &grid;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (Texts{"A", "C", "a0", "c0", "a1", "c1"}));
  ASSERT_EQ(printer.Columns().size(), 2u);
  EXPECT_EQ(printer.Columns()[1].Width, 150);
}

TEST_F(WidgetsPrint, ListViewsPrintCaptionsAndSubItems) {
  QTreeWidget tree;
  tree.setHeaderLabels({"Name", "Size", "Kind"});
  new QTreeWidgetItem(&tree, QStringList{"a.txt", "12", "text"});
  new QTreeWidgetItem(&tree, QStringList{"b"});  // fewer sub-items: empty cells
  TZdPrintListView printer(&owner);
  Plain(printer);
  printer.ListView = &tree;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (Texts{"Name", "Size", "Kind", "a.txt", "12", "text", "b"}));

  QListWidget list;
  list.addItems({"one", "two"});
  printer.ListView = &list;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (Texts{"one", "two"}));

  printer.ListView = nullptr;
  EXPECT_THROW(printer.Prepare(), EDatabaseError);
}

TEST_F(WidgetsPrint, AnyModelPrintsOverPages) {
  QObject parent;
  TZdPrintItemModel printer(&owner);
  Plain(printer);
  EXPECT_THROW(printer.Prepare(), EDatabaseError);
  printer.Model = Model(&parent, 30);
  test::UsePaper(printer, 1500, 500);
  printer.Prepare();
  ASSERT_GE(printer.NumPages(), 2);
  Texts cities;
  for (int p = 0; p < printer.NumPages(); ++p) {
    const Texts texts = PageStrings(printer, p, 0);
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + 3), (Texts{"Id", "City", "Note"})) << p;
    for (const std::string& t : texts)
      if (t.rfind("city", 0) == 0) cities.push_back(t);
  }
  ASSERT_EQ(cities.size(), 30u);
  EXPECT_EQ(cities.back(), "city30");

  // Without FixedRows the titles are a first row that does not repeat.
  printer.Style().FixedRows = false;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0).front(), "Id");
  EXPECT_EQ(PageStrings(printer, 1, 0).front().rfind("Id", 0), std::string::npos);
}

TEST_F(WidgetsPrint, TableViewGridGivesColumnsAndSelection) {
  QObject parent;
  QTableView view;
  view.setModel(Model(&parent, 5));
  view.horizontalHeader()->moveSection(2, 0);  // Note shown first
  view.setColumnHidden(1, true);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::MultiSelection);
  for (const int row : {3, 0, 4}) view.selectRow(row);

  TZdqTableViewGrid grid(&view);
  TZdPrintData printer(&owner);
  Plain(printer);
  printer.DBGrid = &grid;
  printer.Prepare();
  Texts expected{"Note", "Id"};
  for (int r = 1; r <= 5; ++r) expected.insert(expected.end(), {"note" + std::to_string(r), std::to_string(r)});
  EXPECT_EQ(PageStrings(printer, 0, 0), expected);

  // Only the selected records, in the order they were selected.
  printer.SelectedRecord = true;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (Texts{"Note", "Id", "note4", "4", "note1", "1", "note5", "5"}));

  // The application may name the selection itself.
  std::vector<TBookmark> rows = grid.SelectedRows();
  printer.OnGetSelectedCount = [](TComponent*, int& count) { count = 2; };
  printer.OnGetNextSelected = [&](TComponent*, int index, TBookmark& selected) { selected = rows[size_t(1 - index)]; };
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (Texts{"Note", "Id", "note1", "1", "note4", "4"}));
}

}  // namespace
