// Reports exported as XML, HTML, CSV and plain text must read back in
// independent tools with the texts that were drawn: xmllint for XML,
// tidy and Python's HTML parser for HTML, Python's strict CSV reader for CSV.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "export/markup/CsvExport.h"
#include "export/markup/HtmlExport.h"
#include "export/markup/TextExport.h"
#include "export/markup/XmlExport.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"

using namespace zd;

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

ToolRun RunTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(60000)) return {};
  return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr int kColumnX[] = {50, 250, 450};
constexpr int kRowY[] = {100, 140, 180, 220};
constexpr int kPages = 3;

// The table of one page: row 0 is a header; the cell in the middle of the
// third row stays empty; the last row holds names in many scripts and a
// text a spreadsheet would take for a formula.
std::vector<std::vector<std::string>> TableOf(int page) {
  const std::string p = std::to_string(page + 1);
  return {{"Dish " + p, "Price; net", "Note \"" + p + "\""},
          {"Fish & Chips", "<4.50>", "cr\u00e8me br\u00fbl\u00e9e"},
          {"a > b & c", "", "it's " + p},
          {"\u0141\u00f3d\u017a \u03a9\u03bc\u03ad\u03b3\u03b1", "\u041f\u0440\u0438\u0432\u0435\u0442 \u05e9\u05dc\u05d5\u05dd",
           "\u0645\u0631\u062d\u0628\u0627 \u4e2d\u6587 =1+2"}};
}

class TableReport : public TZdPrintComponent {
 public:
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 0; p < kPages; ++p) {
      NewPage();
      const auto table = TableOf(p);
      for (size_t r = 0; r < table.size(); ++r)
        for (size_t c = 0; c < table[r].size(); ++c)
          if (!table[r][c].empty()) Producer().MFCanvas()->TextOut(kColumnX[c], kRowY[r], table[r][c]);
    }
    EndDoc();
  }
};

// Rows of cells, each cell hex-encoded UTF-8 by the Python side, tab-separated.
std::vector<std::vector<std::string>> DecodeHexRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> row;
    std::istringstream cells(line + "\t");
    for (std::string hex; std::getline(cells, hex, '\t');) {
      std::string cell;
      for (size_t i = 0; i + 1 < hex.size(); i += 2) cell += char(std::stoi(hex.substr(i, 2), nullptr, 16));
      row.push_back(cell);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<std::string>> ExpectedRows(int firstPage, int lastPage) {
  std::vector<std::vector<std::string>> rows;
  for (int p = firstPage; p <= lastPage; ++p)
    for (const auto& row : TableOf(p)) rows.push_back(row);
  return rows;
}

class MarkupInteropTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    dir = test::UniqueTempPath("markup_interop");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    report.PrepareReport();
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string file(const std::string& name) const { return (dir / name).string(); }

  std::filesystem::path dir;
  TableReport report;
  const TStringList allPages{"1", "2", "3"};
};

TEST_F(MarkupInteropTest, XmlIsWellFormedAndItsAttributesHoldTheTexts) {
  report.ExportTo(file("report.xml"), false, allPages, ExportClassOf<TZdqExportToXML>());
  const ToolRun lint = RunTool("xmllint", {"--noout", QString::fromStdString(file("report.xml"))});
  EXPECT_EQ(lint.exitCode, 0) << lint.err;
  EXPECT_EQ(lint.err, "");

  const auto rows = ExpectedRows(0, kPages - 1);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const QString xpath = QString("string(/RECORDS/RECORD[%1]/ROW/@Column%2)").arg(r + 1).arg(c + 1);
      ToolRun value = RunTool("xmllint", {"--xpath", xpath, QString::fromStdString(file("report.xml"))});
      if (!value.out.empty() && value.out.back() == '\n') value.out.pop_back();
      EXPECT_EQ(value.out, rows[r][c]) << xpath.toStdString();
    }
  const ToolRun count = RunTool("xmllint", {"--xpath", "count(/RECORDS/RECORD)", QString::fromStdString(file("report.xml"))});
  EXPECT_EQ(std::stoi(count.out), int(rows.size()));
}

// tidy's warnings that the table markup itself brings: no document type,
// and the presentational attributes and font tags HTML5 dropped.
bool IsExpectedTidyWarning(const std::string& line) {
  static const char* const expected[] = {
      "Warning: missing <!DOCTYPE> declaration",
      "Warning: <body> attribute \"bgcolor\" not allowed for HTML5",
      "Warning: <font> element removed from HTML5",
      "Warning: <td> attribute \"align\" not allowed for HTML5",
      "Warning: <td> attribute \"bgcolor\" not allowed for HTML5",
  };
  for (const char* w : expected)
    if (line.find(w) != std::string::npos) return true;
  return false;
}

TEST_F(MarkupInteropTest, HtmlPassesTidyAndItsCellsHoldTheTexts) {
  report.ExportTo(file("report.html"), false, allPages, ExportClassOf<TZdqExportToHTML>());
  const ToolRun tidy = RunTool("tidy", {"-e", "-q", QString::fromStdString(file("report.html"))});
  EXPECT_LE(tidy.exitCode, 1) << tidy.err;  // 2 means errors
  std::istringstream lines(tidy.err);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(IsExpectedTidyWarning(line)) << line;

  // The declared charset decodes the file; entities and references resolve to the drawn texts.
  const std::string script =
      "import html.parser, re, sys\n"
      "data = open(sys.argv[1], 'rb').read()\n"
      "charset = re.search(rb'charset=([A-Za-z0-9-]+)', data).group(1).decode()\n"
      "class P(html.parser.HTMLParser):\n"
      "    rows = []; cell = None\n"
      "    def handle_starttag(self, tag, attrs):\n"
      "        if tag == 'tr': self.rows.append([])\n"
      "        if tag == 'td': self.cell = ''\n"
      "    def handle_endtag(self, tag):\n"
      "        if tag == 'td': self.rows[-1].append(self.cell); self.cell = None\n"
      "    def handle_data(self, d):\n"
      "        if self.cell is not None: self.cell += d\n"
      "p = P(); p.feed(data.decode(charset)); p.close()\n"
      "for r in p.rows: print('\\t'.join(c.replace('\\xa0', '').encode('utf-8').hex() for c in r))\n";
  const ToolRun parsed = RunTool("python3", {"-c", QString::fromStdString(script), QString::fromStdString(file("report.html"))});
  ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
  EXPECT_EQ(DecodeHexRows(parsed.out), ExpectedRows(0, kPages - 1));
}

const char* const kCsvReader =
    "import csv, sys\n"
    "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
    "    for r in csv.reader(f, delimiter=';', strict=True):\n"
    "        print('\\t'.join(c.encode('utf-8').hex() for c in r))\n";

TEST_F(MarkupInteropTest, CsvReadsBackStrictlyWithTheDrawnTexts) {
  report.ExportTo(file("report.csv"), false, allPages, ExportClassOf<TZdqExportToCSV>());
  const ToolRun parsed = RunTool("python3", {"-c", kCsvReader, QString::fromStdString(file("report.csv"))});
  ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
  EXPECT_EQ(DecodeHexRows(parsed.out), ExpectedRows(0, kPages - 1));
  EXPECT_EQ(ReadFile(dir / "report.csv").substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(MarkupInteropTest, CsvFieldsThatLookLikeFormulasAreNotEvaluatedBySpreadsheets) {
  class TFormulaPage : public TZdPrintComponent {
   public:
    void PrepareReport() override {
      TZdPrintComponent::PrepareReport();
      BeginDoc();
      NewPage();
      Producer().MFCanvas()->TextOut(50, 100, "=1+2");
      Producer().MFCanvas()->TextOut(250, 100, "-7.25");
      Producer().MFCanvas()->TextOut(450, 100, "@SUM(A1:A2)");
      EndDoc();
    }
  } formulas;
  formulas.SetAnimatedStatus(false);
  formulas.PrepareReport();
  formulas.ExportTo(file("formulas.csv"), false, TStringList{"1"}, ExportClassOf<TZdqExportToCSV>());
  // LibreOffice evaluates what it takes for a formula: the guarded fields come back as the texts.
  const QString profile = QString::fromStdString("file://" + (dir / "lo-profile").string());
  const ToolRun converted =
      RunTool("soffice", {"-env:UserInstallation=" + profile, "--headless", "--infilter=CSV:59,34,76,1",
                          "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir",
                          QString::fromStdString((dir / "lo").string()), QString::fromStdString(file("formulas.csv"))});
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  const std::string back = ReadFile(dir / "lo" / "formulas.csv");
  EXPECT_NE(back.find("=1+2"), std::string::npos) << back;
  EXPECT_EQ(back.find(",3,"), std::string::npos) << back;
  EXPECT_NE(back.find("-7.25"), std::string::npos) << back;
  EXPECT_NE(back.find("@SUM(A1:A2)"), std::string::npos) << back;
}

TEST_F(MarkupInteropTest, FilesPerPageHoldTheirOwnPageOnly) {
  report.ExportTo(file("page.csv"), true, allPages, ExportClassOf<TZdqExportToCSV>());
  report.ExportTo(file("page.xml"), true, TStringList{"2", "3"}, ExportClassOf<TZdqExportToXML>());
  for (int p = 0; p < kPages; ++p) {
    const std::string name = "page" + std::to_string(p) + "_0";
    const ToolRun csv = RunTool("python3", {"-c", kCsvReader, QString::fromStdString(file(name + ".csv"))});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(DecodeHexRows(csv.out), ExpectedRows(p, p)) << name;
    if (p == 0) {
      EXPECT_FALSE(std::filesystem::exists(file(name + ".xml")));
      continue;
    }
    const QString xml = QString::fromStdString(file(name + ".xml"));
    EXPECT_EQ(RunTool("xmllint", {"--noout", xml}).exitCode, 0);
    EXPECT_EQ(RunTool("xmllint", {"--xpath", "count(/RECORDS/RECORD)", xml}).out, std::to_string(TableOf(p).size()) + "\n") << name;
    ToolRun first = RunTool("xmllint", {"--xpath", "string(/RECORDS/RECORD[1]/ROW/@Column1)", xml});
    EXPECT_EQ(first.out, TableOf(p)[0][0] + "\n") << name;
  }
}

// The line and 1-based column a text-out lands on: its bounds widened by one,
// by 16 units a line and 5.1 a column, halves to the even one.
int LineOf(int page, int pageHeight, int y) { return int(std::nearbyint((page * pageHeight + y - 1) / 16.0)); }
int ColumnOf(int x) { return int(std::nearbyint((x - 1) / 5.1)); }

std::vector<std::u32string> TextLines(const std::string& bytes) {
  std::vector<std::u32string> lines;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(QString::fromUtf8(bytes.substr(start, end - start)).toStdU32String());
    start = end + 2;
  }
  return lines;
}

TEST_F(MarkupInteropTest, TextPlacesEveryTextAtItsLineAndColumnInUtf8) {
  report.ExportTo(file("report.txt"), false, allPages, ExportClassOf<TZdqExportToText>());
  const std::string bytes = ReadFile(dir / "report.txt");
  ASSERT_TRUE(QString::fromUtf8(bytes).toUtf8().toStdString() == bytes) << "the file is UTF-8";
  const std::vector<std::u32string> lines = TextLines(bytes);
  const int height = report.Pages().At(0).Drawing()->Height();
  int formFeeds = 0;
  for (const std::u32string& line : lines) formFeeds += int(std::count(line.begin(), line.end(), U'\f'));
  EXPECT_EQ(formFeeds, kPages - 1);
  for (int p = 0; p < kPages; ++p) {
    const auto table = TableOf(p);
    for (size_t r = 0; r < table.size(); ++r)
      for (size_t c = 0; c < table[r].size(); ++c) {
        if (table[r][c].empty()) continue;
        const size_t line = size_t(LineOf(p, height, kRowY[r]));
        ASSERT_LT(line, lines.size());
        const std::u32string expected = QString::fromStdString(table[r][c]).toStdU32String();
        EXPECT_EQ(lines[line].substr(size_t(ColumnOf(kColumnX[c]) - 1), expected.size()), expected)
            << "page " << p + 1 << " line " << line;
      }
  }
}

TEST_F(MarkupInteropTest, TextOfSelectedPagesLeavesNoRoomForTheOthers) {
  report.ExportTo(file("some.txt"), false, TStringList{"1", "3"}, ExportClassOf<TZdqExportToText>());
  const std::vector<std::u32string> lines = TextLines(ReadFile(dir / "some.txt"));
  const int height = report.Pages().At(0).Drawing()->Height();
  // Page 3 follows page 1 directly: its first row is where page 2's would be.
  const size_t line = size_t(LineOf(1, height, kRowY[0]));
  ASSERT_LT(line, lines.size());
  EXPECT_NE(lines[line].find(U"Dish 3"), std::u32string::npos);
  EXPECT_LT(lines.size(), size_t(LineOf(2, height, 0)));
}

}  // namespace
