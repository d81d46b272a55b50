#include "designer/controls/ColorButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <qdrawutil.h>

#include "designer/controls/ControlColors.h"

namespace zd {

namespace {

constexpr int kCellSize = 18;

// Tool-bar glyphs, 16 x 14 (the arrow 5 x 3), drawn rather than loaded.
QPixmap glyph(int w, int h, const std::function<void(QPainter&)>& draw) {
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pm;
}

const QPixmap& arrowGlyph() {
  static const QPixmap pm = glyph(5, 3, [](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(5, 0), QPoint(2, 3)}));
  });
  return pm;
}

const QPixmap& typeGlyph(TColorType type) {
  static const std::array<QPixmap, 4> glyphs{
      glyph(16, 14, [](QPainter& p) {  // text: a letter A
        QFont f;
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 16, 14), Qt::AlignCenter, "A");
      }),
      glyph(16, 14, [](QPainter& p) {  // fill: a tilted bucket and a drop
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(7, 1), QPointF(12, 6), QPointF(7, 11)}));
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(12, 7, 3, 5));
      }),
      glyph(16, 14, [](QPainter& p) {  // line: a pen stroke
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(2, 12), QPointF(13, 1));
        p.drawLine(QPointF(11, 1), QPointF(14, 4));
      }),
      glyph(16, 14, [](QPainter& p) {  // highlight: a marker's broad tip
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(3, 8), QPointF(10, 1), QPointF(14, 5), QPointF(7, 12)}));
        p.drawLine(QPointF(3, 8), QPointF(7, 12));
      }),
  };
  return glyphs[size_t(type)];
}

}  // namespace

TZdCustomColorBtn::TZdCustomColorBtn(QWidget* parent) : QWidget(parent) {
  setToolTip(QString::fromStdString(ColorDisplayName(color_)));
}

void TZdCustomColorBtn::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  setToolTip(QString::fromStdString(ColorDisplayName(c)));
  update();
  if (OnChange) OnChange(this);
  emit changed();
}

void TZdCustomColorBtn::SetFlat(bool on) {
  flat_ = on;
  update();
}

void TZdCustomColorBtn::enterEvent(QEnterEvent*) {
  if (!flat_ || !isEnabled()) return;
  mouseIn_ = true;
  update();
}

void TZdCustomColorBtn::leaveEvent(QEvent*) {
  if (!flat_ || !isEnabled()) return;
  mouseIn_ = false;
  releasePressed();
  update();
}

TDropColorBtn::TDropColorBtn(QWidget* parent) : TZdCustomColorBtn(parent) { setFixedSize(kCellSize, kCellSize); }

void TDropColorBtn::SetSelected(bool on) {
  if (on == selected_) return;
  selected_ = on;
  update();
}

void TDropColorBtn::releasePressed() { down_ = false; }

void TDropColorBtn::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  down_ = true;
  update();
}

void TDropColorBtn::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !down_) return;
  down_ = false;
  update();
  if (rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
}

void TDropColorBtn::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  if (selected_) p.fillRect(r, Qt::white);
  if (!Flat()) {
    qDrawWinButton(&p, r, palette(), down_);
  } else if (selected_ || down_ || mouseIn_) {
    const bool raised = !selected_ && !down_;
    qDrawShadePanel(&p, r, palette(), !raised, 1);
  }
  r.adjust(4, 4, -4, -4);
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawRect(r);  // one pixel beyond the swatch's right and bottom edges
  p.fillRect(r.adjusted(0, 0, -1, -1), ScreenColor(Color()));
}

TZdColorWin::TZdColorWin(QWidget* parent) : QWidget(parent, Qt::Popup) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(4 * kCellSize, 4 * kCellSize);
  for (int i = 0; i < 16; ++i) {
    auto* cell = new TDropColorBtn(this);
    cell->move((i % 4) * kCellSize, (i / 4) * kCellSize);
    cell->SetColor(kStandardColors[i]);
    cell->OnClick = [this](TDropColorBtn* sender) {
      if (OnCellClick) OnCellClick(sender->Color());
    };
    cells_[i] = cell;
  }
}

void TZdColorWin::MarkColor(TColor c) {
  for (TDropColorBtn* cell : cells_) cell->SetSelected(cell->Color() == c);
}

void TZdColorWin::leaveEvent(QEvent*) { hide(); }

TColorButton::TColorButton(QWidget* parent) : TZdCustomColorBtn(parent) { setFixedSize(33, 25); }

void TColorButton::SetColorType(TColorType t) {
  colorType_ = t;
  update();
}

int TColorButton::DropWidth() const { return arrowGlyph().width() + 4; }

TDownButton TColorButton::partAt(QPoint p) const {
  return p.x() <= width() - DropWidth() ? TDownButton::dbColor : TDownButton::dbDropDown;
}

void TColorButton::releasePressed() { down_ = TDownButton::dbNone; }

void TColorButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  down_ = down_ == TDownButton::dbNone ? partAt(event->position().toPoint()) : TDownButton::dbNone;
  tracking_ = true;
  update();
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !tracking_) return;
  tracking_ = false;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside) clickPart(down_);
  down_ = TDownButton::dbNone;
  mouseIn_ = inside && Flat();
  update();
}

void TColorButton::clickPart(TDownButton part) {
  if (palette_) palette_->hide();
  if (part == TDownButton::dbColor) {
    if (OnClick) OnClick(this);
    emit clicked();
  } else if (part == TDownButton::dbDropDown) {
    if (OnDropClick)
      OnDropClick(this);
    else
      DropClick();
  }
}

TZdColorWin* TColorButton::CreateDropPnl() { return new TZdColorWin(this); }

void TColorButton::DropClick() {
  if (!palette_) {
    palette_ = CreateDropPnl();
    palette_->OnCellClick = [this](TColor c) { cellChosen(c); };
  }
  palette_->MarkColor(Color());
  palette_->move(mapToGlobal(QPoint(0, height())));
  palette_->show();
}

void TColorButton::cellChosen(TColor c) {
  SetColor(c);
  down_ = TDownButton::dbNone;
  palette_->MarkColor(c);
  palette_->hide();
  update();
}

void TColorButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().button());
  const int split = width() - DropWidth();
  const QRect colorPart(0, 0, split, height()), dropPart(split, 0, width() - split, height());
  if (Flat()) {
    if (mouseIn_) {
      qDrawShadePanel(&p, rect(), palette(), false, 1);
      p.setPen(palette().color(QPalette::Mid));
      p.drawLine(split, 2, split, height() - 3);
      p.setPen(palette().color(QPalette::Light));
      p.drawLine(split + 1, 2, split + 1, height() - 3);
    }
    if (down_ == TDownButton::dbColor) qDrawShadePanel(&p, colorPart, palette(), true, 1);
    if (down_ == TDownButton::dbDropDown) qDrawShadePanel(&p, dropPart, palette(), true, 1);
  } else {
    qDrawWinButton(&p, colorPart, palette(), down_ == TDownButton::dbColor);
    qDrawWinButton(&p, dropPart, palette(), down_ == TDownButton::dbDropDown);
  }

  if (!isEnabled()) p.setOpacity(0.35);  // glyphs and colour fade as disabled buttons' do
  const QPixmap& arrow = arrowGlyph();
  const int arrowShift = down_ == TDownButton::dbDropDown ? 1 : 0;
  p.drawPixmap(dropPart.left() + (dropPart.width() - arrow.width()) / 2,
               (height() - arrow.height()) / 2 + arrowShift, arrow);

  // The glyph with a bar of the current colour right below it, centred together.
  const QPixmap& type = typeGlyph(colorType_);
  const int shift = down_ == TDownButton::dbColor ? 1 : 0;
  const int left = (split - type.width()) / 2 + shift;
  const int top = (height() - type.height() - 4) / 2 + shift;
  p.drawPixmap(left, top, type);
  p.fillRect(QRect(left, top + type.height(), type.width(), 4), ScreenColor(Color()));
}

}  // namespace zd
