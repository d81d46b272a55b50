// The grid builder: rows and columns from cell positions with the
// tolerances, and blank cells for the slots a row lacks.
#include <gtest/gtest.h>

#include "export/Cells.h"

namespace zd {
namespace {

TZdqMFERecord Text(int left, int top, const std::string& text) {
  TZdqMFERecord c;
  c.Left = left;
  c.Top = top;
  c.Text = text;
  return c;
}

std::vector<std::string> Texts(const std::vector<TZdqMFERecord>& cells) {
  std::vector<std::string> out;
  for (const auto& c : cells) out.push_back(c.Text);
  return out;
}

class GridTest : public ::testing::Test {
 protected:
  // The tolerances are global; every test starts from the defaults.
  void TearDown() override {
    ZDQ_EQUAL_X = 15;
    ZDQ_EQUAL_Y = 5;
  }
};

TEST_F(GridTest, CellsAreReadLineByLineLeftToRight) {
  std::vector<TZdqMFERecord> cells = {Text(300, 80, "f"), Text(100, 10, "a"), Text(200, 10, "b"),
                                      Text(300, 10, "c"), Text(200, 80, "e"), Text(100, 80, "d")};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  EXPECT_EQ(Texts(cells), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  EXPECT_EQ(grid.RowCount, 2);
  EXPECT_EQ(grid.ColCount, 3);
  EXPECT_EQ(grid.Columns, (std::vector<int>{100, 200, 300}));
}

TEST_F(GridTest, TheComparisonGroupsNearbyCellsAndOrdersLinesByTop) {
  EXPECT_EQ(ZdqESortCompare(Text(100, 50, ""), Text(115, 55, "")), 0);
  EXPECT_EQ(ZdqESortCompare(Text(500, 10, ""), Text(100, 50, "")), -1);  // higher line first
  EXPECT_EQ(ZdqESortCompare(Text(100, 90, ""), Text(500, 50, "")), 1);   // lower line after
  EXPECT_EQ(ZdqESortCompare(Text(300, 50, ""), Text(100, 50, "")), 1);   // same line, right of
  EXPECT_EQ(ZdqESortCompare(Text(100, 50, ""), Text(300, 50, "")), -1);
  // Within the row tolerance but lower and to the left: still before.
  EXPECT_EQ(ZdqESortCompare(Text(100, 53, ""), Text(300, 50, "")), -1);
}

TEST_F(GridTest, ColumnsAndRowsJoinWithinTheirTolerances) {
  std::vector<TZdqMFERecord> sameColumn = {Text(100, 10, "a"), Text(115, 40, "b")};
  EXPECT_EQ(BuildCellGrid(sameColumn).Columns, (std::vector<int>{100}));
  std::vector<TZdqMFERecord> twoColumns = {Text(100, 10, "a"), Text(116, 40, "b")};
  EXPECT_EQ(BuildCellGrid(twoColumns).Columns, (std::vector<int>{100, 116}));

  std::vector<TZdqMFERecord> sameRow = {Text(100, 50, "a"), Text(300, 55, "b")};
  EXPECT_EQ(BuildCellGrid(sameRow).RowCount, 1);
  std::vector<TZdqMFERecord> twoRows = {Text(100, 50, "a"), Text(300, 56, "b")};
  EXPECT_EQ(BuildCellGrid(twoRows).RowCount, 2);
}

TEST_F(GridTest, TheTolerancesCanBeChangedBeforeAnExport) {
  ZDQ_EQUAL_X = 0;
  ZDQ_EQUAL_Y = 0;
  std::vector<TZdqMFERecord> cells = {Text(100, 50, "a"), Text(105, 80, "b"), Text(300, 81, "c")};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  EXPECT_EQ(grid.Columns, (std::vector<int>{100, 105, 300}));
  EXPECT_EQ(grid.RowCount, 3);
}

TEST_F(GridTest, OnlyFilledTextCellsMakeColumnsButEveryCellCanStartARow) {
  TZdqMFERecord line;
  line.Kind = TZdqMFERecordKind::rkLine;
  line.Left = 20;
  line.Top = 200;
  std::vector<TZdqMFERecord> cells = {Text(100, 10, "a"), Text(50, 100, "  "), line};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  EXPECT_EQ(grid.Columns, (std::vector<int>{100}));
  EXPECT_EQ(grid.RowCount, 3);
}

TEST_F(GridTest, ASlotARowLacksGetsABlankCellLikeItsNeighbour) {
  TZdqMFERecord c = Text(100, 40, "c");
  c.BackColor = clYellow;
  c.Font.Name = "Courier New";
  c.Alignment = TAlignment::taCenter;
  TZdqMFERecord e = Text(300, 70, "e");
  e.BackColor = clSilver;
  // The first row has only its first column, the last lacks its middle one.
  std::vector<TZdqMFERecord> cells = {Text(100, 10, "a"), c, Text(200, 40, "d"), Text(100, 70, "x"), e};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  ASSERT_EQ(grid.RowCount, 3);
  ASSERT_EQ(grid.ColCount, 3);
  ASSERT_EQ(Texts(cells), (std::vector<std::string>{"a", "", "", "c", "d", "", "x", "", "e"}));

  const TZdqMFERecord& blank = cells[1];
  EXPECT_EQ(blank.Kind, TZdqMFERecordKind::rkText);
  EXPECT_EQ(blank.Left, 200);
  EXPECT_EQ(blank.Top, 10);
  EXPECT_EQ(blank.Width, 0);
  EXPECT_EQ(blank.Height, 0);
  EXPECT_EQ(blank.BackColor, clYellow);
  EXPECT_EQ(blank.Font.Name, "Courier New");
  EXPECT_EQ(blank.Alignment, TAlignment::taCenter);
  EXPECT_EQ(cells[2].Left, 300);
  // A missing last column takes the look of the next row's first cell.
  EXPECT_EQ(cells[5].Left, 300);
  EXPECT_EQ(cells[5].Top, 40);
  EXPECT_EQ(cells[7].Left, 200);
  EXPECT_EQ(cells[7].BackColor, clSilver);

  // The very last row is left short: its last cell, left of the missing
  // column, fits that slot too, and the writers pad the row.
  std::vector<TZdqMFERecord> shortEnd = {Text(100, 10, "a"), Text(200, 10, "b"), Text(100, 40, "c")};
  BuildCellGrid(shortEnd);
  EXPECT_EQ(Texts(shortEnd), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(GridTest, APageWithoutTextHasNoColumnsAndKeepsItsCells) {
  std::vector<TZdqMFERecord> none;
  const TZdqCellGrid empty = BuildCellGrid(none);
  EXPECT_EQ(empty.ColCount, 0);
  EXPECT_TRUE(none.empty());

  TZdqMFERecord box;
  box.Kind = TZdqMFERecordKind::rkRectangle;
  std::vector<TZdqMFERecord> boxes = {box, box};
  EXPECT_EQ(BuildCellGrid(boxes).ColCount, 0);
  EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(GridTest, SortingStaysInsideTheListWhateverTheOrder) {
  // Tops 1 to 5 apart compare inconsistently; the sort must still finish
  // with every cell present.
  std::vector<TZdqMFERecord> cells;
  for (int i = 0; i < 200; ++i) cells.push_back(Text((i * 37) % 400, 50 + (i * 13) % 6, std::to_string(i)));
  SortCells(cells);
  std::vector<bool> seen(200, false);
  for (const auto& c : cells) seen[size_t(std::stoi(c.Text))] = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 200);
}

}  // namespace
}  // namespace zd
