#include "designer/DesignSurface.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "designer/DesignEdits.h"
#include "designer/ReportExplorer.h"
#include "host/graphics/QtGraphics.h"
#include "print/ZdPrntr.h"
#include "report/model/ControlRegistry.h"

namespace zd {

namespace {

constexpr QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr int kHandle = 5;
constexpr int kMargin = 20;  // free space right of the bands

QString TitleText(const TZdqBand& band) {
  QString text = QString::fromStdString(band.DisplayName());
  if (!band.Expression().empty()) text += " / " + QString::fromStdString(band.Expression());
  return text + QString(9, ' ');
}

Qt::CursorShape CursorFor(TZdqControlResize zone) {
  using R = TZdqControlResize;
  switch (zone) {
    case R::scrLeftTop: case R::scrRightBottom: return Qt::SizeFDiagCursor;
    case R::scrRightTop: case R::scrLeftBottom: return Qt::SizeBDiagCursor;
    case R::scrTop: case R::scrBottom: return Qt::SizeVerCursor;
    case R::scrLeft: case R::scrRight: return Qt::SizeHorCursor;
    case R::scrNone: break;
  }
  return Qt::ArrowCursor;
}

QRect RectOf(const TZdqControl& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

}  // namespace

TDesignSurface::TDesignSurface(TZdqDesigner& designer, QWidget* parent) : QWidget(parent), designer_(designer) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  ReCreateBands();
}

int TDesignSurface::TitleHeight() const { return designer_.Options.ShowBandTitle ? kTitleHeight : 0; }

int TDesignSurface::BandWidth() const {
  TZdqPrinter& printer = report().PrinterSetting();
  const TZdqPageMargins& m = printer.Margins();
  return std::max(50, printer.PaperWidthPixels() - TenthsMmToPageUnits(m.Left() + m.Right()));
}

void TDesignSurface::ReCreateBands() {
  TZdqBand* keep = currentBand_;
  currentBand_ = nullptr;
  active_ = nullptr;
  splitterBand_ = rubberBand_ = nullptr;
  std::erase_if(collapsed_, [this](const TZdqBand* band) {
    return std::ranges::find(report().Bands(), band) == report().Bands().end();
  });
  for (TZdqBand* band : report().Bands())
    if (band == keep) currentBand_ = keep;
  relayout();
}

void TDesignSurface::relayout() {
  slots_.clear();
  int top = 0;
  for (TZdqBand* band : report().Bands()) {
    const bool collapsed = collapsed_.contains(band);
    const int height = collapsed ? TitleHeight() : band->Height() + TitleHeight();
    slots_.push_back({band, top, height});
    top += height + kSplitterHeight;
  }
  setFixedSize(kRulerWidth + BandWidth() + kMargin, top + kMargin);
  placeBandRulers();
  update();
  if (OnLaidOut) OnLaidOut();
}

// Rulers are kept across layouts, as a splitter drag lays out on every move.
void TDesignSurface::placeBandRulers() {
  while (bandRulers_.size() > slots_.size()) {
    delete bandRulers_.back();
    bandRulers_.pop_back();
  }
  while (bandRulers_.size() < slots_.size()) bandRulers_.push_back(newBandRuler());
  for (size_t i = 0; i < slots_.size(); ++i) {
    TZdRuler& ruler = *bandRulers_[i];
    ruler.setGeometry(0, slots_[i].containerTop, kRulerWidth, slots_[i].containerHeight);
    ruler.SetOffsetStart(TitleHeight());  // the scale starts at the band's top
    ruler.show();
  }
}

TZdRuler* TDesignSurface::newBandRuler() {
  auto* ruler = new TZdRuler(this);
  ruler->SetDirection(TZdDirection::zddVerticalLeft);
  ruler->SetMeasure(rulerMeasure_);
  if (designColor_) ruler->ApplyDesignColor(*designColor_);
  return ruler;
}

TZdRuler* TDesignSurface::BandRuler(const TZdqBand& band) const {
  for (size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].band == &band) return bandRulers_[i];
  return nullptr;
}

void TDesignSurface::SetRulerMeasure(TZdMeasure measure) {
  rulerMeasure_ = measure;
  for (TZdRuler* ruler : bandRulers_) ruler->SetMeasure(measure);
}

void TDesignSurface::ApplyDesignColor(TColor color) {
  designColor_ = color;
  splitterColor_ = color;
  for (TZdRuler* ruler : bandRulers_) ruler->ApplyDesignColor(color);
  update();
}

const TDesignSurface::TSlot* TDesignSurface::slotOf(const TZdqBand& band) const {
  for (const TSlot& s : slots_)
    if (s.band == &band) return &s;
  return nullptr;
}

int TDesignSurface::areaHeight(const TSlot& slot) const { return slot.containerHeight - TitleHeight(); }

TZdqBand* TDesignSurface::CurrentBand() const {
  if (currentBand_) return currentBand_;
  return report().Bands().empty() ? nullptr : report().Bands().front();
}

QPoint TDesignSurface::BandOrigin(const TZdqBand& band) const {
  const TSlot* s = slotOf(band);
  return s ? QPoint(kRulerWidth, s->containerTop + TitleHeight()) : QPoint();
}

bool TDesignSurface::Collapsed(const TZdqBand& band) const { return collapsed_.contains(&band); }

void TDesignSurface::ToggleCollapsed(const TZdqBand& band) {
  if (!slotOf(band)) return;
  // The band keeps its height; expanding shows it again.
  if (!collapsed_.erase(&band)) collapsed_.insert(&band);
  relayout();
}

// ---- painting ----

void TDesignSurface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQColor(designer_.Options.Color));
  for (const TSlot& slot : slots_) paintBand(p, slot);
  if (rubberBand_) {
    const QPoint o = BandOrigin(*rubberBand_);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(rubberFrom_ + o, rubberTo_ + o).normalized());
  }
}

void TDesignSurface::paintBand(QPainter& p, const TSlot& slot) {
  const TZdqBand& band = *slot.band;
  const int width = BandWidth();
  if (TitleHeight() > 0) {
    const QRect title(kRulerWidth, slot.containerTop, width, kTitleHeight);
    p.fillRect(title, ToQColor(designer_.Options.Color).darker(108));
    p.setPen(Qt::black);
    // The fold mark sits in the part of the title that folds the band.
    p.drawText(QRect(title.left(), title.top(), kTitleHeight, kTitleHeight), Qt::AlignCenter,
               Collapsed(band) ? "+" : "-");
    QFont font("Arial");
    font.setPointSize(8);
    font.setBold(true);
    p.setFont(font);
    p.drawText(title.adjusted(kTitleHeight, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, TitleText(band));
  }
  const int splitterTop = slot.containerTop + slot.containerHeight;
  p.fillRect(0, splitterTop, kRulerWidth + width, kSplitterHeight, ToQColor(splitterColor_));
  if (Collapsed(band)) return;

  const QPoint origin = BandOrigin(band);
  const int height = areaHeight(slot);
  p.save();
  p.translate(origin);
  p.setClipRect(0, 0, width, height);
  p.fillRect(0, 0, width, height, Qt::white);
  const TZdqDOptions& o = designer_.Options;
  if (o.DisplayGrid && o.GridSizeX > 0 && o.GridSizeY > 0) {
    p.setPen(kSilver);
    for (int i = 0; i <= width / o.GridSizeX; ++i)
      for (int j = 0; j <= height / o.GridSizeY; ++j) p.drawPoint(i * o.GridSizeX, j * o.GridSizeY);
  }
  TPainterCanvas canvas(p);
  for (TZdqControl* c : band.Objects()) {
    p.save();
    p.setClipRect(RectOf(*c).adjusted(0, 0, 1, 1), Qt::IntersectClip);
    TRect r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    try {
      c->Draw(canvas, r, 0);
    } catch (const std::exception&) {
      // A control that cannot draw itself at design time (a missing
      // picture file) still shows where it is.
      p.setPen(QPen(Qt::red, 1, Qt::DashLine));
      p.drawRect(RectOf(*c).adjusted(0, 0, -1, -1));
    }
    p.restore();
  }
  if (band.Selected()) {
    p.setPen(QPen(Qt::blue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 1, width - 2, height - 2);
  }
  for (TZdqControl* c : band.Objects())
    if (c->Selected()) paintHandles(p, *c);
  p.restore();
}

void TDesignSurface::paintHandles(QPainter& p, const TZdqControl& c) {
  const int l = c.Left(), t = c.Top(), w = c.Width(), h = c.Height();
  const int xs[] = {l, l + w / 2 - kHandle / 2, l + w - kHandle};
  const int ys[] = {t, t + h / 2 - kHandle / 2, t + h - kHandle};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (i != 1 || j != 1) p.fillRect(xs[i], ys[j], kHandle, kHandle, Qt::black);
}

// ---- mouse ----

TZdqControl* TDesignSurface::controlAt(const TZdqBand& band, QPoint inBand) const {
  const auto& objects = band.Objects();
  // The last drawn lies on top.
  for (auto it = objects.rbegin(); it != objects.rend(); ++it)
    if (RectOf(**it).adjusted(0, 0, 1, 1).contains(inBand)) return *it;
  return nullptr;
}

void TDesignSurface::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  for (const TSlot& slot : slots_) {
    const int splitterTop = slot.containerTop + slot.containerHeight;
    if (pos.y() >= splitterTop && pos.y() < splitterTop + kSplitterHeight) {
      if (!Collapsed(*slot.band) && event->button() == Qt::LeftButton) {
        splitterBand_ = slot.band;
        splitterStartY_ = pos.y();
        splitterStartHeight_ = slot.band->Height();
      }
      return;
    }
    if (pos.y() < slot.containerTop || pos.y() >= splitterTop) continue;
    TZdqBand& band = *slot.band;
    if (pos.y() < slot.containerTop + TitleHeight()) {
      if (pos.x() >= kRulerWidth && pos.x() < kRulerWidth + kTitleHeight) ToggleCollapsed(band);
      return;
    }
    if (pos.x() < kRulerWidth || pos.x() >= kRulerWidth + BandWidth()) return;
    const QPoint inBand = pos - BandOrigin(band);
    currentBand_ = &band;
    if (TZdqControl* c = controlAt(band, inBand); c && designer_.Options.Tool == 0)
      controlMouseDown(*c, inBand - QPoint(c->Left(), c->Top()), *event);
    else
      bandMouseDown(band, inBand, *event);
    update();
    return;
  }
}

void TDesignSurface::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || designer_.Options.Tool != 0 || !OnDoubleClick) return;
  const QPoint pos = event->position().toPoint();
  for (const TSlot& slot : slots_) {
    if (pos.y() < slot.containerTop + TitleHeight() || pos.y() >= slot.containerTop + slot.containerHeight) continue;
    if (pos.x() < kRulerWidth || pos.x() >= kRulerWidth + BandWidth()) return;
    TZdqBand& band = *slot.band;
    TZdqControl* c = controlAt(band, pos - BandOrigin(band));
    OnDoubleClick(c ? *c : band);
    return;
  }
}

void TDesignSurface::controlMouseDown(TZdqControl& c, QPoint inControl, QMouseEvent& event) {
  const bool shift = event.modifiers() & Qt::ShiftModifier;
  if (event.button() == Qt::RightButton) {
    if (!c.Selected()) {
      designer_.SelectElements(1);
      designer_.AddSelected(&c);
    }
    if (OnContextMenu) OnContextMenu(c, event.globalPosition().toPoint());
    return;
  }
  if (event.button() != Qt::LeftButton) return;
  if (c.Selected() && shift) {
    designer_.DeleteSelected(&c);
    return;
  }
  if (!c.Selected()) {
    if (!shift) designer_.SelectElements(1);
    designer_.AddSelected(&c);
    // A press on a control not yet selected also grabs it for moving,
    // as a user expects of one press-and-drag.
    c.ZdqControlResize = TZdqControlResize::scrNone;
  } else {
    c.ZdqControlResize = GrabZoneAt(inControl.x(), inControl.y(), c.Width(), c.Height());
  }
  if (c.ZdqControlResize == TZdqControlResize::scrNone) {
    c.FZdqControlState = TZdqControlState::scsMove;
    c.StartMouseDownX = inControl.x();
    c.StartMouseDownY = inControl.y();
  } else {
    c.FZdqControlState = TZdqControlState::scsResize;
  }
  active_ = &c;
}

void TDesignSurface::bandMouseDown(TZdqBand& band, QPoint inBand, QMouseEvent& event) {
  TZdqDOptions& o = designer_.Options;
  if (event.button() == Qt::LeftButton && o.Tool >= 1) {
    if (o.Tool >= 2) insertControl(band, inBand);
    o.Tool = 0;
    if (OnToolReset) OnToolReset();
    return;
  }
  if (event.button() == Qt::LeftButton) {
    rubberBand_ = &band;
    rubberFrom_ = rubberTo_ = inBand;
  }
  if (!(event.modifiers() & Qt::ShiftModifier)) designer_.SelectElements(1);
  designer_.AddSelected(&band);
  if (event.button() == Qt::RightButton && OnContextMenu) OnContextMenu(band, event.globalPosition().toPoint());
}

TZdqBand* TDesignSurface::BandAt(QPoint pos, QPoint* inBand) const {
  if (pos.x() < kRulerWidth || pos.x() >= kRulerWidth + BandWidth()) return nullptr;
  for (const TSlot& slot : slots_) {
    if (Collapsed(*slot.band)) continue;
    const QPoint origin = BandOrigin(*slot.band);
    if (pos.y() < origin.y() || pos.y() >= slot.containerTop + slot.containerHeight) continue;
    if (inBand) *inBand = pos - origin;
    return slot.band;
  }
  return nullptr;
}

void TDesignSurface::dragEnterEvent(QDragEnterEvent* event) {
  if (IsExplorerNode(*event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TDesignSurface::dragMoveEvent(QDragMoveEvent* event) {
  if (IsExplorerNode(*event->mimeData()) && BandAt(event->position().toPoint()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TDesignSurface::dropEvent(QDropEvent* event) {
  QPoint at;
  TZdqBand* band = BandAt(event->position().toPoint(), &at);
  TZdqControl* made = band ? DropExplorerNode(*event->mimeData(), *band, at) : nullptr;
  if (!made) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  currentBand_ = band;
  designer_.SelectElements(1);
  designer_.AddSelected(made);
  update();
  if (OnEdited) OnEdited();
}

void TDesignSurface::insertControl(TZdqBand& band, QPoint at) {
  const auto& classes = lstZdqControls();
  const size_t index = size_t(designer_.Options.Tool - 2);
  if (index >= classes.size()) return;
  const TComponentClass* cls = TZdqBand::GetClassByName(classes[index].ControlClassName);
  if (!cls) return;
  TZdqControl* control = band.Objects()[size_t(band.AddElement(*cls))];
  SetPublished(*control, "Left", at.x());
  SetPublished(*control, "Top", at.y());
  designer_.SelectElements(1);
  designer_.AddSelected(control);
  if (OnEdited) OnEdited();
}

void TDesignSurface::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (splitterBand_) {
    SetPublished(*splitterBand_, "Height", std::max(1, splitterStartHeight_ + pos.y() - splitterStartY_));
    relayout();
    return;
  }
  if (active_) {
    dragActive(pos);
    return;
  }
  if (rubberBand_) {
    rubberTo_ = pos - BandOrigin(*rubberBand_);
    showPointer(*rubberBand_, rubberTo_);
    update();
    return;
  }
  // Hovering: the zone under the pointer of a selected control sets the cursor.
  Qt::CursorShape cursor = Qt::ArrowCursor;
  for (const TSlot& slot : slots_) {
    if (Collapsed(*slot.band)) continue;
    const QPoint inBand = pos - BandOrigin(*slot.band);
    if (inBand.y() < 0 || inBand.y() > slot.band->Height() || inBand.x() < 0) continue;
    showPointer(*slot.band, inBand);
    if (TZdqControl* c = controlAt(*slot.band, inBand); c && c->Selected() &&
                                                       c->FZdqControlState == TZdqControlState::scsNothing) {
      c->ZdqControlResize = GrabZoneAt(inBand.x() - c->Left(), inBand.y() - c->Top(), c->Width(), c->Height());
      cursor = CursorFor(c->ZdqControlResize);
    }
    break;
  }
  setCursor(cursor);
}

void TDesignSurface::dragActive(QPoint pos) {
  TZdqControl& c = *active_;
  const QPoint inControl = pos - BandOrigin(*c.GetParentBand()) - QPoint(c.Left(), c.Top());
  TControlBounds b = BoundsOf(c);
  if (c.FZdqControlState == TZdqControlState::scsResize) {
    b = ResizeBy(b, c.ZdqControlResize, inControl.x(), inControl.y());
  } else {
    b.Left += inControl.x() - c.StartMouseDownX;
    b.Top += inControl.y() - c.StartMouseDownY;
    if (designer_.Options.SnapToGrid) {
      b.Left = SnapDown(b.Left, designer_.Options.GridSizeX);
      b.Top = SnapDown(b.Top, designer_.Options.GridSizeY);
    }
  }
  SetBounds(c, b);
  crossBands(c);
  showPointer(*c.GetParentBand(), pos - BandOrigin(*c.GetParentBand()));
  update();
}

void TDesignSurface::crossBands(TZdqControl& c) {
  TZdqBand& band = *c.GetParentBand();
  const int index = band.GetBandIndex();
  const TZdqControlState state = c.FZdqControlState;
  if (c.Top() < 0) {
    TZdqBand* previous = report().GetBand(index - 1);
    if (previous && !Collapsed(*previous)) {
      c.MoveToBand(*previous);
      SetPublished(c, "Top", std::max(0, previous->Height() - c.Height()));
    } else {
      SetPublished(c, "Top", 0);
    }
  } else if (c.Top() + c.Height() > band.Height()) {
    TZdqBand* next = report().GetBand(index + 1);
    if (next && !Collapsed(*next)) {
      c.MoveToBand(*next);
      SetPublished(c, "Top", 0);
    } else if (!next) {
      SetPublished(band, "Height", c.Top() + c.Height());
      relayout();
    }
  }
  // Changing bands ends nothing: the drag goes on in the new band.
  c.FZdqControlState = state;
  currentBand_ = c.GetParentBand();
}

void TDesignSurface::mouseReleaseEvent(QMouseEvent* event) {
  const bool edited = active_ || splitterBand_;
  if (active_) {
    active_->FZdqControlState = TZdqControlState::scsNothing;
    active_->StartMouseDownX = active_->StartMouseDownY = 0;
    active_ = nullptr;
  }
  splitterBand_ = nullptr;
  if (rubberBand_) finishRubberBand(event->position().toPoint() - BandOrigin(*rubberBand_));
  update();
  if (edited && OnEdited) OnEdited();
}

void TDesignSurface::finishRubberBand(QPoint release) {
  TZdqBand& band = *rubberBand_;
  rubberBand_ = nullptr;
  const QPoint from = rubberFrom_;
  if (from.x() < 1 || from.y() < 1 || release.x() < 1 || release.y() < 1) return;
  // Spanned as dragged: upward or leftward gives an empty rectangle.
  const bool empty = release.x() <= from.x() || release.y() <= from.y();
  for (TZdqControl* c : band.Objects()) {
    const bool touched = !empty && c->Left() < release.x() && c->Left() + c->Width() > from.x() &&
                         c->Top() < release.y() && c->Top() + c->Height() > from.y();
    if (touched) designer_.AddSelected(c);
    else designer_.DeleteSelected(c);
  }
}

void TDesignSurface::showPointer(const TZdqBand& band, QPoint inBand) {
  if (TZdRuler* ruler = BandRuler(band)) ruler->SetPosition(TitleHeight() + inBand.y());
  if (OnPointerX) OnPointerX(inBand.x());
  if (OnPointerStatus)
    OnPointerStatus(QString("X:%1,Y:%2     %3").arg(inBand.x()).arg(inBand.y()).arg(QString::fromStdString(band.DisplayName())));
}

// ---- keyboard ----

bool TDesignSurface::HandleArrowKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) return false;
  const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
  if (!shift && !ctrl) return false;
  bool changed = false;
  for (TZdqBand* band : report().Bands())
    for (TZdqControl* c : band->Objects()) {
      if (!c->Selected()) continue;
      TControlBounds b = BoundsOf(*c);
      if (shift) {  // Shift wins over Ctrl
        if (key == Qt::Key_Left && b.Width > 1) --b.Width;
        if (key == Qt::Key_Right) ++b.Width;
        if (key == Qt::Key_Up && b.Height > 1) --b.Height;
        if (key == Qt::Key_Down) ++b.Height;
      } else {
        b.Left += key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
        b.Top += key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
      }
      changed |= !(b == BoundsOf(*c));
      SetBounds(*c, b);
    }
  update();
  if (changed && OnEdited) OnEdited();
  return true;
}

void TDesignSurface::keyPressEvent(QKeyEvent* event) {
  if (!HandleArrowKey(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

}  // namespace zd
