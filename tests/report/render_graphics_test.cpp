// Shapes, images and rich text drawn onto a recorded page: the figures'
// boxes, the pictures' target rectangles and where the content comes from.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/data/MemoryDataSet.h"
#include "host/emf/Metafile.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {

constexpr int kPageWidth = 400, kPageHeight = 300;
constexpr uint32_t kNullBrush = 1;  // BS_NULL

struct TFigure {
  uint32_t type;
  TRect box;
  int corner = 0;
  uint32_t brushStyle = 0;
  TColor brushColor = clWhite;
};

struct TDrawnPage {
  int height = 0;
  TMetafile meta;
  std::vector<TFigure> figures;  // rectangles, rounded rectangles, ellipses
  std::vector<std::pair<TPoint, TPoint>> lines;
  std::vector<TRect> pictures;    // stretch-drawn destinations
  std::vector<std::string> texts;
};

TDrawnPage DrawOnPage(TZdqControl& control, TRect rect, uint32_t flags = 0) {
  TDrawnPage page;
  page.meta.SetWidth(kPageWidth);
  page.meta.SetHeight(kPageHeight);
  {
    TMetafileCanvas canvas(page.meta);
    page.height = control.Draw(canvas, rect, flags);
    canvas.Close();
  }
  TPoint from;
  EnumerateMetafile(page.meta, [&](const TEmfRecord& r, const TEmfState& s) {
    switch (r.Type) {
      case EMR_RECTANGLE:
        if (s.Pen.Style == 5) break;  // a fill: drawn with the null pen
        [[fallthrough]];
      case EMR_ELLIPSE:
        page.figures.push_back({r.Type, r.RectAt(8), 0, s.Brush.Style, s.Brush.Color});
        break;
      case EMR_ROUNDRECT:
        page.figures.push_back({r.Type, r.RectAt(8), r.I32(24), s.Brush.Style, s.Brush.Color});
        break;
      case EMR_MOVETOEX: from = {r.I32(8), r.I32(12)}; break;
      case EMR_LINETO: page.lines.push_back({from, {r.I32(8), r.I32(12)}}); break;
      case EMR_STRETCHDIBITS:
        page.pictures.push_back({r.I32(24), r.I32(28), r.I32(24) + r.I32(72), r.I32(28) + r.I32(76)});
        break;
      default:
        if (auto t = ReadEmfText(r)) page.texts.push_back(t->Text);
    }
    return true;
  });
  return page;
}

QImage Played(const TMetafile& meta) {
  QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PlayMetafile(meta, painter, QRectF(0, 0, kPageWidth, kPageHeight));
  painter.end();
  return image;
}

TPicture Filled(int w, int h, TColor color) {
  TPicture p;
  p.SetBitmap(TBitmap(w, h, color));
  return p;
}

class RenderGraphics : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
  }

  TZdqBand& Detail() { return *report.GetBand(report.GetIndexBand(TBandType::btDetail)); }
  template <class T>
  T& Add(int width, int height) {
    auto* c = new T(&Detail());
    c->SetWidth(width);
    c->SetHeight(height);
    return *c;
  }
  static TRect Box(const TZdqControl& c) { return {10, 10, 10 + c.Width(), 10 + c.Height()}; }
  void RunMode() { report.ReportState = TZdReportState::rsPrepare; }

  TZdReport report;
};

// ---- shapes ----

TEST_F(RenderGraphics, ACircleTakesTheSmallerSideCentred) {
  TZdqEllipse& circle = Add<TZdqEllipse>(100, 40);
  circle.SetEllipseType(TEllipseType::etCircle);
  circle.Frame().SetWidth(0);
  TDrawnPage page = DrawOnPage(circle, Box(circle));
  ASSERT_EQ(page.figures.size(), 1u);
  EXPECT_EQ(page.figures[0].box, (TRect{40, 10, 80, 50}));

  // With a pen of 1 inside a frame of 1 the circle shrinks but stays centred.
  circle.Frame().SetWidth(1);
  page = DrawOnPage(circle, Box(circle));
  ASSERT_EQ(page.figures.size(), 1u);
  const TRect b = page.figures[0].box;
  EXPECT_EQ(b.Width(), b.Height());
  EXPECT_EQ(b.Width(), 38);
  EXPECT_EQ((b.Left + b.Right) / 2, 60);

  circle.SetEllipseType(TEllipseType::etEllipse);
  page = DrawOnPage(circle, Box(circle));
  ASSERT_EQ(page.figures.size(), 1u);
  EXPECT_EQ(page.figures[0].box, (TRect{11, 11, 109, 49}));
}

TEST_F(RenderGraphics, RectanglesDoubleRoundedAndStretched) {
  TZdqRectangle& rect = Add<TZdqRectangle>(100, 60);
  rect.Frame().SetWidth(2);
  rect.SetLineStyle(TLineStyle::lsDouble);
  const TDrawnPage page = DrawOnPage(rect, Box(rect));
  ASSERT_EQ(page.figures.size(), 2u);
  const TRect outer = page.figures[0].box, inner = page.figures[1].box;
  EXPECT_EQ(outer, (TRect{13, 13, 108, 68}));
  EXPECT_EQ(inner, outer.Inflated(-4, -4));

  // Rounded squares use a quarter of the side for their corners.
  rect.Frame().SetWidth(0);
  rect.SetLineStyle(TLineStyle::lsSingle);
  rect.SetRectangleType(TRectangleType::rtRoundSquare);
  const TDrawnPage round = DrawOnPage(rect, Box(rect));
  ASSERT_EQ(round.figures.size(), 1u);
  EXPECT_EQ(round.figures[0].type, uint32_t(EMR_ROUNDRECT));
  EXPECT_EQ(round.figures[0].box, (TRect{30, 10, 90, 70}));
  EXPECT_EQ(round.figures[0].corner, 15);

  // Height stretching shapes follow the rectangle.
  rect.SetRectangleType(TRectangleType::rtRectangle);
  rect.SetHeight(20);
  const TRect tall{10, 10, 110, 90};
  EXPECT_EQ(DrawOnPage(rect, tall).figures.at(0).box.Bottom, 30);
  rect.SetStretch(TShapeStretch::ssHeight);
  EXPECT_EQ(DrawOnPage(rect, tall).figures.at(0).box.Bottom, 90);
}

TEST_F(RenderGraphics, ShapesFillOnlyWhenOpaqueAndDrawNothingWhenMeasured) {
  TZdqEllipse& ellipse = Add<TZdqEllipse>(60, 30);
  ellipse.SetBackColor(clRed);
  TDrawnPage page = DrawOnPage(ellipse, Box(ellipse));
  ASSERT_EQ(page.figures.size(), 1u);
  EXPECT_EQ(page.figures[0].brushStyle, kNullBrush);

  ellipse.SetTransparent(false);
  page = DrawOnPage(ellipse, Box(ellipse));
  ASSERT_EQ(page.figures.size(), 1u);
  EXPECT_NE(page.figures[0].brushStyle, kNullBrush);
  EXPECT_EQ(page.figures[0].brushColor, clRed);

  page = DrawOnPage(ellipse, Box(ellipse), kDrawMeasure);
  EXPECT_TRUE(page.figures.empty());
  EXPECT_EQ(page.height, 32);
}

TEST_F(RenderGraphics, LinesRunAcrossTheWholeRectangle) {
  TZdqLine& line = Add<TZdqLine>(100, 20);
  const TRect box = Box(line);  // 10,10 - 110,30
  const std::vector<std::pair<TLineType, std::pair<TPoint, TPoint>>> expected{
      {TLineType::ltTop, {{10, 10}, {110, 10}}},          {TLineType::ltBottom, {{10, 30}, {110, 30}}},
      {TLineType::ltLeft, {{10, 10}, {10, 30}}},          {TLineType::ltRight, {{110, 10}, {110, 30}}},
      {TLineType::ltLeftDiagonal, {{10, 10}, {110, 30}}}, {TLineType::ltRightDiagonal, {{10, 30}, {110, 10}}},
      {TLineType::ltHCenter, {{60, 10}, {60, 30}}},       {TLineType::ltVCenter, {{10, 20}, {110, 20}}},
  };
  for (const auto& [type, ends] : expected) {
    line.SetLineType(type);
    const TDrawnPage page = DrawOnPage(line, box);
    ASSERT_EQ(page.lines.size(), 1u) << int(type);
    EXPECT_EQ(page.lines[0], ends) << int(type);
  }

  line.SetLineType(TLineType::ltTop);
  line.SetLineStyle(TLineStyle::lsDouble);
  line.Frame().SetWidth(2);
  const TDrawnPage page = DrawOnPage(line, box);
  ASSERT_EQ(page.lines.size(), 2u);
  EXPECT_EQ(page.lines[1], (std::pair<TPoint, TPoint>{{14, 14}, {106, 14}}));
}

// ---- images ----

TEST_F(RenderGraphics, AspectRatioFitsThePictureAtTheTopOrCentred) {
  TZdqImage& image = Add<TZdqImage>(100, 100);
  image.Frame().SetWidth(0);
  image.SetImageKind(TZdqImageKind::ikPicture);
  image.SetPicture(Filled(200, 100, clBlue));
  image.SetAspectRatio(true);
  RunMode();
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{10, 10, 110, 60}}));
  image.SetCenter(true);
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{10, 35, 110, 85}}));

  image.SetPicture(Filled(100, 200, clBlue));
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{35, 10, 85, 110}}));

  // Without the ratio the picture fills the box.
  image.SetAspectRatio(false);
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{10, 10, 110, 110}}));
}

TEST_F(RenderGraphics, AMetafileWhoseHeaderIsOutOfProportionIsLeftOutWithAWarning) {
  TMetafile meta;
  meta.SetWidth(200);
  meta.SetHeight(100);
  {
    TMetafileCanvas canvas(meta);
    canvas.Font.Size = 12;
    canvas.TextOut(5, 5, "inside the picture");
    canvas.Close();
  }
  TZdqImage& image = Add<TZdqImage>(100, 50);
  image.SetImageKind(TZdqImageKind::ikPicture);
  TPicture picture;
  picture.LoadFromBytes(meta.Bytes());
  image.SetPicture(picture);
  RunMode();
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures.size(), 1u);
  EXPECT_TRUE(report.Warnings().empty());

  // A header claiming a 100-metre frame: played under an absurd scale, the
  // text made Qt crash.
  std::vector<uint8_t> lying = meta.Bytes();
  const uint32_t millimetres = 100000;
  std::memcpy(&lying[80], &millimetres, 4);
  picture.LoadFromBytes(lying);
  image.SetPicture(picture);
  EXPECT_TRUE(DrawOnPage(image, Box(image)).pictures.empty());
  ASSERT_EQ(report.Warnings().size(), 1u);
  EXPECT_NE(report.Warnings()[0].find("out of proportion"), std::string::npos) << report.Warnings()[0];
}

class RenderImageFiles : public RenderGraphics {
 protected:
  void SetUp() override {
    RenderGraphics::SetUp();
    dir = std::filesystem::temp_directory_path() /
          ("render_graphics_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    file = (dir / "small.png").string();
    TBitmap(30, 20, clGreen).SaveToFile(file, TImageFormat::Png);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::filesystem::path dir;
  std::string file;
};

TEST_F(RenderImageFiles, AFileImageKeepsItsSizeUnlessStretched) {
  TZdqImage& image = Add<TZdqImage>(100, 100);
  image.Frame().SetWidth(0);
  image.SetFileName(file);
  RunMode();
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{10, 10, 40, 30}}));
  image.SetStretch(true);
  EXPECT_EQ(DrawOnPage(image, Box(image)).pictures, (std::vector<TRect>{{10, 10, 110, 110}}));

  image.SetFileName((dir / "missing.png").string());
  TDrawnPage page;
  ASSERT_NO_THROW(page = DrawOnPage(image, Box(image)));
  EXPECT_TRUE(page.pictures.empty());
  EXPECT_TRUE(image.Picture().Empty());
}

TEST_F(RenderImageFiles, AFieldGivesThePictureOrItsFileName) {
  auto* photos = new TMemoryDataSet(&report);
  photos->SetName("Photos");
  photos->AddField("Photo", TFieldType::ftBlob);
  photos->AddField("Path", TFieldType::ftString, 200);
  const std::vector<uint8_t> png = TBitmap(8, 8, clRed).SaveToBytes(TImageFormat::Png);
  photos->AppendRecord({TVariant(std::string(png.begin(), png.end())), TVariant(file)});
  photos->Open();
  report.SetDataSet(photos);

  TZdqImage& image = Add<TZdqImage>(100, 100);
  image.Frame().SetWidth(0);
  image.SetImageKind(TZdqImageKind::ikField);
  image.SetExpression("Photos.Photo");
  RunMode();
  TDrawnPage page = DrawOnPage(image, Box(image));
  ASSERT_EQ(page.pictures.size(), 1u);
  EXPECT_EQ(Played(page.meta).pixel(60, 60) & 0xFFFFFF, 0xFF0000u);

  image.SetExpression("Photos.Path");
  page = DrawOnPage(image, Box(image));
  ASSERT_EQ(page.pictures.size(), 1u);
  EXPECT_EQ(Played(page.meta).pixel(60, 60) & 0xFFFFFF, 0x008000u);

  image.SetExpression("Photos.NoSuchField");
  EXPECT_ANY_THROW(DrawOnPage(image, Box(image)));
}

TEST_F(RenderGraphics, TheDesignerShowsAnImageByItsName) {
  TZdqImage& image = Add<TZdqImage>(100, 40);
  image.SetExpression("Photos.Photo");
  const TDrawnPage page = DrawOnPage(image, Box(image));
  EXPECT_EQ(page.texts, (std::vector<std::string>{image.DisplayName()}));
  EXPECT_TRUE(page.pictures.empty());
  EXPECT_EQ(page.figures.size(), 1u) << "the dashed outline";
}

// ---- rich text ----

TEST_F(RenderGraphics, RichTextFromAFieldStretchesToItsLinesAndWithoutContentIsQuiet) {
  // Without content: the designer shows the name, a missing file draws nothing.
  TZdRichText& empty = Add<TZdRichText>(200, 20);
  EXPECT_EQ(DrawOnPage(empty, Box(empty)).texts, (std::vector<std::string>{empty.DisplayName()}));
  empty.SetFileName("/nonexistent/notes.rtf");

  auto* notes = new TMemoryDataSet(&report);
  notes->SetName("Notes");
  notes->AddField("Body", TFieldType::ftMemo);
  notes->AppendRecord({TVariant(std::string("{\\rtf1 first\\par second\\par third}"))});
  notes->AppendRecord({TVariant(std::string("{\\rtf1 only}"))});
  notes->Open();
  report.SetDataSet(notes);

  TZdRichText& rich = Add<TZdRichText>(200, 20);
  rich.SetExpression("Notes.Body");
  RunMode();
  TDrawnPage missing;
  ASSERT_NO_THROW(missing = DrawOnPage(empty, Box(empty)));
  EXPECT_TRUE(missing.texts.empty());

  const TRect room{10, 10, 210, 290};
  const TDrawnPage three = DrawOnPage(rich, room);
  EXPECT_EQ(three.texts, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_EQ(DrawOnPage(rich, room, kDrawMeasure).height, three.height);
  notes->Next();
  const TDrawnPage one = DrawOnPage(rich, room);
  EXPECT_EQ(one.texts, (std::vector<std::string>{"only"}));
  EXPECT_GT(one.height, 2);
  // Three equal lines need three times the text height of one.
  EXPECT_EQ(three.height - 2, 3 * (one.height - 2));

  rich.SetStretch(false);
  EXPECT_EQ(DrawOnPage(rich, room).height, 22);
}

}  // namespace
