#include "export/Cells.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>
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
  AddToGrid(grid, cells, lines);
  grid.RowCount = std::max(grid.RowCount, 1);
  if (grid.Columns.empty()) return grid;  // no text: the cells stay as they are
  std::vector<TZdqMFERecord> slots;
  slots.reserve(size_t(grid.RowCount) * grid.Columns.size());
  TZdqRowAssembler rows(grid.Columns, [&](std::vector<TZdqMFERecord>& row) {
    for (TZdqMFERecord& cell : row) slots.push_back(std::move(cell));
  });
  rows.Add(cells, lines);
  rows.Finish();
  cells = std::move(slots);
  return grid;
}

void TZdqLineBuffer::Add(std::vector<TZdqMFERecord>&& cells) {
  if (cells_.empty()) cells_ = std::move(cells);
  else std::move(cells.begin(), cells.end(), std::back_inserter(cells_));
}

// Lines run from their highest cell down by ZDQ_EQUAL_Y: a line is complete
// once it starts more than that above the bound, and so is every line
// before it.
std::vector<TZdqMFERecord> TZdqLineBuffer::TakeLines(std::optional<int> bound, std::vector<int>& lines) {
  std::vector<TZdqMFERecord> taken;
  if (!bound) {
    taken = std::move(cells_);
    cells_.clear();
  } else {
    std::vector<int> tops;
    tops.reserve(cells_.size());
    for (const TZdqMFERecord& cell : cells_) tops.push_back(cell.Top);
    std::sort(tops.begin(), tops.end());
    const std::vector<int> runs = runsOf(tops, ZDQ_EQUAL_Y);
    int64_t firstOpen = INT64_MAX;  // top of the first line still open
    for (size_t i = 0; i < tops.size(); ++i)
      if ((i == 0 || runs[i] != runs[i - 1]) && int64_t(tops[i]) + ZDQ_EQUAL_Y >= *bound) {
        firstOpen = tops[i];
        break;
      }
    std::vector<TZdqMFERecord> kept;
    for (TZdqMFERecord& cell : cells_) (cell.Top < firstOpen ? taken : kept).push_back(std::move(cell));
    cells_ = std::move(kept);
  }
  lines = sortIntoLines(taken);
  return taken;
}

bool MayShareSlot(const std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines) {
  for (size_t start = 0; start < cells.size();) {
    std::vector<int> lefts;
    size_t end = start;
    for (; end < cells.size() && lines[end] == lines[start]; ++end)
      if (isFilledText(cells[end])) lefts.push_back(GridLeft(cells[end]));
    std::sort(lefts.begin(), lefts.end());
    for (size_t k = 1; k < lefts.size(); ++k)
      if (int64_t(lefts[k]) - lefts[k - 1] <= 2 * int64_t(ZDQ_EQUAL_X)) return true;
    start = end;
  }
  return false;
}

void AddToGrid(TZdqCellGrid& grid, const std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines) {
  if (cells.empty()) return;
  grid.RowCount += lines.back() + 1;
  for (const TZdqMFERecord& cell : cells)
    if (isFilledText(cell)) addColumn(grid.Columns, GridLeft(cell));
  grid.ColCount = int(grid.Columns.size());
}

TZdqRowAssembler::TZdqRowAssembler(std::vector<int> columns, TRowSink sink)
    : columns_(std::move(columns)), sink_(std::move(sink)) {}

void TZdqRowAssembler::Add(std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines) {
  for (size_t next = 0; next < cells.size();) {
    handOnPending(&cells[next]);
    pending_.assign(columns_.size(), std::nullopt);
    pendingTop_ = cells[next].Top;
    const int line = lines[next];
    for (; next < cells.size() && lines[next] == line; ++next) {
      std::optional<TZdqMFERecord>& slot = pending_[columnOf(cells[next], columns_)];
      if (slot) mergeIntoSlot(*slot, std::move(cells[next]));
      else slot = std::move(cells[next]);
    }
  }
}

void TZdqRowAssembler::Finish() {
  handOnPending(nullptr);
}

// A slot no cell fell into gets a blank cell that looks like the next cell
// still to be placed (after the last line, like the row's last cell).
void TZdqRowAssembler::handOnPending(const TZdqMFERecord* next) {
  if (pending_.empty()) return;
  const TZdqMFERecord* look = next;
  for (size_t c = 0; !look && c < pending_.size(); ++c)
    if (pending_[pending_.size() - 1 - c]) look = &*pending_[pending_.size() - 1 - c];
  for (size_t c = 0; c < pending_.size(); ++c)
    if (!pending_[c]) pending_[c] = blankCellLike(*look, columns_[c], pendingTop_);
  std::vector<TZdqMFERecord> row;
  row.reserve(pending_.size());
  for (std::optional<TZdqMFERecord>& slot : pending_) row.push_back(std::move(*slot));
  pending_.clear();
  sink_(row);
}

}  // namespace zd
