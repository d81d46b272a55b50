// The grid builder: rows and columns from cell positions with the
// tolerances, and blank cells for the slots a row lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

TEST_F(GridTest, CellsAreReadLineByLineLeftToRightKeepingTheDrawingOrderWithinASlot) {
  std::vector<TZdqMFERecord> cells = {Text(300, 80, "f"), Text(100, 10, "a"), Text(200, 10, "b"),
                                      Text(300, 10, "c"), Text(200, 80, "e"), Text(100, 80, "d")};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  EXPECT_EQ(Texts(cells), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  EXPECT_EQ(grid.RowCount, 2);
  EXPECT_EQ(grid.ColCount, 3);
  EXPECT_EQ(grid.Columns, (std::vector<int>{100, 200, 300}));
  // "Page 2 of 27" from four pieces: the number right-aligned against the
  // words, all within the column tolerance of each other.
  std::vector<TZdqMFERecord> footer = {Text(450, 900, "Page"), Text(462, 901, "2"), Text(470, 899, "of"),
                                       Text(480, 900, "27")};
  SortCells(footer);
  EXPECT_EQ(Texts(footer), (std::vector<std::string>{"Page", "2", "of", "27"}));

  // Higher lines first even when drawn later; within a line by x.
  std::vector<TZdqMFERecord> lines = {Text(300, 53, "d"), Text(100, 50, "c"), Text(500, 10, "b"),
                                      Text(100, 12, "a")};
  SortCells(lines);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(GridTest, TheOrderDoesNotDependOnTheOrderOfArrivalAcrossColumns) {
  // Tops 1 to 5 apart are one line however they arrive; many shuffles of
  // the same cells give one reading order.
  std::vector<TZdqMFERecord> cells;
  for (int i = 0; i < 60; ++i) cells.push_back(Text(100 * (i % 6), 50 + (i * 13) % 6 + 40 * (i / 6), std::to_string(i)));
  std::vector<TZdqMFERecord> reference = cells;
  SortCells(reference);
  std::mt19937 random(11);
  for (int round = 1; round < 20; ++round) {
    std::vector<TZdqMFERecord> shuffled = cells;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    SortCells(shuffled);
    EXPECT_EQ(Texts(shuffled), Texts(reference)) << "round " << round;
  }
  EXPECT_EQ(BuildCellGrid(cells).RowCount, 10);
}

TEST_F(GridTest, TextsOfOneControlShareItsColumnWhateverTheirWidth) {
  // Right-aligned amounts start at different x; their control's box does not.
  auto amount = [](int textLeft, int top, const std::string& text) {
    TZdqMFERecord c = Text(textLeft, top, text);
    c.ControlBox = TRect{textLeft, top, 500, top + 16};  // from the text's left to the control's right
    c.Alignment = TAlignment::taRightJustify;
    return c;
  };
  std::vector<TZdqMFERecord> cells = {Text(10, 10, "Apples"), amount(470, 10, "3.50"),
                                      Text(10, 30, "Melons"), amount(420, 30, "1,234.50")};
  const TZdqCellGrid grid = BuildCellGrid(cells);
  EXPECT_EQ(grid.Columns, (std::vector<int>{10, 500}));
  EXPECT_EQ(Texts(cells), (std::vector<std::string>{"Apples", "3.50", "Melons", "1,234.50"}));
}

TEST_F(GridTest, ColumnsAndRowsJoinWithinTheirChangeableTolerances) {
  std::vector<TZdqMFERecord> sameColumn = {Text(100, 10, "a"), Text(115, 40, "b")};
  EXPECT_EQ(BuildCellGrid(sameColumn).Columns, (std::vector<int>{100}));
  std::vector<TZdqMFERecord> twoColumns = {Text(100, 10, "a"), Text(116, 40, "b")};
  EXPECT_EQ(BuildCellGrid(twoColumns).Columns, (std::vector<int>{100, 116}));

  std::vector<TZdqMFERecord> sameRow = {Text(100, 50, "a"), Text(300, 55, "b")};
  EXPECT_EQ(BuildCellGrid(sameRow).RowCount, 1);
  std::vector<TZdqMFERecord> twoRows = {Text(100, 50, "a"), Text(300, 56, "b")};
  EXPECT_EQ(BuildCellGrid(twoRows).RowCount, 2);

  // The tolerances can be changed before an export.
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

  // Two texts in one slot are joined in drawing order rather than pushing
  // the rest of the row out of its columns.
  std::vector<TZdqMFERecord> crowded = {Text(100, 10, "a"), Text(200, 10, "b"), Text(100, 40, "c"),
                                        Text(105, 40, "c2"), Text(200, 40, "d")};
  BuildCellGrid(crowded);
  EXPECT_EQ(Texts(crowded), (std::vector<std::string>{"a", "b", "c c2", "d"}));
}

}  // namespace
}  // namespace zd
