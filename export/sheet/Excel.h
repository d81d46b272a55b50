#pragma once
// A worksheet in the Excel BIFF record format: begin of file, the code page
// of the labels, one font and cell format, dimensions, one record per cell
// in row order, end of file.
#include <string>
#include <vector>

#include "export/Spreadsheet.h"

namespace zd {

class TZdqExportToExcel : public TZdqExportToSpreadsheet {
 public:
  // Labels are in the locale's ANSI code page (1252 when that is none
  // this library can write).
  explicit TZdqExportToExcel(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToExcel"; }
  // Labels are 8-bit: UTF-8 is refused (std::invalid_argument).
  void SetCodePage(int codePage) override;

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteDimensions(int rows, int columns) override;
  // Number cells whose text is no number raise EConvertError.
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;

  // Numbers as number cells in the format that shows them as the text did.
  void WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number) override;

 private:
  // The cell attributes name the cell format and number format (both the
  // index of the format's record) and font 0.
  void writeCellHeader(uint16_t code, uint16_t length, int row, int col, TAlignment alignment,
                       uint8_t format = 0);
  void writeDefaultFont();
  void writeNumberFormats();
  // The number formats of the grid's numbers, in order of their first cell.
  void ClearLayout() override;
  void LayoutCells(const std::vector<TZdqMFERecord>& cells) override;
  // Two numbers merged into one text cell name no format.
  bool LayoutNeedsSlots() const override { return true; }

  // A cell names its format in six bits.
  static constexpr size_t kMaxFormats = 64;
  std::vector<std::string> formats_{"General"};  // in record order, as written
};

}  // namespace zd
