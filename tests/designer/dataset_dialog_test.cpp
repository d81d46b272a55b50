// The dataset dialog over a scratch SQLite file and an application
// connection: listing tables and indexes, writing back on OK only, keeping
// an edited dataset's kind, and what the explorer does with it.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "DesignWindowFixture.h"
#include "designer/DatasetDialog.h"
#include "designer/ReportExplorer.h"
#include "host/data/MemoryDataSet.h"
#include "host/data/SqlDataSet.h"
#include "report/model/ZdqDMan.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

QStringList entries(const QComboBox* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
  return texts;
}

std::vector<std::string> column(TDataSet& ds, const std::string& field) {
  std::vector<std::string> values;
  for (ds.First(); !ds.Eof(); ds.Next()) values.push_back(ds.FieldByName(field).AsString());
  return values;
}

// A SQLite file of people and cities, and an application connection
// "warehouse" to an in-memory database with one table.
class DatasetDialog : public test::DesignWindowTest {
 protected:
  void SetUp() override {
    DesignWindowTest::SetUp();
    path_ = test::UniqueTempPath("zd_dataset_dialog.sqlite");
    std::filesystem::remove(path_);
    {
      QSqlDatabase file = QSqlDatabase::addDatabase("QSQLITE", "dataset_dialog_writer");
      file.setDatabaseName(QString::fromStdString(path_.string()));
      ASSERT_TRUE(file.open());
      exec(file, "CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(20), age INTEGER)");
      exec(file, "INSERT INTO people VALUES (1, 'Moss', 40), (2, 'Bell', 25), (3, 'Carr', 31)");
      exec(file, "CREATE INDEX by_name ON people (name)");
      exec(file, "CREATE TABLE cities (city TEXT)");
      QSqlDatabase warehouse = QSqlDatabase::addDatabase("QSQLITE", "warehouse");
      warehouse.setDatabaseName(":memory:");
      ASSERT_TRUE(warehouse.open());
      exec(warehouse, "CREATE TABLE stock (item TEXT, qty INTEGER)");
      exec(warehouse, "INSERT INTO stock VALUES ('bolt', 7)");
    }
  }
  void TearDown() override {
    for (const char* name : {"dataset_dialog_writer", "warehouse"}) {
      QSqlDatabase::database(name, false).close();
      QSqlDatabase::removeDatabase(name);
    }
    std::filesystem::remove(path_);
    DesignWindowTest::TearDown();
  }
  static void exec(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
  }
  QString Db() const { return QString::fromStdString(path_.string()); }
  // Types the database name and presses Enter, as a user does.
  static void typeDatabase(TfrmEditDS& dialog, const QString& name) {
    dialog.cbDBName->lineEdit()->clear();
    QTest::keyClicks(dialog.cbDBName->lineEdit(), name);
    QTest::keyClick(dialog.cbDBName->lineEdit(), Qt::Key_Return);
  }
  static void type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

  std::filesystem::path path_;
};

TEST_F(DatasetDialog, NewTableListsTablesAndIndexesAndIsMadeOnlyOnOk) {
  TfrmEditDS dialog(0, &root);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "DataSet properties:");
  EXPECT_TRUE(entries(dialog.cbDBName).contains("warehouse"));
  EXPECT_TRUE(dialog.gbTable->isVisible());
  EXPECT_FALSE(dialog.gbQuery->isVisible());

  // A missing file is told in the dialog; Enter does not close it.
  typeDatabase(dialog, Db() + ".missing");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.lblError->isVisible());
  EXPECT_TRUE(dialog.lblError->text().contains("does not exist")) << dialog.lblError->text().toStdString();
  EXPECT_EQ(dialog.cbTables->count(), 0);
  EXPECT_EQ(entries(dialog.cbIndices), QStringList{"none"});

  typeDatabase(dialog, Db());
  EXPECT_FALSE(dialog.lblError->isVisible());
  EXPECT_EQ(entries(dialog.cbTables), (QStringList{"cities", "people"}));
  EXPECT_EQ(dialog.cbTables->currentText(), "cities");
  EXPECT_EQ(entries(dialog.cbIndices), QStringList{"none"});
  dialog.cbTables->setCurrentText("people");
  EXPECT_EQ(entries(dialog.cbIndices), (QStringList{"none", "by_name"}));
  dialog.cbIndices->setCurrentText("by_name");
  type(dialog.edFilter, "age > 30");

  // No name, or the name of another component of the owner: refused.
  auto* other = new TMemoryDataSet(&root);
  other->SetName("Taken");
  for (const QString& name : {QString(), QString("taken")}) {
    type(dialog.edDSName, name);
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.lblError->isVisible());
    EXPECT_EQ(dialog.DS(), nullptr);
  }

  type(dialog.edDSName, "People");
  QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  TSqlDataSet* made = dialog.DS();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Owner(), &root);
  EXPECT_EQ(made->Name(), "People");
  EXPECT_EQ(made->DatabaseName(), path_.string());
  EXPECT_EQ(made->TableName(), "people");
  EXPECT_EQ(made->IndexName(), "by_name");
  EXPECT_TRUE(made->Filtered());
  ASSERT_TRUE(made->Active());
  EXPECT_EQ(column(*made, "name"), (std::vector<std::string>{"Carr", "Moss"}));
  EXPECT_EQ(GetFieldCount(*made), 3);
  EXPECT_EQ(GetFieldDescription(*made, 1), "name  String");  // SQLite tells no sizes

  // Editing it to "none" and no filter: natural order, filtering off.
  TfrmEditDS again(0, &root);
  again.SetDS(made);
  EXPECT_EQ(again.cbIndices->currentText(), "by_name");
  EXPECT_EQ(again.edFilter->text(), "age > 30");
  EXPECT_FALSE(again.rgDSType->isEnabled());
  again.cbIndices->setCurrentIndex(0);
  again.edFilter->clear();
  QTest::mouseClick(again.btnOK, Qt::LeftButton);
  EXPECT_EQ(again.DS(), made);
  EXPECT_EQ(made->IndexName(), "");
  EXPECT_FALSE(made->Filtered());
  EXPECT_EQ(column(*made, "name"), (std::vector<std::string>{"Moss", "Bell", "Carr"}));
}

TEST_F(DatasetDialog, EditedQueryKeepsItsKindAndCancelChangesNothing) {
  auto* query = new TSqlDataSet(&root);
  query->SetName("Adults");
  query->SetDatabaseName(path_.string());
  query->SetSQL("SELECT name FROM people");
  query->SetFilter("name <> 'Bell'");
  query->SetFiltered(true);

  TfrmEditDS dialog(0, &root);
  dialog.SetDS(new TMemoryDataSet(&root));  // not an SQL dataset: ignored
  EXPECT_EQ(dialog.DS(), nullptr);
  dialog.SetDS(query);
  dialog.show();
  EXPECT_TRUE(dialog.rbQuery->isChecked());
  EXPECT_FALSE(dialog.rgDSType->isEnabled());
  EXPECT_TRUE(dialog.gbQuery->isVisible());
  EXPECT_FALSE(dialog.gbTable->isVisible());
  EXPECT_EQ(dialog.memoSQL->toPlainText(), "SELECT name FROM people");
  EXPECT_EQ(dialog.cbDBName->currentText(), Db());
  EXPECT_FALSE(dialog.btnQueryBuilder->isVisible());  // no builder attached

  dialog.memoSQL->setPlainText("SELECT 1 AS one");
  type(dialog.edDSName, "Renamed");
  QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
  EXPECT_EQ(query->Name(), "Adults");
  EXPECT_EQ(query->SQL(), "SELECT name FROM people");
  EXPECT_EQ(query->Filter(), "name <> 'Bell'");
  EXPECT_FALSE(query->Active());

  // The builder rewrites the dialog's SQL; OK keeps the filter it was not asked about.
  TfrmEditDS builder(0, &root);
  builder.SetDS(query);
  builder.SetQueryBuilder([](std::string& sql) { sql += " ORDER BY name"; });
  builder.show();
  ASSERT_TRUE(builder.btnQueryBuilder->isVisible());
  QTest::mouseClick(builder.btnQueryBuilder, Qt::LeftButton);
  QTest::mouseClick(builder.btnOK, Qt::LeftButton);
  EXPECT_EQ(query->SQL(), "SELECT name FROM people ORDER BY name");
  EXPECT_TRUE(query->Filtered());
  ASSERT_TRUE(query->Active());
  EXPECT_EQ(column(*query, "name"), (std::vector<std::string>{"Carr", "Moss"}));

  // A query that fails to open is still kept, closed.
  TfrmEditDS broken(0, &root);
  broken.SetDS(query);
  broken.memoSQL->setPlainText("SELECT * FROM nowhere");
  QTest::mouseClick(broken.btnOK, Qt::LeftButton);
  EXPECT_EQ(broken.result(), QDialog::Accepted);
  EXPECT_EQ(query->SQL(), "SELECT * FROM nowhere");
  EXPECT_FALSE(query->Active());
}

TEST_F(DatasetDialog, ApplicationConnectionIsUsedByName) {
  TfrmEditDS dialog(0, &root);
  dialog.show();
  const int at = dialog.cbDBName->findText("warehouse");
  ASSERT_GE(at, 0);
  dialog.cbDBName->setCurrentIndex(at);
  emit dialog.cbDBName->activated(at);
  EXPECT_EQ(entries(dialog.cbTables), QStringList{"stock"});
  type(dialog.edDSName, "Stock");
  QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
  TSqlDataSet* made = dialog.DS();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ConnectionName(), "warehouse");
  EXPECT_EQ(made->DatabaseName(), "");
  ASSERT_TRUE(made->Active());
  EXPECT_EQ(column(*made, "item"), std::vector<std::string>{"bolt"});
}

TEST_F(DatasetDialog, ExplorerAddsEditsAndDeletesSqlDatasets) {
  auto* memory = new TMemoryDataSet(&root);
  memory->SetName("Fixed");
  memory->AddField("Code", TFieldType::ftString, 4);
  memory->Open();
  auto* manager = new TZdqDataManager(&root);
  manager->SetName("Manager");
  manager->AddDataset(memory);
  report->SetDataManager(manager);
  TfrmReportDesigner& w = Open();
  w.actExplorer->trigger();
  TfrmZdqExplorer& explorer = *w.Explorer();
  int edits = 0;
  explorer.OnEdited = [&edits, recordUndoStep = explorer.OnEdited] {
    ++edits;
    if (recordUndoStep) recordUndoStep();
  };
  explorer.Pages->setCurrentIndex(1);
  QTreeWidget* tree = explorer.tvData;
  const int before = tree->topLevelItemCount();

  tree->setCurrentItem(tree->topLevelItem(before - 1));
  EXPECT_FALSE(explorer.btnDSEdit->isEnabled());  // not made by the dialog
  EXPECT_FALSE(explorer.btnDSDelete->isEnabled());

  // Cancel adds nothing.
  test::WhenModal<TfrmEditDS>([](TfrmEditDS* dialog) { dialog->btnCancel->click(); });
  QTest::mouseClick(explorer.btnDSAdd, Qt::LeftButton);
  EXPECT_EQ(tree->topLevelItemCount(), before);
  EXPECT_EQ(edits, 0);

  const QString db = Db();
  test::WhenModal<TfrmEditDS>([db](TfrmEditDS* dialog) {
    dialog->edDSName->setText("People");
    dialog->cbDBName->setCurrentText(db);
    QTest::keyClick(dialog->cbDBName->lineEdit(), Qt::Key_Return);
    dialog->cbTables->setCurrentText("people");
    dialog->btnOK->click();
    EXPECT_FALSE(dialog->isVisible()) << dialog->lblError->text().toStdString();
  });
  QTest::mouseClick(explorer.btnDSAdd, Qt::LeftButton);
  ASSERT_EQ(tree->topLevelItemCount(), before + 1);
  QTreeWidgetItem* added = tree->topLevelItem(before);
  EXPECT_EQ(added->text(0), "People");
  ASSERT_EQ(added->childCount(), 3);
  EXPECT_EQ(added->child(1)->text(0), "name  String");
  EXPECT_EQ(edits, 1);

  // Renaming renames the node whose caption followed the name.
  tree->setCurrentItem(added);
  ASSERT_TRUE(explorer.btnDSEdit->isEnabled());
  test::WhenModal<TfrmEditDS>([](TfrmEditDS* dialog) {
    EXPECT_EQ(dialog->cbTables->currentText(), "people");
    dialog->edDSName->setText("Persons");
    dialog->btnOK->click();
  });
  QTest::mouseClick(explorer.btnDSEdit, Qt::LeftButton);
  EXPECT_EQ(tree->topLevelItem(before)->text(0), "Persons");
  EXPECT_EQ(report->GetDataManager().DatasetByNameOrCaption("Persons")->Name(), "Persons");

  // The first dataset added became the report's rows; undo takes it away
  // and redo brings it back into the application's manager.
  EXPECT_EQ(report->DataSet(), report->FindComponent("Persons"));
  w.actUndo->trigger();  // the renaming
  EXPECT_NE(report->FindComponent("People"), nullptr);
  w.actUndo->trigger();  // the addition
  EXPECT_EQ(report->FindComponent("People"), nullptr);
  EXPECT_EQ(report->DataSet(), nullptr);
  w.actRedo->trigger();
  w.actRedo->trigger();
  ASSERT_NE(report->FindComponent("Persons"), nullptr);
  EXPECT_EQ(report->DataSet(), report->FindComponent("Persons"));
  EXPECT_NE(manager->DatasetByNameOrCaption("Persons"), nullptr);

  // The report's own dataset goes with its entry.
  explorer.Rebuild();
  const QList<QTreeWidgetItem*> own = tree->findItems("Persons", Qt::MatchExactly);
  ASSERT_EQ(own.size(), 1);
  tree->setCurrentItem(own.first());
  test::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  QTest::mouseClick(explorer.btnDSDelete, Qt::LeftButton);
  EXPECT_EQ(report->FindComponent("Persons"), nullptr);
  EXPECT_EQ(report->DataSet(), nullptr);
  EXPECT_EQ(tree->topLevelItemCount(), before);
  EXPECT_EQ(edits, 3);

  // An application's dataset under the shared default manager: its entry
  // would come back, so only editing is offered.
  auto* application = new TSqlDataSet(&root);
  application->SetName("Stock");
  application->SetDatabaseName(path_.string());
  application->SetTableName("people");
  report->SetDataManager(nullptr);
  explorer.Rebuild();
  const QList<QTreeWidgetItem*> stock = tree->findItems("Stock", Qt::MatchExactly);
  ASSERT_EQ(stock.size(), 1);
  tree->setCurrentItem(stock.first());
  EXPECT_TRUE(explorer.btnDSEdit->isEnabled());
  EXPECT_FALSE(explorer.btnDSDelete->isEnabled());
}

}  // namespace
}  // namespace zd
