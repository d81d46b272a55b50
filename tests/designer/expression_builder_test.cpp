// The expression builder: its catalogue, what picking an item or a button
// inserts, validation through the parser, and the field that opens it.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "DesignerFixtures.h"
#include "designer/ExpressionBuilder.h"
#include "designer/ExpressionEdit.h"
#include "host/data/MemoryDataSet.h"
#include "report/model/ZdReport.h"

namespace zd {
namespace {

using test::ensureWidgetsApp;
using test::WhenModal;

// Two datasets, the second captioned Orders; a variable and a parameter.
struct BuilderSources {
  TComponent form;
  TZdqDataManager manager{&form};
  TZdqVariables variables{nullptr};
  TZdqParameters parameters{nullptr};

  BuilderSources() {
    auto* customers = new TMemoryDataSet(&form);
    customers->SetName("Customers");
    customers->AddField("Id", TFieldType::ftInteger);
    customers->AddField("Name", TFieldType::ftString, 20);
    auto* orders = new TMemoryDataSet(&form);
    orders->SetName("tblOrders");
    orders->AddField("OrderNo", TFieldType::ftInteger);
    orders->AddField("Amount", TFieldType::ftFloat);
    orders->AppendRecord({1, 12.5});
    orders->Open();
    manager.AddDataset(customers);
    manager.AddDataset(orders)->SetCaption("Orders");
    variables.Add()->SetName("Total");
    parameters.Add()->SetName("MinAmount");
  }
};

QStringList texts(const QListWidget* list) {
  QStringList result;
  for (int i = 0; i < list->count(); ++i) result << list->item(i)->text();
  return result;
}

void clickRow(QListWidget* list, int row) {
  ASSERT_LT(row, list->count());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void doubleClickRow(QListWidget* list, int row) {
  ASSERT_LT(row, list->count());
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Clicks Validate and returns the message box's text and icon.
std::pair<QString, QMessageBox::Icon> validate(TfrmExpBuilder& dialog, const QString& text) {
  dialog.SetExpression(text);
  std::pair<QString, QMessageBox::Icon> shown{"(no message)", QMessageBox::NoIcon};
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    shown = {box->text(), box->icon()};
    box->accept();
  });
  QTest::mouseClick(dialog.btnValidate, Qt::LeftButton);
  return shown;
}

TEST(ExpressionBuilder, CatalogueHoldsEveryGroupSubgroupAndItem) {
  ensureWidgetsApp();
  BuilderSources sources;
  TfrmExpBuilder dialog(0, &sources.manager, &sources.variables, &sources.parameters);
  dialog.show();
  EXPECT_EQ(texts(dialog.lbType),
            QStringList({"Data sources", "Variables list", "Constants", "Operators", "Functions"}));
  // Opens on the first group and subgroup: the first dataset's fields.
  EXPECT_EQ(texts(dialog.lbSubType), QStringList({"Customers", "Orders"}));
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"Id", "Name"}));
  EXPECT_EQ(dialog.lblHint->text(), "Id");

  clickRow(dialog.lbSubType, 1);
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"OrderNo", "Amount"}));
  clickRow(dialog.lbValue, 1);
  EXPECT_EQ(dialog.lblHint->text(), "Amount");

  clickRow(dialog.lbType, TfrmExpBuilder::grVariables);
  EXPECT_EQ(texts(dialog.lbSubType), QStringList({"System variables", "Custom variables", "Parameters"}));
  EXPECT_EQ(dialog.lbSubType->currentRow(), 0);
  ASSERT_EQ(dialog.lbValue->count(), 15);
  EXPECT_EQ(dialog.lbValue->item(0)->text(), "Date");
  EXPECT_EQ(dialog.lbValue->item(14)->text(), "BandLineNo");
  clickRow(dialog.lbSubType, 1);
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"Total"}));
  clickRow(dialog.lbSubType, 2);
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"MinAmount"}));

  clickRow(dialog.lbType, TfrmExpBuilder::grConstants);
  EXPECT_EQ(texts(dialog.lbSubType), QStringList({"<All>"}));
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"''", "False", "NULL", "True"}));

  clickRow(dialog.lbType, TfrmExpBuilder::grOperators);
  clickRow(dialog.lbSubType, 2);
  EXPECT_EQ(texts(dialog.lbValue), QStringList({"AND", "NOT", "OR"}));

  clickRow(dialog.lbType, TfrmExpBuilder::grFunctions);
  EXPECT_EQ(texts(dialog.lbSubType).join(","), "Conversion,Date/time,Math,Program Flow,Aggregate,String");
  // Argument words replace the placeholders; every function subgroup is filled.
  int functions = 0;
  for (int sub = 0; sub < dialog.lbSubType->count(); ++sub) {
    clickRow(dialog.lbSubType, sub);
    functions += dialog.lbValue->count();
  }
  EXPECT_EQ(functions, 47);
  EXPECT_EQ(texts(dialog.lbValue).join(";"),
            "LOWER(string);SUBSTRING(string, number, number);TRIM(string);TRIMLEFT(string);TRIMRIGHT(string);"
            "UPPER(string)");
  clickRow(dialog.lbSubType, 3);
  EXPECT_EQ(dialog.lbValue->item(0)->text(), "IIF(boolean, string, string)");
  clickRow(dialog.lbSubType, 1);
  EXPECT_EQ(dialog.lbValue->item(1)->text(), "DAY(datetime)");
}

TEST(ExpressionBuilder, MissingSourcesLeaveTheirSubgroupsEmpty) {
  ensureWidgetsApp();
  TfrmExpBuilder dialog(0, nullptr, nullptr, nullptr);
  EXPECT_EQ(dialog.lbSubType->count(), 0);
  EXPECT_EQ(dialog.lbValue->count(), 0);
  EXPECT_EQ(dialog.ItemInsertion(), "");
  dialog.ChooseGroup(TfrmExpBuilder::grVariables);
  dialog.lbSubType->setCurrentRow(1);
  EXPECT_EQ(dialog.lbValue->count(), 0);
  dialog.lbSubType->setCurrentRow(0);
  EXPECT_EQ(dialog.lbValue->count(), 15);
}

TEST(ExpressionBuilder, PickingInsertsAtTheCaretOrOverTheSelection) {
  ensureWidgetsApp();
  BuilderSources sources;
  TfrmExpBuilder dialog(0, &sources.manager, &sources.variables, &sources.parameters);
  dialog.show();
  dialog.SetExpression("x");
  dialog.memExpression->moveCursor(QTextCursor::End);

  clickRow(dialog.lbSubType, 1);
  doubleClickRow(dialog.lbValue, 1);
  EXPECT_EQ(dialog.Expression(), "x[Orders.Amount]");

  // Buttons insert their texts, the logical ones padded with spaces.
  auto button = [&](const QString& caption) {
    for (QPushButton* b : dialog.OperatorButtons)
      if (b->text() == caption) return b;
    ADD_FAILURE() << caption.toStdString();
    return dialog.OperatorButtons.front();
  };
  EXPECT_EQ(dialog.OperatorButtons.size(), 13u);
  QTest::mouseClick(button("AND"), Qt::LeftButton);
  QTest::mouseClick(button("<>"), Qt::LeftButton);
  QTest::mouseClick(button("("), Qt::LeftButton);
  EXPECT_EQ(dialog.Expression(), "x[Orders.Amount] AND <>(");

  // Other items are padded with spaces; a selection is replaced.
  QTextCursor cursor = dialog.memExpression->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(1, QTextCursor::KeepAnchor);
  dialog.memExpression->setTextCursor(cursor);
  clickRow(dialog.lbType, TfrmExpBuilder::grFunctions);
  clickRow(dialog.lbSubType, 5);
  doubleClickRow(dialog.lbValue, 1);
  EXPECT_EQ(dialog.Expression(), " SUBSTRING(string, number, number) [Orders.Amount] AND <>(");
  EXPECT_EQ(dialog.memExpression->textCursor().position(), 35);
}

TEST(ExpressionBuilder, ValidationRunsTheParserAndEvaluator) {
  ensureWidgetsApp();
  BuilderSources sources;
  TfrmExpBuilder dialog(0, &sources.manager, &sources.variables, &sources.parameters);
  dialog.show();
  const QString valid = "Expression is valid and no error is found.";
  EXPECT_EQ(validate(dialog, "pageNo + 1"), std::make_pair(valid, QMessageBox::Information));
  EXPECT_EQ(validate(dialog, " PAGENO ").first, valid);
  EXPECT_EQ(validate(dialog, "[Orders.Amount] * 2 + Orders.OrderNo").first, valid);
  EXPECT_EQ(validate(dialog, "IIF(DetailNo < 0, Author + 'x', '')").first, valid);
  EXPECT_EQ(validate(dialog, "YEAR(DateTime) > 1900").first, valid);
  // Variables and parameters are not known while editing.
  EXPECT_EQ(validate(dialog, "Total"), std::make_pair(QString("Field 'Total' not found"), QMessageBox::Critical));
  EXPECT_EQ(validate(dialog, "MinAmount + 1").first, "Field 'MinAmount' not found");
  EXPECT_EQ(validate(dialog, "").first, "Expression expected but nothing found");
  EXPECT_EQ(validate(dialog, "1 +").first, "Expression expected but nothing found");
  EXPECT_EQ(validate(dialog, "(1").first, "')' expected but nothing found");
  // The catalogue's MOD is not part of the language.
  EXPECT_NE(validate(dialog, "7 MOD 2").first, valid);
  // Validation keeps the text and the dialog.
  EXPECT_EQ(dialog.Expression(), "7 MOD 2");
  EXPECT_TRUE(dialog.isVisible());
}

TEST(ExpressionBuilder, OnlyConfirmingWritesTheExpressionBack) {
  ensureWidgetsApp();
  TZdReport report;
  report.Variables().Add()->SetName("Counter");
  std::string expression = "1";
  WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* dialog) {
    EXPECT_EQ(dialog->Expression(), "1");
    dialog->ChooseGroup(TfrmExpBuilder::grVariables);
    dialog->lbSubType->setCurrentRow(1);
    dialog->memExpression->moveCursor(QTextCursor::End);
    dialog->ValueAdd(dialog->ItemInsertion());
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  EXPECT_FALSE(ExpressionBuilder(expression, report));
  EXPECT_EQ(expression, "1");

  WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* dialog) {
    dialog->ChooseGroup(TfrmExpBuilder::grVariables);
    dialog->lbSubType->setCurrentRow(1);
    dialog->memExpression->moveCursor(QTextCursor::End);
    dialog->ValueAdd(dialog->ItemInsertion());
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  EXPECT_TRUE(ExpressionBuilder(expression, report));
  EXPECT_EQ(expression, "1 Counter ");
}

TEST(ExpressionEdit, TheButtonOpensTheBuilderForItsReport) {
  ensureWidgetsApp();
  TExpressionEdit edit;
  EXPECT_FALSE(edit.btnBuilder->isEnabled());
  EXPECT_FALSE(edit.ExecuteBuilder());

  BuilderSources sources;
  TZdReport report;
  report.SetDataManager(&sources.manager);
  edit.SetReport(&report);
  edit.SetExpression("Amount");
  edit.show();
  QSignalSpy accepted(&edit, &TExpressionEdit::builderAccepted);

  WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* dialog) {
    EXPECT_EQ(dialog->lbSubType->item(1)->text(), "Orders");
    dialog->SetExpression("Amount\n* 2");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  QTest::mouseClick(edit.btnBuilder, Qt::LeftButton);
  EXPECT_EQ(edit.Expression(), "Amount");
  EXPECT_EQ(accepted.count(), 0);

  WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* dialog) {
    dialog->SetExpression("Amount\n* 2");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(edit.btnBuilder, Qt::LeftButton);
  // One line in the field.
  EXPECT_EQ(edit.Expression(), "Amount * 2");
  EXPECT_EQ(accepted.count(), 1);
}

}  // namespace
}  // namespace zd
