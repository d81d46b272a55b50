#pragma once
// A worksheet in the Excel BIFF record format: begin of file, dimensions,
// one record per cell in row order, end of file. No row, font or format
// records: the readers fall back to their defaults.
#include "export/Spreadsheet.h"

namespace zd {

class TZdqExportToExcel : public TZdqExportToSpreadsheet {
 public:
  using TZdqExportToSpreadsheet::TZdqExportToSpreadsheet;
  std::string ClassName() const override { return "TZdqExportToExcel"; }

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteDimensions(uint16_t rows, uint16_t columns) override;
  // Number cells whose text is no number raise EConvertError.
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;

 private:
  void writeCellHeader(uint16_t code, uint16_t length, int row, int col, TAlignment alignment);
  void writeDefaultFormat();
};

}  // namespace zd
