// zdreport table and text, run as users run them: every row of a SQLite
// table, and every line of a text file, read back from the PDF and XLSX
// they write by standard tools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using namespace zd::test;

namespace {

const std::string kLines = "SELECT order_id, product, quantity FROM order_lines ORDER BY country, order_id, product";

class CliQuickPrint : public zd::test::TCommandLineTest {
 protected:
  static std::string Sqlite(const std::string& query) {
    const ToolRun run = RunTool("sqlite3", {"-separator", " ", kDatabase, query});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }
};

TEST_F(CliQuickPrint, TablePdfHoldsEveryRowAndTheTotals) {
  const std::string pdf = Out("lines.pdf");
  const ToolRun run = Zdreport({"table", "--data", kData, "--sql", kLines, "--sum", "quantity", "--style", "maple",
                                "-o", pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const ToolRun text = RunTool("pdftotext", {"-q", "-layout", pdf, "-"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const std::map<std::string, int> printed = Counted(Lines(text.out));
  const std::vector<std::string> rows = Lines(Sqlite(kLines));
  ASSERT_GT(rows.size(), 100u);
  for (const auto& [row, count] : Counted(rows)) {
    const auto found = printed.find(row);
    EXPECT_EQ(found == printed.end() ? 0 : found->second, count) << row;
  }
  const std::string total = Lines(Sqlite("SELECT SUM(quantity) FROM order_lines")).at(0);
  EXPECT_EQ(printed.count("Total " + total), 1u) << text.out;
  EXPECT_EQ(printed.count("order_id product quantity"), size_t(1)) << "titles on one line per page";
}

TEST_F(CliQuickPrint, TableXlsxHoldsEveryRowWithGroupTotals) {
  const std::string xlsx = Out("lines.xlsx");
  const ToolRun run = Zdreport({"table", "--data", kData, "--sql",
                                "SELECT country, order_id, quantity FROM order_lines ORDER BY country",
                                "--group", "country", "--sum", "quantity", "-o", xlsx});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Data rows are a country and two numbers; a subtotal row follows each
  // country. The spreadsheet's columns follow the page's texts, so the
  // cells of a row are read in order, whatever column they fell in.
  const char* script =
      "import sys, openpyxl\n"
      "rows = [[v for v in r if v is not None]\n"
      "        for r in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True)]\n"
      "data = [r for r in rows if len(r) == 3 and all(isinstance(v, (int, float)) for v in r[1:])]\n"
      "subs = [r for r in rows if r and r[0] == 'Subtotal']\n"
      "total = [r for r in rows if r and r[0] == 'Total']\n"
      "print(len(data), int(sum(r[2] for r in data)), len(subs), int(sum(r[1] for r in subs)), int(total[0][1]))\n";
  const ToolRun sums = RunTool("/usr/bin/python3", {"-c", script, xlsx});
  ASSERT_EQ(sums.exitCode, 0) << sums.err;
  const std::string expected =
      Sqlite("SELECT COUNT(*), SUM(quantity), COUNT(DISTINCT country), SUM(quantity), SUM(quantity) FROM order_lines");
  EXPECT_EQ(sums.out, expected);
}

TEST_F(CliQuickPrint, TextPdfHoldsEveryLine) {
  const std::string txt = Out("notes.txt"), pdf = Out("notes.pdf");
  std::vector<std::string> lines;
  {
    std::ofstream out(txt);
    for (int i = 1; i <= 150; ++i) {
      lines.push_back("note " + std::to_string(i) + " caf\u00e9 100%");
      out << lines.back() << "\n";
    }
  }
  const ToolRun run = Zdreport({"text", txt, "--title", "Notes %PN", "-o", pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const ToolRun text = RunTool("pdftotext", {"-q", "-layout", pdf, "-"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const std::map<std::string, int> printed = Counted(Lines(text.out));
  for (const std::string& line : lines) EXPECT_EQ(printed.count(line), 1u) << line;
  EXPECT_EQ(printed.count("Notes %PN"), 1u);  // the title's macro character stays literal
  EXPECT_GE(printed.count("page #3/Sheet1"), 1u);

  // The output never replaces the input.
  const ToolRun over = Zdreport({"text", txt, "-o", txt, "--format", "pdf"});
  EXPECT_EQ(over.exitCode, 2) << over.err;
  std::ifstream kept(txt);
  EXPECT_EQ(Lines(std::string(std::istreambuf_iterator<char>(kept), {})), lines);
}

TEST_F(CliQuickPrint, BadCommandLinesAreRefusedBeforeAnyOutput) {
  const std::string pdf = Out("x.pdf");
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{"table", "-o", pdf}, "table"},                                              // no data
      {{"table", "--data", kData}, "table"},                                        // no output
      {{"table", "--data", kData, "--style", "plaid", "-o", pdf}, "table"},         // no such style
      {{"table", "--data", kData, "--sum", "nothing", "-o", pdf}, "table"},         // no such field
      {{"table", "--data", kData, "--group", "country", "-o", pdf}, "table"},       // a group without totals
      {{"table", "--data", kData, "-o", Out("x.doc")}, "table"},                    // no such format
      {{"table", "--data", kData, "extra", "-o", pdf}, "table"},
      {{"text", "-o", pdf}, "text"},                                                // no file
      {{"text", kDatabase, "--code-page", "ebcdic", "-o", pdf}, "text"},
      {{"text", kDatabase, "--bogus", "-o", pdf}, "text"},
  };
  for (const auto& [args, command] : bad) {
    const ToolRun run = Zdreport(args);
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    EXPECT_EQ(run.exitCode, 2) << shown << "\n" << run.err;
    EXPECT_NE(run.err.find("Try 'zdreport " + command + " --help'."), std::string::npos) << shown << run.err;
  }
  EXPECT_FALSE(fs::exists(pdf));

  // An unreadable source is an error of the run, not of the command line.
  const ToolRun missing = Zdreport({"text", Out("absent.txt"), "-o", pdf});
  EXPECT_EQ(missing.exitCode, 1) << missing.err;
  EXPECT_NE(missing.err.find("absent.txt"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(pdf));

  for (const std::string command : {"table", "text"}) {
    EXPECT_NE(Zdreport({"--help"}).out.find("\n  " + command + " "), std::string::npos) << command;
    const ToolRun help = Zdreport({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_EQ(help.out.rfind("Usage: zdreport " + command, 0), 0u) << help.out;
  }
}

}  // namespace
