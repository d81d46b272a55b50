#pragma once
// The grid as an Office Open XML workbook (written by libxlsxwriter): one
// worksheet, texts in full Unicode, numbers as numbers in the format that
// shows them as the page did, the cells' fonts, colours and alignment, and
// column widths from the grid's column positions.
#include <map>
#include <memory>
#include <string>

#include "export/Spreadsheet.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace zd {

class TZdqExportToXLSX : public TZdqExportToSpreadsheet {
 public:
  explicit TZdqExportToXLSX(TComponent* owner = nullptr);
  ~TZdqExportToXLSX() override;
  std::string ClassName() const override { return "TZdqExportToXLSX"; }
  // The workbook is Unicode: any code page but UTF-8 is refused
  // (std::invalid_argument).
  void SetCodePage(int codePage) override;

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;
  void WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number) override;

 private:
  // The shared format of a cell's look; numberFormat empty for text.
  lxw_format* formatOf(const TZdqMFERecord& rec, const std::string& numberFormat);
  void check(int error, const char* what) const;
  void closeWorkbook();
  // The widest cell written at each grid left, for the last column's width.
  void noteWidth(const TZdqMFERecord& cell);
  void setColumnWidths();
  std::map<int, int> widths_;

  std::string workbookFile_;  // the temporary file libxlsxwriter writes
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  std::map<std::string, lxw_format*> formats_;
};

}  // namespace zd
