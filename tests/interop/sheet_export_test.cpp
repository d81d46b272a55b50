// Reports exported to XLS, WK1 and WQ1 must read back in independent
// spreadsheet readers with the texts drawn, each in its row and column.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/CellNumber.h"
#include "export/sheet/Excel.h"
#include "export/sheet/Lotus.h"
#include "export/sheet/QuattroPro.h"
#include "export/sheet/XlsxExport.h"
#include "tests/Fixtures.h"
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
// the numbers right-aligned in their boxes as a report draws them, so that
// numbers of different widths start at different x.
class PriceList : public TZdPrintComponent {
 public:
  static constexpr int kLeft[3] = {60, 300, 420}, kWidth[3] = {200, 80, 120};
  std::vector<TTable> pages{
      {{"Item", "Qty", "Price"}, {"Apples", "12", "3.50"}, {"Pears", "7", "1,234.25"}, {"Plums", "130", "-0.99"}},
      {{"Item", "Qty", "Price"}, {"Cherries", "4", "12.00"}, {"Figs, dried", "25", "7.10"}}};

  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (const TTable& page : pages) {
      NewPage();
      int y = 80;
      for (const auto& row : page) {
        for (size_t c = 0; c < row.size(); ++c) {
          TRect box{kLeft[c], y, kLeft[c] + kWidth[c], y + 20};
          Producer().MFCanvas()->DrawText(box, row[c], DT_SINGLELINE | (c == 0 ? DT_LEFT : DT_RIGHT));
        }
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

std::string ValueText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "#%.2f", value);
  return text;
}

// The drawn table as a reader that gives values rather than shown texts
// reports it: numbers as "#" and the value with two decimals.
TTable AsValues(TTable table) {
  for (auto& row : table)
    for (auto& text : row)
      if (const std::optional<TCellNumber> n = ReadCellNumber(text)) text = ValueText(n->Value);
  return table;
}

// A reader's table with its number texts ("3.5", "1,234.25" where the
// reader shows the format, "-0.98999999999" where it shows raw values) in
// the same form.
TTable ReadValues(TTable table) {
  for (auto& row : table)
    for (auto& text : row) {
      char* end = nullptr;
      const double value = std::strtod(text.c_str(), &end);
      if (const std::optional<TCellNumber> n = ReadCellNumber(text)) text = ValueText(n->Value);
      else if (!text.empty() && end == text.c_str() + text.size()) text = ValueText(value);
    }
  return table;
}

struct Format {
  const char* extension;
  TZdqExportClass exportClass;
};

class SheetExportInterop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    dir = test::UniqueTempPath("zd_sheet_interop");
    fs::remove_all(dir);
    fs::create_directories(dir);
    report.SetAnimatedStatus(false);
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
  // file must exist. No filter: LibreOffice detects the format. The CSV is UTF-8.
  static TTable Soffice(const fs::path& file, const char* filter) {
    const fs::path outDir = file.parent_path() / (std::string("lo_") + (filter ? filter : "detected"));
    fs::create_directories(outDir);
    const fs::path profile = test::UniqueTempPath("zd_sheet_interop_lo_profile");
    QStringList args{"-env:UserInstallation=file://" + QString::fromStdString(profile.string()), "--headless",
                     "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", QString::fromStdString(outDir.string()),
                     QString::fromStdString(file.string())};
    if (filter) args << QString("--infilter=") + filter;
    const ToolRun run = RunTool("soffice", args);
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

// Numbers as "#" and their value with two decimals, texts as they are;
// the labels decoded by the file's own code page record.
TTable Xlrd(const fs::path& file) {
  const char* script =
      "import sys, xlrd\n"
      "book = xlrd.open_workbook(sys.argv[1])\n"
      "sheet = book.sheet_by_index(0)\n"
      "def shown(cell):\n"
      "    if cell.ctype == xlrd.XL_CELL_NUMBER: return '#%.2f' % cell.value\n"
      "    return str(cell.value)\n"
      "for r in range(sheet.nrows):\n"
      "    print(','.join('\"' + shown(sheet.cell(r, c)).replace('\"', '\"\"') + '\"'\n"
      "                   for c in range(sheet.ncols)))\n";
  const ToolRun run = RunTool(kPython, {"-c", script, QString::fromStdString(file.string())});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return Trimmed(ParseCsv(run.out));
}

TEST_F(SheetExportInterop, XlsReadsBackInXlrdWithEveryTextAndNumberInItsCell) {
  if (!HaveXlrd()) GTEST_SKIP() << "python3 with xlrd is not installed";
  const TTable read = Xlrd(Export("xls", ExportClassOf<TZdqExportToExcel>()));
  EXPECT_EQ(read, AsValues(report.AllRows())) << Show(read);
}

TEST_F(SheetExportInterop, XlsAndWk1ReadBackInGnumeric) {
  if (!HaveTool("ssconvert")) GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
  for (const Format& f : {Format{"xls", ExportClassOf<TZdqExportToExcel>()},
                          Format{"wk1", ExportClassOf<TZdqExportToLotus>()}}) {
    const TTable read = ReadValues(Ssconvert(Export(f.extension, f.exportClass)));
    EXPECT_EQ(read, AsValues(report.AllRows())) << f.extension << "\n" << Show(read);
  }
}

TEST_F(SheetExportInterop, Wk1ReadsBackInLibwps) {
  if (!HaveTool("wks2csv")) GTEST_SKIP() << "wks2csv (libwps-tools) is not installed";
  const TTable read = ReadValues(Wks2csv(Export("wk1", ExportClassOf<TZdqExportToLotus>())));
  EXPECT_EQ(read, AsValues(report.AllRows())) << Show(read);
}

TEST_F(SheetExportInterop, Wq1ReadsBackInLibwpsAndLibreOfficeWithEveryLabelWhole) {
  if (!HaveTool("wks2csv") || !HaveTool("soffice")) GTEST_SKIP() << "wks2csv or soffice is not installed";
  const fs::path file = Export("wq1", ExportClassOf<TZdqExportToQuattroPro>());
  const TTable libwps = ReadValues(Wks2csv(file));
  EXPECT_EQ(libwps, AsValues(report.AllRows())) << Show(libwps);
  // LibreOffice finds the format by the file's content.
  const TTable libreOffice = ReadValues(Soffice(file, nullptr));
  EXPECT_EQ(libreOffice, AsValues(report.AllRows())) << Show(libreOffice);
}

TEST_F(SheetExportInterop, XlsAndWk1ReadBackInLibreOffice) {
  if (!HaveTool("soffice")) GTEST_SKIP() << "soffice (LibreOffice) is not installed";
  struct Case {
    Format format;
    const char* filter;
  };
  for (const Case& c : {Case{{"xls", ExportClassOf<TZdqExportToExcel>()}, "MS Excel 95"},
                        Case{{"wk1", ExportClassOf<TZdqExportToLotus>()}, "Lotus"}}) {
    const TTable read = ReadValues(Soffice(Export(c.format.extension, c.format.exportClass), c.filter));
    EXPECT_EQ(read, AsValues(report.AllRows())) << c.format.extension << "\n" << Show(read);
  }
}

TEST_F(SheetExportInterop, EachFileOfAPageReadsBackAsThatPageOnly) {
  if (!HaveXlrd()) GTEST_SKIP() << "python3 with xlrd is not installed";
  Export("xls", ExportClassOf<TZdqExportToExcel>(), true);
  for (size_t p = 0; p < report.pages.size(); ++p) {
    const fs::path file = dir / ("prices" + std::to_string(p) + "_0.xls");
    ASSERT_TRUE(fs::exists(file)) << file;
    const TTable read = Xlrd(file);
    EXPECT_EQ(read, AsValues(report.pages[p])) << file << "\n" << Show(read);
  }
}

// Names in many scripts on one page, as an address list would show them.
class ScriptsPage : public TZdPrintComponent {
 public:
  static inline const TTable kRows = {
      {"\u0141\u00f3d\u017a", "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1"},
      {"\u041c\u043e\u0441\u043a\u0432\u0430", "\u05d9\u05e8\u05d5\u05e9\u05dc\u05d9\u05dd"},
      {"\u0627\u0644\u0642\u0627\u0647\u0631\u0629", "\u5317\u4eac"}};
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    NewPage();
    for (size_t r = 0; r < kRows.size(); ++r)
      for (size_t c = 0; c < 2; ++c)
        Producer().MFCanvas()->TextOut(60 + 240 * int(c), 80 + 30 * int(r), kRows[r][c]);
    EndDoc();
  }
};

// Cells as openpyxl reads them: numbers as "#" and the value, texts as
// they are; then per cell its number format, horizontal alignment and font.
TTable Openpyxl(const fs::path& file, const char* what) {
  const std::string script = std::string(
      "import csv, sys, openpyxl\n"
      "sys.stdout.reconfigure(encoding='utf-8')\n"
      "sheet = openpyxl.load_workbook(sys.argv[1]).active\n"
      "out = csv.writer(sys.stdout, quoting=csv.QUOTE_ALL, lineterminator='\\n')\n"
      "def shown(cell):\n"
      "    if cell.value is None: return ''\n"
      "    if isinstance(cell.value, (int, float)): return '#%.2f' % cell.value\n"
      "    return cell.value\n"
      "for row in sheet.iter_rows():\n"
      "    out.writerow(") + what + " for cell in row])\n";
  const ToolRun run = RunTool(kPython, {"-c", QString::fromStdString(script), QString::fromStdString(file.string())});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return Trimmed(ParseCsv(run.out));
}

bool HaveOpenpyxl() { return fs::exists(kPython) && RunTool(kPython, {"-c", "import openpyxl"}).exitCode == 0; }

TEST_F(SheetExportInterop, XlsxReadsBackInOpenpyxlWithNumbersTheirFormatsAndLooks) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "python3 with openpyxl is not installed";
  const fs::path file = Export("xlsx", ExportClassOf<TZdqExportToXLSX>());
  const TTable values = Openpyxl(file, "[shown(cell)");
  EXPECT_EQ(values, AsValues(report.AllRows())) << Show(values);

  // Each number keeps the look of its text: grouping, decimals, alignment.
  const TTable formats = Openpyxl(file, "[cell.number_format + '|' + str(cell.alignment.horizontal)");
  ASSERT_GE(formats.size(), 3u);
  EXPECT_EQ(formats[1][1], "0|right");
  EXPECT_EQ(formats[1][2], "0.00|right");
  EXPECT_EQ(formats[2][2], "#,##0.00|right");
  EXPECT_EQ(formats[1][0], "General|left");
  const TTable fonts = Openpyxl(file, "[str(cell.font.name) + '|' + str(cell.font.sz)");
  EXPECT_EQ(fonts[1][0], "Arial|10.0");

  // A sum over the price column gives the total of the prices drawn.
  double drawn = 0, read = 0;
  for (size_t r = 0; r < values.size(); ++r) {
    if (const auto n = ReadCellNumber(report.AllRows()[r][2])) drawn += n->Value;
    if (values[r].size() > 2 && values[r][2][0] == '#') read += std::stod(values[r][2].substr(1));
  }
  EXPECT_DOUBLE_EQ(read, drawn);
}

TEST_F(SheetExportInterop, XlsxKeepsEveryScriptAndXlsItsCodePage) {
  if (!HaveOpenpyxl() || !HaveXlrd()) GTEST_SKIP() << "python3 with openpyxl and xlrd is not installed";
  ScriptsPage scripts;
  scripts.SetAnimatedStatus(false);
  scripts.PrepareReport();
  const fs::path xlsx = dir / "scripts.xlsx";
  scripts.ExportTo(xlsx.string(), false, TStringList{"1"}, ExportClassOf<TZdqExportToXLSX>());
  EXPECT_EQ(Openpyxl(xlsx, "[shown(cell)"), ScriptsPage::kRows);

  // A Cyrillic code page keeps the Cyrillic names; the rest become '?'.
  const fs::path xls = dir / "scripts.xls";
  size_t replaced = 0;
  scripts.ExportTo(xls.string(), false, TStringList{"1"}, [&](TComponent* owner) {
    auto excel = std::make_unique<TZdqExportToExcel>(owner);
    excel->SetCodePage(1251);
    excel->OnEndExecute = [&](TComponent* sender) { replaced = static_cast<TZdqExport*>(sender)->ReplacedCharacters; };
    return std::unique_ptr<TZdqExport>(std::move(excel));
  });
  const TTable read = Xlrd(xls);
  ASSERT_EQ(read.size(), 3u) << Show(read);
  EXPECT_EQ(read[1][0], ScriptsPage::kRows[1][0]);
  EXPECT_EQ(read[0][0], "??d?");  // the Polish letters cp1251 lacks
  size_t lost = 0;
  for (const auto& row : read)
    for (const auto& text : row) lost += size_t(std::count(text.begin(), text.end(), '?'));
  EXPECT_EQ(replaced, lost);
}

TEST_F(SheetExportInterop, Wk1LabelsReadBackAsWrittenInBothLotusReaders) {
  if (!HaveTool("wks2csv") || !HaveTool("soffice")) GTEST_SKIP() << "wks2csv or soffice is not installed";
  class TNamesPage : public TZdPrintComponent {
   public:
    void PrepareReport() override {
      TZdPrintComponent::PrepareReport();
      BeginDoc();
      NewPage();
      Producer().MFCanvas()->TextOut(60, 80, "Caf\u00e9 M\u00fcller");
      Producer().MFCanvas()->TextOut(60, 110, "Ni\u00f1o \u00c5ngstr\u00f6m \u00df");
      Producer().MFCanvas()->TextOut(60, 140, "\u00d8resund");  // the readers disagree on the byte for this letter
      EndDoc();
    }
  } names;
  names.SetAnimatedStatus(false);
  names.PrepareReport();
  const fs::path file = dir / "names.wk1";
  names.ExportTo(file.string(), false, TStringList{"1"}, ExportClassOf<TZdqExportToLotus>());
  const TTable expected = {{"Caf\u00e9 M\u00fcller"}, {"Ni\u00f1o \u00c5ngstr\u00f6m \u00df"}, {"?resund"}};
  EXPECT_EQ(Wks2csv(file), expected);
  EXPECT_EQ(Soffice(file, nullptr), expected);
}

}  // namespace
