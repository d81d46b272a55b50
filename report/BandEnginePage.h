#pragma once
// The start of a page or column: geometry, title, page and column headers
// and footers, reprinted group headers and the column events.
#include "report/ZdReport.h"

namespace zd {

class TZdqPageStarter {
 public:
  explicit TZdqPageStarter(TZdReport& report) : report_(report) {}
  void Start(bool isNewBar);

 private:
  // Starts a sheet (or the next bar's first sheet) or moves to the next column.
  void advance(bool isNewBar, int columns);
  void placeColumn(int columns);
  void refreshPageValues();
  // Returns the printed title, if any.
  TZdqBand* printSheetBands();
  void printColumnBands();
  void reprintGroupHeaders();
  // Measures and draws at the current height, which grows by the height.
  void printAtTop(TZdqBand& band);
  // Measures and draws just above the usable bottom, which rises.
  void printAtBottom(TZdqBand& band);
  TZdqBand* firstBand(TBandType type) const;

  TZdReport& report_;
};

}  // namespace zd
