#include "designer/controls/ZdFontCombos.h"

#include <QEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "expr/StrUtils.h"

namespace zd {

namespace {

int fontTypeBits(const QString& family) {
  if (QFontDatabase::isSmoothlyScalable(family)) return kTrueTypeFontType;
  return QFontDatabase::isScalable(family) ? 0 : kRasterFontType;
}

bool passes(const QString& family, int typeBits, TZdFontListOptions options) {
  if ((options & foAnsiOnly) && !QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin)) return false;
  if ((options & foTrueTypeOnly) && !(typeBits & kTrueTypeFontType)) return false;
  if ((options & foFixedPitchOnly) && !QFontDatabase::isFixedPitch(family)) return false;
  if (options & foOEMFontsOnly) return false;
  if ((options & foScalableOnly) && (typeBits & kRasterFontType)) return false;
  return true;
}

// The mark beside outline fonts: two overlapping "T"s.
const QPixmap& trueTypeMark() {
  static const QPixmap mark = [] {
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f;
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawText(QRect(0, 0, 11, 12), Qt::AlignCenter, "T");
    p.setPen(Qt::black);
    p.drawText(QRect(5, 0, 11, 12), Qt::AlignCenter, "T");
    return pm;
  }();
  return mark;
}

constexpr int kTrueTypeSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

}  // namespace

TZdFontSizesCombo::TZdFontSizesCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  lineEdit()->setAlignment(Qt::AlignRight);
  // Picked from the list, or typed and confirmed with Enter (which may
  // arrive twice: from the box and from its line edit).
  connect(this, &QComboBox::activated, this, &TZdFontSizesCombo::confirm);
  connect(lineEdit(), &QLineEdit::returnPressed, this, &TZdFontSizesCombo::confirm);
}

void TZdFontSizesCombo::SetFontName(const std::string& name) {
  if (name == fontName_) return;
  fontName_ = name;
  BuildList();
}

void TZdFontSizesCombo::BuildList() {
  const QString shown = currentText();
  const QSignalBlocker quiet(this);
  clear();
  const QString family = QString::fromStdString(fontName_);
  if (QFontDatabase::isSmoothlyScalable(family)) {
    for (int size : kTrueTypeSizes) addItem(QString::number(size));
  } else {
    for (int size : QFontDatabase::pointSizes(family))
      if (findText(QString::number(size)) < 0) addItem(QString::number(size));
  }
  setCurrentIndex(findText(shown));
  setEditText(shown);
}

int TZdFontSizesCombo::FontSize() const { return StrToIntDef(currentText().trimmed().toStdString(), 0); }

void TZdFontSizesCombo::SetFontSize(int points) {
  setCurrentIndex(findText(QString::number(points)));
  setEditText(QString::number(points));
  confirmed_ = currentText();
}

void TZdFontSizesCombo::confirm() {
  if (currentText() == confirmed_) return;
  confirmed_ = currentText();
  if (OnChange) OnChange(this);
  emit changed();
}

TZdFontNamesCombo::TZdFontNamesCombo(QWidget* parent) : TZdOwnerDrawCombo(parent) {
  BuildList();
  setCurrentIndex(-1);
  connect(this, &QComboBox::activated, this, &TZdFontNamesCombo::fireChange);
}

std::string TZdFontNamesCombo::FontName() const { return currentIndex() < 0 ? std::string() : currentText().toStdString(); }

void TZdFontNamesCombo::SetFontName(const std::string& name) {
  if (FontName() == name) return;
  const QString wanted = QString::fromStdString(name);
  int found = -1;
  for (int i = 0; i < count() && found < 0; ++i)
    if (itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) found = i;
  setCurrentIndex(found);
  fireChange();
}

void TZdFontNamesCombo::SetDevice(TZdFontDevice device) {
  if (device == device_) return;
  device_ = device;
  Reset();
}

void TZdFontNamesCombo::SetOptions(TZdFontListOptions options) {
  if (options == options_) return;
  options_ = options;
  Reset();
}

void TZdFontNamesCombo::SetFontSizesCombo(TZdFontSizesCombo* sizes) {
  sizes_ = sizes;
  if (sizes_) sizes_->SetFontName(FontName());
}

void TZdFontNamesCombo::BuildList() {
  const QSignalBlocker quiet(this);
  clear();
  QStringList families = QFontDatabase::families();
  families.removeDuplicates();
  std::sort(families.begin(), families.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  for (const QString& family : families) {
    const int bits = fontTypeBits(family);
    if (passes(family, bits, options_)) addItem(family, bits);
  }
}

void TZdFontNamesCombo::Reset() {
  updating_ = true;
  const std::string name = FontName();
  BuildList();
  setCurrentIndex(-1);
  SetFontName(name);
  updating_ = false;
  if (FontName() != name) fireChange();
}

bool TZdFontNamesCombo::event(QEvent* e) {
  if (e->type() == QEvent::ApplicationFontChange) Reset();
  return TZdOwnerDrawCombo::event(e);
}

void TZdFontNamesCombo::fireChange() {
  if (sizes_) sizes_->SetFontName(FontName());
  if (updating_) return;
  if (OnChange) OnChange(this);
  emit changed();
}

int TZdFontNamesCombo::LeadingWidth() const { return std::max(trueTypeMark().width(), 20) + 6; }

int TZdFontNamesCombo::ItemHeight() const {
  return std::max({fontMetrics().height() + 1, trueTypeMark().height() - 1, 9});
}

void TZdFontNamesCombo::DrawItem(QPainter& p, const QRect& r, int index) const {
  int markWidth = 20;
  if (itemData(index).toInt() & kTrueTypeFontType) {
    const QPixmap& mark = trueTypeMark();
    p.drawPixmap(r.left(), r.top() + (r.height() - mark.height()) / 2, mark);
    markWidth = mark.width();
  }
  const int textLeft = r.left() + markWidth + 6;
  p.drawText(QRect(textLeft, r.top(), r.right() - textLeft, r.height()),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
}

}  // namespace zd
