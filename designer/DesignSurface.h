#pragma once
// The design surface: the report's bands stacked from the top, each a
// container (a 25-pixel ruler strip on its left, a title bar, then the band
// itself) above a 3-pixel splitter that drags the band's height. Controls
// are drawn by their own Draw in design mode; the mouse selects, moves,
// resizes and inserts them.
#include <QWidget>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "designer/DesignGeometry.h"
#include "designer/ZdqDesigner.h"
#include "designer/controls/ZdRuler.h"

namespace zd {

class TDesignSurface : public QWidget {
 public:
  static constexpr int kRulerWidth = 25;
  static constexpr int kTitleHeight = 21;
  static constexpr int kSplitterHeight = 3;

  explicit TDesignSurface(TZdqDesigner& designer, QWidget* parent = nullptr);

  // Told after an edit has been made (a gesture finished, a control was
  // inserted): the window records an undo step.
  std::function<void()> OnEdited;
  // The status bar's pointer text.
  std::function<void(const QString&)> OnPointerStatus;
  // A right click on a control or band (the subject) at a global position.
  std::function<void(TZdqControl& subject, const QPoint& globalPos)> OnContextMenu;
  // A double click with the arrow tool on a control or band.
  std::function<void(TZdqControl& subject)> OnDoubleClick;
  // The palette tool went back to the arrow.
  std::function<void()> OnToolReset;
  // The pointer's column in the band under it, for the ruler above the bands.
  std::function<void(int x)> OnPointerX;
  // The bands were laid out again (their width may have changed).
  std::function<void()> OnLaidOut;

  // The ruler in the strip beside the band, or none for a band not shown.
  TZdRuler* BandRuler(const TZdqBand& band) const;
  TZdMeasure RulerMeasure() const { return rulerMeasure_; }
  void SetRulerMeasure(TZdMeasure measure);
  // Splitters and band rulers take the design colour; the bands' surroundings
  // are painted in it anyway.
  void ApplyDesignColor(TColor color);
  TColor SplitterColor() const { return splitterColor_; }

  // Lays the bands out again after bands were added, removed or reloaded.
  void ReCreateBands();
  // The band presses and pastes go to: the one last pressed, else the first.
  TZdqBand* CurrentBand() const;

  // Where the band's own area starts, in surface coordinates.
  QPoint BandOrigin(const TZdqBand& band) const;
  int BandWidth() const;
  int TitleHeight() const;
  // Clicks in the title's left 21 pixels collapse and expand the band.
  bool Collapsed(const TZdqBand& band) const;
  void ToggleCollapsed(const TZdqBand& band);

  // Between the press and release of a move, resize or band-height drag.
  bool Dragging() const { return active_ || splitterBand_; }

  // The band whose own area holds a surface point, and the point in it.
  TZdqBand* BandAt(QPoint pos, QPoint* inBand = nullptr) const;
  // Arrow keys: with Shift every selected control is resized, with Ctrl
  // moved, by one pixel. False for other keys.
  bool HandleArrowKey(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Nodes of the report explorer dropped on a band become controls.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct TSlot {
    TZdqBand* band;
    int containerTop;  // the title bar's top
    int containerHeight;
  };
  const TSlot* slotOf(const TZdqBand& band) const;
  int areaHeight(const TSlot& slot) const;
  void relayout();
  void placeBandRulers();
  TZdRuler* newBandRuler();

  void paintBand(QPainter& p, const TSlot& slot);
  void paintHandles(QPainter& p, const TZdqControl& control);

  TZdqControl* controlAt(const TZdqBand& band, QPoint inBand) const;
  void controlMouseDown(TZdqControl& control, QPoint inControl, QMouseEvent& event);
  void bandMouseDown(TZdqBand& band, QPoint inBand, QMouseEvent& event);
  void insertControl(TZdqBand& band, QPoint at);
  void dragActive(QPoint pos);
  void crossBands(TZdqControl& control);
  void finishRubberBand(QPoint release);
  void showPointer(const TZdqBand& band, QPoint inBand);

  TZdqDesigner& designer_;
  TZdReport& report() const { return *designer_.Report(); }
  std::vector<TSlot> slots_;
  std::set<const TZdqBand*> collapsed_;  // only their titles show
  TZdqBand* currentBand_ = nullptr;
  TZdqControl* active_ = nullptr;     // moved or resized between press and release
  TZdqBand* splitterBand_ = nullptr;  // its height dragged
  int splitterStartY_ = 0, splitterStartHeight_ = 0;
  TZdqBand* rubberBand_ = nullptr;    // where a rubber band is spanned
  QPoint rubberFrom_, rubberTo_;
  std::vector<TZdRuler*> bandRulers_;  // one per slot, in slot order
  TZdMeasure rulerMeasure_ = TZdMeasure::zdmCentimetre;
  TColor splitterColor_ = 0xC0C0C0;
  std::optional<TColor> designColor_;  // once options have been applied
};

}  // namespace zd
