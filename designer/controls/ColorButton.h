#pragma once
// The split colour button of the formatting tool bar: the left part applies
// the shown colour, the arrow opens a palette of the 16 standard colours.
#include <QWidget>
#include <array>
#include <functional>

#include "host/graphics/Canvas.h"

namespace zd {

// A colour carried by a button, shown as its tool tip ("Red", "$00123456").
class TZdCustomColorBtn : public QWidget {
  Q_OBJECT

 public:
  explicit TZdCustomColorBtn(QWidget* parent = nullptr);

  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool Flat() const { return flat_; }
  void SetFlat(bool on);

  std::function<void(TZdCustomColorBtn* sender)> OnChange;

 signals:
  void changed();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  // Hovering a flat button raises it; leaving also releases a pressed part.
  virtual void releasePressed() {}
  bool mouseIn_ = false;

 private:
  TColor color_ = clBlack;
  bool flat_ = true;
};

// One cell of the palette.
class TDropColorBtn : public TZdCustomColorBtn {
 public:
  explicit TDropColorBtn(QWidget* parent = nullptr);
  bool Selected() const { return selected_; }
  void SetSelected(bool on);
  std::function<void(TDropColorBtn* sender)> OnClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void releasePressed() override;

 private:
  bool selected_ = false;
  bool down_ = false;
};

// The drop-down palette: 4 x 4 cells; a click outside closes it.
class TZdColorWin : public QWidget {
 public:
  explicit TZdColorWin(QWidget* parent);
  // Marks the cell of this colour.
  void MarkColor(TColor c);
  const std::array<TDropColorBtn*, 16>& Cells() const { return cells_; }
  std::function<void(TColor chosen)> OnCellClick;

 protected:
  void leaveEvent(QEvent* event) override;

 private:
  std::array<TDropColorBtn*, 16> cells_{};
};

enum class TColorType : uint8_t { ctcText, ctcFill, ctcLine, ctcHighlight };
enum class TDownButton : uint8_t { dbNone, dbColor, dbDropDown };

class TColorButton : public TZdCustomColorBtn {
  Q_OBJECT

 public:
  explicit TColorButton(QWidget* parent = nullptr);

  TColorType ColorType() const { return colorType_; }
  void SetColorType(TColorType t);
  int DropWidth() const;
  TDownButton Down() const { return down_; }
  // The palette, once the arrow has opened it.
  TZdColorWin* Palette() const { return palette_; }

  // The colour part was clicked: apply Color.
  std::function<void(TColorButton* sender)> OnClick;
  // Replaces the palette when set.
  std::function<void(TColorButton* sender)> OnDropClick;

  QSize sizeHint() const override { return {33, 25}; }

 signals:
  void clicked();

 protected:
  virtual void DropClick();
  virtual TZdColorWin* CreateDropPnl();

  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void releasePressed() override;

 private:
  TDownButton partAt(QPoint p) const;
  void clickPart(TDownButton part);
  void cellChosen(TColor c);

  TColorType colorType_ = TColorType::ctcText;
  TDownButton down_ = TDownButton::dbNone;
  bool tracking_ = false;
  TZdColorWin* palette_ = nullptr;
};

}  // namespace zd
