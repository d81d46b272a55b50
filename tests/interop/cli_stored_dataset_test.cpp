// A dataset made in the dataset dialog over the example database travels in
// the saved template: `zdreport render` reads it without --data, from the
// template's folder wherever that is; --data still takes its place, and a
// template cannot read a database outside the folders it may read.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "designer/DatasetDialog.h"
#include "report/model/ZdReport.h"
#include "report/template/Template.h"
#include "tests/WidgetTesting.h"
#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using namespace zd;
using namespace zd::test;

namespace {

// The dialog needs a widgets application, made before any test of this
// program makes a plain GUI one.
class TWidgetsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { useWidgetsAndVirtualPrinter(); }
};
[[maybe_unused]] const auto* const kWidgets = ::testing::AddGlobalTestEnvironment(new TWidgetsEnvironment);

std::string PdfText(const std::string& pdf) { return RunTool("pdftotext", {"-q", "-layout", pdf, "-"}).out; }

std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every line of order_lines as the template prints its detail band: order,
// date, customer and product, in the query's order.
std::vector<std::string> DetailLines(const std::string& database, const std::string& where) {
  const ToolRun rows = RunTool(
      "sqlite3", {"-separator", " ", database,
                  "SELECT order_id, order_date, customer, product FROM order_lines " + where +
                      " ORDER BY country, order_id, product"});
  EXPECT_EQ(rows.exitCode, 0) << rows.err;
  return Lines(rows.out);
}

// How many of the lines occur, in order, in the PDF's text (blanks collapsed).
size_t FoundInOrder(const std::string& text, const std::vector<std::string>& lines) {
  const std::string flat = CollapseBlanks(text);
  size_t found = 0, at = 0;
  for (const std::string& line : lines) {
    const size_t next = flat.find(CollapseBlanks(line), at);
    if (next == std::string::npos) break;
    at = next + 1;
    ++found;
  }
  return found;
}

using CliStoredDataset = TCommandLineTest;

TEST_F(CliStoredDataset, ADatasetMadeInTheDialogRendersWithoutData) {
  fs::create_directories(dir_ / "shop");
  const std::string database = Out("shop/demo.db");
  fs::copy_file(kDatabase, database);

  // The example template over a query the user types into the dialog.
  TComponent root;
  auto* report = new TZdReport(&root);
  LoadReport(*report, kTemplate);
  ASSERT_EQ(report->DataSet(), nullptr) << "the example leaves its rows to the application";
  {
    TfrmEditDS dialog(0, report);
    dialog.show();
    QTest::mouseClick(dialog.rbQuery, Qt::LeftButton);
    dialog.edDSName->setText("OrderLines");
    dialog.cbDBName->lineEdit()->clear();
    QTest::keyClicks(dialog.cbDBName->lineEdit(), QString::fromStdString(database));
    QTest::keyClicks(dialog.memoSQL, QString::fromStdString(kOrderedLines));
    dialog.btnOK->click();
    ASSERT_NE(dialog.DS(), nullptr);
    report->SetDataSet(dialog.DS());
  }
  const std::string saved = Out("shop/orders.zdqt");
  SaveReport(*report, saved);
  EXPECT_NE(ReadText(saved).find("DatabaseName = \"demo.db\""), std::string::npos)
      << "stored beside the template:\n" << ReadText(saved).substr(0, 1200);

  // Template and database move together; the working folder is no matter.
  fs::rename(dir_ / "shop", dir_ / "moved");
  const std::string moved = Out("moved/orders.zdqt");
  const std::vector<std::string> all = DetailLines(Out("moved/demo.db"), "");
  ASSERT_GT(all.size(), 300u);
  ToolRun run = Zdreport({"render", moved, "-o", Out("all.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(FoundInOrder(PdfText(Out("all.pdf")), all), all.size());

  // --data takes the stored dataset's place.
  run = Zdreport({"render", moved, "--data", "sqlite:" + Out("moved/demo.db"), "--sql",
                  "SELECT * FROM order_lines WHERE country = 'France' ORDER BY country, order_id, product", "-o",
                  Out("france.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string france = PdfText(Out("france.pdf"));
  const std::vector<std::string> french = DetailLines(Out("moved/demo.db"), "WHERE country = 'France'");
  ASSERT_FALSE(french.empty());
  EXPECT_EQ(FoundInOrder(france, french), french.size());
  EXPECT_EQ(FoundInOrder(france, {all.back()}), 0u) << "only French rows";

  // The output may not overwrite the stored database either.
  run = Zdreport({"render", moved, "--format", "pdf", "-o", Out("moved/demo.db")});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_EQ(ReadText(Out("moved/demo.db")), ReadText(kDatabase));

  // Without its database the template names the dataset and the file.
  fs::copy_file(moved, Out("alone.zdqt"));
  run = Zdreport({"render", Out("alone.zdqt"), "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("OrderLines"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(Out("demo.db")), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
}

TEST_F(CliStoredDataset, StoredDatabasesObeyTheFoldersATemplateMayRead) {
  // A template that reads the example database where it lies, outside its own folder.
  std::string text = ReadText(kSource + "/examples/order-lines.zdqt");
  const std::string twoPass = "  TwoPass = True\n";
  ASSERT_NE(text.find(twoPass), std::string::npos);
  text.insert(text.find(twoPass) + twoPass.size(),
              "  TSqlDataSet OrderLines\n    DatabaseName = \"" + kDatabase + "\"\n    TableName = \"order_lines\"\n");
  std::ofstream(Out("outside.zdqt")) << text;

  ToolRun run = Zdreport({"render", Out("outside.zdqt"), "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("outside the folders it may read"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
  run = Zdreport({"render", Out("outside.zdqt"), "-o", Out("x.pdf"), "--allow-path", kSource + "/examples"});
  EXPECT_EQ(run.exitCode, 0) << run.err;

  // A template that stores no dataset still asks for --data, as do --sql and --delimiter alone.
  for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"--sql", "SELECT 1"}}) {
    std::vector<std::string> args = {"render", kTemplate, "-o", Out("y.pdf")};
    args.insert(args.end(), extra.begin(), extra.end());
    run = Zdreport(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--data"), std::string::npos) << run.err;
  }
}

}  // namespace
