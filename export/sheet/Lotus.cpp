#include "export/sheet/Lotus.h"

#include <algorithm>
#include <stdexcept>

namespace zd {

namespace {

enum : uint16_t {
  kBof = 0x0000,
  kEof = 0x0001,
  kRange = 0x0006,
  kBlank = 0x000C,
  kInteger = 0x000D,
  kNumber = 0x000E,
  kLabel = 0x000F,
};
constexpr uint16_t kCellHeaderSize = 5;  // format byte and address

char labelPrefix(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return '"';
    case TAlignment::taCenter: return '^';
    default: return '\'';
  }
}

}  // namespace

TZdqLotusFamilyExport::TZdqLotusFamilyExport(TComponent* owner, const TLotusDialect& dialect)
    : TZdqExportToSpreadsheet(owner), dialect_(dialect) {
  // Lotus readers decode labels in a DOS code page, libwps in 850 and
  // LibreOffice in 437: only the characters both agree on are written.
  SetCharset(TZdqOutputCharset::CommonTo(850, 437));
}

void TZdqLotusFamilyExport::SetCodePage(int codePage) {
  if (TZdqOutputCharset(codePage).IsUtf8())
    throw std::invalid_argument("WK1 and WQ1 labels are 8-bit: give a single-byte code page, or use xlsx");
  TZdqExportToSpreadsheet::SetCodePage(codePage);
}

TZdqExportToLotus::TZdqExportToLotus(TComponent* owner)
    : TZdqLotusFamilyExport(owner, TLotusDialect{0x0404, 0x22, 0x82, 0xF1, false, false}) {}

uint16_t TZdqLotusFamilyExport::columnWord(int col) const {
  if (dialect_.ColumnLowByteOnly) return uint16_t(SpreadsheetWord(col, "column") & 0xFF);
  return SpreadsheetWord(col, "column");
}

void TZdqLotusFamilyExport::WriteFileBegin() {
  WriteRecordHeader(kBof, 2);
  WriteWord(dialect_.FileVersion);
}

void TZdqLotusFamilyExport::WriteFileEnd() { WriteRecordHeader(kEof, 0); }

// An empty grid has last column -1, written as its 16-bit pattern.
void TZdqLotusFamilyExport::WriteDimensions(int rows, int columns) {
  SpreadsheetWord(rows, "row count");
  const uint16_t lastColumn = uint16_t(SpreadsheetWord(columns, "column count") - 1);
  WriteRecordHeader(kRange, 8);
  WriteWord(0);
  WriteWord(0);
  WriteWord(dialect_.ColumnLowByteOnly ? uint16_t(lastColumn & 0xFF) : lastColumn);
  WriteWord(uint16_t(rows - 1));
}

void TZdqLotusFamilyExport::writeCellHeader(uint16_t code, uint16_t length, uint8_t format, int row, int col) {
  const uint16_t c = columnWord(col), r = SpreadsheetWord(row, "row");
  WriteRecordHeader(code, length);
  WriteByte(format);
  WriteWord(c);
  WriteWord(r);
}

// The format byte: protection bit, format kind (fixed 0, scientific 1,
// currency 2, percent 3, comma 4) and the decimals, at most 15.
uint8_t TZdqLotusFamilyExport::numberFormat(const TCellNumber& number) const {
  constexpr uint8_t kSpecial = 7, kLongDate = 9;  // a date shown as MM/DD/YY
  if (!number.DateFormat.empty()) return uint8_t((dialect_.ValueFormat & 0x80) | (kSpecial << 4) | kLongDate);
  uint8_t kind = 0;
  if (number.Scientific) kind = 1;
  else if (!number.Currency.empty()) kind = 2;
  else if (number.Percent) kind = 3;
  else if (number.Grouped) kind = 4;
  return uint8_t((dialect_.ValueFormat & 0x80) | (kind << 4) | std::min(number.Decimals, 15));
}

void TZdqLotusFamilyExport::WriteNumber(const TZdqMFERecord&, int row, int col, const TCellNumber& number) {
  writeCellHeader(kNumber, kCellHeaderSize + 8, numberFormat(number), row, col);
  WriteDouble(number.Value);
}

void TZdqLotusFamilyExport::WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord*, int row, int col,
                                      const std::string& text, TAlignment alignment, TColor) {
  auto writeNumber = [&](double value) {
    writeCellHeader(kNumber, kCellHeaderSize + 8, dialect_.ValueFormat, row, col);
    WriteDouble(value);
  };
  switch (cellType) {
    case TSpreadsheetCellType::ctBlank:
      writeCellHeader(kBlank, kCellHeaderSize, dialect_.BlankFormat, row, col);
      break;
    case TSpreadsheetCellType::ctInteger: {
      const int32_t value = SpreadsheetInteger(text).value_or(0);
      if (value < -32767 || value > 32767) {
        writeNumber(value);
      } else {
        writeCellHeader(kInteger, kCellHeaderSize + 2, dialect_.IntegerFormat, row, col);
        WriteWord(uint16_t(int16_t(value)));
      }
      break;
    }
    case TSpreadsheetCellType::ctDouble:
    case TSpreadsheetCellType::ctCurrency:
      writeNumber(SpreadsheetFloat(text).value_or(0.0));
      break;
    case TSpreadsheetCellType::ctString:
    case TSpreadsheetCellType::ctDateTime: {
      // The prefix (and a length byte) count towards the limit of the label.
      const size_t room = MaxCellText - (dialect_.LabelLengthByte ? 2 : 1);
      const std::string body = text.substr(0, std::min(text.size(), room));
      std::string label(1, labelPrefix(alignment));
      if (dialect_.LabelLengthByte) label += char(body.size());
      label += body;
      writeCellHeader(kLabel, uint16_t(kCellHeaderSize + label.size() + 1), dialect_.ValueFormat, row, col);
      WriteString(label);
      WriteByte(0);
      break;
    }
  }
}

}  // namespace zd
