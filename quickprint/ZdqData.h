#pragma once
// Prints the records of a dataset as a table: columns from a data grid or
// from the dataset's fields, optional record numbers, only the selected
// records, and total rows at the end of groups and of the report.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/Calculation.h"
#include "host/data/DataSet.h"
#include "quickprint/ZdqTable.h"

namespace zd {

// A column of a data grid: the field it shows and how.
struct TZdqGridColumn {
  std::string FieldName;
  std::string Title;  // empty: the field's display label
  TAlignment TitleAlignment = TAlignment::taLeftJustify;
  int Width = 0;  // page units; 0: from the field's display width
  bool Visible = true;
};

// A data-aware grid as the printer reads it: the dataset it shows, its
// columns in display order, its fixed leftmost columns, its selected rows.
class TZdqDataGrid {
 public:
  virtual ~TZdqDataGrid() = default;
  virtual TDataSet* DataSet() const = 0;
  virtual std::vector<TZdqGridColumn> Columns() const = 0;
  virtual int FixedColumns() const { return 0; }
  /// The selected records, in the order they were selected.
  virtual std::vector<TBookmark> SelectedRows() const { return {}; }
  virtual TFont Font() const = 0;
  virtual bool ColumnLines() const { return true; }
  virtual bool RowLines() const { return true; }
  virtual bool ShowTitles() const { return true; }
};

enum class TColumnSource { csDBGrid, csDataSet };
enum class TPrintRecNo { rnNone, rnFirstCol, rnFirstColOnEachBar };

// A total printed at the end of its group (or of the report when it names
// none): the calculation over the values of FieldName, a field or an expression.
struct TZdqACalculation {
  std::string FieldName;
  TCalcType Calculation = TCalcType::ctSum;
  std::string ResetGroup;  ///< fields whose change ends the group, separated by ';'
  TFont Font;
  std::string Caption;
  int FieldColNum = 0;    ///< the column the value is printed in
  int CaptionColNum = 0;  ///< the column the caption is printed in
  TAlignment Alignment = TAlignment::taRightJustify;
  bool WordWrap = false;
};

using TZdqGetSelectedCount = std::function<void(TComponent* sender, int& count)>;
using TZdqGetNextSelected = std::function<void(TComponent* sender, int index, TBookmark& selected)>;

class TZdPrintData : public TZdqTablePrint {
 public:
  explicit TZdPrintData(TComponent* owner = nullptr);
  ~TZdPrintData() override;
  std::string ClassName() const override { return "TZdPrintData"; }

  TColumnSource ColumnSource = TColumnSource::csDBGrid;
  TZdqDataGrid* DBGrid = nullptr;  ///< not owned
  TDataSet* DataSet = nullptr;     ///< not owned; for csDataSet
  bool SelectedRecord = false;     ///< only the grid's selected records
  TPrintRecNo PrintRecNo = TPrintRecNo::rnNone;
  bool AutoFitColumnWidth = false;  ///< widen each column to its widest text
  bool BlankIfZero = false;         ///< numeric zeros print as empty cells
  std::vector<TZdqACalculation> Calculations;
  TZdqGetSelectedCount OnGetSelectedCount;
  TZdqGetNextSelected OnGetNextSelected;

  /// The text a field prints as; a graphic field's is empty, it prints its picture.
  std::string GetFieldStr(const TField& field) const;
  /// Whether a field of this type prints as text.
  static bool PrintableField(const TField& field);

 protected:
  void CheckSource() override;
  std::vector<TColumnInfo> FillColumnInfo() override;
  void BeginRows() override;
  void EndRows() override;
  bool FirstRow() override;
  bool NextRow() override;
  std::string CellText(int column) override;
  std::shared_ptr<const TPicture> CellPicture(int column) override;
  void BeforeRow() override;
  void AfterRow(bool atEnd) override;
  bool ColumnLines() const override { return !GridInUse() || DBGrid->ColumnLines(); }
  bool RowLines() const override { return !GridInUse() || DBGrid->RowLines(); }
  bool ShowTitles() const override { return !GridInUse() || DBGrid->ShowTitles(); }

 private:
  struct TGroup;
  struct TRunning;
  bool GridInUse() const { return ColumnSource == TColumnSource::csDBGrid && DBGrid; }
  TDataSet& Data() const { return *dataset_; }
  void AddColumn(std::vector<TColumnInfo>& columns, const TField& field, const TZdqGridColumn* gridColumn);
  void FitToContent(std::vector<TColumnInfo>& columns);
  int SelectedCount();
  void GotoSelected(int index);
  void PrintTotals(const std::vector<bool>& groupEnded, bool atEnd);

  TDataSet* dataset_ = nullptr;
  std::vector<const TField*> columnFields_;  // per column; nullptr for the record number
  TBookmark bookmark_;
  std::vector<TBookmark> selected_;
  int selectedIndex_ = 0, selectedCount_ = 0;
  std::vector<std::unique_ptr<TGroup>> groups_;
  std::vector<std::unique_ptr<TRunning>> running_;  // per calculation
};

}  // namespace zd
