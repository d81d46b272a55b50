#include "report/engine/detail/BandEnginePrint.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"

namespace zd {

namespace {

TCanvas& PageCanvas(TZdReport& report) {
  TMetafileCanvas* canvas = report.Producer().MFCanvas();
  if (!canvas) throw std::logic_error("A band can only be printed while a page is open");
  return *canvas;
}

bool ShowsCount(const TZdqControl& control) {
  const auto* sysData = dynamic_cast<const TZdqSysData*>(&control);
  return sysData &&
         (sysData->SysData() == TZdqSysDataType::sdPageCount || sysData->SysData() == TZdqSysDataType::sdBarCount);
}

}  // namespace

TZdqBandPrinter::TZdqBandPrinter(TZdReport& report, TZdqBand& band)
    : report_(report), band_(band), canvas_(PageCanvas(report)), barWidth_(std::max(report.intBarWidth, 1)) {}

int TZdqBandPrinter::pageX(int left) const {
  const int inBar = ((left % barWidth_) + barWidth_) % barWidth_;
  return inBar + report_.intColumnLeft;
}

bool TZdqBandPrinter::onCurrentBar(int left) const {
  const long long from = (long long)report_.Producer().intCurBar() * barWidth_;
  return from <= left && left < from + barWidth_;
}

int TZdqBandPrinter::Print(int top, int bottom, uint32_t flags) {
  const bool measuring = flags & kDrawMeasure;
  if (report_.BeforeBandPrint) report_.BeforeBandPrint(&report_, band_, measuring);
  int result = 0;
  if (band_.Visible()) {
    if (!band_.FCanBePrinted) {
      report_.Producer().SetLastPageHeight(0);
      return 0;
    }
    if (measuring) {
      ++band_.LineNo;
    } else {
      if (firstPart_ && !Trim(band_.OutlineExpression()).empty()) {
        TZdqOutline& outline = report_.Outlines().Add();
        outline.Text = VarToStr(report_.Evaluate(band_.OutlineExpression()));
        outline.PageNo = report_.Producer().intCurPage();
        outline.BarNo = report_.Producer().intCurBar();
        outline.Top = top;
      }
      const int x = pageX(band_.Left());
      TRect rect{x, top, x + band_.Width(), bottom};
      band_.Draw(canvas_, rect, flags);
    }
    const int controlTop = inPart_ ? top : std::max(top, 0);
    // A band that does not stretch is as high as designed: measuring its
    // controls only matters to the control events.
    const bool measureControls = band_.Stretch() || report_.BeforeControlPrint || report_.AfterControlPrint;
    // Indexes, not iterators: an event handler may add or remove controls.
    for (size_t i = 0; i < band_.Objects().size() && (!measuring || measureControls); ++i) {
      bool abort = false;
      result = std::max(result, printControl(*band_.Objects()[i], controlTop, bottom, measuring, abort));
      if (abort) break;
    }
    if (!band_.Stretch()) result = band_.Height();
  }
  if (report_.AfterBandPrint) {
    bool ignored = false;
    report_.AfterBandPrint(&report_, band_, measuring, ignored);
  }
  report_.Producer().SetLastPageHeight(result);
  return result;
}

void TZdqBandPrinter::PrintPart(int top, int height, int from, int to) {
  const TPageInfo& page = report_.Pages().At(report_.Pages().Count() - 1);
  inPart_ = true;
  firstPart_ = from == 0;
  canvas_.SetClipRect(TRect{0, top, page.PageWidth(), top + to - from});
  try {
    Print(top - from, top - from + height, 0);
  } catch (...) {
    canvas_.SetClipRect(std::nullopt);
    throw;
  }
  canvas_.SetClipRect(std::nullopt);
  inPart_ = false;
}

int TZdqBandPrinter::CutAbove(int from, int y) {
  // Moving the cut up for one control may split another: repeat until no
  // control objects (each round only moves it up).
  for (int round = 0; round < 16; ++round) {
    int cut = y;
    for (TZdqControl* control : band_.Objects()) {
      if (!control->Visible() || !control->FCanBePrinted) continue;
      const int controlTop = control->ObjectPosition() == TZdqObjectPosition::opDesigned ? control->Top() : 0;
      TRect probe{0, 0, control->Width(), control->Height()};
      const int height = control->Draw(canvas_, probe, kDrawMeasure);
      if (cut <= controlTop || cut >= controlTop + height) continue;
      cut = controlTop + std::clamp(control->CutAbove(cut - controlTop), 0, cut - controlTop);
    }
    if (cut == y) break;
    y = cut;
  }
  return y > from ? y : from;
}

int TZdqBandPrinter::printControl(TZdqControl& control, int top, int bottom, bool measuring, bool& abort) {
  if (report_.BeforeControlPrint) report_.BeforeControlPrint(&report_, control, measuring);
  int extent = 0;
  if (control.Visible() && control.FCanBePrinted && (measuring || onCurrentBar(control.Left()))) {
    const bool isImage = dynamic_cast<TZdqImage*>(&control) != nullptr;
    const int x = pageX(control.Left());
    const int height = !band_.Stretch() || isImage ? control.Height() : bottom - top;
    TRect rect{x, top, x + control.Width(), top + height};
    const TZdqObjectPosition position = control.ObjectPosition();
    if (!measuring) {
      int h = 0;
      // Only a control placed from the band's bottom or middle needs its height first.
      if (position == TZdqObjectPosition::opBottomBand || position == TZdqObjectPosition::opCenterBand) {
        TRect probe = rect;
        h = control.Draw(canvas_, probe, kDrawMeasure);
      }
      int placedTop = top;
      switch (position) {
        case TZdqObjectPosition::opTopBand: placedTop = top; break;
        case TZdqObjectPosition::opBottomBand: placedTop = bottom - h; break;
        case TZdqObjectPosition::opCenterBand: placedTop = top + (bottom - top - h) / 2; break;
        case TZdqObjectPosition::opDesigned: placedTop = top + control.Top(); break;
      }
      rect.Top = placedTop;
      rect.Bottom = placedTop + height;
      if (auto* shape = dynamic_cast<TZdqShape*>(&control); shape && shape->Stretch() == TShapeStretch::ssHeight)
        rect.Bottom = bottom;
    }
    const int rectTop = rect.Top;
    int drawn = measuring || !report_.DeferringCounts() ? control.Draw(canvas_, rect, measuring ? kDrawMeasure : 0)
                                                        : drawCountLaterIfShown(control, rect);
    if (measuring && position == TZdqObjectPosition::opDesigned) drawn += control.Top();
    extent = drawn + rectTop - top;
    if (report_.AfterControlPrint) report_.AfterControlPrint(&report_, control, measuring, abort);
  }
  return extent;
}

int TZdqBandPrinter::drawCountLaterIfShown(TZdqControl& control, TRect& rect) {
  if (!ShowsCount(control)) return control.Draw(canvas_, rect, 0);
  // A count shown once and then left out as a repeat differs between the
  // passes in where it is left out.
  if (!control.ZdPrintWhen().RepeatedValues()) {
    report_.CountsNeeded();
    return control.Draw(canvas_, rect, 0);
  }
  TZdReport& report = report_;
  return report.DrawCountLater(*report.Producer().MFCanvas(), [&report, &control, rect](TCanvas& canvas,
                                                                                      bool measuring) {
    // Drawn again after the preparation ended: draw as during it.
    const TZdReportState state = std::exchange(report.ReportState, TZdReportState::rsPrepare);
    try {
      control.UpdateCurValue();
      TRect placed = rect;
      const int height = control.Draw(canvas, placed, measuring ? kDrawMeasure : 0);
      report.ReportState = state;
      return height;
    } catch (...) {
      report.ReportState = state;
      throw;
    }
  });
}

}  // namespace zd
