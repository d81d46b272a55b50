// A grouped report over a Qt item model, saved as CSV:
//   item_model_report OUT.csv
#include <QGuiApplication>
#include <QStandardItemModel>
#include <cstdio>
#include <tuple>

#include "export/markup/CsvExport.h"
#include "host/data/ItemModelDataSet.h"
#include "report/ZdInitialize.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

using namespace zd;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: item_model_report OUT.csv\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  ZdInitialize();

  // Columns become fields, named by the horizontal header; rows sorted by region.
  QStandardItemModel model(0, 3);
  model.setHorizontalHeaderLabels({"region", "item", "amount"});
  const std::tuple<const char*, const char*, double> rows[] = {
      {"North", "Apples", 12.5}, {"North", "Pears", 7.25}, {"South", "Figs", 30}, {"South", "Lemons", 4.75}};
  for (const auto& [region, item, amount] : rows) {
    auto* value = new QStandardItem;
    value->setData(amount, Qt::EditRole);  // a number, so the field is one too
    model.appendRow({new QStandardItem(region), new QStandardItem(item), value});
  }

  TComponent owner;
  auto* sales = new TItemModelDataSet(&owner);
  sales->SetName("Sales");
  sales->SetModel(&model);
  sales->Open();
  auto* report = new TZdReport(&owner);
  report->SetDataSet(sales);
  report->DeleteAllBands();

  auto [header, footer] = report->AddGroup({.Expression = "Sales.region"});
  header.SetHeight(20);
  footer.SetHeight(20);
  header.Add<TZdqExpression>(0, 0, 200, 20).SetExpression("Sales.region");
  auto& total = footer.Add<TZdqExpression>(300, 0, 100, 20);
  total.SetExpression("Sales.amount");
  total.Calculation().SetCalcType(TCalcType::ctSum);
  total.Calculation().SetResetType(TResetType::rtEndGroup);
  total.Calculation().SetResetGroup("Sales.region");
  TZdqBand& detail = report->NewBand(TBandType::btDetail);
  detail.SetHeight(20);
  detail.Add<TZdqExpression>(100, 0, 200, 20).SetExpression("Sales.item");
  detail.Add<TZdqExpression>(300, 0, 100, 20).SetExpression("Sales.amount");

  report->Prepare();
  report->ExportTo(argv[1], ExportClassOf<TZdqExportToCSV>());
  return 0;
}
