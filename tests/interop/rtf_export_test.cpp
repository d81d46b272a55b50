// Reports exported as RTF must read back in independent readers with every
// cell text of the grid, in order: LibreOffice Writer, which decodes the
// Unicode escapes, and unrtf, whose text holds the code page's characters
// and, for each Unicode escape, its fallback.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "export/rtf/RtfExport.h"
#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

namespace zd {
namespace {

namespace fs = std::filesystem;
using test::RunTool;
using test::ToolRun;

bool HaveTool(const char* name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Non-empty lines with their blanks, and a leading byte order mark, trimmed.
std::vector<std::string> Lines(std::string text) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string::npos) lines.push_back(line.substr(first, line.find_last_not_of(" \t\r") - first + 1));
  }
  return lines;
}

// The grid's non-empty cell texts in reading order, as the CSV export of
// the same report gives them (fields separated by ';', quoted with '"').
std::vector<std::string> CsvCells(const fs::path& csv) {
  const char* script =
      "import csv, sys\n"
      "sys.stdout.reconfigure(encoding='utf-8')\n"
      "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
      "    for row in csv.reader(f, delimiter=';'):\n"
      "        for cell in row:\n"
      "            if cell.strip(): print(cell.strip())\n";
  const ToolRun run = RunTool("python3", {"-c", script, csv.string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return Lines(run.out);
}

// One LibreOffice run converts every file (it takes seconds to start);
// its own profile keeps parallel runs apart.
std::vector<std::vector<std::string>> LibreOfficeText(const std::vector<fs::path>& files, const fs::path& dir) {
  const fs::path profile = dir / "lo-profile";
  std::vector<std::string> args{"-env:UserInstallation=file://" + profile.string(), "--headless", "--convert-to",
                                "txt:Text", "--outdir", (dir / "lo").string()};
  for (const fs::path& file : files) args.push_back(file.string());
  const ToolRun run = RunTool("soffice", args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::vector<std::string>> texts;
  for (const fs::path& file : files) {
    const fs::path txt = dir / "lo" / (file.stem().string() + ".txt");
    EXPECT_TRUE(fs::exists(txt)) << run.out << run.err;
    texts.push_back(Lines(ReadFile(txt)));
  }
  return texts;
}

// unrtf's text, in cp1252: a banner of "###" lines and a rule before the
// body, whose table rows it writes as lines of tab-separated cells.
std::vector<std::string> UnrtfCells(const fs::path& file) {
  const ToolRun run = RunTool("unrtf", {"--text", file.string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> cells;
  bool body = false;
  for (const std::string& line : Lines(SingleByteToUtf8(run.out, SingleByteCodePage(1252)))) {
    if (!body) {
      body = line.rfind("-----", 0) == 0;
      continue;
    }
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');)
      if (!Lines(cell).empty()) cells.push_back(Lines(cell).front());
  }
  return cells;
}

// Names in many scripts, as an address list would show them, two a row.
const std::vector<std::string> kScripts = {"\u041c\u043e\u0441\u043a\u0432\u0430", "\u0391\u03b8\u03ae\u03bd\u03b1",
                                           "\u5317\u4eac {1}", "Caf\u00e9 \\ \u00a3"};

class ScriptsReport : public TZdPrintComponent {
 public:
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    NewPage();
    for (size_t i = 0; i < kScripts.size(); ++i)
      Producer().MFCanvas()->TextOut(60 + 240 * int(i % 2), 80 + 30 * int(i / 2), kScripts[i]);
    EndDoc();
  }
};

class RtfInterop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useVirtualPrinter(); }
  void SetUp() override {
    dir = test::UniqueTempPath("zd_rtf_interop");
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }
  // The example report through the command line, as RTF and as CSV.
  fs::path RenderExample(const std::string& extension) {
    const fs::path out = dir / ("order-lines." + extension);
    const ToolRun run = test::Zdreport(
        {"render", test::kTemplate, "--data", test::kData, "--sql", test::kOrderedLines, "-o", out.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return out;
  }
  fs::path ExportScripts() {
    ScriptsReport report;
    report.SetAnimatedStatus(false);
    report.PrepareReport();
    const fs::path out = dir / "scripts.rtf";
    report.ExportTo(out.string(), false, TStringList{"1"}, ExportClassOf<TZdqExportToRTF>());
    return out;
  }

  fs::path dir;
};

TEST_F(RtfInterop, LibreOfficeReadsEveryCellTextOfTheExampleAndOfManyScripts) {
  if (!HaveTool("soffice") || !HaveTool("python3")) GTEST_SKIP() << "soffice or python3 is not installed";
  const std::vector<std::string> example = CsvCells(RenderExample("csv"));
  ASSERT_GT(example.size(), 360u) << "every order line shows several cells";
  const auto texts = LibreOfficeText({RenderExample("rtf"), ExportScripts()}, dir);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], example);
  EXPECT_EQ(texts[1], kScripts);
}

TEST_F(RtfInterop, UnrtfReadsEveryCellTextWithOneFallbackPerCharacterOutsideTheCodePage) {
  if (!HaveTool("unrtf") || !HaveTool("python3")) GTEST_SKIP() << "unrtf or python3 is not installed";
  EXPECT_EQ(UnrtfCells(RenderExample("rtf")), CsvCells(RenderExample("csv")));
  // cp1252 lacks the Cyrillic, Greek and Chinese letters.
  EXPECT_EQ(UnrtfCells(ExportScripts()),
            (std::vector<std::string>{"??????", "?????", "?? {1}", "Caf\u00e9 \\ \u00a3"}));
}

}  // namespace
}  // namespace zd
