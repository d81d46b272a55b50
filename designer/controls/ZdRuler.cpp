#include "designer/controls/ZdRuler.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "designer/controls/ControlColors.h"

namespace zd {

namespace {

constexpr int kPixelsPerInch = 96;
constexpr int kBreadth = 25;

struct TScaleUnit {
  int step;          // pixels between ticks
  int ticksPerMajor;
  int labelIncrement;
};

TScaleUnit scaleUnit(TZdMeasure m) {
  switch (m) {
    case TZdMeasure::zdmInch: return {kPixelsPerInch / 3, 3, 1};               // thirds of an inch
    case TZdMeasure::zdmPixels: return {25, 2, 50};
    default: return {int(kPixelsPerInch / 5.08), 2, 1};                          // half centimetres
  }
}

}  // namespace

TRulerScale LayoutRulerScale(TZdDirection direction, TZdMeasure measure, TSize size, int offsetStart,
                             int offsetEnd, TSize textSize) {
  const TScaleUnit unit = scaleUnit(measure);
  const int w = size.Width, h = size.Height, th = textSize.Height, tw = textSize.Width;
  const bool horizontal =
      direction == TZdDirection::zddHorizontalDown || direction == TZdDirection::zddHorizontalUp;
  const int end = (horizontal ? w : h) - offsetEnd;

  // Across the ruler: where major and minor ticks span and where labels stand.
  int majorFrom = 0, majorTo = 0, minorFrom = 0, minorTo = 0, labelAcross = 0;
  switch (direction) {
    case TZdDirection::zddHorizontalDown:
      majorTo = h - th - 2, minorTo = majorTo / 2, labelAcross = h - th;
      break;
    case TZdDirection::zddHorizontalUp:
      majorFrom = th + 2, majorTo = h, minorFrom = (th + 2 + h) / 2, minorTo = h;
      break;
    case TZdDirection::zddVerticalLeft:
      majorFrom = tw + 2, majorTo = w, minorFrom = (tw + 2 + w) / 2, minorTo = w;
      break;
    case TZdDirection::zddVerticalRight:
      majorTo = w - tw - 2, minorTo = majorTo / 2, labelAcross = w - tw;
      break;
  }
  const auto at = [horizontal](int along, int across) {
    return horizontal ? TPoint{along, across} : TPoint{across, along};
  };

  TRulerScale scale;
  int counter = 1, majorIndex = 0;
  for (int p = offsetStart; p < end && unit.step > 0; p += unit.step) {
    const bool major = counter == 1;
    const int from = major ? majorFrom : minorFrom, to = major ? majorTo : minorTo;
    scale.Ticks.push_back({at(p, from), at(p, to), major});
    if (major) {
      if (majorIndex > 0)
        scale.Labels.push_back({p, labelAcross, std::to_string(majorIndex * unit.labelIncrement)});
      ++majorIndex;
    }
    counter = counter % unit.ticksPerMajor + 1;
  }
  return scale;
}

TZdRuler::TZdRuler(QWidget* parent)
    : QWidget(parent), color_(clBtnFace), marginColor_(clBtnShadow) {
  SetDirection(TZdDirection::zddHorizontalUp);
}

template <class T>
void TZdRuler::setAndRepaint(T& field, T value) {
  if (field == value) return;
  field = value;
  update();
}

void TZdRuler::SetDirection(TZdDirection d) {
  direction_ = d;
  if (IsHorizontal())
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  else
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  updateGeometry();
  update();
}

void TZdRuler::SetMeasure(TZdMeasure m) { setAndRepaint(measure_, m); }
void TZdRuler::SetMarginStart(int px) { setAndRepaint(marginStart_, px); }
void TZdRuler::SetMarginEnd(int px) { setAndRepaint(marginEnd_, px); }
void TZdRuler::SetMarginColor(TColor c) { setAndRepaint(marginColor_, c); }
void TZdRuler::SetOffsetStart(int px) { setAndRepaint(offsetStart_, px); }
void TZdRuler::SetOffsetEnd(int px) { setAndRepaint(offsetEnd_, px); }
void TZdRuler::SetColor(TColor c) { setAndRepaint(color_, c); }
void TZdRuler::SetPositionColor(TColor c) { setAndRepaint(positionColor_, c); }

void TZdRuler::SetPosition(int px) {
  if (std::abs(px - position_) < positionStep_) return;
  update(markStrip(position_));
  position_ = px;
  update(markStrip(position_));
}

void TZdRuler::ApplyDesignColor(TColor designColor) {
  SetColor(designColor);
  SetMarginColor(InverseColor(designColor));
  SetPositionColor(InverseColor(designColor));
}

bool TZdRuler::IsHorizontal() const {
  return direction_ == TZdDirection::zddHorizontalDown || direction_ == TZdDirection::zddHorizontalUp;
}

QSize TZdRuler::sizeHint() const { return IsHorizontal() ? QSize(200, kBreadth) : QSize(kBreadth, 200); }

QRect TZdRuler::markStrip(int position) const {
  return IsHorizontal() ? QRect(position, 0, 1, height()) : QRect(0, position, width(), 1);
}

TRulerScale TZdRuler::layout() const {
  const QFontMetrics metrics(font());
  const TSize text{metrics.horizontalAdvance("999"), metrics.height()};
  return LayoutRulerScale(direction_, measure_, {width(), height()}, offsetStart_, offsetEnd_, text);
}

void TZdRuler::paintEvent(QPaintEvent*) {
  // Drawn off screen first so that a ruler following the pointer never flickers.
  QPixmap buffer(size() * devicePixelRatioF());
  buffer.setDevicePixelRatio(devicePixelRatioF());
  {
    QPainter p(&buffer);
    p.fillRect(rect(), ScreenColor(color_));
    const bool horizontal = IsHorizontal();
    const int length = horizontal ? width() : height();
    const auto band = [&](int from, int to) {
      return horizontal ? QRect(from, 0, to - from, height()) : QRect(0, from, width(), to - from);
    };
    if (marginStart_ > 0) p.fillRect(band(offsetStart_, offsetStart_ + marginStart_), ScreenColor(marginColor_));
    if (marginEnd_ > 0)
      p.fillRect(band(length - offsetEnd_ - marginEnd_, length - offsetEnd_), ScreenColor(marginColor_));

    p.setPen(QPen(Qt::black, 1));
    p.setFont(font());
    const TRulerScale scale = layout();
    for (const TRulerTick& t : scale.Ticks) p.drawLine(t.From.X, t.From.Y, t.To.X, t.To.Y);
    const QFontMetrics metrics(font());
    for (const TRulerLabel& label : scale.Labels) {
      const QString text = QString::fromStdString(label.Text);
      const QRect box = horizontal ? QRect(label.Position - metrics.horizontalAdvance(text) / 2, label.Across,
                                           metrics.horizontalAdvance(text), metrics.height())
                                   : QRect(label.Across, label.Position - metrics.height() / 2,
                                           metrics.horizontalAdvance(text), metrics.height());
      p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
  }
  QPainter screen(this);
  screen.drawPixmap(0, 0, buffer);
  screen.setPen(QPen(ScreenColor(positionColor_), 1));
  if (IsHorizontal())
    screen.drawLine(position_, 0, position_, height());
  else
    screen.drawLine(0, position_, width(), position_);
}

}  // namespace zd
