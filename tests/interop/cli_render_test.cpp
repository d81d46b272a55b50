// The zdreport command line, run as users run it: the example template over
// the example database, read back by standard PDF tools and compared with
// what the database itself says; its help, and its answers to bad command
// lines.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <sys/stat.h>
#include <tuple>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/data/CsvDataSet.h"
#include "tests/Fixtures.h"
#include "report/controls/PictureControls.h"
#include "report/template/Template.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"
#include "zdreport/Version.h"

namespace fs = std::filesystem;
using namespace zd::test;

namespace {

std::vector<std::string> RenderArgs(const std::string& output, std::vector<std::string> extra = {}) {
  std::vector<std::string> args = {"render", kTemplate, "--data", kData, "--sql", kOrderedLines, "-o", output};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

std::string Sqlite(const std::string& query) {
  const ToolRun run = RunTool("sqlite3", {kDatabase, query});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::string out = run.out;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

std::vector<std::string> SplitBars(const std::string& row) {
  std::vector<std::string> cells;
  std::istringstream in(row);
  for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell);
  return cells;
}

// The template's amount format: two decimals, "." and thousands grouped by ",".
std::string Amount(const std::string& sqlNumber) {
  char fixed[64];
  std::snprintf(fixed, sizeof fixed, "%.2f", std::strtod(sqlNumber.c_str(), nullptr));
  std::string s = fixed;
  const size_t point = s.find('.');
  const size_t firstDigit = s[0] == '-' ? 1 : 0;
  for (size_t at = point; at > firstDigit + 3; at -= 3) s.insert(at - 3, ",");
  return s;
}

int PdfPages(const std::string& pdf) {
  const ToolRun info = RunTool("pdfinfo", {pdf});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  std::istringstream lines(info.out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("Pages:", 0) == 0) return std::atoi(line.substr(6).c_str());
  return -1;
}

std::string PageText(const std::string& pdf, int page) {
  const std::string n = std::to_string(page);
  return RunTool("pdftotext", {"-q", "-f", n, "-l", n, "-layout", pdf, "-"}).out;
}

using CliRender = zd::test::TCommandLineTest;

TEST_F(CliRender, PdfOfTheExampleReadsBackWithTheDatabaseContents) {
  const std::string pdf = Out("order-lines.pdf");
  const ToolRun run = Zdreport(RenderArgs(pdf, {"--format", "PDF"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(pdf), std::string::npos) << "names the file it wrote: " << run.out;

  const int pages = PdfPages(pdf);
  ASSERT_GT(pages, 1) << "360 order lines fill more than one page";
  const ToolRun check = RunTool("qpdf", {"--check", pdf});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
  const ToolRun fonts = RunTool("pdffonts", {pdf});
  EXPECT_EQ(fonts.exitCode, 0) << fonts.err;
  std::istringstream fontLines(fonts.out);
  int fontRows = 0;
  for (std::string line; std::getline(fontLines, line);) fontRows += line.empty() ? 0 : 1;
  EXPECT_GE(fontRows, 3) << "a header, a rule and at least one font:\n" << fonts.out;

  const std::string first = PageText(pdf, 1);
  EXPECT_NE(first.find("Order lines by country"), std::string::npos) << first;
  for (const char* heading : {"Order", "Date", "Customer", "Product", "Amount"})
    EXPECT_NE(first.find(heading), std::string::npos) << heading << "\n" << first;
  const std::vector<std::string> line = SplitBars(
      Sqlite("SELECT order_id, order_date, customer, product, amount, country FROM (" + kOrderedLines + ") LIMIT 1"));
  ASSERT_EQ(line.size(), 6u);
  EXPECT_NE(first.find(line[5]), std::string::npos) << "group header " << line[5] << "\n" << first;
  for (const std::string& cell : {line[0], line[1], line[2], line[3], Amount(line[4])})
    EXPECT_NE(first.find(cell), std::string::npos) << cell << "\n" << first;
  EXPECT_NE(CollapseBlanks(first).find("Page 1 of " + std::to_string(pages)), std::string::npos) << first;

  const std::string last = PageText(pdf, pages);
  EXPECT_NE(last.find("Grand total"), std::string::npos) << last;
  const std::string total = Amount(Sqlite("SELECT SUM(amount) FROM order_lines"));
  EXPECT_NE(last.find(total), std::string::npos) << "total " << total << "\n" << last;
  EXPECT_NE(CollapseBlanks(last).find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
            std::string::npos)
      << last;
}

// "pdf" draws the pages with their fonts embedded and the report's outline
// as bookmarks; "pdf-cells" rebuilds them from cells in the base fonts.
TEST_F(CliRender, PdfKeepsThePageAndPdfCellsRebuildsItFromCells) {
  const std::string page = Out("page.pdf"), cells = Out("cells.pdf");
  ASSERT_EQ(Zdreport(RenderArgs(page, {"--pages", "1"})).exitCode, 0);
  ASSERT_EQ(Zdreport(RenderArgs(cells, {"--pages", "1", "--format", "pdf-cells"})).exitCode, 0);
  const std::string pageFonts = RunTool("pdffonts", {page}).out, cellFonts = RunTool("pdffonts", {cells}).out;
  EXPECT_NE(pageFonts.find("+LiberationSans"), std::string::npos) << pageFonts;
  EXPECT_EQ(cellFonts.find('+'), std::string::npos) << cellFonts;
  EXPECT_NE(cellFonts.find("Helvetica"), std::string::npos) << cellFonts;
  const std::vector<std::string> first =
      SplitBars(Sqlite("SELECT country FROM (" + kOrderedLines + ") LIMIT 1"));
  ASSERT_EQ(first.size(), 1u);
  const std::string outline = RunTool("qpdf", {"--json", "--json-key=outlines", page}).out;
  EXPECT_NE(outline.find("\"title\": \"" + first[0] + "\""), std::string::npos) << outline;
  for (const std::string& pdf : {page, cells})
    EXPECT_NE(PageText(pdf, 1).find("Order lines by country"), std::string::npos) << pdf;
}

TEST_F(CliRender, CsvHoldsTheOrderLinesAlsoFromTheTemplateAsText) {
  const std::string csv = Out("order-lines.csv");
  const ToolRun run = Zdreport(RenderArgs(csv));  // the format follows the extension
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> line =
      SplitBars(Sqlite("SELECT customer, product FROM (" + kOrderedLines + ") LIMIT 1"));
  ASSERT_EQ(line.size(), 2u);
  std::ifstream in(csv);
  bool found = false;
  for (std::string row; std::getline(in, row) && !found;)
    found = row.find(line[0]) != std::string::npos && row.find(line[1]) != std::string::npos;
  EXPECT_TRUE(found) << "no line with " << line[0] << " and " << line[1];

  // Converted to text and back, the template is the same file and renders the same.
  const auto bytes = [](const std::string& file) {
    std::ifstream f(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), {});
  };
  const std::string text = Out("order-lines.zdqt"), binary = Out("order-lines.zdq");
  ASSERT_EQ(Zdreport({"convert", kTemplate, text}).exitCode, 0);
  ASSERT_EQ(Zdreport({"convert", text, binary}).exitCode, 0);
  EXPECT_EQ(bytes(binary), bytes(kTemplate));
  EXPECT_EQ(bytes(text), Zdreport({"dump", kTemplate}).out);
  std::vector<std::string> args = RenderArgs(Out("from-text.csv"));
  std::replace(args.begin(), args.end(), kTemplate, text);
  ASSERT_EQ(Zdreport(args).exitCode, 0);
  EXPECT_EQ(bytes(Out("from-text.csv")), bytes(csv));
}

TEST_F(CliRender, PageSelectionAndSeparateFiles) {
  const std::string one = Out("first.pdf");
  ToolRun run = Zdreport(RenderArgs(one, {"--pages", "1"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(PdfPages(one), 1);

  const std::string each = Out("page.pdf");
  run = Zdreport(RenderArgs(each, {"--pages", "1-2", "--separate"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(fs::exists(each)) << "one file per page replaces the single file";
  for (const char* name : {"page0_0.pdf", "page1_0.pdf"}) {
    ASSERT_TRUE(fs::exists(Out(name))) << name;
    EXPECT_EQ(PdfPages(Out(name)), 1) << name;
  }
  EXPECT_FALSE(fs::exists(Out("page2_0.pdf")));
  EXPECT_EQ(PageText(Out("page1_0.pdf"), 1).find("Order lines by country"), std::string::npos)
      << "the second page's file holds no text of the first page";

  // Each file holds its own page only.
  run = Zdreport(RenderArgs(Out("page.csv"), {"--pages", "2", "--separate"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_TRUE(fs::exists(Out("page1_0.csv")));
  EXPECT_FALSE(fs::exists(Out("page0_0.csv")));
  std::ifstream second(Out("page1_0.csv"));
  const std::string text((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.find("Order lines by country"), std::string::npos) << "the title belongs to page 1";
  EXPECT_NE(text.find("Page;"), std::string::npos) << text;

  run = Zdreport(RenderArgs(Out("none.pdf"), {"--pages", "9999"}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("selects none"), std::string::npos) << run.err;
}

TEST_F(CliRender, RuntimeFailuresExitWithOneAndAMessage) {
  const std::string missing = Out("no-such-template.zdq");
  ToolRun run = Zdreport({"render", missing, "--data", kData, "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.rfind("zdreport: error: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("no-such-template.zdq"), std::string::npos) << run.err;

  const std::string garbage = Out("garbage.zdq");
  std::ofstream(garbage) << "this is no template";
  run = Zdreport({"render", garbage, "--data", kData, "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.rfind("zdreport: error: ", 0), 0u) << run.err;

  run = Zdreport({"render", kTemplate, "--data", "sqlite:" + Out("missing.db") + ":t", "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("missing.db"), std::string::npos) << run.err;

  run = Zdreport(RenderArgs(Out("x.pdf"), {"--param", "Nobody=1"}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Nobody"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("x.pdf")));

  // A folder where a file belongs is named as such.
  run = Zdreport({"render", dir_.string(), "--data", kData, "-o", Out("x.pdf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("is a folder, not a file"), std::string::npos) << run.err;
  run = Zdreport(RenderArgs(dir_.string(), {"--format", "pdf"}));
  EXPECT_NE(run.err.find("is a folder, not a file"), std::string::npos) << run.err;

  // A Qt platform without fonts cannot give a PDF its fonts.
  QProcessEnvironment noFonts = QProcessEnvironment::systemEnvironment();
  noFonts.insert("QT_QPA_PLATFORM", "minimal");
  run = Zdreport(RenderArgs(Out("x.pdf")), noFonts);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("provides no fonts"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
}

// A wrong command line gets the reason and a pointer to the right help, on
// two lines; the help and the version go to standard output. An output that
// is one of the inputs is refused before anything is written.
TEST_F(CliRender, CommandLineUsageHelpVersionAndInputsKept) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {RenderArgs(Out("x.pdf"), {"--format", "doc"}), "render"},
      {RenderArgs(Out("x.nothing")), "render"},  // no format given, none by the extension
      {{"render", kTemplate, "-o", Out("x.pdf")}, "render"},  // no data
      {{"render", kTemplate, "--data", "mysql:db", "-o", Out("x.pdf")}, "render"},
      {{"render", kTemplate, "--data", kData, "-o", Out("x.pdf"), "--bogus"}, "render"},
      {{"render", kTemplate, "--data", "csv:x.csv", "--sql", "SELECT 1", "-o", Out("x.pdf")}, "render"},
      {RenderArgs(Out("x.pdf"), {"--pages", "1.5"}), "render"},
      {RenderArgs(Out("x.pdf"), {"--pages", "5-2"}), "render"},
      {RenderArgs(Out("x.pdf"), {"--pages", "0"}), "render"},
      {RenderArgs(Out("x.pdf"), {"--pages", "1,,2"}), "render"},
      {RenderArgs(Out("x.pdf"), {"--pages", "2-"}), "render"},
      {{"demo", "--bogus"}, "demo"},
      {{"dump"}, "dump"},
      {{"convert", kTemplate}, "convert"},
      {{"formats", "pdf"}, "formats"},
      {{"frobnicate"}, ""},
      {{"--bogus"}, ""},
      {{}, ""},
  };
  for (const auto& [args, command] : bad) {
    const ToolRun run = Zdreport(args);
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    EXPECT_EQ(run.exitCode, 2) << shown << "\n" << run.err;
    const size_t firstEnd = run.err.find('\n');
    ASSERT_NE(firstEnd, std::string::npos) << shown;
    EXPECT_EQ(run.err.rfind("zdreport: ", 0), 0u) << shown << "\n" << run.err;
    EXPECT_EQ(run.err.rfind("zdreport: error", 0), std::string::npos) << shown << "\n" << run.err;
    EXPECT_EQ(run.err.substr(firstEnd + 1), "Try 'zdreport " + (command.empty() ? "" : command + " ") + "--help'.\n")
        << shown;
    EXPECT_EQ(run.out, "") << shown;
  }
  EXPECT_NE(Zdreport(RenderArgs(Out("x.pdf"), {"--format", "doc"})).err.find("unknown format 'doc'"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(Out("x.pdf")));

  const ToolRun version = Zdreport({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, std::string("zdreport ") + zd::kVersion + "\n");

  const ToolRun overview = Zdreport({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  for (const std::string command : {"render", "formats", "demo", "dump", "convert", "make-example"}) {
    EXPECT_NE(overview.out.find("\n  " + command + " "), std::string::npos) << command << "\n" << overview.out;
    const ToolRun help = Zdreport({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_EQ(help.out.rfind("Usage: zdreport " + command, 0), 0u) << help.out;
    EXPECT_EQ(help.err, "") << command;
  }
  // Asked anywhere after the command, help wins over what is wrong.
  const ToolRun render = Zdreport({"render", kTemplate, "--bogus", "--help"});
  EXPECT_EQ(render.exitCode, 0) << render.err;
  for (const char* option : {"--data", "--sql", "--format", "--param", "--pages", "--separate", "--two-pass",
                             "--page-memory"})
    EXPECT_NE(render.out.find(option), std::string::npos) << option;
  EXPECT_NE(Zdreport({"demo", "--help"}).out.find("--db"), std::string::npos);

  // Copies of the inputs: a refusal that failed would destroy them.
  const std::string zdq = Out("page0_0.zdq"), db = Out("lines.db");
  fs::copy_file(kTemplate, zdq);
  fs::copy_file(kDatabase, db);
  fs::create_directories(dir_ / "sub");
  fs::create_symlink(db, dir_ / "link.db");
  const std::string data = "sqlite:" + db + ":order_lines";
  const std::vector<std::pair<std::vector<std::string>, std::string>> overwriting = {
      {{"-o", zdq, "--format", "csv"}, "the template"},
      {{"-o", Out("sub/../lines.db"), "--format", "csv"}, "the data file"},
      {{"-o", Out("link.db"), "--format", "csv"}, "the data file"},
      // One file per page: the first page's file name is the template's.
      {{"-o", Out("page.zdq"), "--format", "csv", "--separate"}, "the template"},
  };
  const auto contents = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const std::string zdqBefore = contents(zdq), dbBefore = contents(db);
  for (const auto& [extra, what] : overwriting) {
    std::vector<std::string> args = {"render", zdq, "--data", data, "--sql", kOrderedLines};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = Zdreport(args);
    EXPECT_EQ(run.exitCode, 2) << extra[1] << "\n" << run.err;
    EXPECT_NE(run.err.find("' is " + what + ";"), std::string::npos) << extra[1] << "\n" << run.err;
  }
  EXPECT_EQ(contents(zdq), zdqBefore);
  EXPECT_EQ(contents(db), dbBefore);
  EXPECT_FALSE(fs::exists(Out("page1_0.zdq"))) << "no page is written once one would overwrite an input";
}

// A template over a dataset named "Rows" that prints a parameter in its
// title and each row's fields under three spellings of their names.
void WriteGreetingTemplate(const std::string& fileName) {
  zd::TComponent root;
  auto* rows = new zd::TCsvDataSet(&root);
  rows->SetName("Rows");
  auto* report = new zd::TZdReport(&root);
  report->SetDataSet(rows);
  zd::TZdqParameter& greeting = *report->Parameters().Add();
  greeting.SetName("Greeting");
  zd::TZdqParameter& limit = *report->Parameters().Add();
  limit.SetName("Limit");
  limit.SetValue(int64_t(10));
  limit.SetParameterMode(zd::TZdqParameterMode::pmAskUndefined);
  report->DeleteAllBands();
  auto place = [](zd::TZdqBand& band, const std::string& expression, int left) {
    auto* value = new zd::TZdqExpression(&band);
    value->SetLeft(left);
    value->SetWidth(150);
    value->SetExpression(expression);
  };
  zd::TZdqBand& title = *report->GetBand(report->AddBand(zd::TBandType::btReportTitle, true));
  place(title, "Greeting", 0);
  place(title, "Limit", 200);
  zd::TZdqBand& detail = *report->GetBand(report->AddBand(zd::TBandType::btDetail, true));
  place(detail, "name", 0);
  place(detail, "Rows.city", 200);
  place(detail, "people.amount", 400);
  zd::SaveReport(*report, fileName);
}

TEST_F(CliRender, CsvSourceNamesAndParametersFromTheCommandLine) {
  const std::string zdq = Out("greeting.zdq");
  WriteGreetingTemplate(zdq);
  const std::string csv = Out("people.csv");
  std::ofstream(csv) << "name,city,amount\nAda,Leeds,12\nGrace,Perth,34\n";
  const std::string txt = Out("greeting.txt");
  const std::vector<std::string> base = {"render", zdq, "--data", "csv:" + csv, "-o", txt};

  std::vector<std::string> args = base;
  args.insert(args.end(), {"--param", "greeting=Hello there", "--param", "Limit=25"});
  ToolRun run = Zdreport(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::ifstream in(txt);
  const std::string text = CollapseBlanks(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  EXPECT_NE(text.find("Hello there"), std::string::npos) << text;
  EXPECT_NE(text.find("25"), std::string::npos) << text;
  EXPECT_NE(text.find("Ada Leeds 12"), std::string::npos) << text;
  EXPECT_NE(text.find("Grace Perth 34"), std::string::npos) << text;

  run = Zdreport(base);  // Greeting has no value and nothing answers it
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--param Greeting="), std::string::npos) << run.err;

  args = base;
  args.insert(args.end(), {"--param", "Greeting=Hi", "--param", "Limit=many"});
  run = Zdreport(args);  // Limit holds a whole number
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("many"), std::string::npos) << run.err;
}

// A template whose title shows the rich-text files named.
void WriteFilesTemplate(const std::string& fileName, const std::vector<std::string>& files) {
  zd::TComponent root;
  auto* rows = new zd::TCsvDataSet(&root);
  rows->SetName("Rows");
  auto* report = new zd::TZdReport(&root);
  report->SetDataSet(rows);
  report->DeleteAllBands();
  zd::TZdqBand& title = *report->GetBand(report->AddBand(zd::TBandType::btReportTitle, true));
  title.SetHeight(40 * int(files.size()));
  for (size_t i = 0; i < files.size(); ++i) {
    auto* text = new zd::TZdRichText(&title);
    text->SetTop(40 * int(i));
    text->SetWidth(400);
    text->SetFileName(files[i]);
  }
  zd::SaveReport(*report, fileName);
}

TEST_F(CliRender, TemplatesReadOnlyTheFilesTheyAreGiven) {
  fs::create_directories(dir_ / "templates");
  std::ofstream(Out("templates/inside.txt")) << "inside words";
  std::ofstream(Out("secret.txt")) << "secret words";
  const std::string fifo = Out("templates/pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string zdq = Out("templates/files.zdq");
  WriteFilesTemplate(zdq, {Out("templates/inside.txt"), Out("templates/../secret.txt"), Out("missing.txt"), fifo,
                           "/dev/zero"});
  const std::string csv = Out("rows.csv");
  std::ofstream(csv) << "a\n1\n";
  const std::string txt = Out("files.txt");
  auto render = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", zdq, "--data", "csv:" + csv, "-o", txt};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = Zdreport(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::ifstream in(txt);
    return std::make_pair(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), run.err);
  };
  // By default only the template's own folder; a refused file and a missing
  // one are reported alike. The pipe and the endless device neither hang
  // nor fill the memory.
  auto [text, err] = render({});
  EXPECT_NE(text.find("inside words"), std::string::npos) << text;
  EXPECT_EQ(text.find("secret words"), std::string::npos) << text;
  EXPECT_NE(err.find("secret.txt' of"), std::string::npos) << err;
  EXPECT_NE(err.find("missing.txt' of"), std::string::npos) << err;
  const auto said = [&](const std::string& name) {
    const size_t at = err.find(name + "' of");
    return at == std::string::npos ? std::string() : err.substr(at + name.size(), err.find('\n', at) - at - name.size());
  };
  EXPECT_EQ(said("secret.txt").substr(said("secret.txt").find(" cannot")),
            said("missing.txt").substr(said("missing.txt").find(" cannot")));

  std::tie(text, err) = render({"--allow-path", dir_.string()});
  EXPECT_NE(text.find("secret words"), std::string::npos) << text;
  std::tie(text, err) = render({"--allow-any-path"});
  EXPECT_NE(text.find("secret words"), std::string::npos) << text;
  EXPECT_NE(err.find("/dev/zero' of"), std::string::npos) << err;
}

TEST_F(CliRender, FormatsListEveryOutputFormat) {
  const ToolRun formats = Zdreport({"formats"});
  ASSERT_EQ(formats.exitCode, 0) << formats.err;
  for (const char* ext : {"pdf", "pdf-cells", "xls", "wk1", "wq1", "html", "xml", "csv", "txt"})
    EXPECT_NE(("\n" + formats.out).find(std::string("\n") + ext + " "), std::string::npos) << ext << "\n" << formats.out;
}

TEST_F(CliRender, SelectedPagesFollowEachOtherInThePdf) {
  const std::string all = Out("all.pdf");
  ASSERT_EQ(Zdreport(RenderArgs(all)).exitCode, 0);
  const int pages = PdfPages(all);
  ASSERT_GE(pages, 5);
  const std::string some = Out("some.pdf");
  const ToolRun run = Zdreport(RenderArgs(some, {"--pages", "2,5"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(PdfPages(some), 2);
  const std::string of = " of " + std::to_string(pages);
  EXPECT_NE(CollapseBlanks(PageText(some, 1)).find("Page 2" + of), std::string::npos) << PageText(some, 1);
  EXPECT_NE(CollapseBlanks(PageText(some, 2)).find("Page 5" + of), std::string::npos) << PageText(some, 2);
  // Each page holds what the same page of the whole report holds.
  EXPECT_EQ(PageText(some, 1), PageText(all, 2));
  EXPECT_EQ(PageText(some, 2), PageText(all, 5));
}

TEST_F(CliRender, XlsxAmountsAreNumbersThatSumToTheDatabaseTotal) {
  const std::string xlsx = Out("order-lines.xlsx");
  const ToolRun run = Zdreport(RenderArgs(xlsx));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The amount column is the one whose last number is the grand total.
  const char* script =
      "import sys, openpyxl\n"
      "rows = list(openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True))\n"
      "total_row = next(r for r in reversed(rows) if any(v == 'Grand total' for v in r))\n"
      "col = max(i for i, v in enumerate(total_row) if isinstance(v, (int, float)))\n"
      "grand = total_row[col]\n"
      "lines = [r[col] for r in rows if isinstance(r[col], (int, float))\n"
      "         and not any(isinstance(v, str) and v.lower().endswith('total') for v in r)]\n"
      "print('%.2f %.2f' % (grand, sum(lines)))\n";
  const ToolRun sums = RunTool("/usr/bin/python3", {"-c", script, xlsx});
  ASSERT_EQ(sums.exitCode, 0) << sums.err;
  const std::string total = Sqlite("SELECT printf('%.2f', SUM(amount)) FROM order_lines");
  EXPECT_EQ(sums.out, total + " " + total + "\n");
}

TEST_F(CliRender, EncodingAndCsvOptionsReachTheExporter) {
  const std::string zdq = Out("names.zdq");
  WriteGreetingTemplate(zdq);
  const std::string csv = Out("people.csv");
  std::ofstream(csv) << "name;city;amount\n\"Zo\u00eb\";=cmd|' /C calc'!A0;12\n\u0141ukasz;\u041c\u043e\u0441\u043a\u0432\u0430;34\n";
  const std::vector<std::string> base = {"render", zdq, "--data", "csv:" + csv, "--param", "Greeting=Hi"};
  auto render = [&](const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), {"-o", out});
    args.insert(args.end(), extra.begin(), extra.end());
    return Zdreport(args);
  };
  auto contents = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };

  // The delimiter of the source is detected; the export is UTF-8 by default.
  ToolRun run = render(Out("utf8.txt"), {});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(contents(Out("utf8.txt")).find("\u0141ukasz"), std::string::npos);
  EXPECT_NE(contents(Out("utf8.txt")).find("\u041c\u043e\u0441\u043a\u0432\u0430"), std::string::npos);

  run = render(Out("latin.txt"), {"--encoding", "cp1252"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(contents(Out("latin.txt")).find("Zo\xeb"), std::string::npos);
  EXPECT_NE(run.err.find("zdreport: warning: 7 characters"), std::string::npos) << run.err;  // Ł and Москва

  // Formula-looking fields are guarded unless asked otherwise.
  ASSERT_EQ(render(Out("guarded.csv"), {}).exitCode, 0);
  EXPECT_NE(contents(Out("guarded.csv")).find("'=cmd|"), std::string::npos) << contents(Out("guarded.csv"));
  ASSERT_EQ(render(Out("raw.csv"), {"--csv-raw"}).exitCode, 0);
  EXPECT_EQ(contents(Out("raw.csv")).find("'=cmd|"), std::string::npos);
  EXPECT_NE(contents(Out("raw.csv")).find("=cmd|"), std::string::npos);

  // The tool reads back what it wrote: its CSV export as a data source.
  const std::string again = Out("again.zdq");
  WriteGreetingTemplate(again);
  run = Zdreport({"render", again, "--data", "csv:" + Out("guarded.csv"), "--delimiter", ";", "--param", "Greeting=Hi",
                  "-o", Out("again.txt")});
  EXPECT_NE(run.err.find("name"), std::string::npos) << "the export has no field 'name': " << run.err;

  // Settings a format does not have, and unknown values, are usage errors.
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--encoding", "cp1252", "--format", "pdf"}, {"--csv-raw", "--format", "txt"},
        {"--encoding", "klingon"}, {"--encoding", "utf-8", "--format", "xls"}, {"--delimiter", "ab"}}) {
    run = render(Out("bad.out"), bad);
    EXPECT_EQ(run.exitCode, 2) << bad[0] << " " << bad[1] << "\n" << run.err;
  }
  run = Zdreport(RenderArgs(Out("x.pdf"), {"--delimiter", ";"}));
  EXPECT_EQ(run.exitCode, 2) << "a delimiter for an sqlite source";
}

}  // namespace

TEST_F(CliRender, RowsNotSortedByTheGroupWarnOnceWithTheFix) {
  const ToolRun sorted = Zdreport(RenderArgs(Out("sorted.csv")));
  ASSERT_EQ(sorted.exitCode, 0) << sorted.err;
  EXPECT_EQ(sorted.err.find("warning"), std::string::npos) << sorted.err;

  std::vector<std::string> args = RenderArgs(Out("unsorted.csv"));
  args[5] = "SELECT * FROM order_lines ORDER BY order_id";  // countries interleave
  const ToolRun unsorted = Zdreport(args);
  ASSERT_EQ(unsorted.exitCode, 0) << unsorted.err;
  const std::string warning = "zdreport: warning: group \"BandGroupHeader\" (OrderLines.country) saw value \"";
  const size_t at = unsorted.err.find(warning);
  ASSERT_NE(at, std::string::npos) << unsorted.err;
  EXPECT_EQ(unsorted.err.find(warning, at + 1), std::string::npos) << "warned more than once:\n" << unsorted.err;
  EXPECT_NE(unsorted.err.find("again after other values; sort the rows by OrderLines.country\n", at),
            std::string::npos)
      << unsorted.err;
}

// Several templates, each with the options that follow it, make one PDF:
// their pages one after another, numbered and counted as one document.
TEST_F(CliRender, TemplatesRenderIntoOneDocumentNumberedThroughout) {
  const std::string lastCountry = Sqlite("SELECT MAX(country) FROM order_lines");
  const std::string firstCountry = Sqlite("SELECT MIN(country) FROM order_lines");
  const std::string oneCountry =
      "SELECT * FROM order_lines WHERE country = '" + lastCountry + "' ORDER BY order_id, product";
  const std::string alone = Out("alone.pdf"), all = Out("all.pdf"), joined = Out("joined.pdf");
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "--sql", oneCountry, "-o", alone}).exitCode, 0);
  ASSERT_EQ(Zdreport(RenderArgs(all)).exitCode, 0);
  // Options before the first template are the first template's.
  const ToolRun run = Zdreport({"render", "--data", kData, "--sql", oneCountry, kTemplate, kTemplate, "--data",
                                kData, "--sql", kOrderedLines, "-o", joined});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const int first = PdfPages(alone), second = PdfPages(all), total = PdfPages(joined);
  ASSERT_EQ(total, first + second);
  EXPECT_NE(run.out.find(std::to_string(total) + " of " + std::to_string(total) + " pages"), std::string::npos)
      << run.out;
  for (int page = 1; page <= total; ++page) {
    const std::string text = CollapseBlanks(PageText(joined, page));
    EXPECT_NE(text.find("Page " + std::to_string(page) + " of " + std::to_string(total)), std::string::npos)
        << "page " << page << "\n" << text;
  }
  // Each template over its own rows: the second starts where the first ends.
  const std::string firstPage = PageText(joined, 1), secondStart = PageText(joined, first + 1);
  EXPECT_NE(firstPage.find(lastCountry), std::string::npos) << firstPage;
  EXPECT_EQ(firstPage.find(firstCountry), std::string::npos) << firstPage;
  EXPECT_NE(secondStart.find("Order lines by country"), std::string::npos) << secondStart;
  EXPECT_NE(secondStart.find(firstCountry), std::string::npos) << secondStart;
  EXPECT_NE(PageText(joined, total).find("Grand total"), std::string::npos);
  // Bookmarks of the second template lead to its pages in the whole.
  const std::string outlines = RunTool("qpdf", {"--json", "--json-key=outlines", joined}).out;
  const size_t bookmark = outlines.find("\"title\": \"" + firstCountry + "\"");
  ASSERT_NE(bookmark, std::string::npos) << outlines;
  const size_t target = outlines.rfind("\"destpageposfrom1\": ", bookmark);
  ASSERT_NE(target, std::string::npos) << outlines;
  EXPECT_EQ(std::atoi(outlines.c_str() + target + 20), first + 1) << outlines;

  // A template without its own data source is a usage error naming it.
  const ToolRun missing = Zdreport({"render", kTemplate, "--data", kData, kTemplate, "-o", Out("x.pdf")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("of the template " + kTemplate + " is not stored in it: give one with --data"),
            std::string::npos)
      << missing.err;
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
}
