// Reports exported to XLS, WK1 and WQ1 must read back in independent
// spreadsheet readers with the texts drawn, each in its row and column.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/Excel.h"
#include "export/Lotus.h"
#include "export/QuattroPro.h"
#include "host/graphics/GuiApp.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"
#include "tests/TempPath.h"

using namespace zd;
namespace fs = std::filesystem;

namespace {

using TTable = std::vector<std::vector<std::string>>;

struct ToolRun {
  bool started = false;
  int exitCode = -1;
  std::string out, err;
};

ToolRun RunTool(const QString& tool, const QStringList& args, const QString& workDir = {}) {
  QProcess p;
  if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
  p.start(tool, args);
  if (!p.waitForStarted(10000)) return {};
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    return {true, -1, "", "timed out"};
  }
  return {true, p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

bool HaveTool(const char* name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// Comma-separated values with optional double quotes ("" inside quotes).
TTable ParseCsv(const std::string& text) {
  TTable rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (quoted) {
      if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else if (ch == '"') quoted = false;
      else field += ch;
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      row.push_back(field);
      field.clear();
    } else if (ch == '\n' || ch == '\r') {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(field);
      rows.push_back(row);
      row.clear();
      field.clear();
    } else {
      field += ch;
    }
  }
  if (!field.empty() || !row.empty()) {
    row.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

// Readers differ in how far they pad rows: empty trailing fields and empty
// trailing rows carry nothing to compare.
TTable Trimmed(TTable t) {
  for (auto& row : t)
    while (!row.empty() && row.back().empty()) row.pop_back();
  while (!t.empty() && t.back().empty()) t.pop_back();
  return t;
}

std::string readFile(const fs::path& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Show(const TTable& t) {
  std::ostringstream s;
  for (const auto& row : t) {
    for (const auto& f : row) s << "[" << f << "]";
    s << "\n";
  }
  return s.str();
}

// Two pages of a small price list: a text column, a count and a price,
// the numbers right-aligned as a report would draw them.
class PriceList : public TZdPrintComponent {
 public:
  static constexpr int kColumns[3] = {60, 300, 480};
  std::vector<TTable> pages{
      {{"Item", "Qty", "Price"}, {"Apples", "12", "3.50"}, {"Pears", "7", "2.25"}, {"Plums", "130", "0.99"}},
      {{"Item", "Qty", "Price"}, {"Cherries", "4", "12.00"}, {"Figs, dried", "25", "7.10"}}};

  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (const TTable& page : pages) {
      NewPage();
      int y = 80;
      for (const auto& row : page) {
        for (size_t c = 0; c < row.size(); ++c) MFCanvas->TextOut(kColumns[c], y, row[c]);
        y += 30;
      }
    }
    EndDoc();
  }
  TTable AllRows() const {
    TTable all;
    for (const TTable& page : pages) all.insert(all.end(), page.begin(), page.end());
    return all;
  }
};

struct Format {
  const char* extension;
  TZdqExportClass exportClass;
};

class SheetExportInterop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::ensureGuiApp();
    TSystemPrinter& printer = TSystemPrinter::Instance();
    printer.SetSystemPrintersHidden(true);
    printer.SetVirtualPrinterEnabled(true);
    printer.SetPrinterIndex(-1);
  }
  void SetUp() override {
    dir = test::UniqueTempPath("zd_sheet_interop");
    fs::remove_all(dir);
    fs::create_directories(dir);
    report.AnimatedStatus = false;
    report.PrepareReport();
  }
  fs::path Export(const char* extension, const TZdqExportClass& exportClass, bool perPage = false) {
    const fs::path file = dir / (std::string("prices.") + extension);
    report.ExportTo(file.string(), perPage, TStringList{"1", "2"}, exportClass);
    return file;
  }

  // The sheet as the reader's CSV; the reader's failure fails the test.
  static TTable Ssconvert(const fs::path& file) {
    const fs::path csv = file.string() + ".ssconvert.csv";
    const ToolRun run = RunTool("ssconvert", {"--export-type=Gnumeric_stf:stf_csv", QString::fromStdString(file.string()),
                                              QString::fromStdString(csv.string())});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(csv)) << run.err;
    return Trimmed(ParseCsv(readFile(csv)));
  }
  // wks2csv puts a line of column names (Col1, Col2, ...) before the sheet.
  static TTable Wks2csv(const fs::path& file) {
    const ToolRun run = RunTool("wks2csv", {QString::fromStdString(file.string())});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    TTable read = ParseCsv(run.out);
    if (!read.empty()) {
      for (size_t c = 0; c < read[0].size(); ++c) EXPECT_EQ(read[0][c], "Col" + std::to_string(c + 1));
      read.erase(read.begin());
    }
    return Trimmed(read);
  }
  // LibreOffice exits 0 even when the filter refuses the file: the output
  // file must exist.
  static TTable Soffice(const fs::path& file, const char* filter) {
    const fs::path outDir = file.parent_path() / (std::string("lo_") + filter);
    fs::create_directories(outDir);
    const fs::path profile = test::UniqueTempPath("zd_sheet_interop_lo_profile");
    const ToolRun run = RunTool(
        "soffice", {"-env:UserInstallation=file://" + QString::fromStdString(profile.string()), "--headless",
                    "--convert-to", "csv", QString("--infilter=") + filter, "--outdir",
                    QString::fromStdString(outDir.string()), QString::fromStdString(file.string())});
    const fs::path csv = outDir / (file.stem().string() + ".csv");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(csv)) << "no output from filter " << filter << ": " << run.out << run.err;
    return Trimmed(ParseCsv(readFile(csv)));
  }

  PriceList report;
  fs::path dir;
};

// The system's python, where the distribution's xlrd lives.
constexpr const char* kPython = "/usr/bin/python3";
bool HaveXlrd() { return fs::exists(kPython) && RunTool(kPython, {"-c", "import xlrd"}).exitCode == 0; }

TTable Xlrd(const fs::path& file) {
  const char* script =
      "import sys, xlrd\n"
      "book = xlrd.open_workbook(sys.argv[1], encoding_override='cp1252')\n"
      "sheet = book.sheet_by_index(0)\n"
      "for r in range(sheet.nrows):\n"
      "    print(','.join('\"' + str(sheet.cell_value(r, c)).replace('\"', '\"\"') + '\"'\n"
      "                   for c in range(sheet.ncols)))\n";
  const ToolRun run = RunTool(kPython, {"-c", script, QString::fromStdString(file.string())});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return Trimmed(ParseCsv(run.out));
}

TEST_F(SheetExportInterop, XlsReadsBackInXlrdWithEveryTextInItsCell) {
  if (!HaveXlrd()) GTEST_SKIP() << "python3 with xlrd is not installed";
  const TTable read = Xlrd(Export("xls", ExportClassOf<TZdqExportToExcel>()));
  EXPECT_EQ(read, report.AllRows()) << Show(read);
}

TEST_F(SheetExportInterop, XlsAndWk1ReadBackInGnumeric) {
  if (!HaveTool("ssconvert")) GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
  for (const Format& f : {Format{"xls", ExportClassOf<TZdqExportToExcel>()},
                          Format{"wk1", ExportClassOf<TZdqExportToLotus>()}}) {
    const TTable read = Ssconvert(Export(f.extension, f.exportClass));
    EXPECT_EQ(read, report.AllRows()) << f.extension << "\n" << Show(read);
  }
}

TEST_F(SheetExportInterop, Wk1ReadsBackInLibwps) {
  if (!HaveTool("wks2csv")) GTEST_SKIP() << "wks2csv (libwps-tools) is not installed";
  const TTable read = Wks2csv(Export("wk1", ExportClassOf<TZdqExportToLotus>()));
  EXPECT_EQ(read, report.AllRows()) << Show(read);
}

// libwps takes the character after a WQ1 label's alignment prefix for a
// length byte, so it shows every label without its first character; the
// cells must still all be found in their rows and columns.
TEST_F(SheetExportInterop, Wq1CellsAreFoundByLibwpsInTheirPlaces) {
  if (!HaveTool("wks2csv")) GTEST_SKIP() << "wks2csv (libwps-tools) is not installed";
  const TTable read = Wks2csv(Export("wq1", ExportClassOf<TZdqExportToQuattroPro>()));
  TTable expected = report.AllRows();
  for (auto& row : expected)
    for (auto& text : row) text.erase(0, 1);
  EXPECT_EQ(read, Trimmed(expected)) << Show(read);
}

TEST_F(SheetExportInterop, XlsAndWk1ReadBackInLibreOffice) {
  if (!HaveTool("soffice")) GTEST_SKIP() << "soffice (LibreOffice) is not installed";
  struct Case {
    Format format;
    const char* filter;
  };
  for (const Case& c : {Case{{"xls", ExportClassOf<TZdqExportToExcel>()}, "MS Excel 95"},
                        Case{{"wk1", ExportClassOf<TZdqExportToLotus>()}, "Lotus"}}) {
    const TTable read = Soffice(Export(c.format.extension, c.format.exportClass), c.filter);
    EXPECT_EQ(read, report.AllRows()) << c.format.extension << "\n" << Show(read);
  }
}

TEST_F(SheetExportInterop, EachFileOfAPageReadsBackAsThatPageOnly) {
  if (!HaveXlrd()) GTEST_SKIP() << "python3 with xlrd is not installed";
  Export("xls", ExportClassOf<TZdqExportToExcel>(), true);
  for (size_t p = 0; p < report.pages.size(); ++p) {
    const fs::path file = dir / ("prices" + std::to_string(p) + "_0.xls");
    ASSERT_TRUE(fs::exists(file)) << file;
    const TTable read = Xlrd(file);
    EXPECT_EQ(read, report.pages[p]) << file << "\n" << Show(read);
  }
}

}  // namespace
