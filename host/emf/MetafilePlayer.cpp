#include "host/emf/detail/MetafilePlayer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <cmath>

#include "host/graphics/Bitmap.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {
QColor qc(TColor c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QPen toPen(const TEmfPen& p) {
  const uint32_t style = p.Style & 0x0F;
  if (style == 5) return QPen(Qt::NoPen);
  QPen pen(qc(p.Color));
  pen.setWidthF(std::clamp(p.Width, 1, 1000));
  pen.setStyle(style == 1 ? Qt::DashLine : style == 2 ? Qt::DotLine : style == 3 ? Qt::DashDotLine
                                                       : style == 4 ? Qt::DashDotDotLine : Qt::SolidLine);
  return pen;
}
QBrush toBrush(const TEmfBrush& b) {
  if (b.Style == 1) return QBrush(Qt::NoBrush);
  if (b.Style == 2) {
    static const Qt::BrushStyle h[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                       Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(qc(b.Color), b.Hatch < 6 ? h[b.Hatch] : Qt::SolidPattern);
  }
  return QBrush(qc(b.Color));
}
QRectF box(const TRect& r) {  // GDI boxes exclude right and bottom
  return QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1.0, r.Height() - 1.0);
}
bool sane(const TRect& r) {
  constexpr int lim = 1 << 24;
  return r.Left > -lim && r.Left < lim && r.Right > -lim && r.Right < lim &&
         r.Top > -lim && r.Top < lim && r.Bottom > -lim && r.Bottom < lim;
}
bool sane(int v) { return v > -(1 << 24) && v < (1 << 24); }

// Scales beyond these come only from headers that lie about their sizes;
// Qt cannot draw glyphs under them.
constexpr double kMinScale = 1e-4, kMaxScale = 1e4;
// Text taller than this on the target device is not drawn.
constexpr double kMaxGlyphPixels = 4096;
// Qt's raster engine renders glyphs through FreeType's cache whenever their
// area is small, even when one axis of a stretched or skewed transform makes
// them thousands of pixels long, and FreeType fails on those (Qt then reads a
// null bitmap). Past this length glyphs are filled as outlines instead.
constexpr double kMaxCachedGlyphPixels = 256;

// The largest factor by which the transform lengthens any direction.
double longestStretch(const QTransform& t) {
  const double a = t.m11(), b = t.m12(), c = t.m21(), d = t.m22();
  const double sum = a * a + b * b + c * c + d * d, det = a * d - b * c;
  return std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2);
}
}  // namespace

void PlayMetafile(const TMetafile& meta, QPainter& p, const QRectF& target) {
  const auto& b = meta.Bytes();
  if (b.empty()) return;
  // Frame in hundredths of a millimetre, converted with the reference device.
  auto hdr = [&](size_t at) { return int32_t(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24)); };
  if (b.size() < 88) throw EMetafileError("metafile too short for a header");
  double devW = hdr(72), devH = hdr(76), mmW = hdr(80), mmH = hdr(84);
  double pxPerMmX = (devW > 0 && mmW > 0) ? devW / mmW : 96 / 25.4;
  double pxPerMmY = (devH > 0 && mmH > 0) ? devH / mmH : 96 / 25.4;
  // No reference device has fewer than 13 or more than 5000 dots an inch.
  if (!(pxPerMmX >= 0.5 && pxPerMmX <= 200 && pxPerMmY >= 0.5 && pxPerMmY <= 200))
    throw EMetafileError("metafile header declares a reference device out of proportion to its pixels");
  QRectF frame(hdr(24) * pxPerMmX / 100.0, hdr(28) * pxPerMmY / 100.0,
               (double(hdr(32)) - hdr(24)) * pxPerMmX / 100.0, (double(hdr(36)) - hdr(28)) * pxPerMmY / 100.0);
  if (frame.width() <= 0 || frame.height() <= 0) return;
  const double sx = target.width() / frame.width(), sy = target.height() / frame.height();
  if (!(sx >= kMinScale && sx <= kMaxScale && sy >= kMinScale && sy <= kMaxScale))
    throw EMetafileError("metafile header declares a frame out of proportion to the picture");

  // Restores the painter even when a malformed record throws mid-way.
  struct Guard {
    QPainter& p;
    int depth = 0;
    ~Guard() { while (depth-- > 0) p.restore(); p.restore(); }
  } guard{p};
  int& depth = guard.depth;
  p.save();
  p.setClipRect(target, Qt::IntersectClip);
  p.translate(target.left(), target.top());
  p.scale(target.width() / frame.width(), target.height() / frame.height());
  p.translate(-frame.left(), -frame.top());

  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState& before) {
    TEmfState s = before;
    ApplyEmfRecord(s, r);
    p.setPen(toPen(s.Pen));
    p.setBrush(toBrush(s.Brush));
    switch (r.Type) {
      case EMR_LINETO: {
        const TPoint to{r.I32(8), r.I32(12)};
        if (sane(to.X) && sane(to.Y) && sane(before.Position.X) && sane(before.Position.Y))
          p.drawLine(QPointF(before.Position.X + 0.5, before.Position.Y + 0.5), QPointF(to.X + 0.5, to.Y + 0.5));
        break;
      }
      case EMR_RECTANGLE: { TRect x = r.RectAt(8); if (sane(x)) p.drawRect(box(x)); break; }
      case EMR_ELLIPSE: { TRect x = r.RectAt(8); if (sane(x)) p.drawEllipse(box(x)); break; }
      case EMR_ROUNDRECT: {
        TRect x = r.RectAt(8);
        int cw = r.I32(24), ch = r.I32(28);
        if (sane(x) && sane(cw) && sane(ch)) p.drawRoundedRect(box(x), cw / 2.0, ch / 2.0);
        break;
      }
      case EMR_INTERSECTCLIPRECT: {
        TRect x = r.RectAt(8);
        if (sane(x)) p.setClipRect(QRectF(x.Left, x.Top, x.Width(), x.Height()), Qt::IntersectClip);
        break;
      }
      case EMR_SAVEDC: if (depth < 1024) { p.save(); ++depth; } break;
      case EMR_RESTOREDC: if (depth > 0 && r.I32(8) < 0) {
          for (int32_t i = r.I32(8); i < 0 && depth > 0; ++i) { p.restore(); --depth; }
        }
        break;
      case EMR_EXTTEXTOUTW: case EMR_EXTTEXTOUTA: case EMR_SMALLTEXTOUT: {
        auto t = ReadEmfText(r);
        if (!t || t->Text.empty() || !sane(t->Reference.X) || !sane(t->Reference.Y)) break;
        TFont f = s.Font.ToFont(s.TextColor);
        if (f.Name.empty()) f.Name = "Arial";
        if (f.Size <= 0 || f.Size > 2000) f.Size = std::clamp(f.Size, 1, 2000);
        QFont qf = ToQFont(f);
        if (qf.pixelSize() * std::max(std::abs(p.worldTransform().m11()), std::abs(p.worldTransform().m22())) >
            kMaxGlyphPixels)
          break;
        QFontMetricsF fm(qf);
        const QString text = QString::fromStdString(t->Text);
        const double w = fm.horizontalAdvance(text), asc = fm.ascent(), h = fm.ascent() + fm.descent();
        p.save();
        if (r.Type != EMR_SMALLTEXTOUT && (t->Options & 4)) {
          TRect c = r.RectAt(56);
          if (sane(c)) p.setClipRect(QRectF(c.Left, c.Top, c.Width(), c.Height()), Qt::IntersectClip);
        }
        p.translate(t->Reference.X, t->Reference.Y);
        if (s.Font.Escapement) p.rotate(-double(s.Font.Escapement) / 10.0);
        const uint32_t ha = s.TextAlign & 6, va = s.TextAlign & 24;
        double dx = ha == 6 ? -w / 2 : ha == 2 ? -w : 0;
        double dy = va == 24 ? 0 : va == 8 ? asc - h : asc;
        if (s.BkMode == 2) p.fillRect(QRectF(dx, dy - asc, w, h), qc(s.BkColor));
        if (p.paintEngine()->type() == QPaintEngine::Raster &&
            qf.pixelSize() * longestStretch(p.worldTransform()) > kMaxCachedGlyphPixels) {
          QPainterPath outline;
          outline.addText(QPointF(dx, dy), qf, text);
          p.setRenderHint(QPainter::Antialiasing);  // as glyphs are
          p.fillPath(outline, qc(s.TextColor));
        } else {
          p.setFont(qf);
          p.setPen(qc(s.TextColor));
          p.drawText(QPointF(dx, dy), text);
        }
        p.restore();
        break;
      }
      case EMR_STRETCHDIBITS: {
        const TRect bounds = r.RectAt(8);
        const int xd = r.I32(24), yd = r.I32(28), cxd = r.I32(72), cyd = r.I32(76);
        const uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
        if (offBmi > r.Size || cbBmi > r.Size - offBmi || offBits > r.Size || cbBits > r.Size - offBits)
          throw AtOffset(EMetafileError("bitmap record data lies outside the record"), r.Offset);
        (void)bounds;
        if (!cbBmi || !sane(xd) || !sane(yd) || !sane(cxd) || !sane(cyd)) break;
        TBitmap bmp = TBitmap::FromDib(r.Data + offBmi, cbBmi, r.Data + offBits, cbBits);
        const int xs = r.I32(32), ys = r.I32(36), cxs = r.I32(40), cys = r.I32(44);
        QRectF src(xs, ys, cxs, cys);
        p.drawImage(QRectF(xd, yd, cxd, cyd), ToQImage(bmp), src);
        break;
      }
      default: break;
    }
    return true;
  });
}

void PlayMetafileOnBitmap(const TMetafile& meta, TBitmap& target, const TRect& where) {
  QPainter painter(&ToQImage(target));
  PlayMetafile(meta, painter, QRectF(where.Left, where.Top, where.Width(), where.Height()));
}

TBitmap RasterizeMetafile(const std::vector<uint8_t>& metafile, int width, int height) {
  constexpr int kMaxSide = 4096;
  width = std::clamp(width, 1, kMaxSide);
  height = std::clamp(height, 1, kMaxSide);
  TMetafile meta;
  meta.LoadFromBytes(metafile);
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PlayMetafile(meta, painter, QRectF(0, 0, width, height));
  painter.end();
  return FromQImage(image);
}

}  // namespace zd
