#pragma once
// Rows of a dataset kept as bytes: a million rows of cells as TVariant would
// cost 40 bytes a cell plus a heap block per long string. Each row is encoded
// into fixed blocks that never move, so rows stay put as more arrive, and the
// row last read is decoded once into TVariants for the cursor to hand out.
// A dataset that can read its rows again lets go of the blocks behind its
// cursor, so that a long walk holds a window of rows, not all of them.
#include <deque>
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
  /// Rows appended since Reset, held or let go.
  int RowCount() const { return firstRow_ + int(rows_.size()); }
  /// The first row still held: rows before it were let go.
  int FirstRow() const { return firstRow_; }

  /// Takes ColumnCount() cells.
  void AppendRow(std::span<const TVariant> cells);
  /// Rewrites a row; its old bytes stay unused until Reset.
  void ReplaceRow(int row, std::span<const TVariant> cells);
  /// The decoded row, good until another row is read or the buffer changes.
  const std::vector<TVariant>& Row(int row) const;
  const TVariant& At(int row, int column) const { return Row(row)[size_t(column)]; }
  /// Lets go of the blocks that hold only rows before `row`.
  void DropRowsBefore(int row);

 private:
  const char* Store(std::span<const TVariant> cells, int row);

  struct TBlock {
    std::unique_ptr<char[]> bytes;
    int endRow;  ///< every row stored in the block comes before this one
  };

  int columns_ = 0;
  std::deque<TBlock> blocks_;
  size_t blockUsed_ = 0, blockSize_ = 0;
  int firstRow_ = 0;
  std::deque<const char*> rows_;   ///< where each held row's bytes start, from firstRow_
  std::string encoded_;            ///< scratch for the row being stored
  mutable std::vector<TVariant> decoded_;
  mutable int decodedRow_ = -1;
};

}  // namespace zd
