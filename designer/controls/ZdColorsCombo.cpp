#include "designer/controls/ZdColorsCombo.h"

#include <QColorDialog>
#include <QPainter>

#include "designer/controls/ControlColors.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

constexpr int kCustomSlot = kStandardColorCount + kSystemColorCount;

TColor slotColor(int slot) {
  if (slot < kStandardColorCount) return kStandardColors[slot];
  return kSystemColorBase + TColor(slot - kStandardColorCount);
}

}  // namespace

TZdColorsCombo::TZdColorsCombo(QWidget* parent) : TZdOwnerDrawCombo(parent) {
  BuildList();
  connect(this, &QComboBox::activated, this, &TZdColorsCombo::userPicked);
}

void TZdColorsCombo::BuildList() {
  clear();
  const int first = (mode_ & cmStandardColors) ? 0 : kStandardColorCount;
  int count = (mode_ & cmStandardColors) ? kStandardColorCount : 0;
  if (mode_ & cmSystemColors) count += kSystemColorCount;
  if (mode_ & cmCustomItem) count += 1;
  for (int slot = first; slot < first + count; ++slot) {
    if ((mode_ & cmCustomItem) && slot == first + count - 1) {
      addItem(QString::fromStdString(customText_), QVariant::fromValue(customColor_));
      continue;
    }
    const TColor color = slotColor(slot);
    const bool named = slot < int(names_.size()) && !names_[slot].empty();
    addItem(QString::fromStdString(named ? names_[slot] : ColorDisplayName(color)), QVariant::fromValue(color));
  }
  selectStoredValue();
}

TColor TZdColorsCombo::ItemColor(int index) const { return itemData(index).value<TColor>(); }

void TZdColorsCombo::selectStoredValue() {
  for (int i = 0; i < count(); ++i)
    if (ItemColor(i) == value_) return setCurrentIndex(i);
  setCurrentIndex(-1);
}

void TZdColorsCombo::SetColorValue(TColor c) {
  if (currentIndex() >= 0 && c == value_) return;
  const int previous = currentIndex();
  for (int i = 0; i < count(); ++i) {
    if (ItemColor(i) != c) continue;
    value_ = c;
    setCurrentIndex(i);
    fireChange();
    return;
  }
  if (!(mode_ & cmCustomItem)) {
    setCurrentIndex(previous);
    return;
  }
  value_ = customColor_ = c;
  setItemData(count() - 1, QVariant::fromValue(c));
  setCurrentIndex(count() - 1);
  fireChange();
}

void TZdColorsCombo::SetColorMode(TColorMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  BuildList();
}

void TZdColorsCombo::SetColorNames(std::vector<std::string> names) {
  names_ = std::move(names);
  BuildList();
}

void TZdColorsCombo::SetCustomText(std::string text) {
  customText_ = std::move(text);
  BuildList();
}

bool TZdColorsCombo::DisplayColorDialog() {
  QColorDialog dialog(ScreenColor(value_), this);
  if (dialog.exec() != QDialog::Accepted) return false;
  SetColorValue(FromQColor(dialog.selectedColor()));
  return true;
}

void TZdColorsCombo::userPicked(int index) {
  if ((mode_ & cmCustomItem) && index == count() - 1 && !DisplayColorDialog()) {
    selectStoredValue();  // cancelled: nothing changes
    return;
  }
  if (currentIndex() >= 0) SetColorValue(ItemColor(currentIndex()));
}

void TZdColorsCombo::fireChange() {
  if (OnChange) OnChange(this);
  emit changed();
}

void TZdColorsCombo::DrawItem(QPainter& p, const QRect& item, int index) const {
  const bool swatch = mode_ & cmColor, name = mode_ & cmName;
  const TColor color = ItemColor(index);
  if (swatch) {
    QRect r(QPoint(item.left() + 2, item.top() + 2), QPoint(swatch && name ? item.left() + 24 : item.right() - 3,
                                                           item.bottom() - 2));
    p.save();
    p.setPen(ScreenColor(clWindowText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.fillRect(r.adjusted(1, 1, -1, -1), ScreenColor(color));
    p.restore();
  }
  if (name) {
    const int textLeft = item.left() + (swatch ? 28 : 6);
    p.save();
    if (!swatch) p.setPen(ScreenColor(color));
    p.drawText(QRect(textLeft, item.top(), item.right() - textLeft, item.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
    p.restore();
  }
}

}  // namespace zd
