#include "report/engine/detail/BandEnginePage.h"

#include <algorithm>

#include "report/engine/detail/BandEngineValues.h"

namespace zd {

void TZdqPageStarter::Start(bool isNewBar) {
  TZdReport& r = report_;
  // Column counts below 1 cannot be set, but a page must never divide by one.
  const int columns = std::max(r.ColumnNumber(), 1);
  const int endingColumn = producer_.intCurColumn();
  if (endingColumn > -1 && endingColumn < columns && r.OnEndColumn) r.OnEndColumn(&r, endingColumn);
  const bool nextColumn = staysOnSheet(isNewBar, columns);
  drawReservedFooters(!nextColumn);
  advance(nextColumn, isNewBar);
  placeColumn(columns);
  refreshPageValues();
  TZdqBand* title = producer_.intCurColumn() == 0 ? printSheetBands() : nullptr;
  if (columns > 1) printColumnBands();
  r.boolWasNewPage = true;
  r.ResetPrintedValues(TResetType::rtEndPage);
  if (producer_.intCurColumn() != 0 || producer_.intCurPage() != 0) reprintGroupHeaders();
  // The title's own page gets its column start before the page that follows it.
  if (r.OnBeginColumn) r.OnBeginColumn(&r, producer_.intCurColumn());
  if (title && title->NewPage()) r.NewPage(false);
}

bool TZdqPageStarter::staysOnSheet(bool isNewBar, int columns) const {
  const bool pageOpen = producer_.MFCanvas() && report_.Pages().Count() > 0;
  const int column = producer_.intCurColumn();
  return !isNewBar && pageOpen && column >= 0 && column < columns - 1;
}

void TZdqPageStarter::drawReservedFooters(bool sheetEnds) {
  TZdReport& r = report_;
  if (!producer_.MFCanvas()) return r.ReservedFooters.clear();
  const int columnLeft = r.intColumnLeft;
  auto& reserved = r.ReservedFooters;
  for (size_t i = 0; i < reserved.size();) {
    const TZdReport::TReservedFooter footer = reserved[i];
    if (!sheetEnds && footer.band->BandType() == TBandType::btPageFooter) {
      ++i;
      continue;
    }
    reserved.erase(reserved.begin() + std::ptrdiff_t(i));
    r.intColumnLeft = footer.columnLeft;
    footer.band->PrintBand(footer.top, footer.bottom, 0);
  }
  r.intColumnLeft = columnLeft;
}

void TZdqPageStarter::advance(bool nextColumn, bool isNewBar) {
  TZdReport& r = report_;
  if (nextColumn) {
    producer_.SetCurColumn(producer_.intCurColumn() + 1);
    return;
  }
  producer_.SetCurColumn(0);
  r.intColumnTop = 0;
  r.intColumnBottom = 0;
  r.TZdPrintComponent::NewPage(isNewBar);
}

void TZdqPageStarter::placeColumn(int columns) {
  TZdReport& r = report_;
  // The page just opened or still being filled is the newest one.
  const TPageInfo& page = r.Pages().At(r.Pages().Count() - 1);
  r.intBarWidth = std::max(page.PageWidth() - page.OffsetLeft - page.OffsetRight, 1);
  const int columnWidth = std::max((r.intBarWidth - (columns - 1) * r.ColumnSpace()) / columns, 0);
  r.intColumnLeft = (columnWidth + r.ColumnSpace()) * producer_.intCurColumn() + page.OffsetLeft;
  producer_.SetMaxPageHeight(page.PageHeight() - page.OffsetBottom);
  producer_.SetCurHeight(page.OffsetTop);
  producer_.SetLastPageHeight(0);
}

void TZdqPageStarter::refreshPageValues() { TZdqValueUpdater(report_).RefreshPageValues(); }

TZdqBand* TZdqPageStarter::printSheetBands() {
  TZdReport& r = report_;
  TZdqBand* title = producer_.intCurPage() == 0 ? firstBand(TBandType::btReportTitle) : nullptr;
  if (title) printAtTop(*title);
  if (TZdqBand* header = firstBand(TBandType::btPageHeader);
      header && (producer_.intCurPage() > 0 || header->NewPage()))
    printAtTop(*header);
  r.intColumnTop = producer_.intCurHeight();
  if (TZdqBand* footer = firstBand(TBandType::btPageFooter);
      footer && (producer_.intCurPage() > 0 || footer->NewPage()))
    reserveAtBottom(*footer);
  r.intColumnBottom = producer_.intMaxPageHeight();
  return title;
}

void TZdqPageStarter::printColumnBands() {
  TZdReport& r = report_;
  producer_.SetCurHeight(r.intColumnTop);
  producer_.SetMaxPageHeight(r.intColumnBottom);
  if (TZdqBand* header = firstBand(TBandType::btColumnHeader)) printAtTop(*header);
  if (TZdqBand* footer = firstBand(TBandType::btColumnFooter)) reserveAtBottom(*footer);
}

void TZdqPageStarter::reprintGroupHeaders() {
  for (TZdqBand* header : report_.Bands()) {
    if (header->BandType() != TBandType::btGroupHeader || !header->ReprintHeader()) continue;
    const TVariant value = header->GetCurValue();
    if (value.isNull() || value.isEmpty()) continue;
    const TZdqBand* footer = report_.GetBand(header->GetLinkedFooterIndex());
    if (footer && footer->GetCurValue() == value) printAtTop(*header);
  }
}

void TZdqPageStarter::printAtTop(TZdqBand& band) {
  const int height = band.PrintBand(producer_.intCurHeight(), producer_.intMaxPageHeight(), kDrawMeasure);
  band.PrintBand(producer_.intCurHeight(), producer_.intCurHeight() + height, 0);
  producer_.Advance(height);
}

void TZdqPageStarter::reserveAtBottom(TZdqBand& band) {
  const int height = band.PrintBand(producer_.intCurHeight(), producer_.intMaxPageHeight(), kDrawMeasure);
  const int bottom = producer_.intMaxPageHeight();
  report_.ReservedFooters.push_back({&band, bottom - height, bottom, report_.intColumnLeft});
  producer_.SetMaxPageHeight(bottom - height);
}

TZdqBand* TZdqPageStarter::firstBand(TBandType type) const {
  return report_.GetBand(report_.GetIndexBand(type));
}

}  // namespace zd
