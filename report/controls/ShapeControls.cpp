#include "report/controls/ShapeControls.h"

#include <algorithm>

namespace zd {

int TZdqShape::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  const int height = TZdqControl::Draw(canvas, rect, flags);
  if (flags & kDrawMeasure) return height;
  canvas.Pen.Style = Frame().Style();
  if (!Transparent()) {
    canvas.Brush.Color = BackColor();
    canvas.Brush.Style = TBrushStyle::bsSolid;
  }
  // The frame's pen is on the canvas now; the figure keeps inside it.
  const int pen = canvas.Pen.Width, frameWidth = Frame().GetFrameWidth();
  int x = pen / 2, y = pen / 2;
  int w = Width() - pen - 2 * frameWidth + 1;
  int v = (stretch_ == TShapeStretch::ssHeight ? rect.Height() : Height()) - pen - 2 * frameWidth + 1;
  if (pen == 0) {
    --w;
    --v;
  }
  const int side = std::min(w, v);
  if (KeepsSquare()) {
    x += (w - side) / 2;
    y += (v - side) / 2;
    w = v = side;
  }
  x += rect.Left;
  y += rect.Top;
  const TRect figure{x, y, x + w, y + v};
  DrawFigure(canvas, rect, figure, side);
  if (lineStyle_ == TLineStyle::lsDouble)
    DrawFigure(canvas, rect.Inflated(-2 * pen, -2 * pen), figure.Inflated(-2 * pen, -2 * pen), side);
  return height;
}

const TClassProperties& TZdqShape::ClassProperties() {
  using S = TZdqShape;
  static const TClassProperties props =
      TPropertiesOf<S>("TZdqShape", &TZdqControl::ClassProperties())
          .Enum("Stretch", [](const S& s) { return s.Stretch(); }, [](S& s, TShapeStretch v) { s.SetStretch(v); },
                TEnumNames{"TShapeStretch", {"ssNoStretch", "ssTallest", "ssHeight"}})
          .Enum("LineStyle", [](const S& s) { return s.LineStyle(); }, [](S& s, TLineStyle v) { s.SetLineStyle(v); },
                TEnumNames{"TLineStyle", {"lsSingle", "lsDouble"}}, TLineStyle::lsSingle)
          .Build();
  return props;
}

TZdqLine::TZdqLine(TComponent* owner) : TZdqShape(owner, TZdqShapeType::stLine) {
  FShrinkByFrame = false;
  SetDisplayName("Line");
}

void TZdqLine::DrawLine(TCanvas& canvas, const TRect& r) const {
  TPoint from, to;
  switch (lineType_) {
    case TLineType::ltTop: from = {r.Left, r.Top}, to = {r.Right, r.Top}; break;
    case TLineType::ltBottom: from = {r.Left, r.Bottom}, to = {r.Right, r.Bottom}; break;
    case TLineType::ltLeft: from = {r.Left, r.Top}, to = {r.Left, r.Bottom}; break;
    case TLineType::ltRight: from = {r.Right, r.Top}, to = {r.Right, r.Bottom}; break;
    case TLineType::ltLeftDiagonal: from = {r.Left, r.Top}, to = {r.Right, r.Bottom}; break;
    case TLineType::ltRightDiagonal: from = {r.Left, r.Bottom}, to = {r.Right, r.Top}; break;
    case TLineType::ltHCenter: {
      const int mid = (r.Left + r.Right) / 2;
      from = {mid, r.Top}, to = {mid, r.Bottom};
      break;
    }
    case TLineType::ltVCenter: {
      const int mid = (r.Top + r.Bottom) / 2;
      from = {r.Left, mid}, to = {r.Right, mid};
      break;
    }
  }
  canvas.MoveTo(from.X, from.Y);
  canvas.LineTo(to.X, to.Y);
}

const TClassProperties& TZdqLine::ClassProperties() {
  using L = TZdqLine;
  static const TClassProperties props =
      TPropertiesOf<L>("TZdqLine", &TZdqShape::ClassProperties())
          .Enum("LineType", [](const L& l) { return l.LineType(); }, [](L& l, TLineType v) { l.SetLineType(v); },
                TEnumNames{"TLineType",
                           {"ltTop", "ltBottom", "ltLeft", "ltRight", "ltLeftDiagonal", "ltRightDiagonal",
                            "ltHCenter", "ltVCenter"}})
          .Build();
  return props;
}

TZdqRectangle::TZdqRectangle(TComponent* owner) : TZdqShape(owner, TZdqShapeType::stRectangle) {
  SetDisplayName("Rectangle");
}

void TZdqRectangle::DrawFigure(TCanvas& canvas, const TRect&, const TRect& figure, int side) {
  if (rectangleType_ == TRectangleType::rtRoundRect || rectangleType_ == TRectangleType::rtRoundSquare)
    canvas.RoundRect(figure, side / 4, side / 4);
  else
    canvas.Rectangle(figure);
}

const TClassProperties& TZdqRectangle::ClassProperties() {
  using R = TZdqRectangle;
  static const TClassProperties props =
      TPropertiesOf<R>("TZdqRectangle", &TZdqShape::ClassProperties())
          .Enum("RectangleType", [](const R& r) { return r.RectangleType(); },
                [](R& r, TRectangleType v) { r.SetRectangleType(v); },
                TEnumNames{"TRectangleType", {"rtRectangle", "rtRoundRect", "rtSquare", "rtRoundSquare"}})
          .Build();
  return props;
}

TZdqEllipse::TZdqEllipse(TComponent* owner) : TZdqShape(owner, TZdqShapeType::stEllipse) {
  SetDisplayName("Ellipse");
}

const TClassProperties& TZdqEllipse::ClassProperties() {
  using E = TZdqEllipse;
  static const TClassProperties props =
      TPropertiesOf<E>("TZdqEllipse", &TZdqShape::ClassProperties())
          .Enum("EllipseType", [](const E& e) { return e.EllipseType(); },
                [](E& e, TEllipseType v) { e.SetEllipseType(v); },
                TEnumNames{"TEllipseType", {"etEllipse", "etCircle"}})
          .Build();
  return props;
}

}  // namespace zd
