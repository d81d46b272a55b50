#pragma once
// Measuring and drawing one band with its controls on the report's page.
#include <cstdint>

#include "report/model/ZdReport.h"

namespace zd {

class TZdqBandPrinter {
 public:
  TZdqBandPrinter(TZdReport& report, TZdqBand& band);
  // Measures (kDrawMeasure in flags) or draws between top and bottom and
  // returns the band's height: its designed height, or with Stretch the
  // lowest extent of its controls.
  int Print(int top, int bottom, uint32_t flags);
  // Draws the part of a band of the given height that lies between the
  // band-relative heights from and to, at the page height top: a band
  // taller than a page continues on the next, part by part.
  void PrintPart(int top, int height, int from, int to);
  // The lowest band-relative height in (from, y] where the band can be cut
  // without splitting a line of text or a control that cannot be cut;
  // from when there is none.
  int CutAbove(int from, int y);

 private:
  // Returns the control's extent below the band top; abort comes back true
  // when AfterControlPrint asks to skip the remaining controls.
  int printControl(TZdqControl& control, int top, int bottom, bool measuring, bool& abort);
  // Draws a control while the page count is not known yet: one that shows
  // it is drawn again once it is.
  int drawCountLaterIfShown(TZdqControl& control, TRect& rect);
  // x of a design position on the current bar and column.
  int pageX(int left) const;
  bool onCurrentBar(int left) const;

  TZdReport& report_;
  TZdqBand& band_;
  TCanvas& canvas_;
  int barWidth_;
  // Set while a part of a band is drawn: its top may lie above the page,
  // and only the first part adds the band's outline entry.
  bool inPart_ = false, firstPart_ = true;
};

}  // namespace zd
