#pragma once
// The cell collector: the base of every document exporter. It walks each
// page's records keeping the drawing state, turns text runs, lines, boxes,
// ellipses and pictures into cells, and on saving arranges the cells in a
// grid.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/Cells.h"
#include "export/Export.h"

namespace zd {

// Whether the page shows a text drawn in box `text` clipped to `clip`:
// when its vertical middle lies inside the clip (more than half of the
// line shows) and it overlaps the clip horizontally.
bool ShownInClip(const TRect& text, const TRect& clip);
// Alignment of a text inside its control's box: right when it ends at the
// box's right edge, centred when it stands in the middle, else `otherwise`
// (also for a text wider than its box). A text that fills its box exactly
// counts as right-aligned: some controls clip aligned text from its own
// left edge to their right edge.
TAlignment AlignmentInBox(const TRect& text, const TRect& box, TAlignment otherwise);

class TZdqExportAttributes : public TZdqExport {
 public:
  explicit TZdqExportAttributes(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportAttributes"; }

  void StartExport() override;
  void EndExport() override;
  void ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) override;
  void PageProcessed(const TMetafile& page) override;
  // Remembers the name, then sorts the cells into the grid; rows streamed
  // after a layout pass are completed instead.
  void SaveToFile(const std::string& fileName) override;

  // A layout pass learns the grid's columns and rows page by page, keeping
  // only the lines not yet complete; the writing pass then hands rows to
  // WriteGridRow as they complete (see StreamsRows). When LayoutNeedsSlots
  // and texts may share a slot, a second layout pass hands the completed
  // rows to LayoutCells. Pages that do not come top to bottom, or a grid
  // without columns, fall back to collecting every cell for SaveToFile.
  void BeginLayoutPass() override;
  void EndLayoutPass(const std::string& fileName) override;
  bool NeedsAnotherLayoutPass() const override;

  // Which kinds of cells are collected.
  TZdqMFERecordKinds RecordKinds{TZdqMFERecordKind::rkText};

  // The collected cells: in order of arrival, and after SaveToFile the grid
  // in row order (RowCount x ColCount cells when every cell found a slot).
  const std::vector<TZdqMFERecord>& Records() const { return records_; }
  std::vector<TZdqMFERecord>& Records() { return records_; }
  int RowCount() const { return grid_.RowCount; }
  int ColCount() const { return grid_.ColCount; }
  const std::vector<int>& Columns() const { return grid_.Columns; }

  // Drawing state; it carries over from page to page within one export.
  const TFont& CurrentFont() const { return font_; }
  TAlignment CurrentAlignment() const { return alignment_; }
  TColor CurrentBackColor() const { return backColor_; }

 protected:
  // Whether this writing pass hands its rows to WriteGridRow.
  bool StreamsRows() const { return rows_ != nullptr && !layingOut_; }
  // What a writer learns of the whole grid besides its columns and rows:
  // ClearLayout forgets it, LayoutCells sees the grid's cells in row order
  // (in parts during a layout pass, all at once otherwise).
  virtual void ClearLayout() {}
  virtual void LayoutCells(const std::vector<TZdqMFERecord>& cells);
  // Whether LayoutCells must see texts that share a slot as the one cell
  // they become: a layout pass that meets such texts then gives way to the
  // grid built at SaveToFile.
  virtual bool LayoutNeedsSlots() const { return false; }
  // The layout is known and rows are about to be streamed.
  virtual void BeginGridRows() {}
  // One row of ColCount cells.
  virtual void WriteGridRow(std::vector<TZdqMFERecord>& row);

 private:
  struct TDrawingState {
    TFont font;
    TAlignment alignment = TAlignment::taLeftJustify;
    TColor backColor = clWhite;
    TPoint prevPoint{};
  };
  TDrawingState drawingState() const { return {font_, alignment_, backColor_, prevPoint_}; }
  void setDrawingState(const TDrawingState& state);
  // Hands the cells collected so far to the lines waiting to complete,
  // except a last text that a run on the next page could still extend.
  void handOnCells(bool all);
  void resetPasses();
  void beginSlotPass();

  struct TLineMetrics {
    int height = 0, ascent = 0;
  };
  const TLineMetrics& lineMetrics(const TEmfLogFont& logFont);
  TRect textBox(const TEmfRecord& record, const TEmfText& text, const TEmfState& state);
  void selectFont(const TEmfRecord& record, const TEmfState& state);
  void addLine(const TEmfRecord& record, const TEmfState& state);
  void addBox(TZdqMFERecordKind kind, const TEmfRecord& record);
  void addText(const TEmfRecord& record, const TEmfState& state);
  void addPicture(const TEmfRecord& record);
  TZdqMFERecord newCell(TZdqMFERecordKind kind) const;

  std::vector<TZdqMFERecord> records_;
  TZdqCellGrid grid_;
  // Two-pass state: whether the grid can still be laid out in parts and
  // needs the slot pass, the lines still open, the top no later page
  // reaches above, the drawing state the layout pass began with, and the
  // rows of the slot or the writing pass.
  bool layingOut_ = false;
  bool streamable_ = false;
  bool slotsPending_ = false;
  TZdqLineBuffer openLines_;
  std::optional<int> bound_;
  TDrawingState passStart_;
  std::unique_ptr<TZdqRowAssembler> rows_;
  TFont font_;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TColor backColor_ = clWhite;
  TPoint prevPoint_{};
  std::optional<TEmfLogFont> metricsFont_;  // the font metrics_ are of
  TLineMetrics metrics_;
};

}  // namespace zd
