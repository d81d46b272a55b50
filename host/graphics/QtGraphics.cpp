#include "host/graphics/QtGraphics.h"

#include <QFontMetricsF>

namespace zd {

namespace {
Qt::PenStyle qtPenStyle(TPenStyle s) {
  switch (s) {
    case TPenStyle::psDash: return Qt::DashLine;
    case TPenStyle::psDot: return Qt::DotLine;
    case TPenStyle::psDashDot: return Qt::DashDotLine;
    case TPenStyle::psDashDotDot: return Qt::DashDotDotLine;
    case TPenStyle::psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}
Qt::BrushStyle qtBrushStyle(TBrushStyle s) {
  switch (s) {
    case TBrushStyle::bsClear: return Qt::NoBrush;
    case TBrushStyle::bsHorizontal: return Qt::HorPattern;
    case TBrushStyle::bsVertical: return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal: return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal: return Qt::BDiagPattern;
    case TBrushStyle::bsCross: return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}
QRectF outline(const TRect& r) { return QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1); }
}  // namespace

void TPainterCanvas::applyPen() {
  QPen pen(ToQColor(Pen.Color));
  pen.setWidth(std::max(1, Pen.Width));
  pen.setStyle(qtPenStyle(Pen.Style));
  p_.setPen(pen);
}
void TPainterCanvas::applyBrush() { p_.setBrush(QBrush(ToQColor(Brush.Color), qtBrushStyle(Brush.Style))); }

void TPainterCanvas::LineTo(int x, int y) {
  applyPen();
  p_.drawLine(QPointF(pos_.X + 0.5, pos_.Y + 0.5), QPointF(x + 0.5, y + 0.5));
  pos_ = {x, y};
}
void TPainterCanvas::Rectangle(const TRect& r) { applyPen(); applyBrush(); p_.drawRect(outline(r)); }
void TPainterCanvas::RoundRect(const TRect& r, int cw, int ch) {
  applyPen(); applyBrush();
  p_.drawRoundedRect(outline(r), cw / 2.0, ch / 2.0);
}
void TPainterCanvas::Ellipse(const TRect& r) { applyPen(); applyBrush(); p_.drawEllipse(outline(r)); }
void TPainterCanvas::FillRect(const TRect& r) {
  if (Brush.Style == TBrushStyle::bsClear) return;
  p_.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), QBrush(ToQColor(Brush.Color), qtBrushStyle(Brush.Style)));
}
void TPainterCanvas::StretchDraw(const TRect& r, const TBitmap& bmp) {
  if (bmp.Empty()) return;
  p_.drawImage(QRectF(r.Left, r.Top, r.Width(), r.Height()), ToQImage(bmp));
}
void TPainterCanvas::TextOutClipped(int x, int y, const std::string& utf8, const TRect* clip) {
  p_.save();
  if (clip) p_.setClipRect(QRect(clip->Left, clip->Top, clip->Width(), clip->Height()), Qt::IntersectClip);
  QFont qf = ToQFont(Font);
  p_.setFont(qf);
  QFontMetricsF fm(qf);
  QString s = QString::fromStdString(utf8);
  const TSize ext = MeasureText(Font, utf8);
  const int ascent = FontAscent(Font);
  p_.translate(x, y);
  if (Font.Orientation) p_.rotate(-Font.Orientation / 10.0);
  double dx = 0, dy = ascent;
  const uint32_t h = textAlign_ & 6, v = textAlign_ & 24;
  if (h == TA_CENTER) dx = -ext.Width / 2.0;
  else if (h == TA_RIGHT) dx = -ext.Width;
  if (v == TA_BASELINE) dy = 0;
  else if (v == TA_BOTTOM) dy = ascent - ext.Height;
  if (bkMode_ == TBkMode::bmOpaque)
    p_.fillRect(QRectF(dx, dy - ascent, ext.Width, ext.Height), ToQColor(Brush.Color));
  p_.setPen(ToQColor(Font.Color));
  p_.drawText(QPointF(dx, dy), s);
  p_.restore();
}

}  // namespace zd
