#pragma once
// The arithmetic of editing on the design surface, free of widgets: grab
// zones, resize steps, snapping and alignment. Coordinates are page pixels.
#include <vector>

#include "report/model/ZdqBase.h"

namespace zd {

struct TControlBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const TControlBounds&) const = default;
};

// Edges within five pixels of the pointer grab; where zones overlap on a
// narrow control the left ones win, then the centre ones.
TZdqControlResize GrabZoneAt(int x, int y, int width, int height);

// One resize step with the pointer at (x, y) in the control's own
// coordinates; steps that would leave a width or height of zero or less
// change nothing in that direction.
TControlBounds ResizeBy(TControlBounds bounds, TZdqControlResize zone, int x, int y);

// Down to the grid step, truncating toward zero.
int SnapDown(int value, int step);

// The ten alignment commands, in their tool-button order.
enum class TAlignCommand {
  LeftEdges, HorizontalCenters, CenterInWindowX, SpaceEquallyX, RightEdges,
  Tops, VerticalCenters, CenterInWindowY, SpaceEquallyY, Bottoms
};
constexpr int kAlignCommandCount = 10;

// The bounds after the command, for the selected controls in their order
// (band by band); bandSize holds the width and height of each one's band.
struct TAlignItem {
  TControlBounds bounds;
  int bandWidth = 0, bandHeight = 0;
};
std::vector<TControlBounds> AlignBounds(const std::vector<TAlignItem>& items, TAlignCommand command);

}  // namespace zd
