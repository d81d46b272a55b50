// zdreport: command line front end. `zdreport demo --db examples/demo.db -o
// out/demo.pdf` prepares a multi-page list of order lines from the example
// database and prints it on the virtual PDF printer; `dump` lists a report
// template's contents and `make-example` writes the example template.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "host/data/SqlDataSet.h"
#include "host/locale/DateTime.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"
#include "report/ShapeControls.h"
#include "report/Template.h"
#include "report/TemplateDump.h"
#include "report/TextControls.h"
#include "report/ZdReport.h"

namespace {

constexpr const char* kUsage =
    "Usage: zdreport demo [--db FILE.db] -o FILE.pdf\n"
    "       zdreport dump FILE.zdq\n"
    "       zdreport make-example FILE.zdq\n"
    "       zdreport --help\n"
    "\n"
    "  demo              prepare the demo report over the order lines of the\n"
    "                    example database, print it to FILE.pdf on the virtual\n"
    "                    PDF printer and save its first page as demo-page1.emf\n"
    "                    next to FILE.pdf\n"
    "  --db FILE.db      the SQLite database (default examples/demo.db)\n"
    "  dump              list a report template: each object's class and name,\n"
    "                    its stored properties as path = value, its children\n"
    "                    indented below it\n"
    "  make-example      write the example template: the order lines grouped\n"
    "                    by country, with page header and footer, group\n"
    "                    header and footer, detail and summary\n"
    "  --help            show this text\n";

struct TArguments {
  std::string command;
  std::string output;
  std::string database = "examples/demo.db";
};

// Throws std::invalid_argument with the reason for a bad command line.
TArguments ParseArguments(const std::vector<std::string>& args) {
  if (args.empty()) throw std::invalid_argument("no command given");
  TArguments result;
  result.command = args[0];
  if (args[0] == "dump" || args[0] == "make-example") {
    if (args.size() != 2) throw std::invalid_argument(args[0] + " needs exactly one file name");
    result.output = args[1];
    return result;
  }
  if (args[0] != "demo") throw std::invalid_argument("unknown command '" + args[0] + "'");
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size()) throw std::invalid_argument("-o needs a file name");
      result.output = args[++i];
    } else if (args[i] == "--db") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--db needs a file name");
      result.database = args[++i];
    } else {
      throw std::invalid_argument("unexpected argument '" + args[i] + "'");
    }
  }
  if (result.output.empty()) throw std::invalid_argument("no output file given (-o FILE.pdf)");
  return result;
}

std::string IsoDate(int64_t dayNumber) {
  const zd::TDateParts d = zd::DecodeDate(zd::TDateTime{double(dayNumber)});
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

// A table of order lines over several pages with a title, running text, a
// grid and "Page N of M" footers; two passes make M known on every page.
class TDemoReport : public zd::TZdPrintComponent {
 public:
  explicit TDemoReport(zd::TDataSet& lines) : lines_(lines) {
    SetTwoPass(true);
    AnimatedStatus = false;
    ZdProperty().Title = "ZdReport demo";
    ZdProperty().Author = "ZdReport";
  }

  void PrepareReport() override {
    zd::TZdPrintComponent::PrepareReport();
    BeginDoc();
    lines_.First();
    do {
      NewPage();
      DrawHeader();
      DrawTable();
      DrawFooter();
    } while (!lines_.Eof());
    EndDoc();
  }

 private:
  static constexpr int kRowHeight = 22;
  static constexpr int kColumns[] = {0, 70, 170, 280, 480, 540, 620};  // relative x of the grid lines

  zd::TDataSet& lines_;

  int Left() { return std::max(CurrentPage()->OffsetLeft, 0) + 48; }
  int Bottom() { return intMaxPageHeight - 60; }

  zd::TVariant Sys(zd::TZdqSysDataType kind) {
    zd::TVariant v;
    GetSysDataValue(kind, v);
    return v;
  }

  void DrawHeader() {
    zd::TCanvas& c = *MFCanvas;
    intCurHeight = std::max(intCurHeight, 0) + 40;
    if (intCurPage == 0) {
      c.Font = zd::TFont{};
      c.Font.Size = 20;
      c.Font.Style = zd::TFontStyles(zd::fsBold);
      c.TextOut(Left(), intCurHeight, ZdProperty().Title);
      intCurHeight += zd::FontLineHeight(c.Font) + 8;
      c.Font = zd::TFont{};
      c.Font.Size = 10;
      for (const char* line : {"This report was prepared by the print engine and printed on the",
                               "virtual PDF printer. Every page is an enhanced metafile; the page",
                               "count in the footer is known in advance because the report runs twice."}) {
        c.TextOut(Left(), intCurHeight, line);
        intCurHeight += zd::FontLineHeight(c.Font);
      }
      intCurHeight += 16;
    }
    c.Font = zd::TFont{};
    c.Font.Size = 10;
    c.Font.Style = zd::TFontStyles(zd::fsBold);
    DrawRow({"Order", "Date", "Country", "Product", "Qty", "Amount"});
  }

  void DrawRow(const std::vector<std::string>& cells) {
    zd::TCanvas& c = *MFCanvas;
    const int top = intCurHeight, left = Left();
    c.Pen = zd::TPen{};
    c.MoveTo(left, top);
    c.LineTo(left + kColumns[6], top);
    for (int x : kColumns) {
      c.MoveTo(left + x, top);
      c.LineTo(left + x, top + kRowHeight);
    }
    for (size_t i = 0; i < cells.size(); ++i) c.TextOut(left + kColumns[i] + 6, top + 4, cells[i]);
    intCurHeight += kRowHeight;
    c.MoveTo(left, intCurHeight);
    c.LineTo(left + kColumns[6], intCurHeight);
  }

  // Draws order lines from the current row while they fit.
  void DrawTable() {
    MFCanvas->Font = zd::TFont{};
    MFCanvas->Font.Size = 9;
    while (!lines_.Eof() && intCurHeight + kRowHeight <= Bottom()) {
      char amount[32];
      std::snprintf(amount, sizeof amount, "%.2f", lines_.FieldByName("amount").AsFloat());
      DrawRow({lines_.FieldByName("order_id").AsString(), lines_.FieldByName("order_date").AsString(),
               lines_.FieldByName("country").AsString(), lines_.FieldByName("product").AsString(),
               lines_.FieldByName("quantity").AsString(), amount});
      lines_.Next();
    }
  }

  void DrawFooter() {
    zd::TCanvas& c = *MFCanvas;
    c.Font = zd::TFont{};
    c.Font.Size = 9;
    const int y = Bottom() + 20;
    c.TextOut(Left(), y, "Printed " + IsoDate(Sys(zd::TZdqSysDataType::sdDate).asInteger()));
    const std::string pageText = "Page " + std::to_string(Sys(zd::TZdqSysDataType::sdPageNo).asInteger()) +
                                 " of " + std::to_string(Sys(zd::TZdqSysDataType::sdPageCount).asInteger());
    c.SetTextAlign(zd::TA_RIGHT | zd::TA_TOP);
    c.TextOut(Left() + kColumns[6], y, pageText);
    c.SetTextAlign(zd::TA_LEFT | zd::TA_TOP);
  }
};

int RunDemo(const TArguments& args) {
  namespace fs = std::filesystem;
  const fs::path pdf(args.output);
  if (pdf.has_parent_path()) fs::create_directories(pdf.parent_path());
  const fs::path emf = pdf.parent_path() / "demo-page1.emf";

  zd::TSystemPrinter& printer = zd::TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(true);
  if (!printer.SelectByName(zd::TSystemPrinter::VirtualPrinterName))
    throw std::runtime_error("the virtual PDF printer is not available");

  if (!fs::exists(args.database)) throw std::runtime_error("database not found: " + args.database);
  zd::TSqlDataSet lines;
  lines.SetDatabaseName(args.database);
  lines.SetSQL("SELECT order_id, order_date, country, product, quantity, amount FROM order_lines "
               "ORDER BY order_id, product");
  lines.Open();
  TDemoReport report(lines);
  report.PrinterSetting().SetPrinterName(zd::TSystemPrinter::VirtualPrinterName);
  report.PrinterSetting().SetPaperSize(zd::TZdqPaperSize::psA4);
  report.OutputFileName = pdf.string();
  report.Prepare();
  if (report.Pages().Count() == 0) throw std::runtime_error("the demo report made no pages");
  report.Pages().At(0).Data.SaveToFile(emf.string());
  report.PrintReport();
  std::cout << "Wrote " << pdf.string() << " (" << report.NumPages() << " pages) and " << emf.string() << "\n";
  return 0;
}

int RunDump(const TArguments& args) {
  std::ifstream in(args.output, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + args.output);
  const zd::TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::cout << zd::DumpStreamTree(zd::ReadTemplateTree(data));
  return 0;
}

// The example template: the order lines of the example database grouped by
// country. Its dataset reference names "OrderLines", the component an
// application provides.
class TExampleTemplate {
 public:
  TExampleTemplate() {
    lines_->SetName("OrderLines");
    report_->SetName("OrderList");
    report_->SetDataSet(lines_);
    report_->SetTwoPass(true);  // the page count is known on every page
    report_->ZdProperty().Title = "Order lines by country";
    report_->PrinterSetting().SetPaperSize(zd::TZdqPaperSize::psA4);
    report_->DeleteAllBands();
    BuildPageHeader();
    BuildGroup();
    BuildDetail();
    BuildPageFooter();
    BuildSummary();
  }

  void Save(const std::string& fileName) { zd::SaveReport(*report_, fileName); }

 private:
  static constexpr int kColumns[] = {0, 70, 170, 420, 480};

  zd::TZdqBand& Band(zd::TBandType type, int height) {
    zd::TZdqBand& band = *report_->GetBand(report_->AddBand(type, true));
    band.SetHeight(height);
    return band;
  }

  template <class T>
  T& Place(zd::TZdqBand& band, int left, int top, int width) {
    auto* control = new T(&band);
    control->SetLeft(left);
    control->SetTop(top);
    control->SetWidth(width);
    return *control;
  }

  zd::TZdqLabel& Text(zd::TZdqBand& band, const std::string& text, int left, int top, int width) {
    auto& label = Place<zd::TZdqLabel>(band, left, top, width);
    label.SetDisplayName(text);
    return label;
  }

  zd::TZdqExpression& Value(zd::TZdqBand& band, const std::string& expression, int left, int width) {
    auto& value = Place<zd::TZdqExpression>(band, left, 2, width);
    value.SetDisplayName(expression);
    value.SetExpression(expression);
    return value;
  }

  void BuildPageHeader() {
    zd::TZdqBand& band = Band(zd::TBandType::btPageHeader, 60);
    auto& title = Text(band, report_->ZdProperty().Title, 0, 4, 400);
    title.Font().Edit().Size = 16;
    title.Font().Edit().Style = zd::TFontStyles(zd::fsBold);
    const char* heads[] = {"Order", "Date", "Product", "Qty", "Amount"};
    for (int i = 0; i < 5; ++i) {
      auto& head = Text(band, heads[i], kColumns[i], 36, i < 4 ? kColumns[i + 1] - kColumns[i] : 90);
      head.Font().Edit().Style = zd::TFontStyles(zd::fsBold);
      head.Frame().SetFrameType(zd::TZdFrameTypes(zd::ftBottom));
    }
  }

  void BuildGroup() {
    zd::TZdqBand& header = Band(zd::TBandType::btGroupHeader, 26);
    header.Expression = "OrderLines.country";
    header.OutlineExpression = "OrderLines.country";
    auto& country = Value(header, "OrderLines.country", 0, 300);
    country.Font().Edit().Style = zd::TFontStyles(zd::fsBold);

    zd::TZdqBand& footer = Band(zd::TBandType::btGroupFooter, 28);
    footer.Expression = header.Expression;
    Text(footer, "Country total", kColumns[2], 4, 200);
    auto& total = Value(footer, "OrderLines.amount", kColumns[4], 90);
    total.SetFormat("@N @ND2 ");
    total.SetAlignment(zd::TAlignment::taRightJustify);
    total.Calculation().CalcType = zd::TCalcType::ctSum;
    total.Calculation().ResetType = zd::TResetType::rtEndGroup;
    total.Calculation().ResetGroup = header.Expression;
    total.Frame().SetFrameType(zd::TZdFrameTypes(zd::ftTop));
  }

  void BuildDetail() {
    zd::TZdqBand& band = Band(zd::TBandType::btDetail, 22);
    const char* fields[] = {"order_id", "order_date", "product", "quantity", "amount"};
    for (int i = 0; i < 5; ++i) {
      auto& value = Value(band, std::string("OrderLines.") + fields[i], kColumns[i],
                          i < 4 ? kColumns[i + 1] - kColumns[i] : 90);
      if (i >= 3) value.SetAlignment(zd::TAlignment::taRightJustify);
      if (i == 4) value.SetFormat("@N @ND2 ");
    }
  }

  void BuildPageFooter() {
    zd::TZdqBand& band = Band(zd::TBandType::btPageFooter, 30);
    auto& line = Place<zd::TZdqLine>(band, 0, 2, 570);
    line.SetHeight(2);
    line.SetLineType(zd::TLineType::ltTop);
    auto& printed = Place<zd::TZdqSysData>(band, 0, 8, 200);
    printed.SetSysData(zd::TZdqSysDataType::sdDate);
    Text(band, "Page", 400, 8, 40);
    Place<zd::TZdqSysData>(band, 440, 8, 40).SetSysData(zd::TZdqSysDataType::sdPageNo);
    Text(band, "of", 480, 8, 30);
    Place<zd::TZdqSysData>(band, 510, 8, 60).SetSysData(zd::TZdqSysDataType::sdPageCount);
  }

  void BuildSummary() {
    zd::TZdqBand& band = Band(zd::TBandType::btReportSummary, 34);
    Text(band, "Grand total", kColumns[2], 8, 200).Font().Edit().Style = zd::TFontStyles(zd::fsBold);
    auto& total = Value(band, "OrderLines.amount", kColumns[4], 90);
    total.SetTop(8);
    total.SetFormat("@N @ND2 ");
    total.SetAlignment(zd::TAlignment::taRightJustify);
    total.Calculation().CalcType = zd::TCalcType::ctSum;
  }

  zd::TComponent root_;
  zd::TSqlDataSet* lines_ = new zd::TSqlDataSet(&root_);
  zd::TZdReport* report_ = new zd::TZdReport(&root_);
};

int RunMakeExample(const TArguments& args) {
  TExampleTemplate().Save(args.output);
  std::cout << "Wrote " << args.output << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  TArguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const std::invalid_argument& e) {
    std::cerr << "zdreport: " << e.what() << "\n\n" << kUsage;
    return 2;
  }
  // Fonts need a GUI application, but no display is needed to make pages.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  try {
    if (parsed.command == "dump") return RunDump(parsed);
    if (parsed.command == "make-example") return RunMakeExample(parsed);
    return RunDemo(parsed);
  } catch (const std::exception& e) {
    std::cerr << "zdreport: error: " << e.what() << "\n";
    return 1;
  }
}
