#pragma once
// Measuring and drawing one band with its controls on the report's page.
#include <cstdint>

#include "report/ZdReport.h"

namespace zd {

class TZdqBandPrinter {
 public:
  TZdqBandPrinter(TZdReport& report, TZdqBand& band);
  // Measures (kDrawMeasure in flags) or draws between top and bottom and
  // returns the band's height: its designed height, or with Stretch the
  // lowest extent of its controls.
  int Print(int top, int bottom, uint32_t flags);

 private:
  // Returns the control's extent below the band top; abort comes back true
  // when AfterControlPrint asks to skip the remaining controls.
  int printControl(TZdqControl& control, int top, int bottom, bool measuring, bool& abort);
  // x of a design position on the current bar and column.
  int pageX(int left) const;
  bool onCurrentBar(int left) const;

  TZdReport& report_;
  TZdqBand& band_;
  TCanvas& canvas_;
  int barWidth_;
};

}  // namespace zd
