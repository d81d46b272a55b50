#include "app/zdreport/QuickPrintCommand.h"

#include <algorithm>
#include <stdexcept>

#include "app/zdreport/DataSource.h"
#include "app/zdreport/TemplateReport.h"
#include "host/core/TextUtil.h"
#include "host/printing/Printer.h"
#include "quickprint/ZdqData.h"
#include "quickprint/ZdqText.h"

namespace zd::cli {
namespace {

// The title as a report-pass header line: its macro characters stay literal.
std::string TitleLine(const std::string& title, char macroChar) {
  if (title.empty()) return " ";
  std::string line;
  for (const char c : title) line += c == macroChar ? std::string(2, c) : std::string(1, c);
  return line;
}

void Setup(TZdAutoPrint& printer, const TQuickPrintOptions& options) {
  printer.PrinterSetting().SetPrinterName(TSystemPrinter::VirtualPrinterName);
  if (options.pageMemoryMB) printer.SetPageMemoryLimit(*options.pageMemoryMB << 20);
  std::vector<std::string> header = printer.Header();
  header.back() = TitleLine(options.title, printer.MacroChar());
  printer.SetHeader(header);
}

TZdqRowStyle StyleOf(const std::string& name) {
  if (name.empty()) return TZdqRowStyle::rsNormal;
  if (const auto style = RowStyleByName(name); style && *style != TZdqRowStyle::rsNormal) return *style;
  throw EUsageError("--style takes pricelist, msmoney, brick, desert, eggplant, lilac, maple, marine, rose, spruce "
                    "or wheat, got '" + name + "'");
}

// The column a field prints in: after the record numbers, among the printed fields.
int ColumnOf(const TDataSet& data, const std::string& fieldName, bool recordNumbers) {
  int column = recordNumbers ? 1 : 0;
  for (int i = 0; i < data.FieldCount(); ++i) {
    const TField& field = data.Fields(i);
    if (!field.Visible() || !TZdPrintData::PrintableField(field)) continue;
    if (SameText(field.FieldName(), fieldName)) return column;
    ++column;
  }
  throw EUsageError("--sum: the data has no printable field '" + fieldName + "'");
}

// A row of subtotals at each group's end, then one of totals at the end;
// the caption goes in the first field's column (the record numbers' is narrow).
std::vector<TZdqACalculation> Totals(const TDataSet& data, const TQuickPrintOptions& options) {
  std::vector<TZdqACalculation> totals;
  auto addRow = [&](const std::string& groupFields, const char* caption) {
    for (size_t i = 0; i < options.sumFields.size(); ++i) {
      TZdqACalculation total;
      total.FieldName = options.sumFields[i];
      total.ResetGroup = groupFields;
      total.FieldColNum = ColumnOf(data, options.sumFields[i], options.recordNumbers);
      total.CaptionColNum = options.recordNumbers ? 1 : 0;
      total.Caption = i == 0 ? caption : "";
      total.Font.Style.Set(fsBold);
      totals.push_back(total);
    }
  };
  if (!options.groupFields.empty()) addRow(options.groupFields, "Subtotal");
  addRow({}, "Total");
  return totals;
}

}  // namespace

TRenderResult RunTable(const TQuickPrintOptions& options) {
  TOutputPlan output(options);
  const TZdqRowStyle style = StyleOf(options.style);
  const TDataSourceSpec spec = TDataSourceSpec::Parse(options.dataSource, options.sql, options.delimiter);
  RequireNoFolder(spec.file, "the data source");
  TOpenedDataSource data = OpenDataSource(spec);
  UseVirtualPrinter();
  TComponent root;
  TZdPrintData printer(&root);
  Setup(printer, options);
  printer.ColumnSource = TColumnSource::csDataSet;
  printer.DataSet = data.dataset.get();
  printer.AutoFitColumnWidth = true;
  printer.GapHorizontal = 4;  // texts of neighbouring columns stay apart in spreadsheets too
  printer.PrintRecNo = options.recordNumbers ? TPrintRecNo::rnFirstColOnEachBar : TPrintRecNo::rnNone;
  printer.Style().SetRowStyle(style);
  printer.Calculations = Totals(*data.dataset, options);
  PrepareOnTerminal(printer, {&printer});
  TRenderResult result = output.Write(printer, {{spec.file, "the data file"}});
  result.warnings.insert(result.warnings.begin(), printer.Warnings().begin(), printer.Warnings().end());
  return result;
}

TRenderResult RunText(const TQuickPrintOptions& options) {
  TOutputPlan output(options);
  RequireNoFolder(options.textFile, "the text file");
  UseVirtualPrinter();
  TComponent root;
  TZdPrintText printer(&root);
  Setup(printer, options);
  printer.FileName = options.textFile;
  printer.CodePage = options.codePage == "ansi" ? TCodePage::cpANSI
                     : options.codePage == "oem" ? TCodePage::cpASCII
                                                 : TCodePage::cpUTF8;
  printer.SetWordWrap(options.wordWrap);
  PrepareOnTerminal(printer, {&printer});
  TRenderResult result = output.Write(printer, {{options.textFile, "the text file"}});
  result.warnings.insert(result.warnings.begin(), printer.Warnings().begin(), printer.Warnings().end());
  return result;
}

}  // namespace zd::cli
