// What the report wizard builds: bands, controls, their places, fonts,
// colours and frames for each report type and style, groups and totals.
#include <gtest/gtest.h>

#include <algorithm>

#include "DesignWindowFixture.h"
#include "designer/WizardGeneration.h"
#include "host/graphics/Canvas.h"
#include "print/ZdPrntr.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

namespace zd {
namespace {

using S = TWizardReportStyle;
using T = TWizardReportType;

constexpr TColor kYellow = 0x00FFFF, kTeal = 0x808000, kNavy = 0x800000, kMaroon = 0x000080;

class WizardGeneration : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureDesignerApp();
    report = new TZdReport(&root);
    // Bands print between the printer's unprintable strips or the margins,
    // whichever are wider: here the strip on the left, the margin on the right.
    TZdqPrinter& printer = report->PrinterSetting();
    const int leftStrip = printer.GetPageOffsetLeft(), rightStrip = printer.GetPageOffsetRight();
    printer.Margins().SetByDefault(false);
    printer.Margins().SetLeft(1);
    printer.Margins().SetRight(300);
    ASSERT_GT(leftStrip, TenthsMmToPageUnits(1));
    ASSERT_LT(rightStrip, TenthsMmToPageUnits(300));
    width = printer.PaperWidthPixels() - leftStrip - TenthsMmToPageUnits(300);
  }

  static TWizardChoices Choices(T type, S style) {
    TWizardChoices c;
    c.Type = type;
    c.Style = style;
    c.ClientWidth = 100000;  // wide enough: no narrowing
    c.Fields = {{"Orders", "Customer name", "Customer", TFieldType::ftString, 12, TAlignment::taLeftJustify},
                {"Orders", "Amount", "Amount", TFieldType::ftCurrency, 0, TAlignment::taRightJustify},
                {"Orders", "Day", "OrderDate", TFieldType::ftDate, 5, TAlignment::taCenter}};
    return c;
  }
  // The text width of n letters W in the report's font made bold, italic and underlined.
  int FieldWidth(int n) const {
    TFont font = report->Font();
    font.Style = TFontStyles(fsBold | fsItalic | fsUnderline);
    return MeasureText(font, std::string(size_t(n), 'W')).Width;
  }
  std::vector<TBandType> BandTypes() const {
    std::vector<TBandType> types;
    for (const TZdqBand* band : report->Bands()) types.push_back(band->BandType());
    return types;
  }
  TZdqBand& Band(TBandType type) { return *report->GetBand(report->GetIndexBand(type)); }
  template <class C>
  std::vector<C*> Controls(TBandType type) {
    std::vector<C*> found;
    for (TZdqControl* c : Band(type).Objects())
      if (auto* typed = dynamic_cast<C*>(c)) found.push_back(typed);
    return found;
  }

  TComponent root;
  TZdReport* report = nullptr;
  int width = 0;
};

void ExpectBounds(const TZdqControl& c, int left, int top, int width, int height) {
  EXPECT_EQ(c.Left(), left) << c.DisplayName();
  EXPECT_EQ(c.Top(), top) << c.DisplayName();
  EXPECT_EQ(c.Width(), width) << c.DisplayName();
  EXPECT_EQ(c.Height(), height) << c.DisplayName();
}

void ExpectFont(const TZdqControl& c, TFontStyles style, TColor color, int size = 10) {
  EXPECT_EQ(c.Font().Style(), style) << c.DisplayName();
  EXPECT_EQ(c.Font().Color(), color) << c.DisplayName();
  EXPECT_EQ(c.Font().Size(), size) << c.DisplayName();
}

TEST_F(WizardGeneration, BlankReportIsTheClearedReport) {
  report->NewBand(TBandType::btReportTitle).Add<TZdqLabel>(1, 1, 10, 10);
  GenerateWizardReport(*report, Choices(T::rtBlank, S::rsExecutive));
  EXPECT_EQ(BandTypes(), std::vector({TBandType::btPageHeader, TBandType::btDetail, TBandType::btPageFooter}));
  for (const TZdqBand* band : report->Bands()) EXPECT_TRUE(band->Objects().empty());
}

TEST_F(WizardGeneration, ColumnarStandardReportLaysFieldsSideBySide) {
  TWizardChoices choices = Choices(T::rtColumnar, S::rsStandard);
  GenerateWizardReport(*report, choices);
  EXPECT_EQ(BandTypes(), std::vector({TBandType::btReportTitle, TBandType::btPageHeader, TBandType::btDetail,
                                      TBandType::btPageFooter}));

  // The title across the page, bold 14 point, underlined by its frame.
  auto titles = Controls<TZdqLabel>(TBandType::btReportTitle);
  ASSERT_EQ(titles.size(), 1u);
  ExpectBounds(*titles[0], 2, 1, width - 4, 35);
  EXPECT_EQ(titles[0]->DisplayName(), "<Report title>");
  ExpectFont(*titles[0], fsBold, clBlack, 14);
  EXPECT_EQ(titles[0]->Frame().FrameType(), TZdFrameTypes(ftBottom));
  EXPECT_EQ(titles[0]->Frame().Width(), 2);
  EXPECT_EQ(titles[0]->Alignment(), TAlignment::taLeftJustify);
  EXPECT_TRUE(titles[0]->Stretch());
  EXPECT_FALSE(titles[0]->WordWrap());
  EXPECT_EQ(Band(TBandType::btReportTitle).Height(), 37);
  EXPECT_TRUE(Band(TBandType::btReportTitle).Stretch());

  // Captions in the page header and values in the detail, column by column.
  const std::vector<int> widths = {FieldWidth(12), FieldWidth(10), FieldWidth(5)};
  auto captions = Controls<TZdqLabel>(TBandType::btPageHeader);
  auto values = Controls<TZdqExpression>(TBandType::btDetail);
  ASSERT_EQ(captions.size(), 3u);
  ASSERT_EQ(values.size(), 3u);
  int left = 5;
  for (size_t i = 0; i < 3; ++i) {
    ExpectBounds(*captions[i], left, 0, widths[i], 20);
    ExpectBounds(*values[i], left, 1, widths[i], 20);
    EXPECT_EQ(captions[i]->DisplayName(), choices.Fields[i].FieldLabel);
    EXPECT_EQ(captions[i]->Alignment(), choices.Fields[i].Alignment);
    EXPECT_EQ(values[i]->Alignment(), choices.Fields[i].Alignment);
    ExpectFont(*captions[i], fsBold, clBlack);
    ExpectFont(*values[i], {}, clBlack);
    EXPECT_FALSE(values[i]->Stretch());
    left += widths[i] + 5;
  }
  EXPECT_EQ(values[0]->Expression(), "Orders.Customer");
  EXPECT_EQ(values[0]->DisplayName(), "Orders.Customer");
  EXPECT_EQ(values[0]->Format(), "@C ");
  EXPECT_EQ(values[1]->Format(), "@N @CT ");
  choices.Fields[0].DataType = TFieldType::ftFloat;  // keeps its fraction
  choices.Fields[1].DataType = TFieldType::ftSmallint;
  choices.Fields[2].DataType = TFieldType::ftBlob;
  GenerateWizardReport(*report, choices);
  values = Controls<TZdqExpression>(TBandType::btDetail);
  EXPECT_EQ(values[0]->Format(), "@N ");
  EXPECT_EQ(values[1]->Format(), "@N @ND0 @NR1 ");
  EXPECT_EQ(values[2]->Format(), "");
  choices = Choices(T::rtColumnar, S::rsStandard);
  GenerateWizardReport(*report, choices);
  values = Controls<TZdqExpression>(TBandType::btDetail);
  EXPECT_EQ(values[2]->Format(), "@D @DS ");
  EXPECT_EQ(Band(TBandType::btPageHeader).Height(), 22);
  EXPECT_EQ(Band(TBandType::btDetail).Height(), 21);
  EXPECT_TRUE(Controls<TZdqLine>(TBandType::btDetail).empty());

  // Date at the left and page number at the right of the footer.
  auto footer = Controls<TZdqSysData>(TBandType::btPageFooter);
  ASSERT_EQ(footer.size(), 2u);
  EXPECT_EQ(footer[0]->SysData(), TZdqSysDataType::sdDate);
  EXPECT_EQ(footer[0]->Format(), "@D @DS ");
  ExpectBounds(*footer[0], 2, 1, 100, 20);
  EXPECT_EQ(footer[1]->SysData(), TZdqSysDataType::sdPageNo);
  ExpectBounds(*footer[1], width - 102, 1, 100, 20);
  EXPECT_EQ(footer[1]->Alignment(), TAlignment::taRightJustify);
  EXPECT_EQ(Band(TBandType::btPageFooter).Height(), 22);

  // Narrowed to the room the client area leaves.
  report->DeleteAllBands();
  choices.ClientWidth = 30 + (widths[0] + widths[1] + widths[2] + 30) / 2;
  GenerateWizardReport(*report, choices);
  const double s = double(choices.ClientWidth - 30) / (widths[0] + widths[1] + widths[2] + 30);
  values = Controls<TZdqExpression>(TBandType::btDetail);
  EXPECT_EQ(values[1]->Width(), int(widths[1] * s));
  EXPECT_EQ(values[2]->Left(), 5 + int(widths[0] * s) + 5 + int(widths[1] * s) + 5);
  // ... unless the user wants the widths as they are.
  choices.FitFieldsToWidth = false;
  GenerateWizardReport(*report, choices);
  EXPECT_EQ(Controls<TZdqExpression>(TBandType::btDetail)[1]->Width(), widths[1]);
}

TEST_F(WizardGeneration, EachStyleHasItsTitleCaptionsRulesAndFooter) {
  struct Expected {
    S style;
    TFontStyles titleFont;
    TColor titleColor;
    uint8_t titleFrame;
    int frameWidth;
    TColor frameColor;
    TFontStyles captionFont;
    TColor captionColor;
    std::vector<TZdqSysDataType> footer;
  };
  const int W = width;
  const std::vector<Expected> styles = {
      {S::rsExecutive, fsBold, kYellow, 0, 1, clBlack, fsBold, kNavy, {TZdqSysDataType::sdPageNo}},
      {S::rsPresentative, fsBold, kMaroon, ftTop | ftBottom, 2, kMaroon, fsBold, clBlack,
       {TZdqSysDataType::sdDate, TZdqSysDataType::sdPageNo, TZdqSysDataType::sdPageCount}},
      {S::rsCorporative, TFontStyles(fsBold | fsItalic), kNavy, ftTop, 3, kNavy, fsItalic, kNavy,
       {TZdqSysDataType::sdDate, TZdqSysDataType::sdPageNo, TZdqSysDataType::sdPageCount}},
  };
  const std::vector<std::vector<int>> footerLefts = {
      {(W - 100) / 2}, {2, W / 2 - 102, W / 2 + 2}, {2, W - 204, W - 102}};
  for (size_t k = 0; k < styles.size(); ++k) {
    const Expected& e = styles[k];
    SCOPED_TRACE(int(e.style));
    GenerateWizardReport(*report, Choices(T::rtColumnar, e.style));
    const TZdqLabel& title = *Controls<TZdqLabel>(TBandType::btReportTitle).at(0);
    ExpectFont(title, e.titleFont, e.titleColor, 14);
    EXPECT_EQ(title.Frame().FrameType(), TZdFrameTypes(e.titleFrame));
    if (e.titleFrame) {
      EXPECT_EQ(title.Frame().Width(), e.frameWidth);
      EXPECT_EQ(title.Frame().Color(), e.frameColor);
    }
    EXPECT_EQ(title.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(title.Transparent(), e.style != S::rsExecutive);
    if (e.style == S::rsExecutive) EXPECT_EQ(title.BackColor(), kTeal);

    for (const TZdqLabel* caption : Controls<TZdqLabel>(TBandType::btPageHeader)) {
      ExpectFont(*caption, e.captionFont, e.captionColor);
      EXPECT_EQ(caption->Frame().DrawBottom(), e.style == S::rsPresentative);
    }
    // One rule under the values; in the columnar layout the rows' rules coincide.
    const auto rules = Controls<TZdqLine>(TBandType::btDetail);
    ASSERT_EQ(rules.size(), 3u);
    for (const TZdqLine* rule : rules) ExpectBounds(*rule, 2, 22, W - 4, 2);
    EXPECT_EQ(Band(TBandType::btDetail).Height(), 26);

    const auto footer = Controls<TZdqSysData>(TBandType::btPageFooter);
    ASSERT_EQ(footer.size(), e.footer.size());
    for (size_t i = 0; i < footer.size(); ++i) {
      EXPECT_EQ(footer[i]->SysData(), e.footer[i]);
      EXPECT_EQ(footer[i]->Left(), footerLefts[k][i]);
      EXPECT_EQ(footer[i]->Top(), 1);
    }
    const auto pageNo = std::find_if(footer.begin(), footer.end(),
                                     [](auto* c) { return c->SysData() == TZdqSysDataType::sdPageNo; });
    EXPECT_EQ((*pageNo)->Alignment(), e.style == S::rsExecutive ? TAlignment::taCenter : TAlignment::taRightJustify);
  }
}

TEST_F(WizardGeneration, TabularReportStacksCaptionsAndValues) {
  GenerateWizardReport(*report, Choices(T::rtTabular, S::rsStandard));
  EXPECT_TRUE(Controls<TZdqLabel>(TBandType::btPageHeader).empty());
  EXPECT_EQ(Band(TBandType::btPageHeader).Height(), 5);
  std::vector<TZdqLabel*> captions;
  for (TZdqLabel* label : Controls<TZdqLabel>(TBandType::btDetail))
    if (!dynamic_cast<TZdqExpression*>(label)) captions.push_back(label);
  const auto values = Controls<TZdqExpression>(TBandType::btDetail);
  ASSERT_EQ(captions.size(), 3u);
  ASSERT_EQ(values.size(), 3u);
  const std::vector<int> widths = {FieldWidth(12), FieldWidth(10), FieldWidth(5)};
  for (size_t i = 0; i < 3; ++i) {
    ExpectBounds(*captions[i], 2, int(i) * 25, 56, 20);  // up to the values
    EXPECT_EQ(captions[i]->Alignment(), TAlignment::taRightJustify);
    ExpectBounds(*values[i], 60, int(i) * 25, widths[i], 20);
  }
  EXPECT_EQ(Band(TBandType::btDetail).Height(), 75);

  // Presentative: a rule along the top with each row, and one under each row.
  GenerateWizardReport(*report, Choices(T::rtTabular, S::rsPresentative));
  const auto rules = Controls<TZdqLine>(TBandType::btDetail);
  ASSERT_EQ(rules.size(), 6u);
  EXPECT_EQ(rules[0]->Top(), 1);
  EXPECT_EQ(rules[1]->Top(), 26);
  EXPECT_EQ(rules[3]->Top(), 51);
  EXPECT_EQ(rules[5]->Top(), 76);
  EXPECT_EQ(Band(TBandType::btDetail).Height(), 80);
}

TEST_F(WizardGeneration, MailLabelsHaveColumnsAndAFrameButNoTitle) {
  TWizardChoices choices = Choices(T::rtMailLabels, S::rsStandard);
  choices.LabelsAcross = "3";
  choices.LabelShape = TWizardLabelShape::lsRoundRect;
  choices.ClientWidth = 10;  // labels are never narrowed
  GenerateWizardReport(*report, choices);
  EXPECT_EQ(report->ColumnNumber(), 3);
  EXPECT_EQ(report->GetIndexBand(TBandType::btReportTitle), -1);
  EXPECT_TRUE(Band(TBandType::btPageHeader).Objects().empty());
  EXPECT_TRUE(Band(TBandType::btPageFooter).Objects().empty());
  EXPECT_EQ(Band(TBandType::btPageFooter).Height(), 5);
  const auto values = Controls<TZdqExpression>(TBandType::btDetail);
  ASSERT_EQ(values.size(), 3u);
  ExpectBounds(*values[2], 60, 50, FieldWidth(5), 20);
  const auto frames = Controls<TZdqRectangle>(TBandType::btDetail);
  ASSERT_EQ(frames.size(), 1u);
  ExpectBounds(*frames[0], 2, 0, Band(TBandType::btDetail).GetColumnWidth() - 24, 75);
  EXPECT_EQ(frames[0]->RectangleType(), TRectangleType::rtRoundRect);
  EXPECT_EQ(Band(TBandType::btDetail).Height(), 77);

  choices.LabelsAcross = "two";
  choices.LabelShape = TWizardLabelShape::lsNone;
  GenerateWizardReport(*report, choices);
  EXPECT_EQ(report->ColumnNumber(), 2);
  EXPECT_TRUE(Controls<TZdqRectangle>(TBandType::btDetail).empty());
}

TEST_F(WizardGeneration, WithoutFieldsOnlyTheFrameOfTheReportIsMade) {
  TWizardChoices choices = Choices(T::rtColumnar, S::rsStandard);
  choices.Fields.clear();
  GenerateWizardReport(*report, choices);
  EXPECT_EQ(Controls<TZdqControl>(TBandType::btReportTitle).size(), 1u);
  EXPECT_TRUE(Band(TBandType::btPageHeader).Objects().empty());
  EXPECT_TRUE(Band(TBandType::btDetail).Objects().empty());
  EXPECT_EQ(Controls<TZdqSysData>(TBandType::btPageFooter).size(), 2u);
}

TEST_F(WizardGeneration, GroupsAndCalculationsGoToTheirBands) {
  TWizardChoices choices = Choices(T::rtColumnar, S::rsCorporative);
  choices.Groups = {"Orders.Country", "Orders.City", "Orders.Customer"};
  choices.Calculations = {
      {"Orders.Amount", TCalcType::ctSum, TResetType::rtEndGroup, "Orders.City"},
      {"Orders.Amount", TCalcType::ctAverage, TResetType::rtEndReport, "End Of Report"},
      {"Orders.Amount", TCalcType::ctCount, TResetType::rtEndReport, ""},
      {"Orders.Amount", TCalcType::ctHighest, TResetType::rtEndPage, "End Of Page"},
      {"Orders.Amount", TCalcType::ctLowest, TResetType::rtEndGroup, "Orders.Nowhere"},
  };
  GenerateWizardReport(*report, choices);
  using B = TBandType;
  EXPECT_EQ(BandTypes(), std::vector({B::btReportTitle, B::btPageHeader, B::btGroupHeader, B::btGroupHeader,
                                      B::btGroupHeader, B::btDetail, B::btGroupFooter, B::btGroupFooter,
                                      B::btGroupFooter, B::btPageFooter, B::btReportSummary}));
  for (int level = 0; level < 3; ++level) {
    const TZdqBand& header = *report->GetBand(2 + level);
    const TZdqBand& footer = *report->GetBand(header.GetLinkedFooterIndex());
    EXPECT_EQ(header.Expression(), choices.Groups[size_t(level)]);
    EXPECT_EQ(footer.Expression(), choices.Groups[size_t(level)]);
    EXPECT_FALSE(header.NewPage());
    EXPECT_EQ(footer.Height(), level == 1 ? 37 : 1);  // the city's total
    ASSERT_EQ(header.Objects().size(), 2u);
    const auto& caption = dynamic_cast<const TZdqLabel&>(*header.Objects()[0]);
    const auto& value = dynamic_cast<const TZdqExpression&>(*header.Objects()[1]);
    EXPECT_EQ(caption.DisplayName(), "Expression:");
    ExpectBounds(caption, 2, 1, 150, 35);
    EXPECT_EQ(caption.Alignment(), TAlignment::taRightJustify);
    ExpectFont(caption, TFontStyles(fsBold | fsItalic), kNavy, 14);
    EXPECT_EQ(value.Expression(), choices.Groups[size_t(level)]);
    EXPECT_EQ(value.Left(), 165);
    EXPECT_EQ(value.Top(), 1);
    EXPECT_EQ(value.Left() + value.Width(), width - 2);
    EXPECT_EQ(header.Height(), 37);
  }

  auto calc = [&](TZdqBand& band, size_t i) { return dynamic_cast<TZdqExpression*>(band.Objects().at(i)); };
  TZdqExpression* citySum = calc(*report->GetBand(report->GetBand(3)->GetLinkedFooterIndex()), 0);
  ExpectBounds(*citySum, 10, 1, width - 12, 35);
  EXPECT_EQ(citySum->Calculation().CalcType(), TCalcType::ctSum);
  EXPECT_EQ(citySum->Calculation().ResetType(), TResetType::rtEndGroup);
  EXPECT_EQ(citySum->Calculation().ResetGroup(), "Orders.City");
  ExpectFont(*citySum, TFontStyles(fsBold | fsItalic), kNavy, 14);

  // The totals of the report one below the other; a group no footer has
  // sends its total to the last band, here the summary.
  TZdqBand& summary = Band(B::btReportSummary);
  ASSERT_EQ(summary.Objects().size(), 3u);
  EXPECT_EQ(calc(summary, 0)->Calculation().CalcType(), TCalcType::ctAverage);
  EXPECT_EQ(calc(summary, 0)->Top(), 1);
  EXPECT_EQ(calc(summary, 1)->Calculation().CalcType(), TCalcType::ctCount);
  EXPECT_EQ(calc(summary, 1)->Calculation().ResetType(), TResetType::rtEndReport);
  EXPECT_EQ(calc(summary, 1)->Top(), 37);
  EXPECT_EQ(calc(summary, 2)->Calculation().CalcType(), TCalcType::ctLowest);
  EXPECT_EQ(calc(summary, 2)->Calculation().ResetGroup(), "Orders.Nowhere");
  EXPECT_EQ(calc(summary, 2)->Top(), 73);
  EXPECT_EQ(summary.Height(), 109);
  EXPECT_TRUE(summary.Stretch());

  // The page's total below the page number.
  TZdqBand& pageFooter = Band(B::btPageFooter);
  ASSERT_EQ(pageFooter.Objects().size(), 4u);
  TZdqExpression* pageMax = calc(pageFooter, 3);
  EXPECT_EQ(pageMax->Calculation().ResetType(), TResetType::rtEndPage);
  EXPECT_EQ(pageMax->Top(), 22);
  EXPECT_EQ(pageFooter.Height(), 22 + 35 + 1);
}

}  // namespace
}  // namespace zd
