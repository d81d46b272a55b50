#include "export/Cells.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "host/core/TextUtil.h"

namespace zd {

int ZDQ_EQUAL_X = 15;
int ZDQ_EQUAL_Y = 5;

int GridLeft(const TZdqMFERecord& cell) {
  if (!cell.ControlBox) return cell.Left;
  switch (cell.Alignment) {
    case TAlignment::taRightJustify: return cell.ControlBox->Right;
    case TAlignment::taCenter: return int((int64_t(cell.TextBox.Left) + cell.TextBox.Right) / 2);
    default: return cell.ControlBox->Left;
  }
}

namespace {

bool isFilledText(const TZdqMFERecord& cell) {
  return cell.Kind == TZdqMFERecordKind::rkText && !Trim(cell.Text).empty();
}

// Groups sorted keys into runs that start at a key and take every key
// within tolerance of that first one; returns the run of each key.
std::vector<int> runsOf(const std::vector<int>& sortedKeys, int tolerance) {
  std::vector<int> run(sortedKeys.size());
  int current = -1, first = 0;
  for (size_t i = 0; i < sortedKeys.size(); ++i) {
    if (current < 0 || int64_t(sortedKeys[i]) - first > tolerance) {
      ++current;
      first = sortedKeys[i];
    }
    run[i] = current;
  }
  return run;
}

// The line of every cell (0 for the highest), by the cells' tops.
std::vector<int> lineOfEachCell(const std::vector<TZdqMFERecord>& cells) {
  std::vector<size_t> byTop(cells.size());
  std::iota(byTop.begin(), byTop.end(), size_t(0));
  std::stable_sort(byTop.begin(), byTop.end(), [&](size_t a, size_t b) { return cells[a].Top < cells[b].Top; });
  std::vector<int> tops;
  tops.reserve(cells.size());
  for (size_t i : byTop) tops.push_back(cells[i].Top);
  const std::vector<int> runs = runsOf(tops, ZDQ_EQUAL_Y);
  std::vector<int> line(cells.size());
  for (size_t k = 0; k < byTop.size(); ++k) line[byTop[k]] = runs[k];
  return line;
}

// Columns start at the grid lefts of text cells; a left within ZDQ_EQUAL_X
// of a known column joins it, the list stays ascending.
void addColumn(std::vector<int>& columns, int left) {
  for (auto it = columns.begin(); it != columns.end(); ++it) {
    if (std::abs(int64_t(left) - *it) <= ZDQ_EQUAL_X) return;
    if (*it > left) {
      columns.insert(it, left);
      return;
    }
  }
  columns.push_back(left);
}

// The slot of a cell in its row: the first column it is not right of by
// more than ZDQ_EQUAL_X; cells right of every column take the last one.
size_t columnOf(const TZdqMFERecord& cell, const std::vector<int>& columns) {
  const int left = GridLeft(cell);
  for (size_t c = 0; c < columns.size(); ++c)
    if (int64_t(left) - columns[c] <= ZDQ_EQUAL_X) return c;
  return columns.size() - 1;
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

// A second cell in an occupied slot: texts are joined in drawing order; a
// text is not given up for a cell that shows none.
void mergeIntoSlot(TZdqMFERecord& slot, TZdqMFERecord&& cell) {
  if (isFilledText(slot) && isFilledText(cell)) slot.Text += " " + cell.Text;
  else if (!isFilledText(slot)) slot = std::move(cell);
}

// Builds RowCount x ColCount slots in row order from the sorted cells. A
// slot no cell falls into gets a blank cell that looks like the next cell
// still to be placed (once all are placed, like the row's last cell).
void fillSlots(std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines, const TZdqCellGrid& grid) {
  const size_t columns = grid.Columns.size();
  if (columns == 0 || cells.empty()) return;
  std::vector<TZdqMFERecord> out;
  out.reserve(size_t(grid.RowCount) * columns);
  size_t next = 0;
  for (int row = 0; row < grid.RowCount; ++row) {
    std::vector<std::optional<TZdqMFERecord>> slots(columns);
    const int top = cells[next].Top;
    for (; next < cells.size() && lines[next] == row; ++next) {
      std::optional<TZdqMFERecord>& slot = slots[columnOf(cells[next], grid.Columns)];
      if (slot) mergeIntoSlot(*slot, std::move(cells[next]));
      else slot = std::move(cells[next]);
    }
    const TZdqMFERecord* look = next < cells.size() ? &cells[next] : nullptr;
    for (size_t c = 0; !look && c < columns; ++c)
      if (slots[columns - 1 - c]) look = &*slots[columns - 1 - c];
    for (size_t c = 0; c < columns; ++c)
      if (!slots[c]) slots[c] = blankCellLike(*look, grid.Columns[c], top);
    for (std::optional<TZdqMFERecord>& slot : slots) out.push_back(std::move(*slot));
  }
  cells = std::move(out);
}

}  // namespace

namespace {

// Sorts the cells (see SortCells) and returns the line of each.
std::vector<int> sortIntoLines(std::vector<TZdqMFERecord>& cells) {
  const std::vector<int> line = lineOfEachCell(cells);
  std::vector<size_t> order(cells.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (line[a] != line[b]) return line[a] < line[b];
    return GridLeft(cells[a]) < GridLeft(cells[b]);
  });
  // Lefts within ZDQ_EQUAL_X of a column's first one are one column: put
  // those cells back in drawing order.
  for (size_t start = 0; start < order.size();) {
    size_t end = start;
    while (end < order.size() && line[order[end]] == line[order[start]]) ++end;
    std::vector<int> lefts;
    for (size_t k = start; k < end; ++k) lefts.push_back(GridLeft(cells[order[k]]));
    const std::vector<int> column = runsOf(lefts, ZDQ_EQUAL_X);
    std::vector<std::pair<int, size_t>> keyed;
    for (size_t k = start; k < end; ++k) keyed.push_back({column[k - start], order[k]});
    std::sort(keyed.begin(), keyed.end());
    for (size_t k = start; k < end; ++k) order[k] = keyed[k - start].second;
    start = end;
  }
  std::vector<TZdqMFERecord> sorted;
  sorted.reserve(cells.size());
  std::vector<int> lines;
  lines.reserve(cells.size());
  for (size_t i : order) {
    sorted.push_back(std::move(cells[i]));
    lines.push_back(line[i]);
  }
  cells = std::move(sorted);
  return lines;
}

}  // namespace

// Lines first, then the columns within each line, each step keeping the
// drawing order of cells that share a key.
void SortCells(std::vector<TZdqMFERecord>& cells) { sortIntoLines(cells); }

TZdqCellGrid BuildCellGrid(std::vector<TZdqMFERecord>& cells) {
  const std::vector<int> lines = sortIntoLines(cells);
  TZdqCellGrid grid;
  grid.RowCount = cells.empty() ? 1 : lines.back() + 1;
  for (const TZdqMFERecord& cell : cells)
    if (isFilledText(cell)) addColumn(grid.Columns, GridLeft(cell));
  grid.ColCount = int(grid.Columns.size());
  fillSlots(cells, lines, grid);
  return grid;
}

}  // namespace zd
