#include "app/zdreport/ExampleTemplate.h"

#include "host/data/SqlDataSet.h"
#include "report/controls/ShapeControls.h"
#include "report/template/Template.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

namespace zd::cli {
namespace {

// Amounts and totals: two decimals, "." and "," so that they read the same
// in every locale.
constexpr const char* kAmountFormat = "@N @ND2 @NS. @NT, ";

// Its dataset reference names "OrderLines", the component an application
// (or `zdreport render`) provides: rows of the order_lines view sorted by
// country.
class TExampleTemplate {
 public:
  TExampleTemplate() {
    lines_->SetName("OrderLines");
    report_->SetName("OrderList");
    report_->SetDataSet(lines_);
    report_->SetTwoPass(true);  // the page count is known on every page
    report_->ZdProperty().Title = "Order lines by country";
    report_->ZdProperty().Author = "ZdReport";
    report_->PrinterSetting().SetPaperSize(TZdqPaperSize::psA4);
    report_->DeleteAllBands();
    BuildTitle();
    BuildPageHeader();
    BuildGroup();
    BuildDetail();
    BuildPageFooter();
    BuildSummary();
  }

  void Save(const std::string& fileName) { SaveReport(*report_, fileName); }

 private:
  static constexpr const char* kDateFormat = "@D @DD1 @DM1 @DY1 @DO4 @DR- ";  // 2024-02-03
  static constexpr int kColumns[] = {0, 50, 130, 300, 490};
  static constexpr int kAmountWidth = 80;
  static constexpr int kWidth = 570;

  TZdqBand& Band(TBandType type, int height) {
    TZdqBand& band = report_->NewBand(type);
    band.SetHeight(height);
    return band;
  }

  template <class T>
  T& Place(TZdqBand& band, int left, int top, int width) {
    auto* control = new T(&band);
    control->SetLeft(left);
    control->SetTop(top);
    control->SetWidth(width);
    return *control;
  }

  TZdqLabel& Text(TZdqBand& band, const std::string& text, int left, int top, int width) {
    auto& label = Place<TZdqLabel>(band, left, top, width);
    label.SetDisplayName(text);
    return label;
  }

  TZdqExpression& Value(TZdqBand& band, const std::string& expression, int left, int top, int width) {
    auto& value = Place<TZdqExpression>(band, left, top, width);
    value.SetDisplayName(expression);
    value.SetExpression(expression);
    return value;
  }

  TZdqExpression& Total(TZdqBand& band, int top) {
    auto& total = Value(band, "OrderLines.amount", kColumns[4], top, kAmountWidth);
    total.SetFormat(kAmountFormat);
    total.SetAlignment(TAlignment::taRightJustify);
    total.Calculation().SetCalcType(TCalcType::ctSum);
    total.Frame().SetFrameType(TZdFrameTypes(ftTop));
    return total;
  }

  void BuildTitle() {
    TZdqBand& band = Band(TBandType::btReportTitle, 56);
    auto& title = Place<TZdqSysData>(band, 0, 4, 400);
    title.SetSysData(TZdqSysDataType::sdReportTitle);
    title.Font().Edit().Size = 18;
    title.Font().Edit().Style = TFontStyles(fsBold);
    title.SetHeight(30);  // an 18-point line
    Text(band, "Every order line of the example database, grouped by the customer's country.", 0, 34, kWidth);
  }

  void BuildPageHeader() {
    TZdqBand& band = Band(TBandType::btPageHeader, 28);
    const char* heads[] = {"Order", "Date", "Customer", "Product", "Amount"};
    for (int i = 0; i < 5; ++i) {
      auto& head = Text(band, heads[i], kColumns[i], 4, i < 4 ? kColumns[i + 1] - kColumns[i] : kAmountWidth);
      head.Font().Edit().Style = TFontStyles(fsBold);
      head.Frame().SetFrameType(TZdFrameTypes(ftBottom));
      if (i == 4) head.SetAlignment(TAlignment::taRightJustify);
    }
  }

  void BuildGroup() {
    TZdqBand& header = Band(TBandType::btGroupHeader, 26);
    header.SetExpression("OrderLines.country");
    header.SetOutlineExpression("OrderLines.country");
    auto& country = Value(header, "OrderLines.country", 0, 6, 300);
    country.Font().Edit().Size = 11;
    country.Font().Edit().Style = TFontStyles(fsBold);

    TZdqBand& footer = Band(TBandType::btGroupFooter, 30);
    footer.SetExpression(header.Expression());
    Text(footer, "Country total", kColumns[3], 4, 140);
    auto& total = Total(footer, 4);
    total.Calculation().SetResetType(TResetType::rtEndGroup);
    total.Calculation().SetResetGroup(header.Expression());
  }

  void BuildDetail() {
    TZdqBand& band = Band(TBandType::btDetail, 20);
    const char* fields[] = {"order_id", "order_date", "customer", "product", "amount"};
    for (int i = 0; i < 5; ++i) {
      auto& value = Value(band, std::string("OrderLines.") + fields[i], kColumns[i], 2,
                          i < 4 ? kColumns[i + 1] - kColumns[i] - 6 : kAmountWidth);
      if (i == 1) value.SetFormat(kDateFormat);
      if (i == 4) {
        value.SetFormat(kAmountFormat);
        value.SetAlignment(TAlignment::taRightJustify);
      }
    }
  }

  void BuildPageFooter() {
    TZdqBand& band = Band(TBandType::btPageFooter, 30);
    auto& line = Place<TZdqLine>(band, 0, 2, kWidth);
    line.SetHeight(2);
    line.SetLineType(TLineType::ltTop);
    Text(band, "Printed", 0, 8, 50);
    auto& printed = Place<TZdqSysData>(band, 50, 8, 150);
    printed.SetSysData(TZdqSysDataType::sdDate);
    printed.SetFormat(kDateFormat);
    // "Page N of M" from four pieces, the number set against the words.
    Text(band, "Page", 446, 8, 32).SetAlignment(TAlignment::taRightJustify);
    auto& pageNo = Place<TZdqSysData>(band, 480, 8, 24);
    pageNo.SetSysData(TZdqSysDataType::sdPageNo);
    pageNo.SetAlignment(TAlignment::taRightJustify);
    Text(band, "of", 508, 8, 16);
    Place<TZdqSysData>(band, 526, 8, 44).SetSysData(TZdqSysDataType::sdPageCount);
  }

  void BuildSummary() {
    TZdqBand& band = Band(TBandType::btReportSummary, 40);
    Text(band, "Grand total", kColumns[3], 10, 140).Font().Edit().Style = TFontStyles(fsBold);
    auto& total = Total(band, 10);
    total.Font().Edit().Style = TFontStyles(fsBold);
  }

  TComponent root_;
  TSqlDataSet* lines_ = new TSqlDataSet(&root_);
  TZdReport* report_ = new TZdReport(&root_);
};

}  // namespace

void WriteExampleTemplate(const std::string& fileName) { TExampleTemplate().Save(fileName); }

}  // namespace zd::cli
