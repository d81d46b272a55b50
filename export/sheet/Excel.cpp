#include "export/sheet/Excel.h"

#include <algorithm>
#include <stdexcept>

#include "host/core/Component.h"
#include "host/locale/Locale.h"


namespace zd {

namespace {

enum : uint16_t {
  kBof = 0x0809,
  kDimensions = 0x0200,
  kBlank = 0x0001,
  kInteger = 0x0002,
  kNumber = 0x0003,
  kLabel = 0x0004,
  kEof = 0x000A,
  kFont = 0x0031,
  kXf = 0x0043,
  kCodePage = 0x0042,
  kFormat = 0x001E,
};
constexpr uint16_t kCellHeaderSize = 7;
constexpr uint16_t kWorksheet = 0x0010;

uint8_t alignmentCode(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return 3;
    case TAlignment::taCenter: return 2;
    default: return 1;
  }
}

}  // namespace

TZdqExportToExcel::TZdqExportToExcel(TComponent* owner) : TZdqExportToSpreadsheet(owner) {
  TZdqExportToExcel::SetCodePage(AnsiSingleByteCodePage());
}

void TZdqExportToExcel::SetCodePage(int codePage) {
  if (TZdqOutputCharset(codePage).IsUtf8())
    throw std::invalid_argument("XLS labels are 8-bit: give a single-byte code page such as cp1252, or use xlsx");
  TZdqExportToSpreadsheet::SetCodePage(codePage);
}

// Readers decode the labels by the code page record; without it some
// refuse non-ASCII labels or guess.
void TZdqExportToExcel::WriteFileBegin() {
  WriteRecordHeader(kBof, 6);
  WriteWord(0);
  WriteWord(kWorksheet);
  WriteWord(0);
  WriteRecordHeader(kCodePage, 2);
  WriteWord(uint16_t(CodePage()));
  writeDefaultFont();
  writeNumberFormats();
}

// Cells name a font and a cell format; readers such as Gnumeric drop cells
// whose font or format does not exist.
void TZdqExportToExcel::writeDefaultFont() {
  static const std::string kFontName = "Arial";
  WriteRecordHeader(kFont, uint16_t(5 + kFontName.size()));
  WriteWord(200);  // 10 points, in twentieths
  WriteWord(0);    // no bold, italic, underline or strike-out
  WriteByte(uint8_t(kFontName.size()));
  WriteString(kFontName);
}

void TZdqExportToExcel::WriteFileEnd() { WriteRecordHeader(kEof, 0); }

void TZdqExportToExcel::WriteDimensions(int rows, int columns) {
  WriteRecordHeader(kDimensions, 10);
  WriteWord(0);
  WriteWord(SpreadsheetWord(rows, "row count"));
  WriteWord(0);
  WriteWord(SpreadsheetWord(columns, "column count"));
  WriteWord(0);
}

void TZdqExportToExcel::writeCellHeader(uint16_t code, uint16_t length, int row, int col, TAlignment alignment,
                                        uint8_t format) {
  const uint16_t r = SpreadsheetWord(row, "row"), c = SpreadsheetWord(col, "column");
  WriteRecordHeader(code, length);
  WriteWord(r);
  WriteWord(c);
  WriteByte(format);  // the cell format of the same index as its number format
  WriteByte(format);  // number format, font 0 in the top bits
  WriteByte(alignmentCode(alignment));
}

// Number formats are listed before the cells that name them: one format
// record per distinct format of the grid's numbers, after "General"
// (format 0), and a cell format for each, of the same index.
void TZdqExportToExcel::ClearLayout() { formats_ = {"General"}; }

void TZdqExportToExcel::LayoutCells(const std::vector<TZdqMFERecord>& cells) {
  const TLocale& locale = currentLocale();
  for (const TZdqMFERecord& cell : cells) {
    if (cell.Kind != TZdqMFERecordKind::rkText) continue;
    const std::optional<TCellNumber> number = ReadCellNumber(cell.Text, locale);
    if (!number) continue;
    const std::string format = Charset().Encode(SpreadsheetNumberFormat(*number));
    if (std::find(formats_.begin(), formats_.end(), format) == formats_.end() && formats_.size() < kMaxFormats)
      formats_.push_back(format);
  }
}

void TZdqExportToExcel::writeNumberFormats() {
  for (const std::string& format : formats_) {
    WriteRecordHeader(kFormat, uint16_t(1 + format.size()));
    WriteByte(uint8_t(format.size()));
    WriteString(format);
  }
  for (size_t index = 0; index < formats_.size(); ++index) {
    WriteRecordHeader(kXf, 4);
    WriteByte(0);  // font 0
    WriteByte(0);
    WriteByte(uint8_t(index));  // number format, not locked
    WriteByte(0);               // general alignment, no borders
  }
}

void TZdqExportToExcel::WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number) {
  const std::string format = Charset().Encode(SpreadsheetNumberFormat(number));
  const auto found = std::find(formats_.begin(), formats_.end(), format);
  const uint8_t index = found == formats_.end() ? 0 : uint8_t(found - formats_.begin());
  writeCellHeader(kNumber, kCellHeaderSize + 8, row, col, rec.Alignment, index);
  WriteDouble(number.Value);
}

void TZdqExportToExcel::WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord*, int row, int col,
                                  const std::string& text, TAlignment alignment, TColor) {
  auto writeNumber = [&](double value) {
    writeCellHeader(kNumber, kCellHeaderSize + 8, row, col, alignment);
    WriteDouble(value);
  };
  switch (cellType) {
    case TSpreadsheetCellType::ctBlank:
      writeCellHeader(kBlank, kCellHeaderSize, row, col, alignment);
      break;
    case TSpreadsheetCellType::ctInteger: {
      const int32_t value = SpreadsheetInteger(text).value_or(0);
      // The integer record holds 0 to 65535 but is kept for small values;
      // anything else, negative numbers too, goes in a number record.
      if (value < 0 || value > 255) {
        writeNumber(value);
      } else {
        writeCellHeader(kInteger, kCellHeaderSize + 2, row, col, alignment);
        WriteWord(uint16_t(value));
      }
      break;
    }
    case TSpreadsheetCellType::ctDouble:
    case TSpreadsheetCellType::ctCurrency: {
      const std::optional<double> value = SpreadsheetFloat(text);
      if (!value) throw EConvertError("'" + text + "' is not a valid floating point value");
      writeNumber(*value);
      break;
    }
    case TSpreadsheetCellType::ctString:
    case TSpreadsheetCellType::ctDateTime: {
      const size_t n = std::min(text.size(), MaxCellText);
      writeCellHeader(kLabel, uint16_t(kCellHeaderSize + 1 + n), row, col, alignment);
      WriteByte(uint8_t(n));
      WriteString(std::string_view(text).substr(0, n));
      break;
    }
  }
}

}  // namespace zd
