#pragma once
// Puts encoded symbols on a canvas with the brush: element sequences bar by
// bar from a cursor, libzint symbols scaled into the rectangle.
#include "barcode/detail/LinearSymbols.h"
#include "barcode/detail/ZintSymbol.h"
#include "host/graphics/Canvas.h"

namespace zd {

struct TBarGeometry {
  TRect Area;               ///< where the symbol goes
  int NarrowWidth = 1, WideWidth = 3;
  bool Vertical = false;    ///< bars run across and follow each other downwards
  bool ClipToArea = false;  ///< leave out bars that start at or past the area's far edge
};

/// The cursor that draws one element after another.
class TBarCursor {
 public:
  TBarCursor(TCanvas& canvas, const TBarGeometry& geometry);
  /// Fills the element's rectangle when it is a bar, then moves past it.
  void DrawBarLine(const TBarElement& element);

 private:
  TCanvas& canvas_;
  const TBarGeometry& geometry_;
  int recLeft_, recTop_;
  int recHeight_, recWidth_;  ///< bar length across the symbol; the other is 0
};

void DrawBarElements(TCanvas& canvas, const TBarGeometry& geometry, const TBarElements& elements);

/// Linear symbols take NarrowWidth per module and the area's length across;
/// two-dimensional ones the largest whole module that fits the area, at least 1.
void DrawZintSymbol(TCanvas& canvas, const TBarGeometry& geometry, const TZintSymbol& symbol);

}  // namespace zd
