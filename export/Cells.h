#pragma once
// Cells rebuilt from a page's metafile records and the grid of rows and
// columns the document exporters write them in.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "host/data/FieldType.h"
#include "host/graphics/Bitmap.h"
#include "host/graphics/Canvas.h"

namespace zd {

enum class TZdqMFERecordKind : uint8_t { rkText, rkLine, rkRectangle, rkEllipse, rkPicture };

// A set of cell kinds.
class TZdqMFERecordKinds {
 public:
  TZdqMFERecordKinds() = default;
  TZdqMFERecordKinds(std::initializer_list<TZdqMFERecordKind> kinds) {
    for (TZdqMFERecordKind k : kinds) Include(k);
  }
  bool Has(TZdqMFERecordKind k) const { return bits_ & bit(k); }
  void Include(TZdqMFERecordKind k) { bits_ |= bit(k); }
  void Exclude(TZdqMFERecordKind k) { bits_ &= uint8_t(~bit(k)); }
  bool operator==(const TZdqMFERecordKinds&) const = default;

 private:
  static uint8_t bit(TZdqMFERecordKind k) { return uint8_t(1u << unsigned(k)); }
  uint8_t bits_ = 0;
};

// One collected cell. Positions are metafile units with the page's offset
// already added, so cells of all pages share one coordinate space.
struct TZdqMFERecord {
  TZdqMFERecordKind Kind = TZdqMFERecordKind::rkText;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TColor BackColor = 0;
  TFont Font;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Text;               // UTF-8
  std::optional<TBitmap> Bitmap;  // the picture of an rkPicture cell
  // rkText: the box of the control that drew the text (the clip rectangle
  // it was drawn with); none for text drawn without a clip.
  std::optional<TRect> ControlBox;
  // rkText: the whole text as drawn, before any clipping.
  TRect TextBox{};
  // rkLine: the line runs from (Left, Top) to LineEnd, drawn with Pen.
  TPoint LineEnd{};
  TPen Pen;
};

// The x by which the grid places a cell. A text in a control is placed by
// the control's edge it is aligned to (its middle when centred), so the
// texts of one report column share an x whatever their width.
int GridLeft(const TZdqMFERecord& cell);

// Positions this close belong to the same column (x) or row (y). Global so
// that an application can loosen or tighten them before an export.
extern int ZDQ_EQUAL_X;  // 15
extern int ZDQ_EQUAL_Y;  // 5

// Reading order with the tolerances above: lines by top, where a line takes
// every cell whose top lies within ZDQ_EQUAL_Y of the line's highest one;
// within a line, columns by x, where a column takes every cell within
// ZDQ_EQUAL_X of its leftmost one (by GridLeft). Cells that share a line
// and a column keep the order in which they were drawn.
void SortCells(std::vector<TZdqMFERecord>& cells);

struct TZdqCellGrid {
  int RowCount = 0;
  int ColCount = 0;
  std::vector<int> Columns;  // x of each column, ascending
};

// Sorts the cells, finds rows and the columns of the non-blank text cells,
// and inserts blank cells so that the list reads as RowCount rows of
// ColCount cells.
TZdqCellGrid BuildCellGrid(std::vector<TZdqMFERecord>& cells);

// The grid built a page at a time gives the same rows as BuildCellGrid on
// the whole document, in three steps: TZdqLineBuffer hands on whole lines
// once no later cell can join them, AddToGrid learns the columns and rows
// from them, and, once every column is known, TZdqRowAssembler turns them
// into rows.

// Cells that arrive page by page, waiting until their lines are complete.
class TZdqLineBuffer {
 public:
  // Cells of the next page, in drawing order.
  void Add(std::vector<TZdqMFERecord>&& cells);
  // Takes the lines that are complete when no cell still to come lies
  // above `bound` (every line when there is no bound), sorted as by
  // SortCells; lines gets the line of each cell, counted from 0.
  std::vector<TZdqMFERecord> TakeLines(std::optional<int> bound, std::vector<int>& lines);
  void Clear() { cells_.clear(); }

 private:
  std::vector<TZdqMFERecord> cells_;
};

// Whether two texts of one line may share a slot, whatever columns the
// rest of the grid adds: a text lands in a column within ZDQ_EQUAL_X of
// its left, so only texts that close can.
bool MayShareSlot(const std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines);

// Counts the lines and adds the columns of complete lines taken in order.
void AddToGrid(TZdqCellGrid& grid, const std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines);

// Turns complete lines, in order, into rows of one cell per column, filling
// empty slots as BuildCellGrid does. A row is handed on when the line after
// it arrives (its blanks look like that line's first cell) or at Finish.
class TZdqRowAssembler {
 public:
  using TRowSink = std::function<void(std::vector<TZdqMFERecord>& row)>;
  TZdqRowAssembler(std::vector<int> columns, TRowSink sink);
  void Add(std::vector<TZdqMFERecord>& cells, const std::vector<int>& lines);
  void Finish();

 private:
  void handOnPending(const TZdqMFERecord* next);

  std::vector<int> columns_;
  TRowSink sink_;
  std::vector<std::optional<TZdqMFERecord>> pending_;  // empty when no row waits
  int pendingTop_ = 0;
};

}  // namespace zd
