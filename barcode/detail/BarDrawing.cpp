#include "barcode/detail/BarDrawing.h"

#include <algorithm>
#include <cmath>

namespace zd {

namespace {

// The area's far edges are exclusive; a bar starting there is outside.
bool StartsOutside(const TBarGeometry& g, const TRect& bar) {
  return g.ClipToArea && (bar.Left >= g.Area.Right || bar.Top >= g.Area.Bottom);
}

void FillBar(TCanvas& canvas, const TBarGeometry& g, const TRect& bar) {
  if (!StartsOutside(g, bar)) canvas.FillRect(bar);
}

}  // namespace

TBarCursor::TBarCursor(TCanvas& canvas, const TBarGeometry& geometry)
    : canvas_(canvas),
      geometry_(geometry),
      recLeft_(geometry.Area.Left),
      recTop_(geometry.Area.Top),
      recHeight_(geometry.Vertical ? 0 : geometry.Area.Height()),
      recWidth_(geometry.Vertical ? geometry.Area.Width() : 0) {}

void TBarCursor::DrawBarLine(const TBarElement& element) {
  const int w = element.Wide ? geometry_.WideWidth : geometry_.NarrowWidth;
  if (element.Bar) {
    TRect bar;
    if (!geometry_.Vertical) {
      // A half bar stands on the baseline.
      const int top = element.Short ? recTop_ + int(std::lround(recHeight_ * 0.6)) : recTop_;
      const int height = element.Short ? int(std::lround(recHeight_ * 0.4)) : recHeight_;
      bar = {recLeft_, top, recLeft_ + w, top + height};
    } else {
      const int width = element.Short ? int(std::lround(recWidth_ * 0.6)) : recWidth_;
      bar = {recLeft_, recTop_, recLeft_ + width, recTop_ + w};
    }
    FillBar(canvas_, geometry_, bar);
  }
  if (geometry_.Vertical) recTop_ += w;
  else recLeft_ += w;
}

void DrawBarElements(TCanvas& canvas, const TBarGeometry& geometry, const TBarElements& elements) {
  TBarCursor cursor(canvas, geometry);
  for (const TBarElement& element : elements) cursor.DrawBarLine(element);
}

void DrawZintSymbol(TCanvas& canvas, const TBarGeometry& g, const TZintSymbol& symbol) {
  if (symbol.Rects.empty() || symbol.Width <= 0 || symbol.Height <= 0) return;
  const TRect& a = g.Area;
  // Units per module along the symbol (sx) and across it (sy), before turning.
  double sx = g.NarrowWidth, sy;
  if (symbol.TwoDimensional) {
    const int fit = int(std::min(a.Width() / symbol.Width, a.Height() / symbol.Height));
    sx = sy = std::max(1, fit);
  } else {
    sy = (g.Vertical ? a.Width() : a.Height()) / symbol.Height;
  }
  for (const TModuleRect& m : symbol.Rects) {
    const int x0 = int(std::lround(m.X * sx)), x1 = int(std::lround((m.X + m.Width) * sx));
    const int y0 = int(std::lround(m.Y * sy)), y1 = int(std::lround((m.Y + m.Height) * sy));
    // Turned a quarter clockwise: the symbol's start is at the top.
    const int across = int(std::lround(symbol.Height * sy));
    const TRect bar = g.Vertical ? TRect{a.Left + across - y1, a.Top + x0, a.Left + across - y0, a.Top + x1}
                                 : TRect{a.Left + x0, a.Top + y0, a.Left + x1, a.Top + y1};
    FillBar(canvas, g, bar);
  }
}

}  // namespace zd
