#pragma once
// Controls that print text: a static label, an expression's value and a
// system value (date, page number, ...).
#include <string>

#include "print/SysData.h"
#include "report/model/ZdqBase.h"
#include "report/model/ZdqTypes.h"

namespace zd {

/// A fixed text.
class TZdqLabel : public TZdqControl {
 public:
  explicit TZdqLabel(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqLabel"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  int Angle() const { return angle_; }
  /// Degrees; a value outside 0..359 stores 0.
  void SetAngle(int degrees) { angle_ = degrees >= 0 && degrees <= 359 ? degrees : 0; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on) { wordWrap_ = on; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on) { stretch_ = on; }

  /// A label prints its display name.
  void UpdateCurValue() override;
  void TakeRow(const std::string&, const std::string&, bool) override { UpdateCurValue(); }
  /// The text printed for a value: here its plain text.
  virtual std::string GetValueForShow(const TCanvas& canvas, const TVariant& value) const;

  /// Prints the current value (the display name in design mode); a stretching
  /// label needs the height of its wrapped text. A repeated value that must
  /// not repeat is neither drawn nor remembered.
  int Draw(TCanvas& canvas, TRect& rect, uint32_t flags) override;
  /// Between two lines of unrotated text.
  int CutAbove(int y) const override;

 protected:
  /// Places the text by alignment and angle and returns its height.
  int DoDrawText(TCanvas& canvas, const TRect& rect, uint32_t flags, const std::string& text);
  /// Run mode: the value's text through the display format, padded to the
  /// characters that fit inside the frame. Design mode: as a label.
  std::string FormattedForShow(const TCanvas& canvas, const TVariant& value, const std::string& format) const;

 private:
  bool SuppressedRepeat() const;

  // A band is measured before it is drawn, so the same value is formatted
  // again at once: the last result is kept.
  struct TFormatted {
    TVariant value;
    std::string format;
    int cells = -1;
    std::string text;
  };
  mutable TFormatted lastFormatted_;
  int angle_ = 0;
  bool wordWrap_ = true;
  bool stretch_ = true;
};

/// The value of an expression over fields, variables and parameters, with
/// an optional running calculation (sum, count, ...).
class TZdqExpression : public TZdqLabel {
 public:
  explicit TZdqExpression(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExpression"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  const std::string& Expression() const { return expression_; }
  /// An empty display name takes the expression.
  void SetExpression(const std::string& expression);
  const std::string& Format() const { return format_; }
  void SetFormat(const std::string& format) { format_ = format; }
  TZdqCalculation& Calculation() { return calculation_; }
  const TZdqCalculation& Calculation() const { return calculation_; }
  void SetCalculation(const TZdqCalculation& c) { calculation_.Assign(c); }

  /// A bare field shown without format or calculation prints the field's
  /// text; anything else is evaluated by the report, turned into text for
  /// the format and accumulated by the calculation type over the report's
  /// row in hand (a calculation takes nothing in while there is no row).
  void UpdateCurValue() override;
  /// Only a printed row, and only when its calculation is affected.
  void TakeRow(const std::string& groupName, const std::string& variableName, bool rowPrinted) override {
    if (rowPrinted && calculation_.StateChanged(groupName, variableName)) UpdateCurValue();
  }
  /// A new span of the calculation begins (the end of the report clears it).
  void RestartCalculation(TResetType type, uint64_t currentRow);
  /// The calculation's totals, saved and restored around a look-ahead.
  TRunningCalculation& Running() { return running_; }
  std::string GetValueForShow(const TCanvas& canvas, const TVariant& value) const override {
    return FormattedForShow(canvas, value, format_);
  }

 private:
  /// The field the expression names when it is nothing but a field reference.
  const TField* BareField(TZdReport& report) const;

  std::string expression_;
  std::string format_;
  TZdqCalculation calculation_;
  TRunningCalculation running_;
};

/// A system value: date, time, page number, report title, ...
class TZdqSysData : public TZdqLabel {
 public:
  explicit TZdqSysData(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqSysData"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TZdqSysDataType SysData() const { return sysData_; }
  /// A format still at the old value's default follows the new value, and
  /// the display name becomes the value's unique name.
  void SetSysData(TZdqSysDataType kind);
  const std::string& Format() const { return format_; }
  void SetFormat(const std::string& format) { format_ = format; }

  /// Numbers and dates become their decimal text.
  void UpdateCurValue() override;
  std::string GetValueForShow(const TCanvas& canvas, const TVariant& value) const override {
    return FormattedForShow(canvas, value, format_);
  }

 private:
  void takeValueName();

  TZdqSysDataType sysData_ = TZdqSysDataType::sdDateTime;
  std::string format_;
};

}  // namespace zd
