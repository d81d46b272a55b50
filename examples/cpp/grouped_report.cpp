// A grouped report over a QSqlDatabase, built in code and saved as PDF:
//   grouped_report examples/demo.db orders.pdf
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>

#include "export/pdf/PdfPageExport.h"
#include "host/data/SqlDataSet.h"
#include "report/ZdInitialize.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

using namespace zd;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grouped_report DATABASE OUT.pdf\n");
    return 2;
  }
  QGuiApplication app(argc, argv);  // for fonts; QT_QPA_PLATFORM=offscreen needs no display
  ZdInitialize();
  QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "shop");
  db.setDatabaseName(argv[1]);
  if (!db.open()) return 1;

  TComponent owner;  // owns the dataset and the report; expressions name the dataset
  auto* lines = new TSqlDataSet(&owner);
  lines->SetName("Lines");
  // Groups need their rows sorted by the group expression.
  lines->SetQuery(QSqlQuery("SELECT country, customer, product, amount FROM order_lines ORDER BY country", db));
  lines->Open();
  auto* report = new TZdReport(&owner);
  report->SetDataSet(lines);
  report->SetTwoPass(true);  // the page count is known on every page
  report->DeleteAllBands();

  // Bands are 100 units high unless told; controls take (left, top, width, height).
  TZdqBand& title = report->NewBand(TBandType::btReportTitle);
  title.SetHeight(30);
  title.Add<TZdqLabel>(0, 0, 400, 20).SetDisplayName("Orders by country");
  auto [header, footer] = report->AddGroup({.Expression = "Lines.country", .NewPageIfNotFit = true});
  header.SetHeight(24);
  header.Add<TZdqExpression>(0, 2, 300, 20).SetExpression("Lines.country");
  footer.SetHeight(30);
  footer.Add<TZdqLabel>(300, 2, 100, 20).SetDisplayName("Total");
  auto& total = footer.Add<TZdqExpression>(400, 2, 100, 20);
  total.SetExpression("Lines.amount");
  total.SetFormat("@N @ND2 @NS. ");  // two decimals
  total.Calculation().SetCalcType(TCalcType::ctSum);
  total.Calculation().SetResetType(TResetType::rtEndGroup);
  total.Calculation().SetResetGroup("Lines.country");
  TZdqBand& detail = report->NewBand(TBandType::btDetail);
  detail.SetHeight(20);
  detail.Add<TZdqExpression>(20, 0, 200, 20).SetExpression("Lines.customer");
  detail.Add<TZdqExpression>(220, 0, 180, 20).SetExpression("Lines.product");
  detail.Add<TZdqExpression>(400, 0, 100, 20).SetExpression("Lines.amount");
  TZdqBand& pageFooter = report->NewBand(TBandType::btPageFooter);
  pageFooter.SetHeight(30);
  pageFooter.Add<TZdqExpression>(400, 10, 150, 20)
      .SetExpression("'Page ' + IntToStr(PageNo) + ' of ' + IntToStr(PageCount)");

  report->Prepare();
  report->ExportTo(argv[2], ExportClassOf<TZdqExportToPagePDF>());
  return 0;
}
