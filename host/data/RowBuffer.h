#pragma once
// Rows of a dataset kept as bytes: a million rows of cells as TVariant would
// cost 40 bytes a cell plus a heap block per long string. Each row is encoded
// into fixed blocks that never move, so rows stay put as more arrive, and the
// row last read is decoded once into TVariants for the cursor to hand out.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/core/Variant.h"

namespace zd {

class TRowBuffer {
 public:
  void Reset(int columnCount);
  int ColumnCount() const { return columns_; }
  int RowCount() const { return int(rows_.size()); }

  /// Takes ColumnCount() cells.
  void AppendRow(std::span<const TVariant> cells);
  /// Rewrites a row; its old bytes stay unused until Reset.
  void ReplaceRow(int row, std::span<const TVariant> cells);
  /// The decoded row, good until another row is read or the buffer changes.
  const std::vector<TVariant>& Row(int row) const;
  const TVariant& At(int row, int column) const { return Row(row)[size_t(column)]; }

 private:
  const char* Store(std::span<const TVariant> cells);

  int columns_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockUsed_ = 0, blockSize_ = 0;
  std::vector<const char*> rows_;  ///< where each row's bytes start
  std::string encoded_;            ///< scratch for the row being stored
  mutable std::vector<TVariant> decoded_;
  mutable int decodedRow_ = -1;
};

}  // namespace zd
