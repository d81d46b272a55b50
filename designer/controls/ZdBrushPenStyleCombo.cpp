#include "designer/controls/ZdBrushPenStyleCombo.h"

#include <QPainter>

#include "designer/controls/ControlColors.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

// The diagonal cross is not offered: it looks too much like the cross.
constexpr const char* kBrushNames[] = {"Solid", "Clear", "Horizontal", "Vertical", "FDiagonal", "BDiagonal", "Cross"};
constexpr const char* kPenNames[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear"};

}  // namespace

TZdBrushPenStyleCombo::TZdBrushPenStyleCombo(QWidget* parent) : TZdOwnerDrawCombo(parent) {
  BuildList();
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (index < 0) return;
    const int ordinal = itemData(index).toInt();
    if (mode_ == TZdBrushPenMode::bpmPen)
      penStyle_ = TPenStyle(ordinal);
    else
      brushStyle_ = TBrushStyle(ordinal);
    fireChange();
  });
}

void TZdBrushPenStyleCombo::BuildList() {
  const QSignalBlocker quiet(this);
  clear();
  const bool pen = mode_ == TZdBrushPenMode::bpmPen;
  const std::vector<std::string>& names = pen ? penNames_ : brushNames_;
  const int count = pen ? int(std::size(kPenNames)) : int(std::size(kBrushNames));
  for (int ordinal = 0; ordinal < count; ++ordinal) {
    const bool named = ordinal < int(names.size()) && !names[ordinal].empty();
    addItem(named ? QString::fromStdString(names[ordinal]) : QString((pen ? kPenNames : kBrushNames)[ordinal]), ordinal);
  }
  selectOrdinal(storedOrdinal(), false);
}

int TZdBrushPenStyleCombo::storedOrdinal() const {
  return mode_ == TZdBrushPenMode::bpmPen ? int(penStyle_) : int(brushStyle_);
}

void TZdBrushPenStyleCombo::selectOrdinal(int ordinal, bool notify) {
  const int index = findData(ordinal);
  if (index < 0) return;
  if (mode_ == TZdBrushPenMode::bpmPen)
    penStyle_ = TPenStyle(ordinal);
  else
    brushStyle_ = TBrushStyle(ordinal);
  setCurrentIndex(index);
  if (notify) fireChange();
}

void TZdBrushPenStyleCombo::SetBrushStyle(TBrushStyle style) {
  if (mode_ != TZdBrushPenMode::bpmBrush) {
    brushStyle_ = style;  // kept for when the combo lists brushes
    return;
  }
  if (currentIndex() >= 0 && style == brushStyle_) return;
  selectOrdinal(int(style), true);
}

void TZdBrushPenStyleCombo::SetPenStyle(TPenStyle style) {
  if (mode_ != TZdBrushPenMode::bpmPen) {
    penStyle_ = style;
    return;
  }
  if (currentIndex() >= 0 && style == penStyle_) return;
  selectOrdinal(int(style), true);
}

void TZdBrushPenStyleCombo::SetBrushPenMode(TZdBrushPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  BuildList();
  update();
}

void TZdBrushPenStyleCombo::SetBrushNames(std::vector<std::string> names) {
  brushNames_ = std::move(names);
  BuildList();
}

void TZdBrushPenStyleCombo::SetPenNames(std::vector<std::string> names) {
  penNames_ = std::move(names);
  BuildList();
}

void TZdBrushPenStyleCombo::SetShowNames(bool on) {
  showNames_ = on;
  updateGeometry();
  update();
}

void TZdBrushPenStyleCombo::fireChange() {
  if (OnChange) OnChange(this);
  emit changed();
}

int TZdBrushPenStyleCombo::LeadingWidth() const { return sampleWidth() + (showNames_ ? 6 : 0); }

int TZdBrushPenStyleCombo::sampleWidth() const { return mode_ == TZdBrushPenMode::bpmPen ? 60 : 22; }

void TZdBrushPenStyleCombo::DrawItem(QPainter& p, const QRect& item, int index) const {
  const bool pen = mode_ == TZdBrushPenMode::bpmPen;
  const QRect r(QPoint(item.left() + 2, item.top() + 2),
                QPoint(showNames_ ? item.left() + sampleWidth() : item.right() - 3, item.bottom() - 2));
  const int ordinal = itemData(index).toInt();
  const QPen textPen = p.pen();
  TPainterCanvas canvas(p);
  canvas.Pen = {clBlack, 1, TPenStyle::psSolid};
  if (pen) {
    canvas.Pen.Style = TPenStyle(ordinal);
    const int middle = r.top() + r.height() / 2;
    canvas.MoveTo(r.left(), middle);
    canvas.LineTo(r.right(), middle);
  } else {
    canvas.Brush = {clWhite, TBrushStyle::bsClear};
    canvas.Rectangle(TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    const QRect inner = r.adjusted(1, 1, -1, -1);
    p.fillRect(inner, ScreenColor(clInfoBk));
    if (TBrushStyle(ordinal) != TBrushStyle::bsClear) {
      canvas.Brush = {clBlack, TBrushStyle(ordinal)};
      canvas.FillRect(TRect{inner.left(), inner.top(), inner.right() + 1, inner.bottom() + 1});
    }
  }
  if (!showNames_) return;
  p.setPen(textPen);
  const int textLeft = item.left() + sampleWidth() + 6;
  p.drawText(QRect(textLeft, item.top(), item.right() - textLeft, item.height()),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
}

}  // namespace zd
