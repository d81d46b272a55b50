// An application that uses the library as a package: one detail band over
// rows in memory, each with a QR Code of its name (so that libzint links
// through the package), exported as CSV to the file named by the first argument;
// fails when the file lacks the last row.
#include <QGuiApplication>
#include <fstream>
#include <sstream>

#include "barcode/ZdBarCode.h"
#include "export/markup/CsvExport.h"
#include "host/data/MemoryDataSet.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);  // fonts for measuring text
  if (argc != 2) return 2;
  zd::TComponent owner;
  auto* rows = new zd::TMemoryDataSet(&owner);
  rows->AddField("Name", zd::TFieldType::ftString, 20);
  rows->AppendRecord({zd::TVariant("first")});
  rows->AppendRecord({zd::TVariant("second")});
  rows->Open();

  auto* report = new zd::TZdReport(&owner);
  report->SetDataSet(rows);
  report->DeleteAllBands();
  zd::TZdqBand& detail = *report->GetBand(report->AddBand(zd::TBandType::btDetail, true));
  auto* name = new zd::TZdqExpression(&detail);
  name->SetExpression("Name");
  name->SetWidth(200);
  auto* code = new zd::TZdBarCode(&detail);
  code->SetBarCodeType(zd::TBarCodeType::bcQRCode);
  code->SetExpression("Name");
  code->SetLeft(220);

  report->PrepareReport();
  report->ExportTo(argv[1], false, zd::TStringList{"1"}, zd::ExportClassOf<zd::TZdqExportToCSV>());
  std::stringstream csv;
  csv << std::ifstream(argv[1]).rdbuf();
  return csv.str().find("second") != std::string::npos ? 0 : 1;
}
