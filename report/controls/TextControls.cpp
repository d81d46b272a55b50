#include "report/controls/TextControls.h"

#include "expr/Calculation.h"

#include "expr/DisplayFormat.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/controls/detail/ControlDrawing.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

// The built-in captions have no string-table numbers of their own.
constexpr const char* kLabelName = "Text";
constexpr const char* kExpressionName = "Expression";

const TEnumNames kSysDataNames{"TZdqSysDataType",
                               {"sdDate", "sdTime", "sdDateTime", "sdAuthor", "sdReportTitle", "sdSubject",
                                "sdKeywords", "sdPageNo", "sdPageCount", "sdBarNo", "sdBarCount", "sdColumnNo",
                                "sdColumnCount", "sdDetailNo", "sdBandLineNo"}};

bool IsDateKind(TZdqSysDataType k) { return k <= TZdqSysDataType::sdDateTime; }
bool IsCountKind(TZdqSysDataType k) { return k >= TZdqSysDataType::sdPageNo; }

}  // namespace

// ---- TZdqLabel ----

TZdqLabel::TZdqLabel(TComponent* owner) : TZdqControl(owner) {
  Font().Edit().Name = "Arial";
  SetDisplayName(kLabelName);
}

const TClassProperties& TZdqLabel::ClassProperties() {
  using L = TZdqLabel;
  static const TClassProperties props =
      TPropertiesOf<L>("TZdqLabel", &TZdqControl::ClassProperties())
          .Integer("Angle", [](const L& l) { return l.Angle(); }, [](L& l, int v) { l.SetAngle(v); }, 0)
          .Boolean("WordWrap", [](const L& l) { return l.WordWrap(); }, [](L& l, bool v) { l.SetWordWrap(v); }, true)
          .Boolean("Stretch", [](const L& l) { return l.Stretch(); }, [](L& l, bool v) { l.SetStretch(v); }, true)
          .Build();
  return props;
}

void TZdqLabel::UpdateCurValue() {
  // Asked for every row: the text seldom changes, so it is not copied again.
  if (FCurValue.kind() != TVarKind::String || FCurValue.asString() != DisplayName()) FCurValue = TVariant(DisplayName());
}

std::string TZdqLabel::GetValueForShow(const TCanvas&, const TVariant& value) const {
  return GetValueStr(value, "");
}

std::string TZdqLabel::FormattedForShow(const TCanvas& canvas, const TVariant& value,
                                        const std::string& format) const {
  if (InDesignMode()) return TZdqLabel::GetValueForShow(canvas, value);
  const int cells = GetCharWidth(canvas, Width() - Frame().GetFrameWidth() - 2);
  TFormatted& last = lastFormatted_;
  if (last.cells != cells || last.value != value || last.format != format)
    last = {value, format, cells, GetTextByFormat(GetValueStr(value, ""), format, cells)};
  return last.text;
}

bool TZdqLabel::SuppressedRepeat() const {
  return !ZdPrintWhen().RepeatedValues() && !ValueChanged() && !InDesignMode();
}

int TZdqLabel::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  const int height = TZdqControl::Draw(canvas, rect, flags);
  const int frameWidth = Frame().GetFrameWidth();
  const bool measuring = flags & kDrawMeasure;
  uint32_t textFlags = flags | DT_EXPANDTABS | DT_NOPREFIX;
  if (wordWrap_) textFlags |= DT_WORDBREAK;
  int textHeight = -2 * frameWidth;
  if (!SuppressedRepeat()) {
    const TVariant value = InDesignMode() ? TVariant(DisplayName()) : FCurValue;
    // Measured inside the frame, as it is drawn, so both wrap alike.
    const TRect textRect = measuring ? rect.Inflated(-frameWidth, -frameWidth) : rect;
    textHeight = DoDrawText(canvas, textRect, textFlags, GetValueForShow(canvas, value));
    if (!measuring) FPrevValue = FCurValue;
  }
  return stretch_ ? 2 * frameWidth + textHeight : height;
}

int TZdqLabel::CutAbove(int y) const {
  const int frameWidth = Frame().GetFrameWidth();
  const int lineHeight = FontLineHeight(Font().Value());
  if (angle_ != 0 || lineHeight <= 0 || y <= frameWidth) return 0;
  return frameWidth + (y - frameWidth) / lineHeight * lineHeight;
}

int TZdqLabel::DoDrawText(TCanvas& canvas, const TRect& rect, uint32_t flags, const std::string& text) {
  const int frameWidth = Frame().GetFrameWidth();
  canvas.Brush.Style = TBrushStyle::bsClear;
  const TFont unrotated = canvas.Font;
  if (angle_ >= 1) canvas.Font.Orientation = angle_ * 10;
  // Unrotated left-aligned text starts at the rectangle whatever its size.
  const bool placedByExtent = angle_ != 0 || Alignment() != TAlignment::taLeftJustify;
  const TSize extent = placedByExtent ? canvas.TextExtent(text) : TSize{};
  const TPoint offset = RotatedTextOffset(Alignment(), angle_, extent,
                                          {Width() - 2 * frameWidth, Height() - 2 * frameWidth});
  const TRect placed{rect.Left + offset.X, rect.Top + offset.Y, rect.Right, rect.Bottom};
  const int textHeight = DrawWrapText(canvas, text, placed, flags, angle_, ZdPrintWhen().RemoveBlankLine());
  canvas.Font = unrotated;
  return textHeight;
}

// ---- TZdqExpression ----

TZdqExpression::TZdqExpression(TComponent* owner) : TZdqLabel(owner) { SetDisplayName(kExpressionName); }

const TClassProperties& TZdqExpression::ClassProperties() {
  using E = TZdqExpression;
  static const TClassProperties props =
      TPropertiesOf<E>("TZdqExpression", &TZdqLabel::ClassProperties())
          .String("Expression", [](const E& e) { return e.Expression(); },
                  [](E& e, const std::string& v) { e.SetExpression(v); })
          .String("Format", [](const E& e) { return e.Format(); }, [](E& e, const std::string& v) { e.SetFormat(v); })
          .Object("Calculation", [](E& e) -> TZdqCalculation& { return e.Calculation(); })
          .Build();
  return props;
}

void TZdqExpression::SetExpression(const std::string& expression) {
  expression_ = expression;
  if (DisplayName().empty()) SetDisplayName(expression);
}

const TField* TZdqExpression::BareField(TZdReport& report) const {
  std::string name = Trim(expression_);
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  if (name.empty()) return nullptr;
  return GetFieldByName(&report.GetDataManager(), name);
}

void TZdqExpression::UpdateCurValue() {
  TZdReport* report = GetZdReport();
  if (!report) return;
  const TCalcType calcType = calculation_.CalcType();
  if (format_.empty() && calcType == TCalcType::ctNothing) {
    if (const TField* field = BareField(*report)) {
      FCurValue = TVariant(field->AsString());
      return;
    }
  }
  const uint64_t row = report->CurrentRow;
  if (calcType == TCalcType::ctNothing || row != 0) {
    const TVariant value = report->Evaluate(expression_);
    running_.TakeIn(row, value.isNull() ? std::string() : GetValueStr(value, format_), calcType);
  }
  FCurValue = running_.Result(calcType);
}

void TZdqExpression::RestartCalculation(TResetType type, uint64_t currentRow) {
  FPrevValue = TVariant();
  if (type == TResetType::rtEndReport) {
    running_.Clear();
    FCurValue = TVariant();
    return;
  }
  running_.Restart(currentRow);
  FCurValue = running_.Result(calculation_.CalcType());
}

// ---- TZdqSysData ----

TZdqSysData::TZdqSysData(TComponent* owner) : TZdqLabel(owner) {
  format_ = SysDataDefaultFormat(sysData_);
  takeValueName();
}

const TClassProperties& TZdqSysData::ClassProperties() {
  using S = TZdqSysData;
  static const TClassProperties props =
      TPropertiesOf<S>("TZdqSysData", &TZdqLabel::ClassProperties())
          .Enum("SysData", [](const S& s) { return s.SysData(); }, [](S& s, TZdqSysDataType v) { s.SetSysData(v); },
                kSysDataNames, TZdqSysDataType::sdDateTime)
          .String("Format", [](const S& s) { return s.Format(); }, [](S& s, const std::string& v) { s.SetFormat(v); })
          .Build();
  return props;
}

void TZdqSysData::SetSysData(TZdqSysDataType kind) {
  if (kind == sysData_) return;
  if (format_.empty() || format_ == SysDataDefaultFormat(sysData_)) format_ = SysDataDefaultFormat(kind);
  sysData_ = kind;
  // A template stores the display name itself; renaming while loading would lose it.
  if (!(ComponentState() & csLoading)) takeValueName();
}

void TZdqSysData::takeValueName() {
  TZdReport* report = GetZdReport();
  const std::string name = GetSysDataName(report ? report->GetLanguageShift() : 0, sysData_);
  SetDisplayName(report ? report->GetUniqueName(name, this) : name);
}

void TZdqSysData::UpdateCurValue() {
  TZdReport* report = GetZdReport();
  if (!report) return;
  TVariant value;
  if (sysData_ == TZdqSysDataType::sdDetailNo) {
    value = TVariant(report->GetBandLineNo(TBandType::btDetail));
  } else if (sysData_ == TZdqSysDataType::sdBandLineNo) {
    value = TVariant(GetParentBand() ? GetParentBand()->LineNo : 0);
  } else {
    report->GetSysDataValue(sysData_, value);
  }
  if (IsDateKind(sysData_) && !value.isNull())
    value = TVariant(FloatToStr(VarToFloat(value)));
  else if (IsCountKind(sysData_) && !value.isNull())
    value = TVariant(std::to_string(VarToNum(value, true)));
  FCurValue = value;
}

}  // namespace zd
