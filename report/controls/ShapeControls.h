#pragma once
// Lines, rectangles and ellipses.
#include <string>

#include "report/model/ZdqBase.h"

namespace zd {

enum class TShapeStretch { ssNoStretch, ssTallest, ssHeight };
enum class TLineStyle { lsSingle, lsDouble };
enum class TZdqShapeType { stLine, stRectangle, stEllipse };
enum class TLineType { ltTop, ltBottom, ltLeft, ltRight, ltLeftDiagonal, ltRightDiagonal, ltHCenter, ltVCenter };
enum class TRectangleType { rtRectangle, rtRoundRect, rtSquare, rtRoundSquare };
enum class TEllipseType { etEllipse, etCircle };

/// Base of the shapes: a figure drawn with the frame's pen, stretched with
/// its band as Stretch says.
class TZdqShape : public TZdqControl {
 public:
  std::string ClassName() const override { return "TZdqShape"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TShapeStretch Stretch() const { return stretch_; }
  void SetStretch(TShapeStretch s) { stretch_ = s; }
  TLineStyle LineStyle() const { return lineStyle_; }
  void SetLineStyle(TLineStyle s) { lineStyle_ = s; }
  TZdqShapeType ShapeType() const { return shapeType_; }

  /// Draws the figure with the frame's pen, filled with BackColor unless
  /// transparent; a double line style repeats it 2 pen widths further in.
  int Draw(TCanvas& canvas, TRect& rect, uint32_t flags) override;

 protected:
  TZdqShape(TComponent* owner, TZdqShapeType type) : TZdqControl(owner), shapeType_(type) {}
  /// Squares and circles take the smaller side, centred.
  virtual bool KeepsSquare() const { return false; }
  /// area: the control's drawing rectangle; figure: the pen-adjusted box of
  /// the figure; side: the smaller of the figure's sides before squaring.
  virtual void DrawFigure(TCanvas& canvas, const TRect& area, const TRect& figure, int side) = 0;

 private:
  TShapeStretch stretch_ = TShapeStretch::ssNoStretch;
  TLineStyle lineStyle_ = TLineStyle::lsSingle;
  const TZdqShapeType shapeType_;
};

/// A line along one side or a diagonal of the control's box.
class TZdqLine : public TZdqShape {
 public:
  explicit TZdqLine(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqLine"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TLineType LineType() const { return lineType_; }
  void SetLineType(TLineType t) { lineType_ = t; }
  /// One line across rect as the line type places it.
  void DrawLine(TCanvas& canvas, const TRect& rect) const;

 protected:
  void DrawFigure(TCanvas& canvas, const TRect& area, const TRect&, int) override { DrawLine(canvas, area); }

 private:
  TLineType lineType_ = TLineType::ltTop;
};

/// A rectangle or square, optionally with rounded corners.
class TZdqRectangle : public TZdqShape {
 public:
  explicit TZdqRectangle(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqRectangle"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TRectangleType RectangleType() const { return rectangleType_; }
  void SetRectangleType(TRectangleType t) { rectangleType_ = t; }

 protected:
  bool KeepsSquare() const override {
    return rectangleType_ == TRectangleType::rtSquare || rectangleType_ == TRectangleType::rtRoundSquare;
  }
  /// Rounded corners are a quarter of the smaller side.
  void DrawFigure(TCanvas& canvas, const TRect& area, const TRect& figure, int side) override;

 private:
  TRectangleType rectangleType_ = TRectangleType::rtRectangle;
};

/// An ellipse or circle.
class TZdqEllipse : public TZdqShape {
 public:
  explicit TZdqEllipse(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqEllipse"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TEllipseType EllipseType() const { return ellipseType_; }
  void SetEllipseType(TEllipseType t) { ellipseType_ = t; }

 protected:
  bool KeepsSquare() const override { return ellipseType_ == TEllipseType::etCircle; }
  void DrawFigure(TCanvas& canvas, const TRect&, const TRect& figure, int) override { canvas.Ellipse(figure); }

 private:
  TEllipseType ellipseType_ = TEllipseType::etEllipse;
};

}  // namespace zd
