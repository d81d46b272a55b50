#pragma once
// What the dataset and grid printers share: the column list, column titles,
// rows of cells with grid lines and row colours, and bars (sheets side by
// side) for tables wider than the page, the fixed columns repeated on each.
#include <memory>
#include <string>
#include <vector>

#include "host/graphics/Bitmap.h"
#include "quickprint/ZdqAuto.h"

namespace zd {

// One printed column, in print order.
struct TColumnInfo {
  std::string FieldName;
  std::string Caption;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TAlignment HeaderAlignment = TAlignment::taLeftJustify;
  int Position = 0;  // left edge of the text in the whole table
  int Width = 0;     // of the text, without the gaps
  bool WordWrap = false;
  bool IsFixed = false;  // repeated on every bar
  TFont DataFont, TitleFont;
};

// The columns of one bar: the fixed columns left of First, then First to Last.
struct TTableBar {
  int First = 0, Last = -1;
};

// A cell of a printed row: the text, or a picture stretched to the
// column's width, and how it is drawn.
struct TTableCell {
  std::string text;
  std::shared_ptr<const TPicture> picture;
  const TFont* font = nullptr;  // nullptr: the cell is empty
  TAlignment alignment = TAlignment::taLeftJustify;
  bool wordWrap = false;
};

class TZdqTablePrint : public TZdAutoPrint {
 public:
  explicit TZdqTablePrint(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqTablePrint"; }

  int GapHorizontal = 2, GapVertical = 2;
  bool AutoFit = false;  ///< scale the columns to the page width
  bool WordWrapHeader = true;

  /// The columns of the last preparation.
  const std::vector<TColumnInfo>& Columns() const { return columns_; }
  /// The bars the columns were split into by the last preparation.
  const std::vector<TTableBar>& Bars() const { return bars_; }

  void PrepareReport() override;
  void NewPage(bool isNewBar = false) override;

 protected:
  // ---- what a printer supplies ----
  /// Raises, before any page, when there is nothing to print from.
  virtual void CheckSource() = 0;
  /// The columns with their widths; positions follow from the widths.
  virtual std::vector<TColumnInfo> FillColumnInfo() = 0;
  /// Called once before the pages and once after them, also on failure.
  virtual void BeginRows() {}
  virtual void EndRows() {}
  /// Moves to the first row of a bar; false when there is none.
  virtual bool FirstRow() = 0;
  /// Moves on; false after the last row.
  virtual bool NextRow() = 0;
  virtual std::string CellText(int column) = 0;
  /// A picture shown instead of the text; none by default.
  virtual std::shared_ptr<const TPicture> CellPicture(int column) { (void)column; return nullptr; }
  /// Around each printed row: before it, and after the move past it.
  virtual void BeforeRow() {}
  virtual void AfterRow(bool atEnd) { (void)atEnd; }
  /// Grid lines between the columns and under the rows.
  virtual bool ColumnLines() const { return true; }
  virtual bool RowLines() const { return true; }
  virtual bool ShowTitles() const { return true; }

  // ---- for printers ----
  /// Counted from 1 within the bar.
  int RecordNumber() const { return recordNumber_; }
  /// Prints a row of cells (indexed by column) on a new page when it does
  /// not fit; with fill, its background first. Highlights apply to records.
  void PrintCells(const std::vector<TTableCell>& cells, const TColor* fill, bool isRecord);
  /// A column's characters times the given count, in the column's data font.
  static int CharacterWidth(const TFont& font, int characters);

 private:
  int ColumnSpan(int column) const { return columns_[size_t(column)].Width + 2 * GapHorizontal; }
  void PrintPages();
  void FitColumns();
  std::vector<TTableBar> SplitBars() const;
  void StartBar(const TTableBar& bar);
  void PrintTitlesIfDue();
  void PrintHeaderGrid();
  int RowHeight(const std::vector<TTableCell>& cells, bool isRecord);
  void DrawRow(const std::vector<TTableCell>& cells, int height, const TColor* fill, bool isRecord);
  void Line(int x1, int y1, int x2, int y2);

  std::vector<TColumnInfo> columns_;
  std::vector<TTableBar> bars_;
  std::vector<int> barColumns_;  // the current bar's, in print order
  std::vector<int> cellLeft_;  // per column of the bar, where its text starts
  int barWidth_ = 0;
  int recordNumber_ = 0;
  int rowsOnPage_ = 0;
};

}  // namespace zd
