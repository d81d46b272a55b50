#pragma once
// The base of the printers of grids and lists: a table of cell texts whose
// leading rows are the column titles and whose leading columns may repeat
// on every bar.
#include <string>
#include <vector>

#include "quickprint/ZdqTable.h"

namespace zd {

class TZdPrintCustomGrid : public TZdqTablePrint {
 public:
  using TZdqTablePrint::TZdqTablePrint;
  std::string ClassName() const override { return "TZdPrintCustomGrid"; }

 protected:
  /// Raises when no grid is set.
  virtual void CheckAvailableGrid() = 0;
  virtual int GetColCount() = 0;
  virtual int GetRowCount() = 0;
  virtual int GetFixedColCount() { return 0; }
  /// The title rows, 0 when Style().FixedRows is off.
  virtual int GetFixedRowCount() = 0;
  virtual std::string GetCellText(int column, int row) = 0;
  virtual TAlignment GetCellAlignment(int column, int row) {
    (void)column, (void)row;
    return TAlignment::taLeftJustify;
  }
  virtual TFont GetControlFont() = 0;
  /// The column's width as the grid shows it; 0 measures its texts.
  virtual int GetColumnWidth(int column) { (void)column; return 0; }
  /// Columns the grid hides are left out.
  virtual bool ColumnVisible(int column) { (void)column; return true; }

  void CheckSource() override { CheckAvailableGrid(); }
  std::vector<TColumnInfo> FillColumnInfo() override;
  bool FirstRow() override;
  bool NextRow() override;
  std::string CellText(int column) override { return GetCellText(gridColumns_[size_t(column)], row_); }
  bool ShowTitles() const override { return fixedRows_ > 0; }

 private:
  std::vector<int> gridColumns_;  // the grid's column of each printed column
  int row_ = 0, fixedRows_ = 0, rowCount_ = 0;
};

}  // namespace zd
