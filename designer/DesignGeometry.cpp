#include "designer/DesignGeometry.h"

#include <algorithm>
#include <climits>

namespace zd {

namespace {

constexpr int kGrab = 5;

bool Near(int value, int centre) { return value >= centre - kGrab && value <= centre + kGrab; }

}  // namespace

TZdqControlResize GrabZoneAt(int x, int y, int width, int height) {
  using R = TZdqControlResize;
  const int cx = width / 2, cy = height / 2;
  const bool top = y >= 0 && y <= kGrab, bottom = y >= height - kGrab && y <= height;
  if (x >= 0 && x <= kGrab) {
    if (top) return R::scrLeftTop;
    if (Near(y, cy)) return R::scrLeft;
    return bottom ? R::scrLeftBottom : R::scrNone;
  }
  if (Near(x, cx)) {
    if (top) return R::scrTop;
    return bottom ? R::scrBottom : R::scrNone;
  }
  if (x >= width - kGrab && x <= width) {
    if (top) return R::scrRightTop;
    if (Near(y, cy)) return R::scrRight;
    return bottom ? R::scrRightBottom : R::scrNone;
  }
  return R::scrNone;
}

TControlBounds ResizeBy(TControlBounds b, TZdqControlResize zone, int x, int y) {
  using R = TZdqControlResize;
  const bool fromLeft = zone == R::scrLeftTop || zone == R::scrLeft || zone == R::scrLeftBottom;
  const bool toRight = zone == R::scrRightTop || zone == R::scrRight || zone == R::scrRightBottom;
  const bool fromTop = zone == R::scrLeftTop || zone == R::scrTop || zone == R::scrRightTop;
  const bool toBottom = zone == R::scrLeftBottom || zone == R::scrBottom || zone == R::scrRightBottom;
  // Corner zones change both directions only when both stay positive.
  const bool xOk = fromLeft ? x < b.Width : toRight ? x > 0 : true;
  const bool yOk = fromTop ? y < b.Height : toBottom ? y > 0 : true;
  if (!xOk || !yOk) return b;
  if (fromLeft) {
    b.Width -= x;
    b.Left += x;
  } else if (toRight) {
    b.Width = x;
  }
  if (fromTop) {
    b.Height -= y;
    b.Top += y;
  } else if (toBottom) {
    b.Height = y;
  }
  return b;
}

int SnapDown(int value, int step) { return step > 0 ? value / step * step : value; }

std::vector<TControlBounds> AlignBounds(const std::vector<TAlignItem>& items, TAlignCommand command) {
  std::vector<TControlBounds> out;
  const int n = int(items.size());
  if (n == 0) return out;
  int minLeft = INT_MAX, maxLeft = INT_MIN, maxRight = INT_MIN;
  int minTop = INT_MAX, maxTop = INT_MIN, maxBottom = INT_MIN;
  for (const TAlignItem& item : items) {
    const TControlBounds& b = item.bounds;
    minLeft = std::min(minLeft, b.Left);
    maxLeft = std::max(maxLeft, b.Left);
    maxRight = std::max(maxRight, b.Right());
    minTop = std::min(minTop, b.Top);
    maxTop = std::max(maxTop, b.Top);
    maxBottom = std::max(maxBottom, b.Bottom());
  }
  const int stepX = (maxLeft - minLeft) / n, stepY = (maxTop - minTop) / n;
  using A = TAlignCommand;
  for (int k = 1; k <= n; ++k) {
    const TAlignItem& item = items[size_t(k - 1)];
    TControlBounds b = item.bounds;
    const bool inner = k > 1 && k < n;
    switch (command) {
      case A::LeftEdges: b.Left = minLeft; break;
      case A::HorizontalCenters: b.Left = (maxRight + minLeft - b.Width) / 2; break;
      case A::CenterInWindowX: b.Left = (item.bandWidth - b.Width) / 2; break;
      case A::SpaceEquallyX:
        if (inner) minLeft = b.Left = minLeft + stepX;
        break;
      case A::RightEdges: b.Left = maxRight - b.Width; break;
      case A::Tops: b.Top = minTop; break;
      case A::VerticalCenters: b.Top = (maxBottom + minTop - b.Height) / 2; break;
      case A::CenterInWindowY: b.Top = (item.bandHeight - b.Height) / 2; break;
      case A::SpaceEquallyY:
        if (inner) minTop = b.Top = minTop + stepY;
        break;
      case A::Bottoms: b.Top = maxBottom - b.Height; break;
    }
    out.push_back(b);
  }
  return out;
}

}  // namespace zd
