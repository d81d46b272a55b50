// The WK1 and WQ1 writers, read back record by record.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/sheet/Lotus.h"
#include "export/sheet/QuattroPro.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

struct TWksRecord {
  uint16_t code = 0;
  std::string data;
  uint16_t Word(size_t at) const {
    if (at + 2 > data.size()) throw std::out_of_range("word past the record's data");
    return uint16_t(uint8_t(data[at]) | uint8_t(data[at + 1]) << 8);
  }
  int Format() const { return uint8_t(data.at(0)); }
  int Col() const { return Word(1); }
  int Row() const { return Word(3); }
  double Double() const {
    if (data.size() != 13) throw std::out_of_range("a number cell holds 13 bytes");
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | uint8_t(data[5 + i]);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  // The label text with its prefix; the record must end right after its zero byte.
  std::string Label() const {
    const size_t end = data.find('\0', 5);
    if (end == std::string::npos || end + 1 != data.size()) throw std::out_of_range("label not zero-terminated");
    return data.substr(5, end - 5);
  }
};

std::vector<TWksRecord> ReadWks(const std::string& bytes) {
  std::vector<TWksRecord> records;
  size_t at = 0;
  while (at < bytes.size()) {
    if (at + 4 > bytes.size()) throw std::out_of_range("truncated record header");
    TWksRecord r;
    r.code = uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
    const size_t length = uint8_t(bytes[at + 2]) | uint8_t(bytes[at + 3]) << 8;
    if (at + 4 + length > bytes.size()) throw std::out_of_range("record runs past the end");
    r.data = bytes.substr(at + 4, length);
    records.push_back(r);
    at += 4 + length;
  }
  return records;
}

std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TZdqMFERecord textCell(int left, int top, const std::string& text) {
  TZdqMFERecord cell;
  cell.Left = left;
  cell.Top = top;
  cell.Text = text;
  return cell;
}

// Writes single cells (or a whole grid into a file) with either writer.
template <class Writer>
class TProbe : public Writer {
 public:
  TProbe() { this->Stream = &out; }
  void Cell(TSpreadsheetCellType type, const std::string& text, TAlignment a = TAlignment::taLeftJustify,
            int row = 0, int col = 0) {
    this->WriteData(type, nullptr, row, col, text, a, clWhite);
  }
  void Dimensions(uint16_t rows, uint16_t cols) { this->WriteDimensions(rows, cols); }
  TWksRecord Only() const {
    const auto records = ReadWks(out.str());
    if (records.size() != 1) throw std::logic_error(std::to_string(records.size()) + " records");
    return records[0];
  }
  std::vector<TWksRecord> Export(std::vector<TZdqMFERecord> cells) {
    this->StartExport();
    this->Records() = std::move(cells);
    const std::string file = zd::test::UniqueTempPath("zd_sheet_worksheet.bin").string();
    this->SaveToFile(file);
    return ReadWks(readFile(file));
  }
  std::ostringstream out;
};
using TLotusProbe = TProbe<TZdqExportToLotus>;
using TQuattroProbe = TProbe<TZdqExportToQuattroPro>;

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
    EXPECT_EQ(records[2 + i].Format(), 0xF1);
    EXPECT_EQ(records[2 + i].Row(), i / 2);
    EXPECT_EQ(records[2 + i].Col(), i % 2);
    EXPECT_EQ(records[2 + i].Label(), "'" + texts[i]);
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
    EXPECT_EQ(probe.Only().Label(), std::string(1, prefix) + "x y");
  }
  TLotusProbe probe;
  probe.Cell(TSpreadsheetCellType::ctString, std::string(300, 'z'));
  EXPECT_EQ(probe.Only().data.size(), 261u);
  EXPECT_EQ(probe.Only().Label(), "'" + std::string(254, 'z'));
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
    const TWksRecord r = probe.Only();
    EXPECT_EQ(r.code, c.code) << c.text;
    EXPECT_EQ(r.Row(), 3);
    EXPECT_EQ(r.Col(), 2);
    if (c.code == 0x000D) {
      EXPECT_EQ(r.data.size(), 7u);
      EXPECT_EQ(r.Format(), 0x82);
      EXPECT_EQ(int16_t(r.Word(5)), c.value) << c.text;
    } else {
      EXPECT_EQ(r.Format(), 0xF1);
      EXPECT_EQ(r.Double(), c.value) << c.text;
    }
  }
  for (auto [text, value] : {std::pair{"1.25", 1.25}, std::pair{"", 0.0}, std::pair{"1,2", 0.0}}) {
    TLotusProbe probe;
    probe.Cell(TSpreadsheetCellType::ctCurrency, text);
    EXPECT_EQ(probe.Only().code, 0x000E);
    EXPECT_EQ(probe.Only().Double(), value) << text;
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
  const auto written = ReadWks(cells.out.str());
  ASSERT_EQ(written.size(), 5u);
  // Column 300 keeps only its low byte (44).
  EXPECT_EQ(written[0].data, std::string("\x00\x2C\x00\x01\x02", 5));
  EXPECT_EQ(written[1].data, std::string("\x00\x02\x00\x01\x00\xFB\xFF", 7));
  EXPECT_EQ(written[2].Format(), 0x00);
  EXPECT_EQ(written[2].Double(), 0.0);
  EXPECT_EQ(written[3].Label(), "\"\x01r");
  EXPECT_EQ(written[4].data, std::string("\x00\x00\x00\x00\x2B\x00\x04\x00", 8));
}

}  // namespace
}  // namespace zd
