// Frames checked through the records they leave in a metafile and through
// the pixels those records play into.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <set>

#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/QtGraphics.h"
#include "print/Frame.h"
#include "print/ZdPrntr.h"
#include "tests/Fixtures.h"

namespace zd {
namespace {

struct Blit {
  int x, y, w, h;
  bool operator<(const Blit& o) const { return std::tie(x, y, w, h) < std::tie(o.x, o.y, o.w, o.h); }
  bool operator==(const Blit&) const = default;
};

// Records the frame drawn over rect on a metafile.
TMetafile Draw(const TZdqFrame& frame, const TRect& rect) {
  TMetafile meta;
  meta.SetWidth(200);
  meta.SetHeight(200);
  TMetafileCanvas canvas(meta);
  frame.DrawFrame(canvas, rect);
  canvas.Close();
  return meta;
}

std::vector<Blit> Blits(const TMetafile& meta) {
  std::vector<Blit> blits;
  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState&) {
    if (r.Type == EMR_STRETCHDIBITS) blits.push_back({r.I32(24), r.I32(28), r.I32(72), r.I32(76)});
    return true;
  });
  return blits;
}

int Count(const TMetafile& meta, uint32_t type) {
  int n = 0;
  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState&) {
    n += r.Type == type;
    return true;
  });
  return n;
}

TPicture Square(int w, int h, TColor color = clBlue) {
  TPicture p;
  p.SetBitmap(TBitmap(w, h, color));
  return p;
}

class FrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::ensureGuiApp();
  }
  TZdqFrame frame;
};

TEST_F(FrameTest, FrameTypeIsTheSetViewOfTheSides) {
  EXPECT_FALSE(frame.AnyFrame());

  int repaints = 0;
  frame.SetParent([&] { ++repaints; });
  frame.SetFrameType(ftTop | ftRight);
  EXPECT_TRUE(frame.DrawTop());
  EXPECT_TRUE(frame.DrawRight());
  EXPECT_FALSE(frame.DrawBottom());
  EXPECT_FALSE(frame.DrawLeft());
  EXPECT_EQ(frame.FrameType(), TZdFrameTypes(ftTop | ftRight));
  EXPECT_TRUE(frame.AnyFrame());
  frame.SetDrawBottom(true);
  frame.SetWidth(3);
  EXPECT_EQ(frame.FrameType(), TZdFrameTypes(ftTop | ftRight | ftBottom));
  EXPECT_EQ(repaints, 3);
}

TEST_F(FrameTest, AssignCopiesEverythingButTheParent) {
  int sourceRepaints = 0, targetRepaints = 0;
  TZdqFrame source;
  source.SetParent([&] { ++sourceRepaints; });
  source.SetFrameType(ftLeft | ftBottom);
  source.SetColor(clRed);
  source.SetStyle(TPenStyle::psDot);
  source.SetWidth(4);
  source.SetBackColor(clYellow);
  source.SetPicture(Square(5, 6));
  source.SetPicType(TZdPicType::btCorners);
  frame.SetParent([&] { ++targetRepaints; });
  frame.Assign(source);
  EXPECT_EQ(frame.FrameType(), source.FrameType());
  EXPECT_EQ(frame.Color(), clRed);
  EXPECT_EQ(frame.Style(), TPenStyle::psDot);
  EXPECT_EQ(frame.Width(), 4);
  EXPECT_EQ(frame.BackColor(), clYellow);
  EXPECT_EQ(frame.Picture().Width(), 5);
  EXPECT_EQ(frame.PicType(), TZdPicType::btCorners);
  EXPECT_EQ(targetRepaints, 1);
  const int before = sourceRepaints;
  frame.SetWidth(1);
  EXPECT_EQ(sourceRepaints, before);
  EXPECT_THROW(frame.Assign(TZdqPageMargins()), EConvertError);
}

TEST_F(FrameTest, FrameWidthCountsThePictureOnlyWhenItFormsTheFrame) {
  frame.SetWidth(2);
  frame.SetPicture(Square(30, 20));
  frame.SetPicType(TZdPicType::btTile);
  EXPECT_EQ(frame.GetFrameWidth(), 2);
  frame.SetPicType(TZdPicType::btTileAsFrame);
  EXPECT_EQ(frame.GetFrameWidth(), 32);
  frame.SetPicType(TZdPicType::btCorners);
  EXPECT_EQ(frame.GetFrameWidth(), 32);
}

TEST_F(FrameTest, WhiteBackgroundPaintsNothingOverAColouredArea) {
  const TRect rect{10, 10, 60, 40};
  EXPECT_EQ(Count(Draw(frame, rect), EMR_RECTANGLE), 0);

  QImage image(100, 100, QImage::Format_RGB32);
  image.fill(Qt::red);
  {
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    frame.DrawFrame(canvas, rect);
  }
  EXPECT_EQ(image.pixelColor(30, 20), QColor(Qt::red));

  frame.SetBackColor(clLime);
  TMetafile coloured = Draw(frame, rect);
  EXPECT_EQ(Count(coloured, EMR_RECTANGLE), 1);
  QImage played(200, 200, QImage::Format_RGB32);
  played.fill(Qt::red);
  {
    QPainter painter(&played);
    PlayMetafile(coloured, painter, QRectF(0, 0, 200, 200));
  }
  EXPECT_EQ(played.pixelColor(30, 20), QColor(0, 255, 0));
  EXPECT_EQ(played.pixelColor(80, 20), QColor(Qt::red));
}

TEST_F(FrameTest, SidesAreDrawnTopBottomLeftRightWithTheFramePenLeavingTheBrush) {
  frame.SetFrameType(ftTop | ftBottom | ftLeft | ftRight);
  frame.SetWidth(3);
  frame.SetColor(clRed);
  std::vector<std::pair<TPoint, TPoint>> lines;
  std::vector<TEmfPen> pens;
  EnumerateMetafile(Draw(frame, {10, 20, 110, 70}), [&](const TEmfRecord& r, const TEmfState& s) {
    if (r.Type == EMR_LINETO) {
      lines.push_back({s.Position, {r.I32(8), r.I32(12)}});
      pens.push_back(s.Pen);
    }
    return true;
  });
  const std::vector<std::pair<TPoint, TPoint>> expected{
      {{10, 20}, {110, 20}}, {{10, 70}, {110, 70}}, {{10, 20}, {10, 70}}, {{110, 20}, {110, 70}}};
  EXPECT_EQ(lines, expected);
  for (const TEmfPen& pen : pens) {
    EXPECT_EQ(pen.Width, 3);
    EXPECT_EQ(pen.Color, clRed);
  }

  // Drawing leaves the brush colour as it was, and a clear brush.
  TMetafile meta;
  TMetafileCanvas canvas(meta);
  canvas.Brush.Color = clSilver;
  frame.SetBackColor(clBlue);
  frame.DrawFrame(canvas, {0, 0, 10, 10});
  EXPECT_EQ(canvas.Brush.Color, clSilver);
  EXPECT_EQ(canvas.Brush.Style, TBrushStyle::bsClear);
}

TEST_F(FrameTest, TilesCoverTheRectangleAndAreClippedToIt) {
  frame.SetPicture(Square(30, 30));
  frame.SetPicType(TZdPicType::btTile);
  // 100/30 rounds to 3: four columns, the last cut to 10; 45/30 rounds to 2,
  // so a third row would start at 60 and falls outside.
  const std::vector<Blit> blits = Blits(Draw(frame, {5, 7, 105, 52}));
  const std::set<Blit> got(blits.begin(), blits.end());
  std::set<Blit> expected;
  for (int x : {0, 30, 60, 90})
    for (int y : {0, 30}) expected.insert({5 + x, 7 + y, x == 90 ? 10 : 30, y == 30 ? 15 : 30});
  EXPECT_EQ(got, expected);
  EXPECT_EQ(blits.size(), expected.size());
}

TEST_F(FrameTest, ClippedTilesShowThePicturesTopLeftPart) {
  TBitmap bmp(30, 30, clBlue);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 10; ++x) bmp.SetPixel(x, y, clRed);  // left third red
  TPicture pic;
  pic.SetBitmap(bmp);
  frame.SetPicture(pic);
  frame.SetPicType(TZdPicType::btTile);
  TMetafile meta = Draw(frame, {0, 0, 100, 30});
  QImage image(200, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PlayMetafile(meta, painter, QRectF(0, 0, 200, 200));
  }
  EXPECT_EQ(image.pixelColor(95, 15), QColor(255, 0, 0));   // clipped tile: its left part
  EXPECT_EQ(image.pixelColor(105, 15), QColor(Qt::white));  // nothing past the rectangle
  EXPECT_EQ(image.pixelColor(75, 15), QColor(0, 0, 255));
}

TEST_F(FrameTest, TileAsFrameSkipsTheSidesOfAFlatRectangle) {
  frame.SetPicture(Square(30, 30));
  frame.SetPicType(TZdPicType::btTileAsFrame);
  // Height 10 < 30/2: only the top and bottom rows, both cut to 10 high.
  const std::vector<Blit> flat = Blits(Draw(frame, {0, 0, 100, 10}));
  EXPECT_EQ(flat.size(), 8u);
  for (const Blit& b : flat) {
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.h, 10);
  }
  // Height 70: round(70/30) = 2 rows of side tiles at 30 and 60.
  const std::vector<Blit> tall = Blits(Draw(frame, {0, 0, 100, 70}));
  const std::set<Blit> sides{{0, 30, 30, 30}, {70, 30, 30, 30}, {0, 60, 30, 10}, {70, 60, 30, 10}};
  std::set<Blit> got(tall.begin() + 8, tall.end());
  EXPECT_EQ(got, sides);
  EXPECT_EQ(tall.size(), 12u);
}

TEST_F(FrameTest, CentreStretchAndCornersPlaceThePicture) {
  frame.SetPicture(Square(30, 20));
  const TRect rect{10, 10, 111, 60};
  frame.SetPicType(TZdPicType::btCenter);
  EXPECT_EQ(Blits(Draw(frame, rect)), (std::vector<Blit>{{45, 25, 30, 20}}));
  frame.SetPicType(TZdPicType::btStretch);
  EXPECT_EQ(Blits(Draw(frame, rect)), (std::vector<Blit>{{10, 10, 101, 50}}));
  frame.SetPicType(TZdPicType::btCorners);
  EXPECT_EQ(Blits(Draw(frame, rect)),
            (std::vector<Blit>{{10, 10, 30, 20}, {81, 10, 30, 20}, {10, 40, 30, 20}, {81, 40, 30, 20}}));
  frame.SetPicture(TPicture());  // an empty picture draws nothing
  frame.SetPicType(TZdPicType::btTile);
  EXPECT_TRUE(Blits(Draw(frame, rect)).empty());
}

}  // namespace
}  // namespace zd
