#include "quickprint/ZdqTable.h"

#include <algorithm>

#include "host/core/Errors.h"
#include "report/controls/detail/ControlDrawing.h"

namespace zd {
namespace {

uint32_t AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taCenter: return DT_CENTER;
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taLeftJustify: break;
  }
  return DT_LEFT;
}

uint32_t CellFlags(const TTableCell& cell) {
  return AlignmentFlag(cell.alignment) | (cell.wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
}

}  // namespace

TZdqTablePrint::TZdqTablePrint(TComponent* owner) : TZdAutoPrint(owner) {}

int TZdqTablePrint::CharacterWidth(const TFont& font, int characters) {
  return MeasureText(font, "0").Width * std::max(characters, 1);
}

void TZdqTablePrint::NewPage(bool isNewBar) {
  TZdAutoPrint::NewPage(isNewBar);
  rowsOnPage_ = 0;
}

void TZdqTablePrint::PrepareReport() {
  CheckSource();
  TZdAutoPrint::PrepareReport();
  BeginRows();
  try {
    PrintPages();
  } catch (...) {
    EndRows();
    throw;
  }
  EndRows();
}

void TZdqTablePrint::PrintPages() {
  BeginDoc();
  NewPage(false);
  columns_ = FillColumnInfo();
  FitColumns();
  bars_ = SplitBars();
  for (size_t b = 0; b < bars_.size(); ++b) {
    StartBar(bars_[b]);
    PrintReportHeader();
    bool more = FirstRow();
    while (more && !PrepareCancelled()) {
      ++recordNumber_;
      BeforeRow();
      std::vector<TTableCell> cells(columns_.size());
      for (const int c : barColumns_) {
        const TColumnInfo& column = columns_[size_t(c)];
        cells[size_t(c)] = {CellText(c), CellPicture(c), &column.DataFont, column.Alignment, column.WordWrap};
      }
      const TColor fill = recordNumber_ % 2 ? Style().OddColor : Style().EvenColor;
      PrintCells(cells, Style().RowStyle() == TZdqRowStyle::rsNormal ? nullptr : &fill, true);
      RowPrepared();
      more = NextRow();
      AfterRow(!more);
    }
    if (recordNumber_ == 0) PrintTitlesIfDue();  // an empty table still shows its columns
    PrintReportFooter();
    if (b + 1 == bars_.size() || PrepareCancelled()) break;
    NewPage(true);
  }
  EndDoc();
}

// With AutoFit the columns are scaled to the usable width, the last one
// taking what the truncated widths leave.
void TZdqTablePrint::FitColumns() {
  int total = 0;
  for (size_t c = 0; c < columns_.size(); ++c) total += ColumnSpan(int(c));
  const double coef = AutoFit && total > 0 ? double(UsableWidth()) / total : 1.0;
  int running = 0;
  for (size_t c = 0; c < columns_.size(); ++c) {
    TColumnInfo& column = columns_[c];
    column.Position = GapHorizontal + running;
    if (AutoFit && c + 1 == columns_.size())
      column.Width = std::max(1, UsableWidth() - column.Position - GapHorizontal);
    else
      column.Width = std::max(1, int(column.Width * coef));
    running += ColumnSpan(int(c));
  }
}

// Each bar takes as many columns as fit after the fixed ones, at least one.
std::vector<TTableBar> TZdqTablePrint::SplitBars() const {
  std::vector<TTableBar> bars;
  const int count = int(columns_.size()), usable = UsableWidth();
  int first = 0;
  while (first < count) {
    int width = 0;
    if (!bars.empty())
      for (int c = 0; c < first; ++c)
        if (columns_[size_t(c)].IsFixed) width += ColumnSpan(c);
    int last = first;
    width += ColumnSpan(first);
    while (last + 1 < count && width + ColumnSpan(last + 1) <= usable) width += ColumnSpan(++last);
    bars.push_back({first, last});
    first = last + 1;
  }
  if (bars.empty()) bars.push_back({0, -1});
  return bars;
}

void TZdqTablePrint::StartBar(const TTableBar& bar) {
  recordNumber_ = 0;
  barColumns_.clear();
  for (int c = 0; c < bar.First; ++c)
    if (columns_[size_t(c)].IsFixed) barColumns_.push_back(c);
  for (int c = bar.First; c <= bar.Last; ++c) barColumns_.push_back(c);
  cellLeft_.clear();
  barWidth_ = 0;
  for (const int c : barColumns_) {
    cellLeft_.push_back(barWidth_ + GapHorizontal);
    barWidth_ += ColumnSpan(c);
  }
}

void TZdqTablePrint::PrintTitlesIfDue() {
  if (!needPrintHeaderGrid_) return;
  needPrintHeaderGrid_ = false;
  if (!ShowTitles()) return;
  if (Style().FixedRows || Producer().intCurPage() == 0) PrintHeaderGrid();
  else Producer().Advance(1);  // keeps the row's top line clear of the header's
}

void TZdqTablePrint::Line(int x1, int y1, int x2, int y2) {
  Canvas().MoveTo(x1, y1);
  Canvas().LineTo(x2, y2);
}

void TZdqTablePrint::PrintHeaderGrid() {
  std::vector<TTableCell> cells(columns_.size());
  for (const int c : barColumns_) {
    const TColumnInfo& column = columns_[size_t(c)];
    cells[size_t(c)] = {column.Caption, nullptr, &column.TitleFont, column.HeaderAlignment, WordWrapHeader};
  }
  Canvas().Font = Font();
  const int height = std::max(RowHeight(cells, false), FontLineHeight(Font()) + 2 * GapVertical);
  const int top = Producer().intCurHeight(), left = LeftOffset();
  Canvas().Pen = GridLine();
  if (RowLines()) Line(left, top, left + barWidth_, top);
  DrawRow(cells, height, nullptr, false);
  Producer().Advance(height + (Style().RowStyle() == TZdqRowStyle::rsNormal ? 0 : 1));
}

int TZdqTablePrint::RowHeight(const std::vector<TTableCell>& cells, bool isRecord) {
  int height = 0;
  for (size_t i = 0; i < barColumns_.size(); ++i) {
    const TTableCell& cell = cells[size_t(barColumns_[i])];
    if (!cell.font) continue;
    const int width = columns_[size_t(barColumns_[i])].Width;
    if (cell.picture) {
      if (cell.picture->Width() > 0)
        height = std::max(height, int(int64_t(width) * cell.picture->Height() / cell.picture->Width()));
      continue;
    }
    if (!cell.wordWrap && !OnDrawText && (!isRecord || HighLights().Count() == 0)) {
      height = std::max(height, FontLineHeight(*cell.font));
      continue;
    }
    Canvas().Font = *cell.font;
    const TRect rect{0, 0, width, 0};
    const std::string& text = cell.text.empty() ? " " : cell.text;
    height = std::max(height, ZdqDrawText(text, rect, CellFlags(cell) | DT_CALCRECT, isRecord));
  }
  return height + 2 * GapVertical;
}

void TZdqTablePrint::PrintCells(const std::vector<TTableCell>& cells, const TColor* fill, bool isRecord) {
  PrintTitlesIfDue();
  const int height = RowHeight(cells, isRecord);
  if (!Producer().Fits(height) && rowsOnPage_ > 0) {
    NewPage(false);
    PrintTitlesIfDue();
  }
  DrawRow(cells, height, fill, isRecord);
  Producer().Advance(height);
  if (RowLines()) {
    Canvas().Pen = GridLine();
    const int y = Producer().intCurHeight();
    Line(LeftOffset(), y, LeftOffset() + barWidth_, y);
  }
  ++rowsOnPage_;
}

void TZdqTablePrint::DrawRow(const std::vector<TTableCell>& cells, int height, const TColor* fill,
                             bool isRecord) {
  TCanvas& canvas = Canvas();
  const int top = Producer().intCurHeight(), left = LeftOffset();
  if (fill) {
    canvas.Brush = TBrush{*fill, TBrushStyle::bsSolid};
    canvas.FillRect({left, top, left + barWidth_, top + height});
  }
  canvas.Brush.Style = TBrushStyle::bsClear;
  for (size_t i = 0; i < barColumns_.size(); ++i) {
    const TTableCell& cell = cells[size_t(barColumns_[i])];
    const int x = left + cellLeft_[i];
    const TRect rect{x, top + GapVertical, x + columns_[size_t(barColumns_[i])].Width, top + height - GapVertical};
    if (cell.picture) {
      StretchDrawPicture(canvas, rect, *cell.picture);
    } else if (cell.font && !cell.text.empty()) {
      canvas.Font = *cell.font;
      ZdqDrawText(cell.text, rect, CellFlags(cell), isRecord);
    }
  }
  if (!ColumnLines()) return;
  canvas.Pen = GridLine();
  for (size_t i = 0; i < barColumns_.size(); ++i) {
    const int x = left + cellLeft_[i] - GapHorizontal;
    Line(x, top, x, top + height);
  }
  Line(left + barWidth_, top, left + barWidth_, top + height);
}

}  // namespace zd
