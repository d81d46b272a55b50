#pragma once
// Printers of Qt's item views: any item model, a string grid (QTableWidget),
// a list view (QTreeWidget or QListWidget), and a QTableView as the data
// grid of TZdPrintData.
#include <QAbstractItemModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <memory>
#include <vector>

#include "host/data/ItemModelDataSet.h"
#include "quickprint/ZdqData.h"
#include "quickprint/ZdqGrid.h"

class QAbstractItemView;
class QTableView;
class QTableWidget;

namespace zd {

// The rows of a model, children after their parent; the horizontal header
// gives the column titles (a list view has none). Without FixedRows the
// titles are the first row, printed once. A view showing the model, when set, gives the
// column widths, the hidden columns and the font.
class TZdPrintItemModel : public TZdPrintCustomGrid {
 public:
  using TZdPrintCustomGrid::TZdPrintCustomGrid;
  std::string ClassName() const override { return "TZdPrintItemModel"; }

  QAbstractItemModel* Model = nullptr;  ///< not owned
  QAbstractItemView* View = nullptr;    ///< not owned; may be null

 protected:
  void CheckAvailableGrid() override;
  void BeginRows() override;
  int GetColCount() override;
  int GetRowCount() override { return int(rows_.size()) + titleRow_; }
  int GetFixedRowCount() override;
  std::string GetCellText(int column, int row) override;
  TAlignment GetCellAlignment(int column, int row) override;
  TFont GetControlFont() override;
  int GetColumnWidth(int column) override;
  bool ColumnVisible(int column) override;
  /// The name of the property that must be set, for the error.
  virtual const char* SourceName() const { return "Model"; }

 private:
  void AddRows(const QModelIndex& parent);
  std::vector<QPersistentModelIndex> rows_;  // column 0 of each printed row
  bool titleRow_ = true;  // row 0 holds the header's titles
};

class TZdPrintStringGrid : public TZdPrintItemModel {
 public:
  using TZdPrintItemModel::TZdPrintItemModel;
  std::string ClassName() const override { return "TZdPrintStringGrid"; }
  QTableWidget* StringGrid = nullptr;  ///< not owned

 protected:
  void CheckAvailableGrid() override;
  const char* SourceName() const override { return "StringGrid"; }
};

// A QTreeWidget prints its columns; a QListWidget one column without title.
class TZdPrintListView : public TZdPrintItemModel {
 public:
  using TZdPrintItemModel::TZdPrintItemModel;
  std::string ClassName() const override { return "TZdPrintListView"; }
  QAbstractItemView* ListView = nullptr;  ///< not owned

 protected:
  void CheckAvailableGrid() override;
  const char* SourceName() const override { return "ListView"; }
};

// A QTableView as the data grid of TZdPrintData: its model is the dataset
// (fields named by the header), its visible columns in display order with
// their widths and titles, its selected rows in the order selected.
class TZdqTableViewGrid : public TZdqDataGrid {
 public:
  /// Reads the view's model as it is now; not owned.
  explicit TZdqTableViewGrid(QTableView* view);
  TDataSet* DataSet() const override { return dataset_.get(); }
  std::vector<TZdqGridColumn> Columns() const override;
  std::vector<TBookmark> SelectedRows() const override;
  TFont Font() const override;
  bool ColumnLines() const override;
  bool RowLines() const override { return ColumnLines(); }
  bool ShowTitles() const override;

 private:
  QPointer<QTableView> view_;
  std::unique_ptr<TItemModelDataSet> dataset_;
};

// The font a widget shows, as page fonts are given.
TFont FontOfWidget(const QWidget& widget);

}  // namespace zd
