#pragma once
// A drop-down list whose items a subclass draws itself, in the list and in
// the closed box alike.
#include <QComboBox>

namespace zd {

class TZdOwnerDrawCombo : public QComboBox {
 public:
  explicit TZdOwnerDrawCombo(QWidget* parent = nullptr);

  // Draws item `index` into `r`; the background is already filled and the
  // painter's pen is the text colour for a selected or plain item.
  virtual void DrawItem(QPainter& p, const QRect& r, int index) const = 0;
  // The larger of the font's height + 1 and 9.
  virtual int ItemHeight() const;
  // Pixels the drawing puts before an item's text (a swatch, a sample, a mark).
  virtual int LeadingWidth() const { return 0; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace zd
