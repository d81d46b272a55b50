#pragma once
// The grid as XML: one RECORD element per grid row whose ROW element has an
// attribute ColumnN for every non-empty cell.
#include <string>

#include "export/Spreadsheet.h"

namespace zd {

class TZdqExportToXML : public TZdqExportToSpreadsheet {
 public:
  explicit TZdqExportToXML(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToXML"; }

  // Longest attribute value, in characters of the escaped text.
  static constexpr size_t MaxValueLength = 255;

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteRowStart() override;
  void WriteRowEnd() override;
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;
};

}  // namespace zd
