// The spreadsheet driver: which writer operations a grid turns into, with
// which positions, texts, alignments and colours, and which cells each
// saved file holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "export/EmfRecords.h"
#include "export/Spreadsheet.h"
#include "tests/Fixtures.h"
#include "host/locale/Locale.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

std::string alignName(TAlignment a) {
  switch (a) {
    case TAlignment::taRightJustify: return "R";
    case TAlignment::taCenter: return "C";
    default: return "L";
  }
}

// Writes down every writer call as one line of text.
class TCallLog : public TZdqExportToSpreadsheet {
 public:
  using TZdqExportToSpreadsheet::TZdqExportToSpreadsheet;
  static inline std::vector<std::vector<std::string>>* files = nullptr;  // calls of each saved file
  std::vector<std::string> calls;
  const char* failAt = nullptr;  // a cell text whose WriteData fails

  // A file's calls start at its beginning: streamed rows come before SaveToFile.
  void SaveToFile(const std::string& fileName) override {
    TZdqExportToSpreadsheet::SaveToFile(fileName);
    if (files) files->push_back(calls);
  }

 protected:
  void WriteFileBegin() override { calls = {"begin"}; }
  void WriteFileEnd() override { calls.push_back("end"); }
  void WriteDimensions(int rows, int columns) override {
    calls.push_back("dim " + std::to_string(rows) + "x" + std::to_string(columns));
  }
  void WriteRowStart() override { calls.push_back("row"); }
  void WriteRowEnd() override { calls.push_back("/row"); }
  void WriteData(TSpreadsheetCellType type, const TZdqMFERecord*, int row, int col, const std::string& text,
                 TAlignment alignment, TColor color) override {
    if (failAt && text == failAt) throw std::runtime_error("disk full");
    std::ostringstream s;
    s << (type == TSpreadsheetCellType::ctString ? "S" : type == TSpreadsheetCellType::ctBlank ? "B" : "?") << " "
      << row << "," << col << " '" << text << "' " << alignName(alignment) << " " << std::hex << color;
    calls.push_back(s.str());
  }
};

TZdqMFERecord textCell(int left, int top, const std::string& text, TColor back = clWhite) {
  TZdqMFERecord cell;
  cell.Left = left;
  cell.Top = top;
  cell.Width = 40;
  cell.Height = 12;
  cell.Text = text;
  cell.BackColor = back;
  return cell;
}

std::string tempFile(const char* name) { return zd::test::UniqueTempPath(name).string(); }

class SheetDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { sheet.StartExport(); }
  void TearDown() override { setCurrentLocale(TLocale{}); }
  std::vector<std::string> Save() {
    sheet.SaveToFile(tempFile("zd_sheet_driver.bin"));
    return sheet.calls;
  }
  TCallLog sheet;
};

TEST_F(SheetDriverTest, CellsGoOutRowByRowAndBlanksCompleteTheLastRow) {
  const TColor red = 0x0000FF;
  sheet.Records() = {textCell(100, 40, "d"), textCell(10, 10, "a", red), textCell(100, 10, "b"),
                     textCell(10, 40, "c"), textCell(10, 70, "e")};
  EXPECT_EQ(Save(), (std::vector<std::string>{"begin", "dim 3x2", "row", "S 0,0 'a' L ff", "S 0,1 'b' L ffffff",
                                              "/row", "row", "S 1,0 'c' L ffffff", "S 1,1 'd' L ffffff", "/row",
                                              "row", "S 2,0 'e' L ffffff", "B 2,1 '' L ffffff", "/row",
                                              "end"}));
}

TEST_F(SheetDriverTest, GapsAndNonTextCellsAreBlankLeftJustifiedAndWhite) {
  const TColor grey = 0x808080;
  TZdqMFERecord line = textCell(100, 70, "");
  line.Kind = TZdqMFERecordKind::rkLine;
  line.BackColor = grey;
  sheet.Records() = {textCell(10, 10, "a", grey), textCell(100, 10, "b", grey), textCell(100, 40, "d", grey),
                     textCell(10, 70, "e", grey), line};
  EXPECT_EQ(Save(), (std::vector<std::string>{"begin", "dim 3x2", "row", "S 0,0 'a' L 808080",
                                              "S 0,1 'b' L 808080", "/row", "row", "B 1,0 '' L ffffff",
                                              "S 1,1 'd' L 808080", "/row", "row", "S 2,0 'e' L 808080",
                                              "B 2,1 '' L ffffff", "/row", "end"}));
}

TEST_F(SheetDriverTest, TextCellsKeepTheirOwnAlignment) {
  // A right-justified text mode set after the cells were drawn changes nothing.
  sheet.ExportRecords(test::MetafileOf({test::EmfRecordBytes(EMR_SETTEXTALIGN).u32(1).Bytes()}));
  TZdqMFERecord cell = textCell(10, 10, "x");
  cell.Alignment = TAlignment::taCenter;
  sheet.Records() = {cell};
  EXPECT_EQ(Save(), (std::vector<std::string>{"begin", "dim 1x1", "row", "S 0,0 'x' C ffffff", "/row", "end"}));
}

TEST_F(SheetDriverTest, WithoutTextOnlyTheFramingIsWritten) {
  EXPECT_EQ(Save(), (std::vector<std::string>{"begin", "dim 1x0", "end"}));
}

TEST_F(SheetDriverTest, TextsAreInTheCodePageWithLossesCountedAndCutTo255Characters) {
  sheet.SetCodePage(1252);
  EXPECT_EQ(sheet.CellText("Gr\u00f6\u00dfe \u20ac5"), "Gr\xf6\xdf" "e \x80" "5");
  EXPECT_EQ(sheet.ReplacedCharacters, 0u);
  EXPECT_EQ(sheet.CellText("\u65e5\u672c x"), "?? x");
  EXPECT_EQ(sheet.ReplacedCharacters, 2u);
  EXPECT_EQ(sheet.CellText(std::string("a\0b", 3)), "a?b");
  // Each non-ASCII character is one byte, so the cut counts characters.
  std::string long_text;
  for (int i = 0; i < 300; ++i) long_text += "\u00e9";
  EXPECT_EQ(sheet.CellText(long_text), std::string(255, '\xe9'));

  sheet.SetCodePage(1251);
  EXPECT_EQ(sheet.CellText("\u041f\u0440\u0438 \u00e9"), "\xcf\xf0\xe8 ?");
  sheet.SetCodePage(TZdqOutputCharset::Utf8);
  std::string greek;
  for (int i = 0; i < 300; ++i) greek += "\u03a9";
  EXPECT_EQ(sheet.CellText(greek).size(), 255u * 2);  // 255 characters of two bytes
  EXPECT_THROW(sheet.SetCodePage(932), std::invalid_argument);
}

TEST_F(SheetDriverTest, AFailureLeavesNoFileAndTheErrorPropagates) {
  sheet.Records() = {textCell(10, 10, "a"), textCell(100, 10, "b")};
  sheet.failAt = "a";
  const std::string file = tempFile("zd_sheet_driver_fail.bin");
  std::filesystem::remove(file);
  EXPECT_THROW(sheet.SaveToFile(file), std::runtime_error);
  EXPECT_EQ(sheet.calls, (std::vector<std::string>{"begin", "dim 1x2", "row"}));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(SheetDriverTest, AFileThatCannotBeCreatedRaisesAFileError) {
  sheet.Records() = {textCell(10, 10, "a")};
  const std::string file = tempFile("zd_no_such_dir/out.xls");
  EXPECT_THROW(sheet.SaveToFile(file), EZdqExportFileError);
  EXPECT_FALSE(std::filesystem::exists(file));
}

// Through the print component: what each file of an export holds.
class TwoPageTable : public TZdPrintComponent {
 public:
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 1; p <= 2; ++p) {
      NewPage();
      Producer().MFCanvas()->TextOut(30, 40, "page " + std::to_string(p));
      Producer().MFCanvas()->TextOut(300, 40, std::to_string(p * 10));
    }
    EndDoc();
  }
};

class SheetFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    TCallLog::files = &files;
    report.SetAnimatedStatus(false);
    report.PrepareReport();
  }
  void TearDown() override { TCallLog::files = nullptr; }
  TwoPageTable report;
  std::vector<std::vector<std::string>> files;
};

TEST_F(SheetFilesTest, EachFileOfAPageHoldsExactlyThatPage) {
  report.ExportTo(tempFile("zd_sheet_pages.bin"), true, TStringList{"1", "2"}, ExportClassOf<TCallLog>());
  ASSERT_EQ(files.size(), 2u);
  for (int p = 0; p < 2; ++p) {
    const std::string n = std::to_string(p + 1);
    EXPECT_EQ(files[p], (std::vector<std::string>{"begin", "dim 1x2", "row", "S 0,0 'page " + n + "' L ffffff",
                                                  "S 0,1 '" + n + "0' L ffffff", "/row", "end"}))
        << "page " << n;
  }
}

TEST_F(SheetFilesTest, OneResultHoldsThePagesBelowEachOther) {
  report.ExportTo(tempFile("zd_sheet_all.bin"), false, TStringList{"1", "2"}, ExportClassOf<TCallLog>());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0], (std::vector<std::string>{"begin", "dim 2x2", "row", "S 0,0 'page 1' L ffffff",
                                                "S 0,1 '10' L ffffff", "/row", "row", "S 1,0 'page 2' L ffffff",
                                                "S 1,1 '20' L ffffff", "/row", "end"}));
}

}  // namespace
}  // namespace zd
