#include "quickprint/ZdqGrid.h"

#include <algorithm>

namespace zd {

std::vector<TColumnInfo> TZdPrintCustomGrid::FillColumnInfo() {
  fixedRows_ = std::max(GetFixedRowCount(), 0);
  rowCount_ = GetRowCount();
  const int fixedCols = GetFixedColCount();
  const TFont font = GetControlFont();
  std::vector<TColumnInfo> columns;
  gridColumns_.clear();
  for (int c = 0; c < GetColCount(); ++c) {
    if (!ColumnVisible(c)) continue;
    TColumnInfo column;
    for (int r = 0; r < fixedRows_; ++r) {
      const std::string title = GetCellText(c, r);
      column.Caption += column.Caption.empty() || title.empty() ? title : "\n" + title;
    }
    column.Alignment = rowCount_ > fixedRows_ ? GetCellAlignment(c, fixedRows_) : TAlignment::taLeftJustify;
    column.HeaderAlignment = column.Alignment;
    column.WordWrap = WordWrap();
    column.IsFixed = c < fixedCols && Style().FixedCols;
    column.DataFont = column.TitleFont = font;
    column.Width = GetColumnWidth(c);
    if (column.Width <= 0) {
      column.Width = MeasureText(font, column.Caption).Width;
      for (int r = fixedRows_; r < rowCount_; ++r)
        column.Width = std::max(column.Width, MeasureText(font, GetCellText(c, r)).Width);
    }
    columns.push_back(std::move(column));
    gridColumns_.push_back(c);
  }
  return columns;
}

bool TZdPrintCustomGrid::FirstRow() {
  row_ = fixedRows_;
  return row_ < rowCount_ && !gridColumns_.empty();
}

bool TZdPrintCustomGrid::NextRow() { return ++row_ < rowCount_; }

}  // namespace zd
