// Reports prepared over a memory dataset, judged by the texts they record:
// expressions with formats, running totals and their resets, variables,
// highlights, print conditions, parameters answered without a dialog,
// outlines and the errors expressions raise while preparing.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <map>
#include <tuple>
#include <stdexcept>
#include <string>
#include <vector>

#include "expr/ExprErrors.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "host/data/MemoryDataSet.h"
#include "host/emf/Metafile.h"
#include "host/printing/Printer.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"
#include "tests/ScriptedUserInterface.h"

using namespace zd;

namespace {

using Texts = std::vector<std::string>;

// One text drawn on a page, with the background filled just before it (if
// any) and the font it was drawn with.
struct TDrawnText {
  std::string text;
  int y = 0;
  bool filled = false;
  TColor fill = clWhite;
  int weight = 400;
};

std::vector<TDrawnText> DrawnTexts(const TPageInfo& page) {
  std::vector<TDrawnText> drawn;
  bool filled = false;
  TColor fill = clWhite;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState& state) {
    if (rec.Type == EMR_RECTANGLE) {
      filled = true;
      fill = state.Brush.Color;
    } else if (auto text = ReadEmfText(rec)) {
      drawn.push_back({text->Text, text->Reference.Y, filled, fill, state.Font.Weight});
      filled = false;
    }
    return true;
  });
  return drawn;
}

class CollectionsReport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }

  CollectionsReport() {
    rows = new TMemoryDataSet(&form);
    rows->SetName("Sales");
    rows->AddField("Country", TFieldType::ftString, 20);
    rows->AddField("Item", TFieldType::ftString, 20);
    rows->AddField("Price", TFieldType::ftFloat);
    rows->AddField("Qty", TFieldType::ftInteger);
    report = new TZdReport(&form);
    report->SetAnimatedStatus(false);
    report->SetDataSet(rows);
    TZdqPrinter& paper = report->PrinterSetting();
    paper.SetPaperSize(TZdqPaperSize::psCustom);
    paper.SetPaperSizeWidth(1000);
    paper.SetPaperSizeHeight(800);
    report->DeleteAllBands();
  }

  struct TRow {
    std::string country, item;
    double price;
    int qty;
  };
  void AddRows(const std::vector<TRow>& data) {
    for (const TRow& r : data)
      rows->AppendRecord({TVariant(r.country), TVariant(r.item), TVariant(r.price), TVariant(int64_t(r.qty))});
    rows->Open();
  }
  // Items i1..iN of one country, priced 1..N, quantity 1.
  void AddItems(int count) {
    for (int i = 1; i <= count; ++i)
      rows->AppendRecord({TVariant("X"), TVariant("i" + std::to_string(i)), TVariant(double(i)), TVariant(int64_t(1))});
    rows->Open();
  }

  TZdqBand& AddBand(TBandType type, int height) {
    TZdqBand& band = *report->GetBand(report->AddBand(type, true));
    band.SetHeight(height);
    band.SetNewPage(false);
    return band;
  }
  std::pair<TZdqBand*, TZdqBand*> AddGroup(const std::string& expression, int height) {
    int h = 0, f = 0;
    report->AddGroup(h, f, false, false, false, 0, expression);
    report->GetBand(h)->SetHeight(height);
    report->GetBand(f)->SetHeight(height);
    return {report->GetBand(h), report->GetBand(f)};
  }
  static TZdqExpression& Expr(TZdqBand& band, const std::string& expression, int left = 0) {
    auto* control = new TZdqExpression(&band);
    control->SetExpression(expression);
    control->SetLeft(left);
    control->SetTop(0);
    control->SetWidth(110);
    control->SetHeight(16);
    return *control;
  }
  static void Sum(TZdqExpression& control, TResetType reset, const std::string& group = {}) {
    control.Calculation().SetCalcType(TCalcType::ctSum);
    control.Calculation().SetResetType(reset);
    control.Calculation().SetResetGroup(group);
  }

  int PageCount() const { return report->Pages().Count(); }
  int UsableWidth() const {
    TZdqPrinter& paper = report->PrinterSetting();
    return paper.PaperWidthPixels() - paper.GetPageOffsetLeft() - paper.GetPageOffsetRight();
  }
  // The texts drawn, without the blanks that stand for empty values.
  Texts PageTexts(int i) const {
    Texts texts;
    for (const TDrawnText& t : DrawnTexts(report->Pages().At(i)))
      if (t.text.find_first_not_of(' ') != std::string::npos) texts.push_back(t.text);
    return texts;
  }
  Texts AllTexts() const {
    Texts all;
    for (int i = 0; i < PageCount(); ++i)
      for (const std::string& t : PageTexts(i)) all.push_back(t);
    return all;
  }

  test::TScriptedUserInterface ui;
  TComponent form;
  TMemoryDataSet* rows = nullptr;
  TZdReport* report = nullptr;
};

// ---- expressions and running totals ----

TEST_F(CollectionsReport, ExpressionPrintsFieldArithmeticThroughItsFormat) {
  AddRows({{"A", "lamp", 617.25, 2}, {"A", "desk", 1.5, 3}});
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  Expr(detail, "[Price] * [Qty]").SetFormat("@N @ND2 @NS, @NT. ");
  Expr(detail, "UPPER(Item) + '/' + INTTOSTR(Qty)", 120);
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"1.234,50", "LAMP/2", "4,50", "DESK/3"}));
}

TEST_F(CollectionsReport, GroupFooterSumRestartsWithEachGroupAndTheSummaryKeepsTheTotal) {
  AddRows({{"A", "a1", 10, 1}, {"A", "a2", 20, 1}, {"B", "b1", 5, 1}, {"C", "c1", 1.5, 1}, {"C", "c2", 2, 1}});
  auto [header, footer] = AddGroup("Country", 20);
  Expr(*header, "Country");
  Sum(Expr(*footer, "Price"), TResetType::rtEndGroup, "Country");
  Sum(Expr(AddBand(TBandType::btReportSummary, 20), "Price"), TResetType::rtEndReport);
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"A", "30", "B", "5", "C", "3.5", "38.5"}));

  // A reset naming another group leaves the footer running over the report.
  static_cast<TZdqExpression*>(footer->Objects()[0])->Calculation().SetResetGroup("Other");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"A", "30", "B", "35", "C", "38.5", "38.5"}));
}

// ---- totals against a reference ----

// Every calculation kind under every reset, shown in detail rows, group
// footers, page footers and the summary, compared with totals worked out
// from the printed pages themselves: which rows were printed, in what
// order, where each page and group ended.
class Totals : public CollectionsReport, public ::testing::WithParamInterface<const char*> {
 protected:
  static constexpr TCalcType kKinds[] = {TCalcType::ctCount, TCalcType::ctSum, TCalcType::ctAverage,
                                         TCalcType::ctLowest, TCalcType::ctHighest};
  static constexpr TResetType kResets[] = {TResetType::rtEndReport, TResetType::rtEndPage, TResetType::rtEndGroup};
  static constexpr int kFirstX = 60, kStepX = 56;

  // A marker label at x 0 and one control per kind and reset after it.
  void AddTotals(TZdqBand& band, const std::string& marker, const std::string& group) {
    Expr(band, marker).SetWidth(kFirstX - 4);
    int k = 0;
    for (TResetType reset : kResets)
      for (TCalcType kind : kKinds) {
        TZdqExpression& c = Expr(band, "Price", kFirstX + kStepX * k++);
        c.SetWidth(kStepX - 2);
        c.Calculation().SetCalcType(kind);
        c.Calculation().SetResetType(reset);
        c.Calculation().SetResetGroup(reset == TResetType::rtEndGroup ? group : "");
      }
  }

  struct TInstance {
    std::string marker;
    std::vector<std::string> values;  // by control, "" when nothing was printed
  };
  // The band instances of a page in reading order (columns side by side,
  // the page footer last), each with the values printed after its marker.
  std::vector<TInstance> Instances(int page, int columnWidth) const {
    struct TAt {
      std::string text;
      int x, y;
    };
    std::vector<TAt> at;
    EnumerateMetafile(*report->Pages().At(page).Drawing(), [&](const TEmfRecord& rec, const TEmfState&) {
      if (auto t = ReadEmfText(rec)) at.push_back({Trim(t->Text), t->Reference.X, t->Reference.Y});
      return true;
    });
    const int left = at.empty() ? 0 : std::min_element(at.begin(), at.end(), [](auto& a, auto& b) { return a.x < b.x; })->x;
    std::vector<TInstance> instances;
    std::vector<std::pair<std::tuple<bool, int, int>, size_t>> order;
    for (const TAt& a : at) {
      const int column = (a.x - left) / columnWidth;
      if ((a.x - left) % columnWidth != 0) continue;  // not a marker
      order.push_back({{a.text == "PF", column, a.y}, instances.size()});
      TInstance instance{a.text, std::vector<std::string>(std::size(kKinds) * std::size(kResets))};
      for (const TAt& v : at)
        if (v.y == a.y && v.x > a.x && v.x < a.x + columnWidth)
          instance.values[size_t((v.x - a.x - kFirstX) / kStepX)] = v.text;
      instances.push_back(instance);
    }
    std::sort(order.begin(), order.end());
    std::vector<TInstance> sorted;
    for (const auto& o : order) sorted.push_back(instances[o.second]);
    return sorted;
  }

  static std::string Expected(TCalcType kind, const std::vector<double>& values) {
    if (kind == TCalcType::ctCount) return FloatToStr(double(values.size()));
    double sum = 0;
    for (double v : values) sum += v;
    if (kind == TCalcType::ctSum) return FloatToStr(sum);
    if (values.empty()) return "";
    if (kind == TCalcType::ctAverage) return FloatToStr(sum / double(values.size()));
    return FloatToStr(kind == TCalcType::ctLowest ? *std::min_element(values.begin(), values.end())
                                                  : *std::max_element(values.begin(), values.end()));
  }

  // Replays the pages: rows join the report, the page (column) and the
  // group when their detail prints; a group ends after its footer.
  void CheckAgainstReference(int columnWidth, const std::map<std::string, double>& prices) {
    std::vector<double> report, page, group;
    int checked = 0;
    for (int p = 0; p < PageCount(); ++p) {
      int column = -1;
      for (const TInstance& instance : Instances(p, columnWidth)) {
        (void)column;
        if (instance.marker.rfind("C", 0) == 0) page.clear();  // a column (or page) starts
        if (instance.marker.rfind("D ", 0) == 0) {
          const double price = prices.at(instance.marker.substr(2));
          for (auto* span : {&report, &page, &group}) span->push_back(price);
        }
        size_t k = 0;
        for (const auto* span : {&report, &page, &group})
          for (TCalcType kind : kKinds) {
            if (instance.marker.rfind("C", 0) == 0) break;
            const std::string want = Expected(kind, *span), got = instance.values[k++];
            EXPECT_EQ(got, want) << "page " << p << ", " << instance.marker << ", control " << k - 1;
            ++checked;
          }
        if (instance.marker == "GF") group.clear();
      }
    }
    EXPECT_GT(checked, 100);
  }
};

TEST_P(Totals, EveryKindUnderEveryResetInEveryPlace) {
  const std::string variant = GetParam();
  std::map<std::string, double> prices;
  const std::vector<std::pair<std::string, int>> groups{{"A", 4}, {"B", 1}, {"C", 9}, {"D", 3}, {"E", 2}};
  int n = 0;
  for (const auto& [country, count] : groups)
    for (int i = 0; i < count; ++i) {
      const std::string item = country + std::to_string(i);
      const double price = double((n * 37) % 23) - 7.5 + (n % 3) * 0.25;
      prices[item] = price;
      rows->AppendRecord({TVariant(country), TVariant(item), TVariant(price), TVariant(int64_t(1))});
      ++n;
    }
  rows->Open();
  report->PrinterSetting().SetPaperSizeWidth(5000);  // room for two columns of 16 controls
  int columnWidth = 5000;
  if (variant == "columns") {
    report->SetColumnNumber(2);
    columnWidth = (UsableWidth() + 1) / 2;
  }
  if (variant == "two passes") report->SetTwoPass(true);
  // A column header marks where rows of a new page or column begin.
  if (variant == "columns") Expr(AddBand(TBandType::btColumnHeader, 20), "'C'");
  else Expr(AddBand(TBandType::btPageHeader, 20), "'C'");
  report->GetBand(report->GetIndexBand(variant == "columns" ? TBandType::btColumnHeader : TBandType::btPageHeader))
      ->SetNewPage(true);
  if (variant == "nested groups") {
    // An outer group: its change prints the inner footer too.
    TZdqBand* outerFooter = AddGroup("IIF(Country < 'C', 'N', 'S')", 20).second;
    AddTotals(*outerFooter, "'OF'", "Country");
  }
  TZdqBand* footer = AddGroup("Country", 20).second;
  AddTotals(AddBand(TBandType::btDetail, 20), "'D ' + Item", "Country");
  AddTotals(*footer, "'GF'", "Country");
  AddTotals(AddBand(TBandType::btPageFooter, 20), "'PF'", "Country");
  report->GetBand(report->GetIndexBand(TBandType::btPageFooter))->SetNewPage(true);
  AddTotals(AddBand(TBandType::btReportSummary, 20), "'S'", "Country");
  report->Prepare();
  ASSERT_GE(PageCount(), 2);
  CheckAgainstReference(columnWidth, prices);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Totals,
                         ::testing::Values("one column", "columns", "nested groups", "two passes"));

TEST_F(CollectionsReport, OverNoRowsCountsAndSumsAreZero) {
  rows->Open();
  TZdqBand& summary = AddBand(TBandType::btReportSummary, 20);
  int x = 0;
  for (TCalcType kind : {TCalcType::ctCount, TCalcType::ctSum, TCalcType::ctHighest}) {
    TZdqExpression& c = Expr(summary, "Price", x += 80);
    c.Calculation().SetCalcType(kind);
  }
  TZdqVariable& count = *report->Variables().Add();
  count.SetName("Rows");
  count.SetExpression("Item");
  count.Calculation().SetCalcType(TCalcType::ctCount);
  Expr(summary, "'rows ' + Rows", x += 80);
  report->Prepare();
  EXPECT_EQ(AllTexts(), (Texts{"0", "0", "rows 0"}));
}

// ---- variables ----

TEST_F(CollectionsReport, VariablesAreCurrentForTheRowThatShowsThemAndResetPerGroup) {
  AddRows({{"A", "a1", 1, 1}, {"A", "a2", 2, 1}, {"A", "a3", 3, 1}, {"B", "b1", 4, 1}, {"B", "b2", 5, 1}});
  TZdqVariable& running = *report->Variables().Add();
  running.SetName("Running");
  running.SetExpression("Price");
  running.Calculation().SetCalcType(TCalcType::ctSum);
  TZdqVariable& label = *report->Variables().Add();
  label.SetName("Label");
  label.SetExpression("Item + ' of ' + Country");
  TZdqVariable& total = *report->Variables().Add();
  total.SetName("GroupTotal");
  total.SetExpression("Price");
  total.Calculation().SetCalcType(TCalcType::ctSum);
  total.Calculation().SetResetType(TResetType::rtEndGroup);
  total.Calculation().SetResetGroup("Country");
  TZdqBand* footer = AddGroup("Country", 20).second;
  Expr(AddBand(TBandType::btDetail, 20), "Label + ': ' + Running + ' / ' + GroupTotal");
  Expr(*footer, "'total ' + GroupTotal");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"a1 of A: 1 / 1", "a2 of A: 3 / 3", "a3 of A: 6 / 6", "total 6", "b1 of B: 10 / 4",
                               "b2 of B: 15 / 9", "total 9"}));
  // After the run everything is back to Null.
  EXPECT_TRUE(report->Variables()[0]->CurValue().isNull());
}

TEST_F(CollectionsReport, AVariableChangeRefreshesTheVariablesThatFollowIt) {
  AddRows({{"A", "a1", 1, 1}, {"A", "a2", 1, 1}, {"B", "b1", 1, 1}, {"B", "b2", 1, 1}, {"C", "c1", 1, 1}});
  TZdqVariable& country = *report->Variables().Add();
  country.SetName("Land");
  country.SetExpression("Country");
  TZdqVariable& changes = *report->Variables().Add();
  changes.SetName("Changes");
  changes.SetExpression("Country");
  changes.Calculation().SetCalcType(TCalcType::ctCount);
  changes.Calculation().SetCalculate(TZdqCalculate::rcVariableChange);
  changes.Calculation().SetVariableChange("LAND");  // names compare ignoring case
  Expr(AddBand(TBandType::btDetail, 20), "Changes");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"1", "1", "2", "2", "3"}));
}

TEST_F(CollectionsReport, VariablesTriggeringEachOtherStopWithAClearError) {
  AddRows({{"A", "a1", 1, 1}});
  for (const auto& [name, other] : {std::pair{"Ping", "Pong"}, std::pair{"Pong", "Ping"}}) {
    TZdqVariable& v = *report->Variables().Add();
    v.SetName(name);
    v.SetExpression(std::string(other) + " + 'x'");  // changes every time
    v.Calculation().SetCalculate(TZdqCalculate::rcVariableChange);
    v.Calculation().SetVariableChange(other);
  }
  try {
    report->UpdateCurValues(-1, -1, TUpdateValue::uvOnlyCustomVariables, {}, "Ping");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("keep triggering each other"), std::string::npos) << e.what();
  }
}

// ---- highlights and print conditions ----

TEST_F(CollectionsReport, RunawayVariablesStopThePreparationNamingTheVariable) {
  AddItems(40);
  Expr(AddBand(TBandType::btDetail, 20), "Item");
  // A text that doubles on every row.
  TZdqVariable& doubling = *report->Variables().Add();
  doubling.SetName("Doubling");
  doubling.SetExpression("Doubling + Doubling + 'ab'");
  try {
    report->PrepareReport();
    FAIL() << "no error";
  } catch (const EZdqLimitError& e) {
    EXPECT_NE(std::string(e.what()).find("Variable 'Doubling'"), std::string::npos) << e.what();
  }

  // Changes that fan out: two variables of each name follow the one before
  // and change whenever they are refreshed, doubling the work per level.
  report->Variables().Clear();
  TZdqVariable& first = *report->Variables().Add();
  first.SetName("L1");
  first.SetExpression("Item");
  for (int level = 2; level <= 40; ++level)
    for (int copy = 0; copy < 2; ++copy) {
      TZdqVariable& v = *report->Variables().Add();
      v.SetName("L" + std::to_string(level));
      v.SetExpression(v.Name() + " + 'x'");
      v.Calculation().SetCalculate(TZdqCalculate::rcVariableChange);
      v.Calculation().SetVariableChange("L" + std::to_string(level - 1));
    }
  report->MaxTextLength = 1u << 20;
  try {
    report->PrepareReport();
    FAIL() << "no error";
  } catch (const EZdqLimitError& e) {
    EXPECT_NE(std::string(e.what()).find("refreshed more than"), std::string::npos) << e.what();
  }
}

TEST_F(CollectionsReport, AHighlightChangesColourAndFontWhileItsConditionHolds) {
  AddRows({{"A", "few", 1, 2}, {"A", "many", 1, 9}, {"A", "none", 1, 0}});
  TZdqExpression& qty = Expr(AddBand(TBandType::btDetail, 20), "Item");
  TZdqHighLight* empty = qty.HighLights().Add();  // an empty condition is never tested
  empty->SetColor(clBlue);
  TZdqHighLight* many = qty.HighLights().Add();
  many->SetExpression("[Qty] > 5");
  many->SetColor(clRed);
  many->Font().Edit().Style.Set(fsBold);
  TZdqHighLight* later = qty.HighLights().Add();  // only the first that holds applies
  later->SetExpression("[Qty] > 1");
  later->SetColor(clLime);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 1);
  const std::vector<TDrawnText> drawn = DrawnTexts(report->Pages().At(0));
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].text, "few");
  EXPECT_TRUE(drawn[0].filled);
  EXPECT_EQ(drawn[0].fill, clLime);
  EXPECT_EQ(drawn[1].text, "many");
  EXPECT_TRUE(drawn[1].filled);
  EXPECT_EQ(drawn[1].fill, clRed);
  EXPECT_EQ(drawn[1].weight, 700);
  EXPECT_EQ(drawn[2].text, "none");
  EXPECT_FALSE(drawn[2].filled && (drawn[2].fill == clRed || drawn[2].fill == clLime || drawn[2].fill == clBlue));
  EXPECT_EQ(drawn[2].weight, 400);
}

TEST_F(CollectionsReport, PrintConditionsHideControlsAndBandsRowByRow) {
  AddRows({{"A", "a1", 1, 2}, {"B", "b1", 1, 9}, {"C", "c1", 1, 4}});
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  Expr(detail, "Item").ZdPrintWhen().SetHideWhen("[Qty] > 5");
  Expr(detail, "'big ' + Item", 120).ZdPrintWhen().SetShowIf("([Qty] > 3) AND ([Country] <> 'C')");
  TZdqBand& summary = AddBand(TBandType::btReportSummary, 20);
  Expr(summary, "'end'");
  summary.ZdPrintWhen().SetShowIf("1 = 2");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"a1", "big b1", "c1"}));
}

// ---- parameters ----

TEST_F(CollectionsReport, ParametersAnsweredWithoutADialogSelectTheRows) {
  AddRows({{"A", "a1", 1, 1}, {"B", "b1", 1, 1}, {"B", "b2", 1, 1}});
  TZdqParameter* wanted = report->Parameters().Add();
  wanted->SetName("Wanted");
  wanted->SetDisplayLabel("Country wanted");
  TZdqParameter* shout = report->Parameters().Add();
  shout->SetName("Shout");
  shout->SetParameterEditor(TZdqParameterEditor::peCheckBox);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  detail.ZdPrintWhen().SetShowIf("[Country] = Wanted");
  Expr(detail, "IIF(Shout, UPPER(Item), Item)");

  ui.parameterDialog = TZdqParameterAnswers({"country wanted=B", "Shout=true"});
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"B1", "B2"}));
  EXPECT_EQ(wanted->Value(), TVariant("B"));
  EXPECT_EQ(shout->Value(), TVariant(true));

  // A value the editor cannot take stops the run before any page.
  ui.parameterDialog = TZdqParameterAnswers({"Wanted=A", "Shout=loud"});
  report->FreePages();
  EXPECT_THROW(report->PrepareReport(), std::invalid_argument);
  EXPECT_EQ(PageCount(), 0);
  EXPECT_EQ(wanted->Value(), TVariant("B")) << "nothing is written when one answer is bad";
}

TEST_F(CollectionsReport, ParametersAlreadyDefinedAreNotAskedAgain) {
  AddRows({{"A", "a1", 1, 1}, {"B", "b1", 1, 1}});
  TZdqParameter* wanted = report->Parameters().Add();
  wanted->SetName("Wanted");
  wanted->SetParameterMode(TZdqParameterMode::pmAskUndefined);
  wanted->SetValue(TVariant("A"));
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  detail.ZdPrintWhen().SetShowIf("[Country] = Wanted");
  Expr(detail, "Item");
  ui.parameterDialog = TZdqParameterAnswers({"Wanted=B"});
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"a1"}));
}

// ---- outlines ----

TEST_F(CollectionsReport, OutlinesRecordWhereEachGroupStarts) {
  std::vector<TRow> data;
  for (const char* country : {"A", "B", "C", "D"})
    for (int i = 1; i <= 6; ++i) data.push_back({country, std::string(country) + std::to_string(i), 1, 1});
  AddRows(data);
  auto [header, footer] = AddGroup("Country", 30);
  header->SetOutlineExpression("'Land ' + Country");
  Expr(*header, "'Land ' + Country");
  footer->SetHeight(0);
  Expr(AddBand(TBandType::btDetail, 40), "Item");
  report->Prepare();
  ASSERT_GE(PageCount(), 2);

  const TZdqOutlines& outlines = report->Outlines();
  ASSERT_EQ(outlines.Count(), 4);
  for (int i = 0; i < outlines.Count(); ++i) {
    const TZdqOutline& o = outlines.Items(i);
    EXPECT_EQ(o.Text, std::string("Land ") + char('A' + i));
    EXPECT_EQ(o.BarNo, 0);
    ASSERT_LT(o.PageNo, PageCount());
    const std::vector<TDrawnText> drawn = DrawnTexts(report->Pages().At(o.PageNo));
    auto at = std::find_if(drawn.begin(), drawn.end(), [&](const TDrawnText& t) { return t.text == o.Text; });
    ASSERT_NE(at, drawn.end()) << o.Text << " not on page " << o.PageNo;
    EXPECT_LE(o.Top, at->y);
    EXPECT_GT(o.Top + 30, at->y);
  }
  // A second run starts a new table of contents.
  report->Prepare();
  EXPECT_EQ(report->Outlines().Count(), 4);
}

// ---- system values and errors ----

TEST_F(CollectionsReport, PageNumbersInExpressionsAreThoseOfThePageTheyPrintOn) {
  AddItems(30);
  TZdqBand& detail = AddBand(TBandType::btDetail, 40);
  Expr(detail, "Item + ' p' + INTTOSTR(PageNo)");
  TZdqVariable& page = *report->Variables().Add();
  page.SetName("OnPage");
  page.SetExpression("'v' + INTTOSTR(PageNo)");
  Expr(detail, "OnPage", 120);
  Expr(AddBand(TBandType::btPageFooter, 20), "'footer p' + INTTOSTR(PageNo)");
  report->PrepareReport();
  ASSERT_GE(PageCount(), 3);
  for (int p = 0; p < PageCount(); ++p) {
    const std::string no = std::to_string(p + 1);
    for (const std::string& text : PageTexts(p)) {
      const std::string want = text.front() == 'i' ? " p" + no : text.front() == 'v' ? "v" + no : "footer p" + no;
      EXPECT_TRUE(text.size() >= want.size() && text.compare(text.size() - want.size(), want.size(), want) == 0)
          << text << " on page " << no;
    }
  }
}

TEST_F(CollectionsReport, ExpressionErrorsStopThePreparationWithTheirMessage) {
  AddRows({{"A", "a1", 1, 0}, {"A", "x2", 1, 1}});
  TZdqExpression& value = Expr(AddBand(TBandType::btDetail, 20), "[Price] / [Qty]");
  try {
    report->PrepareReport();
    FAIL() << "no error";
  } catch (const EMathError& e) {
    EXPECT_STREQ(e.what(), "Division by zero");
  }
  EXPECT_EQ(report->ReportState, TZdReportState::rsNone);

  value.SetExpression("STRTOINT([Item])");
  EXPECT_THROW(report->PrepareReport(), EConvertError);
  value.SetExpression("[Item] * 2");
  EXPECT_THROW(report->PrepareReport(), EExprError);
  value.SetExpression("[Missing]");
  try {
    report->PrepareReport();
    FAIL() << "no error";
  } catch (const EExprError& e) {
    EXPECT_STREQ(e.what(), "Field 'Missing' not found");
  }

  // The same report prepares once the expression is mended.
  value.SetExpression("IIF([Qty] = 0, 'none', FLOATTOSTR([Price] / [Qty]))");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"none", "1"}));
}

}  // namespace
