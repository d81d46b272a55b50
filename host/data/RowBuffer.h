#pragma once
// Rows of a dataset as one flat array of cells, so that holding and walking
// many rows costs one growing allocation rather than one per row.
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "host/core/Variant.h"

namespace zd {

class TRowBuffer {
 public:
  void Reset(int columnCount) {
    columns_ = columnCount;
    cells_.clear();
  }
  int ColumnCount() const { return columns_; }
  int RowCount() const { return columns_ == 0 ? 0 : int(cells_.size() / size_t(columns_)); }

  // Appends a row of Null cells and returns its first cell.
  TVariant* AppendRow() {
    if (columns_ == 0) throw std::logic_error("A row needs at least one column");
    cells_.resize(cells_.size() + size_t(columns_));
    return &cells_[cells_.size() - size_t(columns_)];
  }
  TVariant& At(int row, int column) { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }
  const TVariant& At(int row, int column) const {
    return cells_[size_t(row) * size_t(columns_) + size_t(column)];
  }

 private:
  int columns_ = 0;
  std::vector<TVariant> cells_;
};

}  // namespace zd
