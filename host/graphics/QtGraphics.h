#pragma once
// Bridges to Qt for host code that paints (printing, preview, export).
#include <QFont>
#include <QImage>
#include <QPainter>

#include "host/graphics/Bitmap.h"
#include "host/graphics/Canvas.h"

namespace zd {

QFont ToQFont(const TFont& f);  // pixel size at 96 dpi, hinting off
inline QColor ToQColor(TColor c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
inline TColor FromQColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }
const QImage& ToQImage(const TBitmap& b);
QImage& ToQImage(TBitmap& b);
TBitmap FromQImage(const QImage& img);

// Canvas painting straight onto a QPainter in page units.
class TPainterCanvas : public TCanvas {
 public:
  explicit TPainterCanvas(QPainter& p) : p_(p) {}
  void MoveTo(int x, int y) override { pos_ = {x, y}; }
  void LineTo(int x, int y) override;
  void Rectangle(const TRect& r) override;
  void RoundRect(const TRect& r, int cornerW, int cornerH) override;
  void Ellipse(const TRect& r) override;
  void FillRect(const TRect& r) override;
  void StretchDraw(const TRect& r, const TBitmap& bmp) override;
  void TextOutClipped(int x, int y, const std::string& utf8, const TRect* clip) override;
  using TCanvas::Rectangle;
  using TCanvas::Ellipse;

 private:
  QPainter& p_;
  TPoint pos_{};
  void applyPen();
  void applyBrush();
};

}  // namespace zd
