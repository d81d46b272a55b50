#include "export/Cells.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "host/core/TextUtil.h"

namespace zd {

int ZDQ_EQUAL_X = 15;
int ZDQ_EQUAL_Y = 5;

int ZdqESortCompare(const TZdqMFERecord& a, const TZdqMFERecord& b) {
  if (std::abs(a.Left - b.Left) <= ZDQ_EQUAL_X && std::abs(a.Top - b.Top) <= ZDQ_EQUAL_Y) return 0;
  if (a.Top < b.Top) return -1;
  if (a.Left >= b.Left || a.Top - b.Top > ZDQ_EQUAL_Y) return 1;
  return -1;
}

namespace {

// Hoare partitioning around the middle element. The scans are bounded by
// the range too, as the comparison is not a strict ordering.
void quickSort(std::vector<TZdqMFERecord>& v, int l, int r) {
  while (l < r) {
    int i = l, j = r;
    const TZdqMFERecord pivot = v[size_t((l + r) / 2)];
    do {
      while (i < r && ZdqESortCompare(v[size_t(i)], pivot) < 0) ++i;
      while (j > l && ZdqESortCompare(v[size_t(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(v[size_t(i)], v[size_t(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) quickSort(v, l, j);
    l = i;
  }
}

bool isFilledText(const TZdqMFERecord& cell) {
  return cell.Kind == TZdqMFERecordKind::rkText && !Trim(cell.Text).empty();
}

// Columns start at the lefts of text cells; a left within ZDQ_EQUAL_X of a
// known column joins it, the list stays ascending.
void addColumn(std::vector<int>& columns, int left) {
  for (auto it = columns.begin(); it != columns.end(); ++it) {
    if (std::abs(left - *it) <= ZDQ_EQUAL_X) return;
    if (*it > left) {
      columns.insert(it, left);
      return;
    }
  }
  columns.push_back(left);
}

TZdqMFERecord blankCellLike(const TZdqMFERecord& neighbour, int left, int top) {
  TZdqMFERecord blank;
  blank.BackColor = neighbour.BackColor;
  blank.Font = neighbour.Font;
  blank.Alignment = neighbour.Alignment;
  blank.Left = left;
  blank.Top = top;
  return blank;
}

// Walks the slots row by row; a slot the current cell does not fit gets a
// blank cell in front of it. Once every cell is placed, the last one stays
// current and later blanks go in front of it. Builds a new list, since
// inserting into the old one would cost quadratic time on long exports.
void fillSlots(std::vector<TZdqMFERecord>& cells, const TZdqCellGrid& grid) {
  const int slots = grid.RowCount * grid.ColCount;
  if (slots == 0 || cells.empty()) return;
  std::vector<TZdqMFERecord> out;
  out.reserve(std::max(cells.size(), size_t(slots)) + 1);
  size_t next = 0, c = 0;
  int top = -1;
  for (int n = 0; n < slots; ++n) {
    const bool placedAll = next >= cells.size();
    const TZdqMFERecord& cell = placedAll ? out.back() : cells[next];
    const int x = grid.Columns[c];
    if (c == 0) top = cell.Top;
    const bool fits = cell.Left - x <= ZDQ_EQUAL_X && std::abs(cell.Top - top) <= ZDQ_EQUAL_Y;
    if (placedAll) {
      if (!fits) {
        TZdqMFERecord blank = blankCellLike(cell, x, top);
        out.insert(out.end() - 1, std::move(blank));
      }
    } else if (fits) {
      out.push_back(std::move(cells[next++]));
    } else {
      out.push_back(blankCellLike(cell, x, top));
    }
    if (++c == grid.Columns.size()) {
      c = 0;
      top = -1;
    }
  }
  for (; next < cells.size(); ++next) out.push_back(std::move(cells[next]));
  cells = std::move(out);
}

}  // namespace

void SortCells(std::vector<TZdqMFERecord>& cells) {
  if (cells.size() > 1) quickSort(cells, 0, int(cells.size()) - 1);
}

TZdqCellGrid BuildCellGrid(std::vector<TZdqMFERecord>& cells) {
  SortCells(cells);
  TZdqCellGrid grid;
  grid.RowCount = 1;
  int prevTop = -1;
  for (const TZdqMFERecord& cell : cells) {
    if (prevTop >= 0 && std::abs(prevTop - cell.Top) > ZDQ_EQUAL_Y) ++grid.RowCount;
    prevTop = cell.Top;
    if (isFilledText(cell)) addColumn(grid.Columns, cell.Left);
  }
  grid.ColCount = int(grid.Columns.size());
  fillSlots(cells, grid);
  return grid;
}

}  // namespace zd
