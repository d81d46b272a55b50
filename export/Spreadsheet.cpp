#include "export/Spreadsheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "export/detail/ExportOutput.h"
#include "host/core/Properties.h"
#include "host/core/TextUtil.h"
#include "host/locale/TextCodec.h"
#include "host/locale/Locale.h"

namespace zd {

uint16_t SpreadsheetWord(int64_t value, const char* field) {
  if (value < 0 || value > 0xFFFF)
    throw std::out_of_range(std::string("spreadsheet export: ") + field + " " + std::to_string(value) +
                            " does not fit a 16-bit field");
  return uint16_t(value);
}

std::optional<int32_t> SpreadsheetInteger(std::string_view text) {
  const std::string t = Trim(text);
  const char* first = t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0);
  const char* last = t.data() + t.size();
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

std::optional<double> SpreadsheetFloat(std::string_view text) {
  std::string t = Trim(text);
  const char separator = currentLocale().decimalSeparator;
  if (separator != '.') {
    // The text is in the locale's form: a point there is no decimal point.
    if (t.find('.') != std::string::npos) return std::nullopt;
    std::replace(t.begin(), t.end(), separator, '.');
  }
  const char* first = t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0);
  const char* last = t.data() + t.size();
  double value = 0;
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || end != last || first == last || !std::isfinite(value)) return std::nullopt;
  return value;
}

TZdqExportToSpreadsheet::TZdqExportToSpreadsheet(TComponent* owner) : TZdqExportAttributes(owner) {}
TZdqExportToSpreadsheet::~TZdqExportToSpreadsheet() = default;

const TClassProperties* TZdqExportToSpreadsheet::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TZdqExportToSpreadsheet>("TZdqExportToSpreadsheet", TZdqExportAttributes::PublishedProperties())
          .Integer("CodePage", &TZdqExportToSpreadsheet::CodePage,
                   [](TZdqExportToSpreadsheet& e, int v) { e.SetCodePage(v); })
          .Build();
  return &props;
}

std::string TZdqExportToSpreadsheet::CellText(std::string_view utf8) {
  // Short ASCII texts, most of them, are the same in every encoding.
  const bool plain = utf8.size() <= MaxCellText &&
                     std::all_of(utf8.begin(), utf8.end(), [](char c) { return c > 0 && c < 0x80; });
  if (plain) return std::string(utf8);
  std::u32string chars = DecodeUtf8(utf8);
  if (chars.size() > MaxCellText) chars.resize(MaxCellText);
  std::string cut;
  for (char32_t c : chars) AppendUtf8(c == 0 ? U'?' : c, cut);  // a zero would end a zero-terminated label
  return charset_.Encode(cut, &ReplacedCharacters);
}

void TZdqExportToSpreadsheet::NewPage(int page, int bar) {
  TZdqExportAttributes::NewPage(page, bar);
  // The collector keeps its cells for the whole export; what was saved
  // already must not reappear in the next file.
  if (savedSincePage_) Records().clear();
  savedSincePage_ = false;
}

void TZdqExportToSpreadsheet::SaveToFile(const std::string& fileName) {
  if (output_) {
    try {
      TZdqExportAttributes::SaveToFile(fileName);
      WriteFileEnd();
      output_->Commit();
    } catch (...) {
      closeOutput();
      throw;
    }
    closeOutput();
    savedSincePage_ = true;
    return;
  }
  TZdqExportAttributes::SaveToFile(fileName);
  savedSincePage_ = true;
  // Built in memory and written in one go: a failure leaves no file behind.
  std::ostringstream bytes;
  Stream = &bytes;
  try {
    writeGrid();
    WriteFileEnd();
  } catch (...) {
    Stream = nullptr;
    throw;
  }
  Stream = nullptr;
  WriteExportOutput(fileName, DestinationStream(), bytes.str());
}

// The file is written as its rows come, to a temporary file that takes the
// output's place only when complete.
void TZdqExportToSpreadsheet::BeginGridRows() {
  output_ = std::make_unique<TExportOutput>(DestinationFileName(), DestinationStream());
  Stream = &output_->Stream();
  nextRow_ = 0;
  try {
    writeHead();
  } catch (...) {
    closeOutput();
    throw;
  }
}

void TZdqExportToSpreadsheet::closeOutput() {
  Stream = nullptr;
  output_.reset();
}

void TZdqExportToSpreadsheet::writeHead() {
  WriteFileBegin();
  WriteDimensions(RowCount(), ColCount());
}

void TZdqExportToSpreadsheet::WriteGridRow(std::vector<TZdqMFERecord>& row) {
  WriteRowStart();
  for (size_t col = 0; col < row.size(); ++col) writeCell(row[col], nextRow_, int(col));
  WriteRowEnd();
  ++nextRow_;
}

void TZdqExportToSpreadsheet::writeGrid() {
  const std::vector<TZdqMFERecord>& cells = Records();
  const int columns = ColCount();
  writeHead();
  if (columns == 0) return;  // no text: nothing has a column to go in

  int row = 0, col = 0;
  for (const TZdqMFERecord& cell : cells) {
    if (col == columns) {
      WriteRowEnd();
      ++row;
      col = 0;
    }
    if (col == 0) WriteRowStart();
    writeCell(cell, row, col);
    ++col;
  }
  WriteRowEnd();
}

void TZdqExportToSpreadsheet::writeCell(const TZdqMFERecord& cell, int row, int col) {
  if (cell.Kind != TZdqMFERecordKind::rkText || Trim(cell.Text).empty())
    WriteData(TSpreadsheetCellType::ctBlank, &cell, row, col, "", TAlignment::taLeftJustify, clWhite);
  else if (const std::optional<TCellNumber> number = ReadCellNumber(cell.Text, currentLocale()))
    WriteNumber(cell, row, col, *number);
  else
    WriteData(TSpreadsheetCellType::ctString, &cell, row, col, CellText(cell.Text), cell.Alignment, cell.BackColor);
}

void TZdqExportToSpreadsheet::WriteRecordHeader(uint16_t code, uint16_t length) {
  WriteWord(code);
  WriteWord(length);
}

void TZdqExportToSpreadsheet::WriteFileBegin() {}
void TZdqExportToSpreadsheet::WriteFileEnd() {}
void TZdqExportToSpreadsheet::WriteDimensions(int, int) {}
void TZdqExportToSpreadsheet::WriteRowStart() {}
void TZdqExportToSpreadsheet::WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber&) {
  WriteData(TSpreadsheetCellType::ctString, &rec, row, col, CellText(rec.Text), rec.Alignment, rec.BackColor);
}
void TZdqExportToSpreadsheet::WriteRowEnd() {}
void TZdqExportToSpreadsheet::WriteData(TSpreadsheetCellType, const TZdqMFERecord*, int, int, const std::string&,
                                        TAlignment, TColor) {}

void TZdqExportToSpreadsheet::writeBytes(const char* data, size_t size) {
  if (!Stream) throw std::logic_error("spreadsheet export: no output stream is open");
  Stream->write(data, std::streamsize(size));
  if (!*Stream) throw EZdqExportFileError("writing the file \"" + DestinationFileName() + "\" failed");
}

void TZdqExportToSpreadsheet::WriteString(std::string_view s) { writeBytes(s.data(), s.size()); }

void TZdqExportToSpreadsheet::WriteMarkup(std::string_view utf8) {
  if (charset_.IsUtf8()) WriteString(utf8);
  else WriteString(charset_.Encode(utf8));
}

void TZdqExportToSpreadsheet::WriteByte(uint8_t value) {
  const char byte = char(value);
  writeBytes(&byte, 1);
}

void TZdqExportToSpreadsheet::WriteWord(uint16_t value) {
  const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
  writeBytes(bytes, 2);
}

void TZdqExportToSpreadsheet::WriteDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = char((bits >> (8 * i)) & 0xFF);
  writeBytes(bytes, 8);
}

}  // namespace zd
