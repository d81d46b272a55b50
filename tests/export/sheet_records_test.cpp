// The BIFF (XLS), WK1 and WQ1 worksheet writers, read back record by record.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/sheet/Excel.h"
#include "export/sheet/Lotus.h"
#include "export/sheet/QuattroPro.h"
#include "host/core/Component.h"
#include "host/locale/Locale.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

// All three formats frame records the same way: code, length, data.
struct TRecord {
  uint16_t code = 0;
  std::string data;
  uint16_t Word(size_t at) const {
    if (at + 2 > data.size()) throw std::out_of_range("word past the record's data");
    return uint16_t(uint8_t(data[at]) | uint8_t(data[at + 1]) << 8);
  }
  double Double(size_t at) const {
    if (at + 8 > data.size()) throw std::out_of_range("double past the record's data");
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | uint8_t(data[at + i]);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  // BIFF cells: row, column, three format bytes, then the value.
  int Row() const { return Word(0); }
  int Col() const { return Word(2); }
  int AlignCode() const { return uint8_t(data.at(6)); }
  std::string Label() const {
    const size_t n = uint8_t(data.at(7));
    if (8 + n != data.size()) throw std::out_of_range("label length disagrees with the record");
    return data.substr(8, n);
  }
  // WK1/WQ1 cells: format byte, column, row, then the value.
  int WksFormat() const { return uint8_t(data.at(0)); }
  int WksCol() const { return Word(1); }
  int WksRow() const { return Word(3); }
  double WksDouble() const {
    if (data.size() != 13) throw std::out_of_range("a number cell holds 13 bytes");
    return Double(5);
  }
  // The label text with its prefix; the record must end right after its zero byte.
  std::string WksLabel() const {
    const size_t end = data.find('\0', 5);
    if (end == std::string::npos || end + 1 != data.size()) throw std::out_of_range("label not zero-terminated");
    return data.substr(5, end - 5);
  }
};

// Splits a stream into records, refusing a length that runs past the end.
std::vector<TRecord> ReadRecords(const std::string& bytes) {
  std::vector<TRecord> records;
  size_t at = 0;
  while (at < bytes.size()) {
    if (at + 4 > bytes.size()) throw std::out_of_range("truncated record header");
    TRecord r;
    r.code = uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
    const size_t length = uint8_t(bytes[at + 2]) | uint8_t(bytes[at + 3]) << 8;
    if (at + 4 + length > bytes.size()) throw std::out_of_range("record runs past the end");
    r.data = bytes.substr(at + 4, length);
    records.push_back(r);
    at += 4 + length;
  }
  return records;
}

TZdqMFERecord textCell(int left, int top, const std::string& text) {
  TZdqMFERecord cell;
  cell.Left = left;
  cell.Top = top;
  cell.Text = text;
  return cell;
}

// Writes single cells into memory, or a whole grid into a file, with any writer.
template <class Writer>
class TProbe : public Writer {
 public:
  TProbe() { this->Stream = &out; }
  void Cell(TSpreadsheetCellType type, const std::string& text, TAlignment a = TAlignment::taLeftJustify,
            int row = 0, int col = 0) {
    this->WriteData(type, nullptr, row, col, text, a, clWhite);
  }
  void Dimensions(uint16_t rows, uint16_t cols) { this->WriteDimensions(rows, cols); }
  TRecord Only() const {
    const auto records = ReadRecords(out.str());
    if (records.size() != 1) throw std::logic_error(std::to_string(records.size()) + " records");
    return records[0];
  }
  std::vector<TRecord> Export(std::vector<TZdqMFERecord> cells) {
    this->StartExport();
    this->Records() = std::move(cells);
    const std::string file = zd::test::UniqueTempPath("zd_sheet_records.bin").string();
    this->SaveToFile(file);
    std::ifstream in(file, std::ios::binary);
    return ReadRecords(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  std::ostringstream out;
};
using TExcelProbe = TProbe<TZdqExportToExcel>;
using TLotusProbe = TProbe<TZdqExportToLotus>;
using TQuattroProbe = TProbe<TZdqExportToQuattroPro>;

class SheetExcelTest : public ::testing::Test {
 protected:
  void TearDown() override { setCurrentLocale(TLocale{}); }
  std::vector<TRecord> Export(std::vector<TZdqMFERecord> cells) { return TExcelProbe().Export(std::move(cells)); }
};

TEST_F(SheetExcelTest, AGridOfThreeRowsAndTwoColumnsIsFramedAndInRowOrder) {
  const auto records = Export({textCell(10, 10, "a"), textCell(100, 10, "b"), textCell(10, 40, "c"),
                               textCell(100, 40, "d"), textCell(10, 70, "e")});
  ASSERT_EQ(records.size(), 13u);
  EXPECT_EQ(records[0].code, 0x0809);
  EXPECT_EQ(records[0].data, std::string("\x00\x00\x10\x00\x00\x00", 6));
  // The code page the labels are in, by which readers decode them.
  EXPECT_EQ(records[1].code, 0x0042);
  EXPECT_EQ(records[1].Word(0), 1252);
  // The one font every cell refers to, and the number and cell formats.
  EXPECT_EQ(records[2].code, 0x0031);
  EXPECT_EQ(records[2].data, std::string("\xC8\x00\x00\x00\x05" "Arial", 10));
  EXPECT_EQ(records[3].code, 0x001E);
  EXPECT_EQ(records[3].data, "\x07General");
  EXPECT_EQ(records[4].code, 0x0043);
  EXPECT_EQ(records[4].data, std::string(4, '\0'));
  EXPECT_EQ(records[5].code, 0x0200);
  EXPECT_EQ(records[5].data, std::string("\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00", 10));
  const std::vector<std::string> texts{"a", "b", "c", "d", "e"};
  for (int i = 0; i < 5; ++i) {
    const TRecord& cell = records[6 + i];
    EXPECT_EQ(cell.code, 0x0004) << i;
    EXPECT_EQ(cell.Row(), i / 2);
    EXPECT_EQ(cell.Col(), i % 2);
    EXPECT_EQ(cell.AlignCode(), 1);
    EXPECT_EQ(cell.Label(), texts[i]);
  }
  EXPECT_EQ(records[11].code, 0x0001);
  EXPECT_EQ(records[11].Row(), 2);
  EXPECT_EQ(records[11].Col(), 1);
  EXPECT_EQ(records[12].code, 0x000A);
  EXPECT_EQ(records[12].data, "");
}

TEST_F(SheetExcelTest, NumberTextsBecomeNumberCellsInTheFormatThatShowsThem) {
  TZdqMFERecord amount = textCell(100, 10, "1,234.50");
  amount.Alignment = TAlignment::taRightJustify;
  const auto records =
      Export({textCell(10, 10, "Total"), amount, textCell(10, 40, "Share"), textCell(100, 40, "12.5%"),
              textCell(10, 70, "Code"), textCell(100, 70, "007")});
  std::vector<std::string> formats;
  for (const TRecord& r : records)
    if (r.code == 0x001E) formats.push_back(r.data.substr(1));
  EXPECT_EQ(formats, (std::vector<std::string>{"General", "#,##0.00", "0.0%"}));
  std::vector<const TRecord*> numbers;
  for (const TRecord& r : records)
    if (r.code == 0x0003) numbers.push_back(&r);
  ASSERT_EQ(numbers.size(), 2u);  // "007" stays a label: its zeros would be lost
  EXPECT_DOUBLE_EQ(numbers[0]->Double(7), 1234.5);
  EXPECT_EQ(uint8_t(numbers[0]->data[4]), 1);  // the cell format and ...
  EXPECT_EQ(uint8_t(numbers[0]->data[5]), 1);  // ... the number format it shows in
  EXPECT_EQ(numbers[0]->AlignCode(), 3);
  EXPECT_DOUBLE_EQ(numbers[1]->Double(7), 0.125);
  EXPECT_EQ(uint8_t(numbers[1]->data[5]), 2);
}

TEST_F(SheetExcelTest, DateTextsBecomeDayNumbersShownAsTheyWere) {
  const auto records = Export({textCell(10, 10, "2024-02-29"), textCell(100, 10, "3/1/1900"),
                               textCell(10, 40, "2024-02-30"), textCell(100, 40, "1/15/1900")});
  std::vector<std::string> formats;
  std::vector<double> days;
  for (const TRecord& r : records) {
    if (r.code == 0x001E) formats.push_back(r.data.substr(1));
    if (r.code == 0x0003) days.push_back(r.Double(7));
  }
  EXPECT_EQ(formats, (std::vector<std::string>{"General", "yyyy-mm-dd", "m/d/yyyy"}));
  // Day numbers as spreadsheets count them; no such day, and days before
  // March 1900 (which spreadsheets count differently), stay text.
  EXPECT_EQ(days, (std::vector<double>{45351, 61}));
}

TEST_F(SheetExcelTest, LabelsCarryAlignmentAndAreCutTo255Characters) {
  const auto records = Export({textCell(10, 10, std::string(300, 'x'))});
  ASSERT_EQ(records.size(), 8u);
  EXPECT_EQ(records[6].data.size(), 263u);
  EXPECT_EQ(uint8_t(records[6].data[7]), 255);
  EXPECT_EQ(records[6].Label(), std::string(255, 'x'));

  for (auto [alignment, code] : {std::pair{TAlignment::taLeftJustify, 1}, std::pair{TAlignment::taRightJustify, 3},
                                 std::pair{TAlignment::taCenter, 2}}) {
    TExcelProbe probe;
    probe.Cell(TSpreadsheetCellType::ctDateTime, "01.02.2003", alignment);
    EXPECT_EQ(probe.Only().code, 0x0004);
    EXPECT_EQ(probe.Only().AlignCode(), code);
    EXPECT_EQ(probe.Only().Label(), "01.02.2003");
  }
  // A longer text from a direct caller is cut rather than overflowing the length byte.
  TExcelProbe probe;
  probe.Cell(TSpreadsheetCellType::ctString, std::string(400, 'y'));
  EXPECT_EQ(probe.Only().Label(), std::string(255, 'y'));
}

TEST_F(SheetExcelTest, SmallIntegersAreIntegerCellsAndOthersNumbers) {
  struct Case {
    const char* text;
    uint16_t code;
    double value;
  };
  for (const Case& c : {Case{"200", 0x0002, 200}, Case{" 255 ", 0x0002, 255}, Case{"0", 0x0002, 0},
                        Case{"abc", 0x0002, 0}, Case{"256", 0x0003, 256}, Case{"70000", 0x0003, 70000},
                        Case{"-7", 0x0003, -7}}) {
    TExcelProbe probe;
    probe.Cell(TSpreadsheetCellType::ctInteger, c.text, TAlignment::taRightJustify, 4, 5);
    const TRecord r = probe.Only();
    EXPECT_EQ(r.code, c.code) << c.text;
    EXPECT_EQ(r.Row(), 4);
    EXPECT_EQ(r.Col(), 5);
    EXPECT_EQ(r.AlignCode(), 3);
    if (c.code == 0x0002) {
      EXPECT_EQ(r.data.size(), 9u);
      EXPECT_EQ(r.Word(7), c.value) << c.text;
    } else {
      EXPECT_EQ(r.data.size(), 15u);
      EXPECT_EQ(r.Double(7), c.value) << c.text;
    }
  }
}

TEST_F(SheetExcelTest, FloatAndCurrencyTextsUseTheLocaleAndRefuseNonNumbers) {
  TExcelProbe probe;
  probe.Cell(TSpreadsheetCellType::ctDouble, "-2.5e3");
  EXPECT_EQ(probe.Only().code, 0x0003);
  EXPECT_EQ(probe.Only().Double(7), -2500.0);

  TLocale german;
  german.decimalSeparator = ',';
  setCurrentLocale(german);
  TExcelProbe comma;
  comma.Cell(TSpreadsheetCellType::ctCurrency, "1234,75");
  EXPECT_EQ(comma.Only().Double(7), 1234.75);
  for (const char* bad : {"1.5", "abc", "", "1e999"}) {
    TExcelProbe refused;
    EXPECT_THROW(refused.Cell(TSpreadsheetCellType::ctDouble, bad), EConvertError) << bad;
    EXPECT_EQ(refused.out.str(), "") << bad;
  }
}

TEST_F(SheetExcelTest, ABlankCellIsElevenBytesAndAPositionBeyondSixteenBitsIsRefused) {
  TExcelProbe blank;
  blank.Cell(TSpreadsheetCellType::ctBlank, "", TAlignment::taLeftJustify, 0x0102, 0x0304);
  EXPECT_EQ(blank.out.str(), std::string("\x01\x00\x07\x00\x02\x01\x04\x03\x00\x00\x01", 11));
  // Refused before anything is written.
  TExcelProbe probe;
  EXPECT_THROW(probe.Cell(TSpreadsheetCellType::ctString, "x", TAlignment::taLeftJustify, 70000, 0),
               std::out_of_range);
  EXPECT_THROW(probe.Cell(TSpreadsheetCellType::ctBlank, "", TAlignment::taLeftJustify, 0, -1), std::out_of_range);
  EXPECT_EQ(probe.out.str(), "");
}

TEST(SheetLotusTest, AGridIsFramedByVersionRangeAndEndRecords) {
  TLotusProbe lotus;
  const auto records = lotus.Export({textCell(10, 10, "a"), textCell(100, 10, "b"), textCell(10, 40, "c"),
                                     textCell(100, 40, "d"), textCell(10, 70, "e")});
  ASSERT_EQ(records.size(), 9u);
  EXPECT_EQ(records[0].code, 0x0000);
  EXPECT_EQ(records[0].data, std::string("\x04\x04", 2));
  EXPECT_EQ(records[1].code, 0x0006);
  EXPECT_EQ(records[1].data, std::string("\x00\x00\x00\x00\x01\x00\x02\x00", 8));  // last column 1, last row 2
  const std::vector<std::string> texts{"a", "b", "c", "d", "e"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(records[2 + i].code, 0x000F);
    EXPECT_EQ(records[2 + i].WksFormat(), 0xF1);
    EXPECT_EQ(records[2 + i].WksRow(), i / 2);
    EXPECT_EQ(records[2 + i].WksCol(), i % 2);
    EXPECT_EQ(records[2 + i].WksLabel(), "'" + texts[i]);
  }
  EXPECT_EQ(records[7].code, 0x000C);
  EXPECT_EQ(records[7].data, std::string("\x22\x01\x00\x02\x00", 5));
  EXPECT_EQ(records[8].code, 0x0001);
  EXPECT_EQ(records[8].data, "");
}

TEST(SheetLotusTest, LabelPrefixesShowTheAlignmentAndCountTowardsTheLimit) {
  TLotusProbe published;  // a left-justified label, byte for byte
  published.Cell(TSpreadsheetCellType::ctString, "abc");
  EXPECT_EQ(published.out.str(), std::string("\x0F\x00\x0A\x00\xF1\x00\x00\x00\x00\x27\x61\x62\x63\x00", 14));
  for (auto [alignment, prefix] : {std::pair{TAlignment::taLeftJustify, '\''},
                                   std::pair{TAlignment::taRightJustify, '"'}, std::pair{TAlignment::taCenter, '^'}}) {
    TLotusProbe probe;
    probe.Cell(TSpreadsheetCellType::ctDateTime, "x y", alignment);
    EXPECT_EQ(probe.Only().WksLabel(), std::string(1, prefix) + "x y");
  }
  TLotusProbe probe;
  probe.Cell(TSpreadsheetCellType::ctString, std::string(300, 'z'));
  EXPECT_EQ(probe.Only().data.size(), 261u);
  EXPECT_EQ(probe.Only().WksLabel(), "'" + std::string(254, 'z'));
}

TEST(SheetLotusTest, IntegersOutsideSixteenBitsBecomeNumbersAndBadNumbersZero) {
  struct Case {
    const char* text;
    uint16_t code;
    double value;
  };
  for (const Case& c : {Case{"32767", 0x000D, 32767}, Case{"-32767", 0x000D, -32767}, Case{"zz", 0x000D, 0},
                        Case{"32768", 0x000E, 32768}, Case{"-32768", 0x000E, -32768}}) {
    TLotusProbe probe;
    probe.Cell(TSpreadsheetCellType::ctInteger, c.text, TAlignment::taLeftJustify, 3, 2);
    const TRecord r = probe.Only();
    EXPECT_EQ(r.code, c.code) << c.text;
    EXPECT_EQ(r.WksRow(), 3);
    EXPECT_EQ(r.WksCol(), 2);
    if (c.code == 0x000D) {
      EXPECT_EQ(r.data.size(), 7u);
      EXPECT_EQ(r.WksFormat(), 0x82);
      EXPECT_EQ(int16_t(r.Word(5)), c.value) << c.text;
    } else {
      EXPECT_EQ(r.WksFormat(), 0xF1);
      EXPECT_EQ(r.WksDouble(), c.value) << c.text;
    }
  }
  for (auto [text, value] : {std::pair{"1.25", 1.25}, std::pair{"", 0.0}, std::pair{"1,2", 0.0}}) {
    TLotusProbe probe;
    probe.Cell(TSpreadsheetCellType::ctCurrency, text);
    EXPECT_EQ(probe.Only().code, 0x000E);
    EXPECT_EQ(probe.Only().WksDouble(), value) << text;
  }
}

TEST(SheetQuattroTest, RecordsAreThoseOfWk1WithZeroFormatsOneByteColumnsAndLabelLengths) {
  TQuattroProbe quattro;
  const auto records = quattro.Export({textCell(10, 10, "a"), textCell(100, 10, "b")});
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].data, std::string("\x20\x51", 2));
  EXPECT_EQ(records[1].data, std::string("\x00\x00\x00\x00\x01\x00\x00\x00", 8));
  // The label's text follows its length.
  EXPECT_EQ(records[2].data, std::string("\x00\x00\x00\x00\x00'\x01" "a\0", 9));
  EXPECT_EQ(records[3].data, std::string("\x00\x01\x00\x00\x00'\x01" "b\0", 9));
  EXPECT_EQ(records[4].code, 0x0001);

  TQuattroProbe cells;
  cells.Cell(TSpreadsheetCellType::ctBlank, "", TAlignment::taLeftJustify, 0x0201, 300);
  cells.Cell(TSpreadsheetCellType::ctInteger, "-5", TAlignment::taLeftJustify, 1, 2);
  cells.Cell(TSpreadsheetCellType::ctDouble, "bad", TAlignment::taCenter, 1, 3);
  cells.Cell(TSpreadsheetCellType::ctString, "r", TAlignment::taRightJustify, 1, 4);
  cells.Dimensions(5, 300);
  const auto written = ReadRecords(cells.out.str());
  ASSERT_EQ(written.size(), 5u);
  // Column 300 keeps only its low byte (44).
  EXPECT_EQ(written[0].data, std::string("\x00\x2C\x00\x01\x02", 5));
  EXPECT_EQ(written[1].data, std::string("\x00\x02\x00\x01\x00\xFB\xFF", 7));
  EXPECT_EQ(written[2].WksFormat(), 0x00);
  EXPECT_EQ(written[2].WksDouble(), 0.0);
  EXPECT_EQ(written[3].WksLabel(), "\"\x01r");
  EXPECT_EQ(written[4].data, std::string("\x00\x00\x00\x00\x2B\x00\x04\x00", 8));
}

}  // namespace
}  // namespace zd
