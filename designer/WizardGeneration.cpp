#include "designer/WizardGeneration.h"

#include <algorithm>

#include "expr/StrUtils.h"
#include "host/data/Field.h"
#include "print/Language.h"
#include "print/SysData.h"
#include "print/TextIds.h"
#include "print/ZdPrntr.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

using TType = TWizardReportType;
using TStyle = TWizardReportStyle;

enum class TElement { Title, Caption, Data };

constexpr TColor kYellow = 0x00FFFF, kTeal = 0x808000, kNavy = 0x800000, kMaroon = 0x000080;
constexpr int kTitleFontSize = 14, kTitleHeight = 35;
constexpr int kTabularValueLeft = 60;

// Font style, colour and frame of a title, caption or data element.
void applyStyle(TZdqControl& control, TElement element, TStyle style) {
  TFont& font = control.Font().Edit();
  TZdqFrame& frame = control.Frame();
  font.Style = TFontStyles();
  if (element == TElement::Title) {
    font.Size = kTitleFontSize;
    control.SetHeight(kTitleHeight);
  }
  switch (element) {
    case TElement::Title:
      font.Style.Set(fsBold);
      switch (style) {
        case TStyle::rsStandard:
          font.Color = clBlack;
          frame.SetFrameType(ftBottom);
          frame.SetWidth(2);
          break;
        case TStyle::rsExecutive:
          font.Color = kYellow;
          control.SetBackColor(kTeal);
          control.SetTransparent(false);
          break;
        case TStyle::rsPresentative:
          font.Color = kMaroon;
          frame.SetFrameType(ftTop | ftBottom);
          frame.SetWidth(2);
          frame.SetColor(kMaroon);
          break;
        case TStyle::rsCorporative:
          font.Style.Set(fsItalic);
          font.Color = kNavy;
          frame.SetFrameType(ftTop);
          frame.SetWidth(3);
          frame.SetColor(kNavy);
          break;
      }
      break;
    case TElement::Caption:
      font.Style.Set(style == TStyle::rsCorporative ? fsItalic : fsBold);
      if (style == TStyle::rsStandard) font.Color = clBlack;
      if (style == TStyle::rsExecutive || style == TStyle::rsCorporative) font.Color = kNavy;
      break;
    case TElement::Data:
      if (style == TStyle::rsStandard) font.Color = clBlack;
      break;
  }
}

template <class T>
T& addControl(TZdqBand& band) {
  const TComponentClass* controlClass = TZdqBand::GetClassByName(T::ClassProperties().ClassName());
  return dynamic_cast<T&>(*band.Objects()[size_t(band.AddElement(*controlClass))]);
}

template <class T>
T& addText(TZdqBand& band, int left, int top, int width, TElement element, TStyle style) {
  T& control = addControl<T>(band);
  control.SetLeft(left);
  control.SetTop(top);
  control.SetWidth(width);
  applyStyle(control, element, style);
  control.SetWordWrap(false);
  return control;
}

TZdqBand& bandOf(TZdReport& report, TBandType type) {
  const int index = report.GetIndexBand(type);
  return *report.GetBand(index >= 0 ? index : report.AddBand(type, true));
}

// Display format of a field's value, by its data type.
std::string fieldFormat(TFieldType type) {
  using F = TFieldType;
  switch (type) {
    case F::ftString: case F::ftMemo: case F::ftFmtMemo:
      return SysDataDefaultFormat(TZdqSysDataType::sdAuthor);
    case F::ftSmallint: case F::ftInteger: case F::ftWord: case F::ftAutoInc:
      return SysDataDefaultFormat(TZdqSysDataType::sdPageNo);
    case F::ftFloat: case F::ftBCD:
      return "@N ";  // the page number's format would round away the fraction
    case F::ftCurrency:
      return "@N @CT ";
    case F::ftDate:
      return SysDataDefaultFormat(TZdqSysDataType::sdDate);
    case F::ftTime:
      return SysDataDefaultFormat(TZdqSysDataType::sdTime);
    case F::ftDateTime:
      return SysDataDefaultFormat(TZdqSysDataType::sdDateTime);
    default:
      return {};
  }
}

class TGenerator {
 public:
  TGenerator(TZdReport& report, const TWizardChoices& choices)
      : report_(report), c_(choices), style_(choices.Style), width_(WizardUsableWidth(report)) {}

  void Run() {
    report_.NewReport();
    if (c_.Type == TType::rtBlank) return;
    if (c_.Type == TType::rtMailLabels)
      report_.SetColumnNumber(StrToIntDef(c_.LabelsAcross, 2));
    else
      title();
    bandOf(report_, TBandType::btPageHeader).SetHeight(5);
    fields();
    if (c_.Type == TType::rtMailLabels) {
      labelFrame();
      bandOf(report_, TBandType::btPageFooter).SetHeight(5);
      return;
    }
    pageFooter();
    groups();
    calculations();
  }

 private:
  void title() {
    TZdqBand& band = bandOf(report_, TBandType::btReportTitle);
    auto& label = addText<TZdqLabel>(band, 2, 1, width_ - 4, TElement::Title, style_);
    label.SetDisplayName(c_.Title);
    if (style_ != TStyle::rsStandard) label.SetAlignment(TAlignment::taCenter);
    label.SetStretch(true);
    band.SetStretch(true);
    band.SetHeight(label.Height() + 2);
  }

  double scale() const {
    if (c_.Type == TType::rtMailLabels || !c_.FitFieldsToWidth) return 1.0;
    int total = 0;
    for (const TWizardField& field : c_.Fields) total += WizardFieldWidth(report_, field.Length) + 10;
    const int room = c_.ClientWidth - 30;
    return room < total ? double(room) / total : 1.0;
  }

  void fields() {
    const double s = scale();
    TZdqBand& detail = bandOf(report_, TBandType::btDetail);
    int offset = 0;
    for (const TWizardField& field : c_.Fields) {
      const int width = std::max(0, int(WizardFieldWidth(report_, field.Length) * s));
      if (c_.Type != TType::rtMailLabels) caption(field, width, offset);

      auto& value = addText<TZdqExpression>(detail, 0, 0, width, TElement::Data, style_);
      const std::string expression = SetDSExpression(field.DatasetCaption, field.FieldName);
      value.SetExpression(expression);
      value.SetDisplayName(expression);
      value.SetAlignment(field.Alignment);
      value.SetFormat(fieldFormat(field.DataType));
      value.SetStretch(false);
      int target;
      if (c_.Type == TType::rtColumnar) {
        value.SetLeft(offset + 5);
        value.SetTop(1);
        offset += value.Width() + 5;
        target = value.Top() + value.Height();
      } else {
        value.SetLeft(kTabularValueLeft);
        value.SetTop(offset);
        offset += value.Height() + 5;
        target = offset;
      }
      detail.SetStretch(true);
      detail.SetHeight(target);
      if (style_ != TStyle::rsStandard) separator(detail);
    }
  }

  void caption(const TWizardField& field, int width, int offset) {
    const bool columnar = c_.Type == TType::rtColumnar;
    TZdqBand& band = bandOf(report_, columnar ? TBandType::btPageHeader : TBandType::btDetail);
    // A tabular caption ends before its value: at the field's width it
    // would reach over the value to its right.
    auto& label = addText<TZdqLabel>(band, columnar ? offset + 5 : 2, columnar ? 0 : offset,
                                     columnar ? width : kTabularValueLeft - 4, TElement::Caption, style_);
    label.SetAlignment(columnar ? field.Alignment : TAlignment::taRightJustify);
    if (style_ == TStyle::rsPresentative) label.Frame().SetDrawBottom(true);
    label.SetDisplayName(field.FieldLabel);
    label.SetStretch(true);
    band.SetStretch(true);
    band.SetHeight(columnar ? label.Height() + 2 : offset + 2);
  }

  // The rule under each field's value; tabular presentative reports also
  // get one along the top.
  void separator(TZdqBand& band) {
    if (c_.Type == TType::rtTabular && style_ == TStyle::rsPresentative) line(band, 1);
    line(band, band.Height() + 1);
    band.SetHeight(band.Height() + 5);
  }

  void line(TZdqBand& band, int top) {
    auto& rule = addControl<TZdqLine>(band);
    rule.SetLeft(2);
    rule.SetTop(top);
    rule.SetWidth(width_ - 4);
    rule.SetHeight(2);
  }

  void labelFrame() {
    if (c_.LabelShape == TWizardLabelShape::lsNone) return;
    TZdqBand& detail = bandOf(report_, TBandType::btDetail);
    auto& frame = addControl<TZdqRectangle>(detail);
    frame.SetLeft(2);
    frame.SetTop(0);
    frame.SetWidth(detail.GetColumnWidth() - 24);
    frame.SetHeight(detail.Height());
    frame.SetRectangleType(c_.LabelShape == TWizardLabelShape::lsRectangle ? TRectangleType::rtRectangle
                                                                            : TRectangleType::rtRoundRect);
    detail.SetHeight(detail.Height() + 2);
  }

  void pageFooter() {
    TZdqBand& band = bandOf(report_, TBandType::btPageFooter);
    if (style_ != TStyle::rsExecutive) {
      auto& date = addText<TZdqSysData>(band, 2, 1, 100, TElement::Data, style_);
      date.SetSysData(TZdqSysDataType::sdDate);
      date.SetFormat("@D @DS ");
    }
    constexpr int kNumberWidth = 100;
    const int left = style_ == TStyle::rsStandard       ? width_ - kNumberWidth - 2
                     : style_ == TStyle::rsExecutive    ? (width_ - kNumberWidth) / 2
                     : style_ == TStyle::rsPresentative ? width_ / 2 - kNumberWidth - 2
                                                        : width_ - (kNumberWidth + 2) * 2;
    auto& pageNo = addText<TZdqSysData>(band, left, 1, kNumberWidth, TElement::Data, style_);
    pageNo.SetSysData(TZdqSysDataType::sdPageNo);
    pageNo.SetAlignment(style_ == TStyle::rsExecutive ? TAlignment::taCenter : TAlignment::taRightJustify);
    if (style_ == TStyle::rsPresentative || style_ == TStyle::rsCorporative) {
      const int countLeft = style_ == TStyle::rsPresentative ? width_ / 2 + 2 : width_ - kNumberWidth - 2;
      addText<TZdqSysData>(band, countLeft, 1, kNumberWidth, TElement::Data, style_)
          .SetSysData(TZdqSysDataType::sdPageCount);
    }
    band.SetStretch(true);
    band.SetHeight(pageNo.Height() + 2);
  }

  void groups() {
    const std::string caption = GetString(report_.GetLanguageShift(), txt::ExpressionLabel);
    for (const std::string& expression : c_.Groups) {
      TZdqGroupBands bands = report_.AddGroup({expression, false, false, false, 0});
      bands.Footer.SetStretch(true);
      bands.Footer.SetHeight(1);
      auto& label = addText<TZdqLabel>(bands.Header, 2, 1, 150, TElement::Title, style_);
      label.SetDisplayName(caption);
      if (style_ != TStyle::rsStandard) label.SetAlignment(TAlignment::taRightJustify);
      label.SetStretch(true);
      // The value takes the rest of the line: at the default width its
      // title-sized text would be cut off.
      auto& value = addText<TZdqExpression>(bands.Header, 165, 1, std::max(50, width_ - 167), TElement::Title, style_);
      value.SetExpression(expression);
      value.SetDisplayName(expression);
      value.SetStretch(false);
      bands.Header.SetStretch(true);
      bands.Header.SetHeight(label.Height() + 2);
    }
  }

  TZdqBand& calculationBand(const TWizardCalculation& calc) {
    if (calc.ResetType == TResetType::rtEndReport) return bandOf(report_, TBandType::btReportSummary);
    if (calc.ResetType == TResetType::rtEndPage) return bandOf(report_, TBandType::btPageFooter);
    for (TZdqBand* band : report_.Bands())
      if (band->BandType() == TBandType::btGroupFooter && band->Expression() == calc.ResetText) return *band;
    return *report_.Bands().back();
  }

  void calculations() {
    for (const TWizardCalculation& calc : c_.Calculations) {
      TZdqBand& band = calculationBand(calc);
      // Below what the band holds already, so that values never overlap.
      const int top = band.Objects().empty() ? 1 : band.Height();
      auto& value = addText<TZdqExpression>(band, 10, top, std::max(50, width_ - 12), TElement::Title, style_);
      value.SetExpression(calc.Expression);
      value.SetDisplayName(calc.Expression);
      value.Calculation().SetResetGroup(calc.ResetText);
      value.Calculation().SetResetType(calc.ResetType);
      value.Calculation().SetCalcType(calc.CalcType);
      value.SetStretch(false);
      band.SetStretch(true);
      band.SetHeight(top + value.Height() + 1);
    }
  }

  TZdReport& report_;
  const TWizardChoices& c_;
  const TStyle style_;
  const int width_;
};

}  // namespace

TWizardField WizardFieldOf(const std::string& datasetCaption, const TField& field) {
  return {datasetCaption, field.DisplayName(), field.FieldName(), field.DataType(), field.DisplayWidth(),
          field.Alignment()};
}

int WizardFieldWidth(const TZdReport& report, int length) {
  TFont font = report.Font();
  font.Style = TFontStyles(fsBold | fsItalic | fsUnderline);
  return MeasureText(font, std::string(size_t(length > 0 ? length : 10), 'W')).Width;
}

int WizardUsableWidth(TZdReport& report) {
  const TZdqPrinter& printer = report.PrinterSetting();
  return report.PrinterSetting().PaperWidthPixels() - printer.GetPageOffsetLeft() - printer.GetPageOffsetRight();
}

void GenerateWizardReport(TZdReport& report, const TWizardChoices& choices) { TGenerator(report, choices).Run(); }

}  // namespace zd
