// The arithmetic of the design surface: grab zones, resize steps, snapping
// and the ten alignment commands.
#include <gtest/gtest.h>

#include "designer/DesignGeometry.h"

namespace zd {
namespace {

using R = TZdqControlResize;

TEST(DesignGeometry, GrabZonesResolveLeftThenCentreThenRight) {
  // A 6-pixel-wide control: every column is within reach of all three edges.
  EXPECT_EQ(GrabZoneAt(3, 0, 6, 40), R::scrLeftTop);
  EXPECT_EQ(GrabZoneAt(5, 20, 6, 40), R::scrLeft);
  EXPECT_EQ(GrabZoneAt(5, 38, 6, 40), R::scrLeftBottom);
  EXPECT_EQ(GrabZoneAt(6, 0, 6, 40), R::scrTop);       // past the left zone: the centre's
  EXPECT_EQ(GrabZoneAt(6, 20, 6, 40), R::scrNone);     // the centre has no middle zone
  // A wide control: each edge its own.
  EXPECT_EQ(GrabZoneAt(100, 0, 100, 40), R::scrRightTop);
  EXPECT_EQ(GrabZoneAt(96, 25, 100, 40), R::scrRight);
  EXPECT_EQ(GrabZoneAt(98, 40, 100, 40), R::scrRightBottom);
  EXPECT_EQ(GrabZoneAt(50, 37, 100, 40), R::scrBottom);
  EXPECT_EQ(GrabZoneAt(30, 20, 100, 40), R::scrNone);
  EXPECT_EQ(GrabZoneAt(3, 12, 100, 40), R::scrNone);   // left edge between its zones
}

TEST(DesignGeometry, ResizeKeepsSizesPositive) {
  const TControlBounds b{10, 20, 50, 30};
  EXPECT_EQ(ResizeBy(b, R::scrLeftTop, 5, 4), (TControlBounds{15, 24, 45, 26}));
  EXPECT_EQ(ResizeBy(b, R::scrRightBottom, 70, 40), (TControlBounds{10, 20, 70, 40}));
  EXPECT_EQ(ResizeBy(b, R::scrTop, 99, -5), (TControlBounds{10, 15, 50, 35}));
  EXPECT_EQ(ResizeBy(b, R::scrRightTop, 60, 2), (TControlBounds{10, 22, 60, 28}));
  // Steps that would leave no width or height change nothing.
  EXPECT_EQ(ResizeBy(b, R::scrLeft, 50, 0), b);
  EXPECT_EQ(ResizeBy(b, R::scrRight, 0, 0), b);
  EXPECT_EQ(ResizeBy(b, R::scrBottom, 0, -3), b);
  EXPECT_EQ(ResizeBy(b, R::scrLeftBottom, 10, 0), b);  // a corner needs both directions to fit
}

TEST(DesignGeometry, SnapTruncatesTowardZero) {
  EXPECT_EQ(SnapDown(27, 10), 20);
  EXPECT_EQ(SnapDown(13, 5), 10);
  EXPECT_EQ(SnapDown(-7, 5), -5);
  EXPECT_EQ(SnapDown(13, 0), 13);
}

std::vector<TControlBounds> Align(std::vector<TControlBounds> bounds, TAlignCommand command) {
  std::vector<TAlignItem> items;
  for (const TControlBounds& b : bounds) items.push_back({b, 200, 100});
  return AlignBounds(items, command);
}

TEST(DesignGeometry, AlignmentArithmetic) {
  using A = TAlignCommand;
  // Right edges 50, 80 and 120 all become 120.
  const auto right = Align({{0, 0, 50, 10}, {40, 20, 40, 10}, {100, 40, 20, 10}}, A::RightEdges);
  for (const TControlBounds& b : right) EXPECT_EQ(b.Right(), 120);
  // Lefts 0, 10, 90: the middle one moves to 0 + (90 - 0) / 3; the ends stay.
  const auto spaced = Align({{0, 0, 5, 5}, {10, 0, 5, 5}, {90, 0, 5, 5}}, A::SpaceEquallyX);
  EXPECT_EQ(spaced[0].Left, 0);
  EXPECT_EQ(spaced[1].Left, 30);
  EXPECT_EQ(spaced[2].Left, 90);
  const auto spacedY = Align({{0, 0, 5, 5}, {0, 70, 5, 5}, {0, 50, 5, 5}, {0, 100, 5, 5}}, A::SpaceEquallyY);
  EXPECT_EQ(spacedY[1].Top, 25);
  EXPECT_EQ(spacedY[2].Top, 50);
  const auto centred = Align({{10, 10, 51, 20}}, A::CenterInWindowX);
  EXPECT_EQ(centred[0].Left, (200 - 51) / 2);
  const auto middles = Align({{10, 10, 20, 10}, {50, 40, 30, 21}}, A::VerticalCenters);
  EXPECT_EQ(middles[0].Top, (61 + 10 - 10) / 2);
  EXPECT_EQ(middles[1].Top, (61 + 10 - 21) / 2);
  const auto bottoms = Align({{0, 5, 5, 10}, {0, 30, 5, 20}}, A::Bottoms);
  EXPECT_EQ(bottoms[0].Bottom(), 50);
  EXPECT_EQ(bottoms[1].Bottom(), 50);
  EXPECT_TRUE(Align({}, A::LeftEdges).empty());
}

}  // namespace
}  // namespace zd
