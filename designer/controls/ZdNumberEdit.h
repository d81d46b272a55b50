#pragma once
// A one-line edit for numbers: typing is filtered to what can form a number,
// the value reads as 0 when the text is not one, and leaving the box with a
// value outside [MinValue, MaxValue] is refused with an error message.
#include <QLineEdit>
#include <functional>
#include <string>

namespace zd {

class TZdNumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TZdNumberEdit(QWidget* parent = nullptr);

  bool IntegerOnly() const { return integerOnly_; }
  void SetIntegerOnly(bool on) { integerOnly_ = on; }
  double MinValue() const { return minValue_; }
  void SetMinValue(double v) { minValue_ = v; }
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double v) { maxValue_ = v; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool on) { autoSelect_ = on; }

  double Value() const;
  void SetValue(double v);
  int GetIntValue() const;  // 0 when empty or not a whole number

  // "Value 1,000.00 out of range 0.00..999.00"; empty while the value is in range.
  std::string RangeError() const;

  std::function<void(TZdNumberEdit* sender)> OnChange;

 signals:
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool acceptsCharacter(QChar& c) const;
  void reportRangeError();

  bool integerOnly_ = false;
  bool autoSelect_ = true;
  bool reportingRange_ = false;
  double minValue_ = -999999999, maxValue_ = 999999999;
};

}  // namespace zd
