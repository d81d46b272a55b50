#include "export/sheet/XlsxExport.h"

#include <xlsxwriter.h>

#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/core/TextUtil.h"
#include "host/locale/Clock.h"
#include "host/locale/DateTime.h"

namespace zd {

namespace {

// Narrowest column, in pixels, for a column whose width the grid cannot tell.
constexpr int kMinLastColumnWidth = 64;
constexpr size_t kMaxStringBytes = 32767;  // a cell holds this many characters at most

lxw_color_t rgbOf(TColor color) { return lxw_color_t(RedOf(color)) << 16 | GreenOf(color) << 8 | BlueOf(color); }

// The report's clock, not the library's, dates the workbook, so that a fixed
// clock gives the same bytes every time.
time_t creationTime() {
  const TDateTime now = Now();
  const TDateParts date = DecodeDate(now);
  const TTimeParts time = DecodeTime(now);
  std::tm local{};
  local.tm_year = date.year - 1900;
  local.tm_mon = date.month - 1;
  local.tm_mday = date.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

uint8_t alignmentOf(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return LXW_ALIGN_RIGHT;
    case TAlignment::taCenter: return LXW_ALIGN_CENTER;
    default: return LXW_ALIGN_LEFT;
  }
}

// A UTF-8 text cut to whole characters within the cell's limit.
std::string cellString(const std::string& utf8) {
  if (utf8.size() <= kMaxStringBytes) return utf8;
  size_t end = kMaxStringBytes;
  while (end > 0 && (uint8_t(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

}  // namespace

TZdqExportToXLSX::TZdqExportToXLSX(TComponent* owner) : TZdqExportToSpreadsheet(owner) {}

TZdqExportToXLSX::~TZdqExportToXLSX() { closeWorkbook(); }

void TZdqExportToXLSX::SetCodePage(int codePage) {
  if (!TZdqOutputCharset(codePage).IsUtf8()) throw std::invalid_argument("XLSX is always Unicode: give no code page");
  TZdqExportToSpreadsheet::SetCodePage(codePage);
}

void TZdqExportToXLSX::check(int error, const char* what) const {
  if (error != LXW_NO_ERROR)
    throw EZdqExportFileError(std::string("writing the XLSX file \"") + DestinationFileName() + "\" failed (" + what +
                              ": " + lxw_strerror(lxw_error(error)) + ")");
}

void TZdqExportToXLSX::closeWorkbook() {
  if (workbook_) workbook_close(workbook_);  // frees it; its file is of no use after a failure
  workbook_ = nullptr;
  sheet_ = nullptr;
  formats_.clear();
  if (!workbookFile_.empty()) std::remove(workbookFile_.c_str());
  workbookFile_.clear();
}

// libxlsxwriter writes files only; the workbook goes to a temporary file
// whose bytes become the export's output when the file ends.
void TZdqExportToXLSX::WriteFileBegin() {
  closeWorkbook();
  widths_.clear();
  QTemporaryFile temporary;
  temporary.setAutoRemove(false);
  if (!temporary.open()) throw EZdqExportFileError("no temporary file for the XLSX workbook");
  workbookFile_ = temporary.fileName().toStdString();
  temporary.close();
  workbook_ = workbook_new(workbookFile_.c_str());
  if (!workbook_) throw EZdqExportFileError("cannot start the XLSX workbook");
  lxw_doc_properties properties{};
  properties.created = creationTime();
  check(workbook_set_properties(workbook_, &properties), "workbook date");
  sheet_ = workbook_add_worksheet(workbook_, nullptr);
  if (!sheet_) throw EZdqExportFileError("cannot add a worksheet to the XLSX workbook");
}

// Each grid column is as wide as the distance to the next one. The widths
// are set when every cell is written: the workbook holds them until it is
// closed.
void TZdqExportToXLSX::setColumnWidths() {
  const std::vector<int>& x = Columns();
  const size_t columns = x.size();
  for (size_t c = 0; c < columns; ++c) {
    int width = kMinLastColumnWidth;
    if (c + 1 < columns) {
      width = x[c + 1] - x[c];
    } else {
      for (auto it = widths_.lower_bound(x[c] - ZDQ_EQUAL_X); it != widths_.end() && it->first <= x[c] + ZDQ_EQUAL_X;
           ++it)
        width = std::max(width, it->second);
    }
    check(worksheet_set_column_pixels(sheet_, lxw_col_t(c), lxw_col_t(c), uint32_t(std::max(width, 1)), nullptr),
          "column width");
  }
}

void TZdqExportToXLSX::noteWidth(const TZdqMFERecord& cell) {
  const int width = cell.ControlBox ? cell.ControlBox->Width() : cell.Width;
  const auto [it, added] = widths_.emplace(GridLeft(cell), width);
  if (!added) it->second = std::max(it->second, width);
}

lxw_format* TZdqExportToXLSX::formatOf(const TZdqMFERecord& rec, const std::string& numberFormat) {
  const TFont& f = rec.Font;
  const std::string key = f.Name + '\x1f' + std::to_string(f.Size) + '\x1f' + std::to_string(f.Style.Bits) + '\x1f' +
                          std::to_string(f.Color) + '\x1f' + std::to_string(rec.BackColor) + '\x1f' +
                          std::to_string(int(rec.Alignment)) + '\x1f' + numberFormat;
  if (auto it = formats_.find(key); it != formats_.end()) return it->second;
  lxw_format* format = workbook_add_format(workbook_);
  if (!format) throw EZdqExportFileError("cannot add a cell format to the XLSX workbook");
  format_set_font_name(format, f.Name.c_str());
  format_set_font_size(format, f.Size > 0 ? f.Size : 10);
  if (f.Style.Has(fsBold)) format_set_bold(format);
  if (f.Style.Has(fsItalic)) format_set_italic(format);
  if (f.Style.Has(fsUnderline)) format_set_underline(format, LXW_UNDERLINE_SINGLE);
  if (f.Style.Has(fsStrikeOut)) format_set_font_strikeout(format);
  if ((f.Color & 0xFFFFFF) != clBlack) format_set_font_color(format, rgbOf(f.Color));
  if ((rec.BackColor & 0xFFFFFF) != clWhite) {
    format_set_pattern(format, LXW_PATTERN_SOLID);
    format_set_bg_color(format, rgbOf(rec.BackColor));
  }
  format_set_align(format, alignmentOf(rec.Alignment));
  if (!numberFormat.empty()) format_set_num_format(format, numberFormat.c_str());
  formats_.emplace(key, format);
  return format;
}

// The cell's own text: all of it, in Unicode, not the 8-bit text handed in.
void TZdqExportToXLSX::WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                                 const std::string&, TAlignment, TColor) {
  if (rec) noteWidth(*rec);
  if (cellType != TSpreadsheetCellType::ctString || !rec) return;
  check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(col), cellString(rec->Text).c_str(),
                               formatOf(*rec, "")),
        "text cell");
}

void TZdqExportToXLSX::WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number) {
  noteWidth(rec);
  check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(col), number.Value,
                               formatOf(rec, SpreadsheetNumberFormat(number))),
        "number cell");
}

void TZdqExportToXLSX::WriteFileEnd() {
  if (!workbook_) return;
  setColumnWidths();
  const lxw_error closed = workbook_close(workbook_);
  workbook_ = nullptr;
  sheet_ = nullptr;
  formats_.clear();
  check(closed, "closing the workbook");
  std::ifstream in(workbookFile_, std::ios::binary);
  if (!Stream) throw std::logic_error("XLSX export: no output stream is open");
  if (!in || !(*Stream << in.rdbuf())) throw EZdqExportFileError("cannot copy the XLSX workbook to the output");
  closeWorkbook();
}

}  // namespace zd
