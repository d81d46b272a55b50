#pragma once
// The start of a page or column: geometry, title, page and column headers
// and footers, reprinted group headers and the column events.
#include "report/model/ZdReport.h"

namespace zd {

class TZdqPageStarter {
 public:
  explicit TZdqPageStarter(TZdReport& report) : report_(report), producer_(report.Producer()) {}
  void Start(bool isNewBar);
  // Ends the last page: draws the footers reserved on it.
  void Finish() { drawReservedFooters(true); }

 private:
  // Whether the next page start only moves to the next column of the sheet.
  bool staysOnSheet(bool isNewBar, int columns) const;
  // Starts a sheet (or the next bar's first sheet) or moves to the next column.
  void advance(bool nextColumn, bool isNewBar);
  // Draws the column footer, and the page footer when the sheet ends.
  void drawReservedFooters(bool sheetEnds);
  void placeColumn(int columns);
  void refreshPageValues();
  // Returns the printed title, if any.
  TZdqBand* printSheetBands();
  void printColumnBands();
  void reprintGroupHeaders();
  // Measures and draws at the current height, which grows by the height.
  void printAtTop(TZdqBand& band);
  // Measures and reserves a place just above the usable bottom, which rises.
  void reserveAtBottom(TZdqBand& band);
  TZdqBand* firstBand(TBandType type) const;

  TZdReport& report_;
  TPageProducer& producer_;
};

}  // namespace zd
