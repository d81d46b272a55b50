#include "designer/DesignerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace zd {

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 40, 40);
const QColor kAccent(40, 90, 170);

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(kSize * 2, kSize * 2);
  pixmap.setDevicePixelRatio(2);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kInk, 1.2));
  draw(p);
  return QIcon(pixmap);
}

void Sheet(QPainter& p) {
  QPainterPath s;
  s.moveTo(6, 3);
  s.lineTo(14, 3);
  s.lineTo(18, 7);
  s.lineTo(18, 21);
  s.lineTo(6, 21);
  s.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(s);
}

void Letters(QPainter& p, const QString& text, int pointSize, const QColor& colour = kInk) {
  QFont f = p.font();
  f.setPointSize(pointSize);
  f.setBold(true);
  p.setFont(f);
  p.setPen(colour);
  p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void Arrow(QPainter& p, bool left) {
  QPainterPath a;
  const double x0 = left ? 18 : 6, x1 = left ? 6 : 18, tip = left ? 10 : 14;
  a.moveTo(x0, 16);
  a.quadTo(12, 4, x1, 12);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kAccent, 2));
  p.drawPath(a);
  p.drawLine(QPointF(x1, 12), QPointF(tip, 7));
  p.drawLine(QPointF(x1, 12), QPointF(tip + (left ? 2 : -2), 15));
}

}  // namespace

QIcon DesignIcon(TDesignIcon kind) {
  using I = TDesignIcon;
  return Drawn([kind](QPainter& p) {
    switch (kind) {
      case I::New: Sheet(p); break;
      case I::Open:
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(3, 7, 18, 12));
        p.drawLine(QPointF(3, 7), QPointF(8, 4));
        break;
      case I::Save:
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(4, 4, 16, 16), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 6));
        break;
      case I::Preview:
        Sheet(p);
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QPointF(12, 12), 4, 4);
        p.drawLine(QPointF(15, 15), QPointF(19, 19));
        break;
      case I::Undo: Arrow(p, true); break;
      case I::Redo: Arrow(p, false); break;
      case I::AddBand:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 5, 18, 5));
        p.drawRect(QRectF(3, 12, 18, 5));
        p.setPen(QPen(QColor(0, 130, 0), 2));
        p.drawLine(QPointF(17, 16), QPointF(17, 22));
        p.drawLine(QPointF(14, 19), QPointF(20, 19));
        break;
      case I::Arrow: {
        QPolygonF pointer({{7, 3}, {7, 19}, {11, 15}, {14, 21}, {16, 20}, {13, 14}, {18, 14}});
        p.setBrush(Qt::white);
        p.drawPolygon(pointer);
        break;
      }
      case I::Options: Letters(p, "\u2699", 13); break;
      case I::Inspector: Letters(p, "\u2630", 12); break;
      case I::Explorer: Letters(p, "\u2237", 13); break;
      case I::Wizard:
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(5, 20), QPointF(15, 10));
        p.setPen(QPen(QColor(220, 160, 0), 1.5));
        for (auto [dx, dy] : {std::pair{0, -4}, {4, 0}, {0, 4}, {-4, 0}})
          p.drawLine(QPointF(17, 8), QPointF(17 + dx, 8 + dy));
        break;
      case I::ReportSettings: Sheet(p); Letters(p, "\u2261", 10); break;
      case I::Groups: Letters(p, "{ }", 9); break;
    }
  });
}

QIcon ControlClassIcon(const std::string& className) {
  return Drawn([className](QPainter& p) {
    if (className == "TZdqLabel") return Letters(p, "A", 13);
    if (className == "TZdqExpression") return Letters(p, "=x", 10, kAccent);
    if (className == "TZdqSysData") return Letters(p, "#", 13, kAccent);
    if (className == "TZdRichText") return Letters(p, "Rt", 10, QColor(170, 40, 40));
    if (className == "TZdqLine") return p.drawLine(QPointF(4, 20), QPointF(20, 4));
    if (className == "TZdqEllipse") return p.drawEllipse(QRectF(3, 6, 18, 12));
    if (className == "TZdqImage") {
      p.setBrush(QColor(200, 230, 255));
      p.drawRect(QRectF(3, 5, 18, 14));
      p.setBrush(QColor(60, 150, 60));
      p.drawPolygon(QPolygonF({{4, 18}, {10, 10}, {15, 18}}));
      return;
    }
    if (className == "TZdBarCode") {
      for (int x : {4, 6, 9, 10, 13, 16, 17, 19}) p.fillRect(QRectF(x, 5, x % 3 ? 1 : 1.8, 14), kInk);
      return;
    }
    p.drawRect(QRectF(4, 6, 16, 12));
  });
}

QIcon AlignIcon(TAlignCommand command) {
  return Drawn([command](QPainter& p) {
    using A = TAlignCommand;
    p.setBrush(QColor(200, 215, 240));
    const int index = int(command);
    const bool vertical = index >= 5;
    // Two boxes and the guide they line up on, turned for the vertical commands.
    if (vertical) p.translate(kSize, 0), p.rotate(90);
    const A horizontal = vertical ? A(index - 5) : command;
    QRectF a(6, 4, 8, 6), b(9, 14, 12, 6);
    switch (horizontal) {
      case A::LeftEdges: a.moveLeft(4), b.moveLeft(4); p.drawLine(QPointF(3.5, 2), QPointF(3.5, 22)); break;
      case A::HorizontalCenters: a.moveLeft(8), b.moveLeft(6); p.drawLine(QPointF(12, 2), QPointF(12, 22)); break;
      case A::CenterInWindowX:
        a.moveLeft(8), b.moveLeft(6);
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2, 2, 20, 20));
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(200, 215, 240));
        break;
      case A::SpaceEquallyX:
        a = QRectF(2, 8, 5, 8), b = QRectF(17, 8, 5, 8);
        p.drawRect(QRectF(9.5, 8, 5, 8));
        break;
      case A::RightEdges: a.moveRight(20), b.moveRight(20); p.drawLine(QPointF(20.5, 2), QPointF(20.5, 22)); break;
      default: break;
    }
    p.drawRect(a);
    p.drawRect(b);
  });
}

}  // namespace zd
