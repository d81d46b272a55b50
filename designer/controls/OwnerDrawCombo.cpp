#include "designer/controls/OwnerDrawCombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace zd {

namespace {

class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit TOwnerDrawDelegate(TZdOwnerDrawCombo* combo) : QStyledItemDelegate(combo), combo_(combo) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    p->save();
    p->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->setFont(combo_->font());
    combo_->DrawItem(*p, option.rect, index.row());
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), combo_->ItemHeight()};
  }

 private:
  TZdOwnerDrawCombo* combo_;
};

}  // namespace

TZdOwnerDrawCombo::TZdOwnerDrawCombo(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new TOwnerDrawDelegate(this));
}

int TZdOwnerDrawCombo::ItemHeight() const { return std::max(fontMetrics().height() + 1, 9); }

QSize TZdOwnerDrawCombo::sizeHint() const { return QComboBox::sizeHint() + QSize(LeadingWidth(), 0); }

QSize TZdOwnerDrawCombo::minimumSizeHint() const {
  return QComboBox::minimumSizeHint() + QSize(LeadingWidth(), 0);
}

void TZdOwnerDrawCombo::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  p.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  if (currentIndex() < 0) {
    p.setPen(palette().color(QPalette::PlaceholderText));
    p.drawText(field.adjusted(LeadingWidth(), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, placeholderText());
    return;
  }
  p.setPen(palette().color(QPalette::ButtonText));
  if (!isEnabled()) p.setOpacity(0.35);  // swatches fade as disabled text does
  DrawItem(p, field, currentIndex());
}

}  // namespace zd
