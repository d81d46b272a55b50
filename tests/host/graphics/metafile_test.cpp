#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <filesystem>

#include "host/emf/Metafile.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

using namespace zd;

namespace {
uint32_t rd32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
void wr32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

TMetafile sample() {
  TMetafile m;
  m.SetWidth(200);
  m.SetHeight(100);
  TMetafileCanvas c(m, "ZdReport", "Page 1");
  c.Brush.Color = clRed;
  c.Pen.Style = TPenStyle::psClear;
  c.Rectangle(10, 10, 60, 40);
  c.Pen = TPen{clBlue, 2, TPenStyle::psDash};
  c.MoveTo(0, 90);
  c.LineTo(150, 90);
  c.Font.Name = "Times New Roman";
  c.Font.Size = 12;
  c.Font.Style.Set(fsBold);
  c.Font.Color = clGreen;
  c.TextOut(70, 20, "Grüße");
  c.Font.Style = {};
  c.Font.Size = 8;
  c.SetTextAlign(TA_RIGHT | TA_TOP);
  c.TextOut(190, 60, "Total");
  TBitmap bmp(2, 2, clYellow);
  c.StretchDraw(TRect{100, 50, 120, 70}, bmp);
  c.Close();
  return m;
}
}  // namespace

TEST(Metafile, HeaderDescribesTheRecording) {
  test::ensureGuiApp();
  TMetafile m = sample();
  const auto& b = m.Bytes();
  ASSERT_GE(b.size(), 108u);
  EXPECT_EQ(rd32(b, 0), EMR_HEADER);
  EXPECT_EQ(rd32(b, 48), b.size());
  EXPECT_EQ(m.Creator(), "ZdReport");
  EXPECT_EQ(m.Title(), "Page 1");
  EXPECT_EQ(m.Width(), 200);
  // Frame 200 px = 5291 hundredths of a mm (inclusive right edge).
  EXPECT_EQ(int32_t(rd32(b, 32)), 200 * 2540 / 96 - 1);
  TRect bounds = m.Bounds();
  EXPECT_EQ(bounds.Left, 0);
  EXPECT_EQ(bounds.Top, 10);
  EXPECT_GE(bounds.Right, 189);
  EXPECT_GE(bounds.Bottom, 91);

  uint32_t count = 0, maxHandle = 0;
  EnumerateMetafile(m, [&](const TEmfRecord& r, const TEmfState&) {
    ++count;
    if (r.Type == EMR_SELECTOBJECT) maxHandle = std::max(maxHandle, r.U32(8));
    return true;
  });
  EXPECT_EQ(count, m.RecordCount());
  EXPECT_GT(m.HandleCount(), maxHandle);
}

TEST(Metafile, SaveLoadEnumerateRoundTrip) {
  test::ensureGuiApp();
  TMetafile m = sample();
  auto path = zd::test::UniqueTempPath("zd_metafile_roundtrip.emf");
  m.SaveToFile(path.string());
  TMetafile l;
  l.LoadFromFile(path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(l.Bytes(), m.Bytes());
  EXPECT_EQ(l.Width(), 200);
  EXPECT_EQ(l.Height(), 100);

  struct Seen { std::string text; TEmfState state; TEmfText t; };
  std::vector<Seen> texts;
  std::vector<TRect> rects;
  std::vector<std::pair<TPoint, TPoint>> lines;
  int bitmaps = 0;
  EnumerateMetafile(l, [&](const TEmfRecord& r, const TEmfState& s) {
    if (auto t = ReadEmfText(r)) {
      TEmfState after = s;
      ApplyEmfRecord(after, r);
      texts.push_back({t->Text, after, *t});
    }
    if (r.Type == EMR_RECTANGLE) rects.push_back(r.RectAt(8));
    if (r.Type == EMR_LINETO) {
      lines.push_back({s.Position, TPoint{r.I32(8), r.I32(12)}});
      EXPECT_EQ(s.Pen.Color, clBlue);
      EXPECT_EQ(s.Pen.Style, 1u);
      EXPECT_EQ(s.Pen.Width, 2);
    }
    if (r.Type == EMR_STRETCHDIBITS) ++bitmaps;
    return true;
  });
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Grüße");
  const TFont f0 = texts[0].state.Font.ToFont(texts[0].state.TextColor);
  EXPECT_EQ(f0.Name, "Times New Roman");
  EXPECT_EQ(f0.Size, 12);
  EXPECT_TRUE(f0.Style.Has(fsBold));
  EXPECT_EQ(f0.Color, clGreen);
  EXPECT_EQ(texts[0].t.Reference, (TPoint{70, 20}));
  EXPECT_EQ(texts[0].t.Bounds.Left, 70);
  EXPECT_EQ(texts[0].t.Bounds.Top, 20);
  TFont tf; tf.Name = "Times New Roman"; tf.Size = 12; tf.Style.Set(fsBold);
  EXPECT_EQ(texts[0].t.Bounds.Right, 70 + MeasureText(tf, "Grüße").Width - 1);
  ASSERT_EQ(texts[0].t.Dx.size(), 5u);

  EXPECT_EQ(texts[1].text, "Total");
  EXPECT_EQ(texts[1].state.TextAlign, TA_RIGHT);
  EXPECT_FALSE(texts[1].state.Font.ToFont().Style.Has(fsBold));
  EXPECT_EQ(texts[1].state.Font.ToFont().Size, 8);
  EXPECT_EQ(texts[1].t.Bounds.Right, 189);  // right-aligned at 190, inclusive

  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0], (TRect{10, 10, 60, 40}));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].first, (TPoint{0, 90}));
  EXPECT_EQ(lines[0].second, (TPoint{150, 90}));
  EXPECT_EQ(bitmaps, 1);
}

TEST(Metafile, PlaybackDrawsInPlaceAndScales) {
  test::ensureGuiApp();
  const TMetafile m = sample();
  const auto played = [&](int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PlayMetafile(m, p, QRectF(0, 0, w, h));
    return image;
  };
  const QImage img = played(200, 100);
  EXPECT_EQ(QColor(img.pixel(30, 25)), QColor(Qt::red));
  EXPECT_EQ(QColor(img.pixel(5, 5)), QColor(Qt::white));
  EXPECT_EQ(QColor(img.pixel(110, 60)), QColor(Qt::yellow));
  bool green = false;  // some text pixel of the green caption
  for (int y = 20; y < 40; ++y)
    for (int x = 70; x < 120; ++x)
      if (QColor(img.pixel(x, y)).green() > 60 && QColor(img.pixel(x, y)).red() < 60) green = true;
  EXPECT_TRUE(green);

  // Twice the size: the red box moves to (20..120, 20..80).
  const QImage big = played(400, 200);
  EXPECT_EQ(QColor(big.pixel(100, 70)), QColor(Qt::red));
  EXPECT_EQ(QColor(big.pixel(130, 50)), QColor(Qt::white));
}

// The error the call throws, to check the place it names.
template <class Call>
EMetafileError errorOf(Call call) {
  try {
    call();
  } catch (const EMetafileError& e) {
    return e;
  }
  ADD_FAILURE() << "no error";
  return EMetafileError("");
}

TEST(Metafile, MalformedInputThrowsNamingWhereItIsWrong) {
  test::ensureGuiApp();
  const std::vector<uint8_t> good = sample().Bytes();
  TMetafile m;
  EXPECT_THROW(m.LoadFromBytes(std::vector<uint8_t>(good.begin(), good.begin() + 50)), EMetafileError);
  EXPECT_THROW(m.LoadFromBytes(std::vector<uint8_t>(good.begin(), good.end() - 4)), EMetafileError);

  auto bad = good;
  wr32(bad, 40, 0x12345678);  // signature
  EXPECT_THROW(m.LoadFromBytes(bad), EMetafileError);

  bad = good;
  const size_t first = rd32(good, 4);
  wr32(bad, first + 4, 3);  // record size below minimum
  EXPECT_EQ(errorOf([&] { m.LoadFromBytes(bad); }).Offset(), first);
  wr32(bad, first + 4, 0x7FFFFFF0);  // record size past the end
  EXPECT_EQ(errorOf([&] { m.LoadFromBytes(bad); }).Offset(), first);

  bad = good;
  wr32(bad, 60, 0x40000000);  // description count far too large
  EXPECT_THROW(m.LoadFromBytes(bad), EMetafileError);

  // A text record claiming a huge character count fails on reading, not by allocation.
  bad = good;
  size_t pos = 0;
  while (pos < bad.size() && rd32(bad, pos) != EMR_EXTTEXTOUTW) pos += rd32(bad, pos + 4);
  ASSERT_LT(pos, bad.size());
  wr32(bad, pos + 44, 0x3FFFFFFF);
  m.LoadFromBytes(bad);  // record framing is intact
  const EMetafileError textError = errorOf([&] {
    EnumerateMetafile(m, [](const TEmfRecord& r, const TEmfState&) {
      ReadEmfText(r);
      return true;
    });
  });
  EXPECT_EQ(textError.Offset(), pos);
  QImage img(50, 50, QImage::Format_RGB32);
  QPainter p(&img);
  EXPECT_THROW(PlayMetafile(m, p, QRectF(0, 0, 50, 50)), EMetafileError);

  EXPECT_EQ(errorOf([&] { m.LoadFromFile("/nonexistent/x.emf"); }).FileName(), "/nonexistent/x.emf");
  TMetafile empty;
  EXPECT_THROW(EnumerateMetafile(empty, nullptr), EMetafileError);
}

TEST(Metafile, CanvasRefusesDrawingAfterClose) {
  test::ensureGuiApp();
  TMetafile m;
  TMetafileCanvas c(m);
  c.Rectangle(0, 0, 10, 10);
  c.Close();
  EXPECT_THROW(c.Rectangle(0, 0, 5, 5), EMetafileError);
  EXPECT_EQ(m.Width(), 10);
  // Identical pens are not recreated: one CREATEPEN for two rectangles.
  TMetafile m2;
  {
    TMetafileCanvas c2(m2);
    c2.Rectangle(0, 0, 10, 10);
    c2.Rectangle(5, 5, 20, 20);
  }
  int pens = 0;
  EnumerateMetafile(m2, [&](const TEmfRecord& r, const TEmfState&) { pens += r.Type == EMR_CREATEPEN; return true; });
  EXPECT_EQ(pens, 1);
}

// A picture squeezed far out of proportion turns glyphs into long slivers;
// turned text there must still be drawn rather than fail in the glyph cache.
TEST(Metafile, TurnedTextInAStretchedPictureIsDrawn) {
  test::ensureGuiApp();
  TMetafile m;
  m.SetWidth(100);
  m.SetHeight(100);
  {
    TMetafileCanvas c(m, "ZdReport", "Turned");
    c.Font.Name = "WenQuanYi Zen Hei";
    c.Font.Size = 8;
    c.Font.Orientation = 300;
    c.TextOut(10, 50, "中文字WWW");
    c.Close();
  }
  // Qt reports a glyph FreeType failed to render as a warning, and draws nothing for it.
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { warnings << m; });
  const double sx = 300, sy = 0.1;
  QImage image(400, 400, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    // The turned line runs thousands of pixels to the right of its start.
    PlayMetafile(m, p, QRectF(-5000 - 10 * sx, 200 - 50 * sy, 100 * sx, 100 * sy));
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  int ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += QColor(image.pixel(x, y)) != QColor(Qt::white);
  EXPECT_GT(ink, 0);
}
