// zdreport: command line front end. `zdreport demo --db examples/demo.db -o
// out/demo.pdf` prepares a multi-page list of order lines from the example
// database and prints it on the virtual PDF printer.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "host/data/SqlDataSet.h"
#include "host/locale/DateTime.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"

namespace {

constexpr const char* kUsage =
    "Usage: zdreport demo [--db FILE.db] -o FILE.pdf\n"
    "       zdreport --help\n"
    "\n"
    "  demo              prepare the demo report over the order lines of the\n"
    "                    example database, print it to FILE.pdf on the virtual\n"
    "                    PDF printer and save its first page as demo-page1.emf\n"
    "                    next to FILE.pdf\n"
    "  --db FILE.db      the SQLite database (default examples/demo.db)\n"
    "  --help            show this text\n";

struct TArguments {
  std::string output;
  std::string database = "examples/demo.db";
};

// Throws std::invalid_argument with the reason for a bad command line.
TArguments ParseArguments(const std::vector<std::string>& args) {
  if (args.empty()) throw std::invalid_argument("no command given");
  if (args[0] != "demo") throw std::invalid_argument("unknown command '" + args[0] + "'");
  TArguments result;
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
    return RunDemo(parsed);
  } catch (const std::exception& e) {
    std::cerr << "zdreport: error: " << e.what() << "\n";
    return 1;
  }
}
