// The CSV and plain-text exporters: what a hand-drawn page becomes in the
// file, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/markup/CsvExport.h"
#include "export/markup/TextExport.h"
#include "export/detail/ExportOutput.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"
#include "host/locale/Locale.h"

namespace zd {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kBom = "\xEF\xBB\xBF";

struct TPlacedText {
  int x, y;
  std::string text;
};

TMetafile pageOf(const std::vector<TPlacedText>& texts, int width = 800, int height = 1120) {
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    for (const TPlacedText& t : texts) canvas.TextOut(t.x, t.y, t.text);
  }
  page.SetWidth(width);
  page.SetHeight(height);
  return page;
}

class MarkupTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    dir = test::UniqueTempPath("markup_text");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    savedLocale = currentLocale();
  }
  void TearDown() override {
    setCurrentLocale(savedLocale);
    std::filesystem::remove_all(dir);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }

  std::filesystem::path dir;
  TLocale savedLocale;
};

// ---- CSV ----

TEST_F(MarkupTextTest, CsvWritesOneLinePerRowWithEmptyMissingCellsAndNoLineEndAfterTheLast) {
  TZdqExportToCSV csv;
  const TMetafile page = pageOf({{100, 50, "a"}, {300, 50, "b"}, {100, 90, "c"}, {300, 90, "d"}});
  csv.SaveMetafileToFile(&page, path("grid.csv"));
  EXPECT_EQ(readFile(dir / "grid.csv"), kBom + "a;b\r\nc;d");
  // The first row stands at the very top of the page, where its cells' tops are not positive.
  const TMetafile gaps = pageOf({{100, 0, "a"}, {300, 0, "b"}, {300, 40, "d"}, {100, 80, "e"}});
  csv.SaveMetafileToFile(&gaps, path("gaps.csv"));
  EXPECT_EQ(readFile(dir / "gaps.csv"), kBom + "a;b\r\n;d\r\ne;");
}

TEST_F(MarkupTextTest, CsvQuotesFieldsThatHoldSeparatorsQuotesOrLineBreaks) {
  EXPECT_EQ(CsvField("plain text"), "plain text");
  EXPECT_EQ(CsvField("1;2"), "\"1;2\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(CsvField("cr\ronly"), "\"cr\ronly\"");
  EXPECT_EQ(CsvField(""), "");

  TZdqExportToCSV csv;
  const TMetafile page = pageOf({{100, 50, "x;y"}, {300, 50, "a \"q\""}, {500, 50, "& <b>"}});
  csv.SaveMetafileToFile(&page, path("quoted.csv"));
  EXPECT_EQ(readFile(dir / "quoted.csv"), kBom + "\"x;y\";\"a \"\"q\"\"\";& <b>");
}

TEST_F(MarkupTextTest, CsvIsUtf8WithAByteOrderMarkOrALegacyCodePage) {
  const TMetafile page = pageOf({{100, 50, "caf\u00e9 \u20ac"}, {300, 50, "\u0416\u03a9\u4e2d"}});
  TZdqExportToCSV csv;
  csv.SaveMetafileToFile(&page, path("utf8.csv"));
  EXPECT_EQ(readFile(dir / "utf8.csv"), kBom + "caf\u00e9 \u20ac;\u0416\u03a9\u4e2d");
  EXPECT_EQ(csv.ReplacedCharacters, 0u);
  csv.ByteOrderMark = false;
  csv.SaveMetafileToFile(&page, path("plain.csv"));
  EXPECT_EQ(readFile(dir / "plain.csv"), "caf\u00e9 \u20ac;\u0416\u03a9\u4e2d");

  // A code page has no byte order mark; what it lacks is a counted '?'.
  csv.SetCodePage(1252);
  csv.ByteOrderMark = true;
  csv.SaveMetafileToFile(&page, path("1252.csv"));
  EXPECT_EQ(readFile(dir / "1252.csv"), "caf\xe9 \x80;???");
  EXPECT_EQ(csv.ReplacedCharacters, 3u);
  csv.SetCodePage(1251);
  csv.SaveMetafileToFile(&page, path("1251.csv"));
  EXPECT_EQ(readFile(dir / "1251.csv"), "caf? \x88;\xc6??");
  EXPECT_THROW(csv.SetCodePage(932), std::invalid_argument);
}

TEST_F(MarkupTextTest, CsvGuardsFormulaLookingTextsButNotNumbers) {
  for (const char* formula : {"=1+2", "+cmd", "-x", "@SUM(A1)", "\tx", "-1-2"})
    EXPECT_EQ(CsvField(formula), std::string("'") + formula) << formula;
  EXPECT_EQ(CsvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
  for (const char* number : {"-12.50", "+3", "-1,234.50", "-5%", "$-3.00"}) EXPECT_EQ(CsvField(number), number);
  EXPECT_EQ(CsvField("=1+2", false), "=1+2");

  const TMetafile page = pageOf({{100, 50, "=1+2"}, {300, 50, "-7.25"}});
  TZdqExportToCSV csv;
  csv.ByteOrderMark = false;
  csv.SaveMetafileToFile(&page, path("guarded.csv"));
  EXPECT_EQ(readFile(dir / "guarded.csv"), "'=1+2;-7.25");
  csv.FormulaGuard = false;
  csv.SaveMetafileToFile(&page, path("raw.csv"));
  EXPECT_EQ(readFile(dir / "raw.csv"), "=1+2;-7.25");
}

TEST_F(MarkupTextTest, CsvFilePerPageHoldsOnlyItsOwnPage) {
  const TMetafile first = pageOf({{100, 50, "one"}, {300, 50, "1"}});
  const TMetafile second = pageOf({{100, 50, "two"}, {300, 80, "2"}});
  TZdqExportToCSV csv;
  csv.StartExport();
  csv.NewPage(0, 0);
  csv.ExportRecords(first);
  csv.SaveToFile(path("out0_0.csv"));
  csv.NewPage(1, 0);
  csv.ExportRecords(second);
  csv.SaveToFile(path("out1_0.csv"));
  csv.EndExport();
  EXPECT_EQ(readFile(dir / "out0_0.csv"), kBom + "one;1");
  EXPECT_EQ(readFile(dir / "out1_0.csv"), kBom + "two;\r\n;2");
}

TEST_F(MarkupTextTest, CsvFileErrorsNameTheFile) {
  TZdqExportToCSV csv;
  const TMetafile page = pageOf({{100, 50, "a"}});
  const std::string bad = path("missing-folder/x.csv");
  try {
    csv.SaveMetafileToFile(&page, bad);
    FAIL() << "no error for an uncreatable file";
  } catch (const EZdqExportFileError& e) {
    EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
  }
}

// ---- plain text ----

// The canvas records a text's bounds from its reference point; the exporter
// places it at the bounds widened by one, so TextOut(x + 1, y + 1) lands at (x, y).
class TextPlacementTest : public MarkupTextTest {
 protected:
  std::vector<std::string> place(const std::vector<TPlacedText>& texts) {
    text.StartExport();
    text.NewPage(0, 0);
    text.ExportRecords(pageOf(texts));
    return text.Lines();
  }
  TZdqExportToText text;
};

TEST_F(TextPlacementTest, PositionsMapToLinesAndColumns) {
  using Lines = std::vector<std::string>;
  const struct {
    const char* what;
    std::vector<TPlacedText> texts;
    Lines lines;
  } cases[] = {
      {"column 10 is the tenth character", {{52, 33, "X"}}, {"", "", std::string(9, ' ') + "X"}},
      // y = 24 is line 1.5 and y = 40 line 2.5: both go to line 2; y = 56 is 3.5: line 4.
      {"half lines round to the even line", {{1, 25, "A"}, {52, 41, "B"}}, {"", "", "A" + std::string(8, ' ') + "B"}},
      {"half line below", {{1, 57, "C"}}, {"", "", "", "", "C"}},
      // x = 5 is column 1 (the line's start), x = 15 column 3; a later text
      // overwrites as many characters as it has, even past the line's end.
      {"overwrite", {{6, 1, "abcdef"}, {16, 1, "XY"}, {26, 17, "long"}, {16, 17, "123456"}}, {"abXYef", "  123456"}},
      // Lines of rich text 15 apart both round to line 2: the second goes
      // below instead of overwriting the first, and the lines after follow on.
      {"closer than a text line",
       {{1, 25, "first line"}, {1, 40, "second line"}, {1, 55, "third"}},
       {"", "", "first line", "second line", "third"}},
      {"left of the first column is inserted at the start", {{6, 1, "abc"}, {1, 1, "Z"}}, {"Zabc"}},
      {"blank texts and line breaks do not shape the lines", {{1, 100, "   "}, {6, 1, "a\r\nb"}}, {"a  b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(place(c.texts), c.lines);
  }
  // A page of lines 15 apart falls a line behind every sixteen: none is lost.
  std::vector<TPlacedText> dense;
  for (int i = 0; i < 70; ++i) dense.push_back({1, 1 + 15 * i, "L" + std::to_string(i)});
  const Lines placed = place(dense);
  for (int i = 0; i < 70; ++i)
    EXPECT_NE(std::find(placed.begin(), placed.end(), "L" + std::to_string(i)), placed.end()) << i;
}

TEST_F(TextPlacementTest, TextsFarOutsideAnyPageAreDropped) {
  text.StartExport();
  text.NewPage(0, 0);
  text.OffsetY = 2000000000;
  text.ExportRecords(pageOf({{6, 1, "far below"}}));
  text.OffsetY = 0;
  text.OffsetX = 2000000000;
  text.ExportRecords(pageOf({{6, 1, "far right"}}));
  text.OffsetX = -2000000000;
  text.ExportRecords(pageOf({{6, 1, "far left"}}));
  text.OffsetX = 0;
  text.OffsetY = -500;
  text.ExportRecords(pageOf({{6, 1, "above"}}));  // a negative line is the first one
  EXPECT_EQ(text.Lines(), std::vector<std::string>{"above"});
}

TEST_F(MarkupTextTest, TextFileEndsPagesWithAFormFeedAndDropsTrailingBlankLines) {
  const int height = 160;
  const TMetafile first = pageOf({{6, 1, "page one"}, {6, 33, "end of one"}}, 800, height);
  const TMetafile second = pageOf({{11, 17, "page two"}}, 800, height);
  TZdqExportToText text;
  text.StartExport();
  text.NewPage(0, 0);
  text.ExportRecords(first);
  text.NewPage(1, 0);
  text.OffsetY = height;
  text.ExportRecords(second);
  text.SaveToFile(path("report.txt"));
  text.EndExport();
  // Page two's text at y = 176 is line 11.
  std::string expected = "page one\r\n\r\nend of one\f\r\n";
  for (int i = 3; i < 11; ++i) expected += "\r\n";
  expected += " page two\r\n";  // x = 10 is column 2
  EXPECT_EQ(readFile(dir / "report.txt"), expected);
}

// Played as the report plays a result: named first, then page after page.
// Lines are written as pages end, so a long report keeps every page (its
// lines run past the most one page could pad out to) and the file appears
// only when saved, the same as when it is built whole.
TEST_F(MarkupTextTest, TextFileNamedBeforeItsPagesIsWrittenAsTheyComeAndKeepsEveryPage) {
  auto play = [&](TZdqExportToText& text, int pages, bool named, const std::string& name) {
    text.StartExport();
    if (named) text.BeginResult(path(name));
    for (int p = 0; p < pages; ++p) {
      text.NewPage(p, 0);
      text.OffsetY = p * 1120;
      // Every seventh page has no text: its form feed joins the line before.
      if (p % 7 != 3) text.ExportRecords(pageOf({{6, 1 + 16 * (p % 5), "page " + std::to_string(p)}}));
    }
    EXPECT_EQ(std::filesystem::exists(dir / name), false);
    text.SaveToFile(path(name));
    text.EndExport();
    return readFile(dir / name);
  };
  TZdqExportToText whole, streamed;
  EXPECT_EQ(play(streamed, 30, true, "streamed.txt"), play(whole, 30, false, "whole.txt"));

  const int pages = 16000;  // 1,120,000 lines
  TZdqExportToText longReport;
  const std::string text = play(longReport, pages, true, "long.txt");
  int withText = 0;
  for (int p = 0; p < pages; ++p) withText += p % 7 != 3;
  size_t found = 0;
  for (size_t at = text.find("page "); at != std::string::npos; at = text.find("page ", at + 1)) ++found;
  EXPECT_EQ(found, size_t(withText));
  EXPECT_NE(text.find("page 15999\r\n"), std::string::npos);
}

TEST_F(MarkupTextTest, TextFileKeepsItsFirstLineAndIsUtf8OrACodePage) {
  TZdqExportToText text;
  const TMetafile blank = pageOf({});
  text.SaveMetafileToFile(&blank, path("blank.txt"));
  EXPECT_EQ(readFile(dir / "blank.txt"), "");

  const TMetafile page = pageOf({{6, 1, "na\u00efve \u03a9 \u05e9\u05dc\u05d5\u05dd"}});
  text.SaveMetafileToFile(&page, path("page.txt"));
  EXPECT_EQ(readFile(dir / "page.txt"), "na\u00efve \u03a9 \u05e9\u05dc\u05d5\u05dd\r\n");
  text.SetCodePage(1252);
  text.SaveMetafileToFile(&page, path("1252.txt"));
  EXPECT_EQ(readFile(dir / "1252.txt"), "na\xefve ? ????\r\n");
  EXPECT_EQ(text.ReplacedCharacters, 5u);
}

TEST_F(MarkupTextTest, TextFilePerPageStartsEveryFileAtItsOwnFirstLine) {
  const TMetafile first = pageOf({{6, 1, "one"}, {6, 17, "more"}});
  const TMetafile second = pageOf({{6, 17, "two"}});
  TZdqExportToText text;
  text.StartExport();
  text.NewPage(0, 0);
  text.ExportRecords(first);
  text.SaveToFile(path("p0_0.txt"));
  text.NewPage(1, 0);
  text.ExportRecords(second);
  text.SaveToFile(path("p1_0.txt"));
  text.EndExport();
  EXPECT_EQ(readFile(dir / "p0_0.txt"), "one\r\nmore\r\n");
  EXPECT_EQ(readFile(dir / "p1_0.txt"), "\r\ntwo\r\n");
}

}  // namespace
}  // namespace zd
