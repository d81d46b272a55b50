#include "designer/controls/ZdNumberEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "expr/ExprValue.h"
#include "expr/NumberText.h"
#include "expr/StrUtils.h"

namespace zd {

TZdNumberEdit::TZdNumberEdit(QWidget* parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (OnChange) OnChange(this);
    emit changed();
  });
}

double TZdNumberEdit::Value() const {
  const std::string s = text().toStdString();
  if (s.empty()) return 0;
  if (integerOnly_) return StrToIntDef(s, 0);
  return StrToFloatDef(s, 0);
}

void TZdNumberEdit::SetValue(double v) {
  if (!text().isEmpty() && Value() == v) return;
  setText(QString::fromStdString(FloatToStr(v)));
}

int TZdNumberEdit::GetIntValue() const { return StrToIntDef(text().toStdString(), 0); }

std::string TZdNumberEdit::RangeError() const {
  const double v = Value();
  if (v >= minValue_ && v <= maxValue_) return {};
  TNumberStyle style;
  style.grouping = true;
  style.decimalSeparator = std::string(1, currentLocale().decimalSeparator);
  style.thousandSeparator = std::string(1, currentLocale().thousandSeparator);
  return "Value " + FormatNumberText(v, style) + " out of range " + FormatNumberText(minValue_, style) + ".." +
         FormatNumberText(maxValue_, style);
}

bool TZdNumberEdit::acceptsCharacter(QChar& c) const {
  if (c == '+' || c == '-' || c.isDigit()) return c.unicode() < 128;
  if (integerOnly_) return false;
  const QChar separator = QChar(currentLocale().decimalSeparator);
  if (c == ',' || c == '.') c = separator;
  if (c == separator) return !text().contains(separator);
  return c == 'E' || c == 'e';
}

void TZdNumberEdit::keyPressEvent(QKeyEvent* event) {
  // Only typed characters are filtered: editing keys, Escape and shortcuts
  // keep their usual meaning.
  const QString typed = event->text();
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (typed.size() != 1 || shortcut || !(typed.front().isPrint() || typed.front() == '\r')) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  QChar c = typed.front();
  if (c == '\r') {
    focusNextChild();
  } else if (!acceptsCharacter(c)) {
    QApplication::beep();
  } else if (c != typed.front()) {  // a comma or point became the system's separator
    insert(QString(c));
  } else {
    QLineEdit::keyPressEvent(event);
  }
}

void TZdNumberEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (autoSelect_) QTimer::singleShot(0, this, &QLineEdit::selectAll);  // after the click that focused it
}

void TZdNumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Switching windows or opening a menu is not leaving the box.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  if (!reportingRange_ && !RangeError().empty()) QTimer::singleShot(0, this, &TZdNumberEdit::reportRangeError);
}

void TZdNumberEdit::reportRangeError() {
  const std::string message = RangeError();
  if (message.empty() || !isVisible()) return;  // corrected meanwhile, or its window closed
  reportingRange_ = true;
  QMessageBox::critical(window(), window()->windowTitle(), QString::fromStdString(message));
  reportingRange_ = false;
  // Back into the box to correct the value.
  window()->activateWindow();
  setFocus(Qt::OtherFocusReason);
  selectAll();
}

}  // namespace zd
