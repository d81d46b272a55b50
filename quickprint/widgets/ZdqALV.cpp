#include "quickprint/widgets/ZdqALV.h"

#include <QHeaderView>
#include <QListView>
#include <QTableView>
#include <QTableWidget>
#include <QTreeView>
#include <algorithm>

#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {
namespace {

std::string TextOf(const QVariant& value) { return value.toString().toStdString(); }

TAlignment AlignmentOf(const QVariant& value) {
  const auto flags = Qt::Alignment(value.toInt());
  if (flags & Qt::AlignRight) return TAlignment::taRightJustify;
  if (flags & Qt::AlignHCenter) return TAlignment::taCenter;
  return TAlignment::taLeftJustify;
}

EDatabaseError NotSpecified(int languageShift, const char* property) {
  std::string text = GetString(languageShift, txt::PropertyNotSpecified);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, property);
  return EDatabaseError(text);
}

}  // namespace

TFont FontOfWidget(const QWidget& widget) {
  const QFont& font = widget.font();
  TFont result;
  result.Name = font.family().toStdString();
  if (font.pointSize() > 0) result.Size = font.pointSize();
  else if (font.pixelSize() > 0) result.SetPixelHeight(font.pixelSize());
  result.Style.Set(fsBold, font.bold());
  result.Style.Set(fsItalic, font.italic());
  result.Style.Set(fsUnderline, font.underline());
  result.Style.Set(fsStrikeOut, font.strikeOut());
  return result;
}

// ---- any model ----

void TZdPrintItemModel::CheckAvailableGrid() {
  if (!Model) throw NotSpecified(GetLanguageShift(), SourceName());
}

void TZdPrintItemModel::AddRows(const QModelIndex& parent) {
  for (int r = 0; r < Model->rowCount(parent); ++r) {
    const QModelIndex index = Model->index(r, 0, parent);
    if (auto* table = qobject_cast<QTableView*>(View); table && !parent.isValid() && table->isRowHidden(r)) continue;
    rows_.emplace_back(index);
    if (Model->hasChildren(index)) AddRows(index);
  }
}

void TZdPrintItemModel::BeginRows() {
  titleRow_ = qobject_cast<QListView*>(View) == nullptr;  // a list has no header
  rows_.clear();
  while (Model->canFetchMore({})) Model->fetchMore({});
  AddRows({});
}

int TZdPrintItemModel::GetColCount() { return Model->columnCount(); }

int TZdPrintItemModel::GetFixedRowCount() { return titleRow_ && Style().FixedRows ? 1 : 0; }

std::string TZdPrintItemModel::GetCellText(int column, int row) {
  if (titleRow_ && row == 0) return TextOf(Model->headerData(column, Qt::Horizontal, Qt::DisplayRole));
  const QModelIndex first = rows_[size_t(row - titleRow_)];
  return TextOf(first.sibling(first.row(), column).data(Qt::DisplayRole));
}

TAlignment TZdPrintItemModel::GetCellAlignment(int column, int row) {
  if (titleRow_ && row == 0) return AlignmentOf(Model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole));
  const QModelIndex first = rows_[size_t(row - titleRow_)];
  return AlignmentOf(first.sibling(first.row(), column).data(Qt::TextAlignmentRole));
}

TFont TZdPrintItemModel::GetControlFont() { return View ? FontOfWidget(*View) : Font(); }

int TZdPrintItemModel::GetColumnWidth(int column) {
  if (auto* table = qobject_cast<QTableView*>(View)) return table->columnWidth(column);
  if (auto* tree = qobject_cast<QTreeView*>(View)) return tree->columnWidth(column);
  return 0;
}

bool TZdPrintItemModel::ColumnVisible(int column) {
  if (auto* table = qobject_cast<QTableView*>(View)) return !table->isColumnHidden(column);
  if (auto* tree = qobject_cast<QTreeView*>(View)) return !tree->isColumnHidden(column);
  return true;
}

// ---- string grid and list view ----

void TZdPrintStringGrid::CheckAvailableGrid() {
  if (!StringGrid) throw NotSpecified(GetLanguageShift(), SourceName());
  Model = StringGrid->model();
  View = StringGrid;
}

void TZdPrintListView::CheckAvailableGrid() {
  if (!ListView || !ListView->model()) throw NotSpecified(GetLanguageShift(), SourceName());
  Model = ListView->model();
  View = ListView;
}

// ---- a table view as data grid ----

TZdqTableViewGrid::TZdqTableViewGrid(QTableView* view)
    : view_(view), dataset_(std::make_unique<TItemModelDataSet>()) {
  dataset_->SetModel(view->model());
  dataset_->SetRole(Qt::DisplayRole);
  dataset_->Open();
}

std::vector<TZdqGridColumn> TZdqTableViewGrid::Columns() const {
  std::vector<TZdqGridColumn> columns;
  if (!view_) return columns;
  const QHeaderView* header = view_->horizontalHeader();
  for (int visual = 0; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    TZdqGridColumn column;
    column.FieldName = TextOf(view_->model()->headerData(logical, Qt::Horizontal, Qt::DisplayRole));
    column.TitleAlignment = AlignmentOf(view_->model()->headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole));
    column.Width = view_->columnWidth(logical);
    column.Visible = !view_->isColumnHidden(logical);
    columns.push_back(std::move(column));
  }
  return columns;
}

std::vector<TBookmark> TZdqTableViewGrid::SelectedRows() const {
  if (!view_ || !view_->selectionModel()) return {};
  std::vector<TBookmark> byRow;
  for (dataset_->First(); !dataset_->Eof(); dataset_->Next()) byRow.push_back(dataset_->GetBookmark());
  std::vector<TBookmark> selected;
  for (const QModelIndex& index : view_->selectionModel()->selectedRows())
    if (size_t(index.row()) < byRow.size()) selected.push_back(byRow[size_t(index.row())]);
  return selected;
}

TFont TZdqTableViewGrid::Font() const { return view_ ? FontOfWidget(*view_) : TFont{}; }
bool TZdqTableViewGrid::ColumnLines() const { return !view_ || view_->showGrid(); }
bool TZdqTableViewGrid::ShowTitles() const { return !view_ || !view_->horizontalHeader()->isHidden(); }

}  // namespace zd
