#pragma once
// The measuring ruler along the design area: a scale in centimetres,
// inches or pixels, shaded page margins and a mark that follows the pointer.
#include <QWidget>
#include <string>
#include <vector>

#include "host/graphics/Canvas.h"

namespace zd {

// The side the ruler sits on; the ticks grow from the opposite edge.
enum class TZdDirection : uint8_t { zddHorizontalDown, zddHorizontalUp, zddVerticalLeft, zddVerticalRight };
enum class TZdMeasure : uint8_t { zdmCentimetre, zdmInch, zdmPixels };

struct TRulerTick {
  TPoint From, To;
  bool Major = false;
};
struct TRulerLabel {
  int Position = 0;  // along the ruler; the text is centred on it
  int Across = 0;    // the text's edge across the ruler
  std::string Text;
};
struct TRulerScale {
  std::vector<TRulerTick> Ticks;
  std::vector<TRulerLabel> Labels;
};

// The ticks and labels of a ruler of the given size; textSize is the size of
// "999" in the ruler's font. Page units, 96 per inch.
TRulerScale LayoutRulerScale(TZdDirection direction, TZdMeasure measure, TSize size, int offsetStart,
                             int offsetEnd, TSize textSize);

class TZdRuler : public QWidget {
 public:
  explicit TZdRuler(QWidget* parent = nullptr);

  TZdDirection Direction() const { return direction_; }
  // Also decides which way the ruler stretches in a layout.
  void SetDirection(TZdDirection d);
  TZdMeasure Measure() const { return measure_; }
  void SetMeasure(TZdMeasure m);
  int MarginStart() const { return marginStart_; }
  void SetMarginStart(int px);
  int MarginEnd() const { return marginEnd_; }
  void SetMarginEnd(int px);
  TColor MarginColor() const { return marginColor_; }
  void SetMarginColor(TColor c);
  int OffsetStart() const { return offsetStart_; }
  void SetOffsetStart(int px);
  int OffsetEnd() const { return offsetEnd_; }
  void SetOffsetEnd(int px);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TColor PositionColor() const { return positionColor_; }
  void SetPositionColor(TColor c);
  // Moves shorter than this are ignored, so that a mark following the
  // pointer does not repaint on every pixel.
  int PositionStep() const { return positionStep_; }
  void SetPositionStep(int px) { positionStep_ = px; }
  int Position() const { return position_; }
  void SetPosition(int px);

  // The ruler on a design area of this colour: the background takes it,
  // margins and the position mark its inverse so that they stay visible.
  void ApplyDesignColor(TColor designColor);

  bool IsHorizontal() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  template <class T>
  void setAndRepaint(T& field, T value);
  QRect markStrip(int position) const;
  TRulerScale layout() const;

  TZdDirection direction_ = TZdDirection::zddHorizontalUp;
  TZdMeasure measure_ = TZdMeasure::zdmCentimetre;
  int marginStart_ = 0, marginEnd_ = 0;
  int offsetStart_ = 0, offsetEnd_ = 0;
  int position_ = 0, positionStep_ = 1;
  TColor color_;
  TColor marginColor_;
  TColor positionColor_ = clWhite;
};

}  // namespace zd
