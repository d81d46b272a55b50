#include "preview/PreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zd {

namespace {

constexpr int kIconSize = 24;

// A sheet of paper with a folded corner, the base of several icons.
void DrawSheet(QPainter& p, const QRectF& r) {
  QPainterPath sheet;
  sheet.moveTo(r.left(), r.top());
  sheet.lineTo(r.right() - 5, r.top());
  sheet.lineTo(r.right(), r.top() + 5);
  sheet.lineTo(r.right(), r.bottom());
  sheet.lineTo(r.left(), r.bottom());
  sheet.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(sheet);
}

void DrawMagnifier(QPainter& p, const QPointF& centre, double radius) {
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(centre, radius, radius);
  p.setPen(QPen(QColor(60, 60, 60), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
}

void DrawTextLines(QPainter& p, const QRectF& r, int lines) {
  p.setPen(QPen(QColor(110, 110, 110), 1));
  for (int i = 0; i < lines; ++i) {
    const double y = r.top() + 4 + i * 3;
    if (y > r.bottom() - 2) break;
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
  }
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
}

QPixmap Draw(TToolIcon kind) {
  QPixmap pixmap(kIconSize * 2, kIconSize * 2);
  pixmap.setDevicePixelRatio(2);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  const QRectF page(6, 3, 12, 18);
  switch (kind) {
    case TToolIcon::Print:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 3, 10, 7));
      p.setBrush(QColor(150, 150, 160));
      p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 15, 10, 6));
      break;
    case TToolIcon::Find:
      DrawSheet(p, page);
      DrawTextLines(p, page, 5);
      DrawMagnifier(p, QPointF(13, 13), 4.5);
      break;
    case TToolIcon::OnePage:
      DrawSheet(p, page);
      DrawTextLines(p, page, 5);
      break;
    case TToolIcon::ZoomTo100:
      p.setFont(QFont(p.font().family(), 7, QFont::Bold));
      p.drawText(QRectF(0, 0, kIconSize, kIconSize), Qt::AlignCenter, "1:1");
      break;
    case TToolIcon::ZoomToWidth:
      DrawSheet(p, QRectF(4, 3, 16, 18));
      p.drawLine(QPointF(6, 12), QPointF(18, 12));
      p.drawLine(QPointF(6, 12), QPointF(9, 9));
      p.drawLine(QPointF(6, 12), QPointF(9, 15));
      p.drawLine(QPointF(18, 12), QPointF(15, 9));
      p.drawLine(QPointF(18, 12), QPointF(15, 15));
      break;
    case TToolIcon::ManyPages:
      DrawSheet(p, QRectF(2, 5, 9, 13));
      DrawSheet(p, QRectF(13, 5, 9, 13));
      break;
    case TToolIcon::Thumbnails:
      for (int i = 0; i < 3; ++i) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 2 + i * 7, 6, 5));
        DrawTextLines(p, QRectF(10, 0.5 + i * 7, 12, 5), 1);
      }
      break;
    case TToolIcon::Outlines:
      for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(60, 110, 200));
        p.drawRect(QRectF(3 + (i % 2) * 3, 3 + i * 5, 3, 3));
        p.drawLine(QPointF(9 + (i % 2) * 3, 4.5 + i * 5), QPointF(21, 4.5 + i * 5));
      }
      break;
    case TToolIcon::ZoomIn:
    case TToolIcon::ZoomOut:
      DrawMagnifier(p, QPointF(10, 10), 7);
      p.drawLine(QPointF(7, 10), QPointF(13, 10));
      if (kind == TToolIcon::ZoomIn) p.drawLine(QPointF(10, 7), QPointF(10, 13));
      break;
    case TToolIcon::Lens:
      DrawMagnifier(p, QPointF(10, 10), 7);
      p.setFont(QFont(p.font().family(), 6, QFont::Bold));
      p.drawText(QRectF(3, 3, 14, 14), Qt::AlignCenter, "A");
      break;
    case TToolIcon::Margins:
      DrawSheet(p, page);
      p.setPen(QPen(QColor(0, 128, 0), 1, Qt::DotLine));
      p.drawRect(page.adjusted(2.5, 2.5, -2.5, -2.5));
      break;
    case TToolIcon::Grid:
      DrawSheet(p, page);
      p.setPen(QPen(QColor(150, 150, 150), 1));
      for (double x = page.left() + 4; x < page.right(); x += 4) p.drawLine(QPointF(x, page.top()), QPointF(x, page.bottom()));
      for (double y = page.top() + 4; y < page.bottom(); y += 4) p.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
      break;
  }
  return pixmap;
}

}  // namespace

QIcon ToolIcon(TToolIcon kind) { return QIcon(Draw(kind)); }

QCursor ZoomCursor(bool zoomIn) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  DrawMagnifier(p, QPointF(12, 12), 8);
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(QPointF(8, 12), QPointF(16, 12));
  if (zoomIn) p.drawLine(QPointF(12, 8), QPointF(12, 16));
  return QCursor(pixmap, 12, 12);
}

QIcon OutlineIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(40, 70, 140));
  p.setBrush(QColor(90, 140, 230));
  p.drawPolygon(QPolygonF({QPointF(4, 3), QPointF(12, 8), QPointF(4, 13)}));
  return QIcon(pixmap);
}

}  // namespace zd
