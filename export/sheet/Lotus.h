#pragma once
// Worksheets in the Lotus 1-2-3 WK1 record format, and the record writer
// it shares with the Quattro Pro WQ1 format, which differs only in a few
// fixed values.
#include "export/Spreadsheet.h"

namespace zd {

// The values in which the WK1 and WQ1 records differ.
struct TLotusDialect {
  uint16_t FileVersion;      // data of the begin-of-file record
  uint8_t BlankFormat;       // format byte of blank cells
  uint8_t IntegerFormat;     // of integer cells
  uint8_t ValueFormat;       // of number and label cells
  bool ColumnLowByteOnly;    // columns written as their low byte and a zero byte
  bool LabelLengthByte;      // the label's text follows a byte holding its length
};

class TZdqLotusFamilyExport : public TZdqExportToSpreadsheet {
 public:
  // Labels are in the characters DOS code pages 850 and 437 share (CodePage
  // 850); others become '?'.
  TZdqLotusFamilyExport(TComponent* owner, const TLotusDialect& dialect);
  // Labels are 8-bit: UTF-8 is refused (std::invalid_argument).
  void SetCodePage(int codePage) override;

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteDimensions(int rows, int columns) override;
  // Number texts that are no numbers are written as 0.
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;
  // Numbers as number cells in the fixed, comma, currency, percent or
  // scientific format with the decimals the text showed.
  void WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number) override;

 private:
  uint16_t columnWord(int col) const;
  uint8_t numberFormat(const TCellNumber& number) const;
  void writeCellHeader(uint16_t code, uint16_t length, uint8_t format, int row, int col);

  TLotusDialect dialect_;
};

class TZdqExportToLotus : public TZdqLotusFamilyExport {
 public:
  explicit TZdqExportToLotus(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToLotus"; }
};

}  // namespace zd
