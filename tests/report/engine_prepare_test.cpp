// The band engine, judged by the pages it records: which texts land on
// which page and at what height, for page-level bands, groups, columns,
// bars, sub-details, events, cancelling and the dataset preconditions.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "host/data/MemoryDataSet.h"
#include "host/data/SqlDataSet.h"
#include "host/emf/Metafile.h"
#include "host/printing/Printer.h"
#include "host/ui/Progress.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"
#include "tests/ScriptedUserInterface.h"

using namespace zd;

namespace {

struct TLine {
  std::string text;
  int x = 0, y = 0;
};

std::vector<TLine> LinesOf(const TPageInfo& page) {
  std::vector<TLine> lines;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState&) {
    if (auto text = ReadEmfText(rec)) lines.push_back({text->Text, text->Reference.X, text->Reference.Y});
    return true;
  });
  return lines;
}

std::vector<std::string> TextsOf(const TPageInfo& page) {
  std::vector<std::string> texts;
  for (const TLine& l : LinesOf(page)) texts.push_back(l.text);
  return texts;
}

using Texts = std::vector<std::string>;

class EngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }

  EngineTest() {
    rows = new TMemoryDataSet(&form);
    rows->SetName("Rows");
    rows->AddField("Country", TFieldType::ftString, 20);
    rows->AddField("Name", TFieldType::ftString, 20);
    report = new TZdReport(&form);
    report->SetAnimatedStatus(false);
    report->SetDataSet(rows);
    // A small sheet so that a few rows fill a page.
    TZdqPrinter& paper = report->PrinterSetting();
    paper.SetPaperSize(TZdqPaperSize::psCustom);
    paper.SetPaperSizeWidth(1000);
    paper.SetPaperSizeHeight(800);
    report->DeleteAllBands();
  }

  void AddRows(const std::vector<std::pair<std::string, std::string>>& data) {
    for (const auto& [country, name] : data) rows->AppendRecord({TVariant(country), TVariant(name)});
    rows->Open();
  }
  void AddNames(int count, const std::string& country = "X") {
    for (int i = 1; i <= count; ++i) rows->AppendRecord({TVariant(country), TVariant("n" + std::to_string(i))});
    rows->Open();
  }

  TZdqBand& AddBand(TBandType type, int height, bool afterEqual = true) {
    TZdqBand& band = *report->GetBand(report->AddBand(type, afterEqual));
    band.SetHeight(height);
    band.SetLeft(0);
    band.SetNewPage(false);
    return band;
  }
  // A group header and footer on an expression, each printing a label.
  std::pair<TZdqBand*, TZdqBand*> AddGroup(const std::string& expression, int height) {
    int h = 0, f = 0;
    report->AddGroup(h, f, false, false, false, 0, expression);
    TZdqBand* header = report->GetBand(h);
    TZdqBand* footer = report->GetBand(f);
    header->SetHeight(height);
    footer->SetHeight(height);
    return {header, footer};
  }
  static TZdqLabel& Label(TZdqBand& band, const std::string& text, int left = 0, int top = 0) {
    auto* label = new TZdqLabel(&band);
    label->SetDisplayName(text);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetWidth(150);
    label->SetHeight(16);
    return *label;
  }
  static TZdqExpression& Field(TZdqBand& band, const std::string& expression, int left = 0, int top = 0) {
    auto* control = new TZdqExpression(&band);
    control->SetExpression(expression);
    control->SetLeft(left);
    control->SetTop(top);
    control->SetWidth(150);
    control->SetHeight(16);
    return *control;
  }

  int PageCount() const { return report->Pages().Count(); }
  Texts PageTexts(int i) const { return TextsOf(report->Pages().At(i)); }
  std::vector<TLine> PageLines(int i) const { return LinesOf(report->Pages().At(i)); }
  Texts AllTexts() const {
    Texts all;
    for (int i = 0; i < PageCount(); ++i)
      for (const std::string& t : PageTexts(i)) all.push_back(t);
    return all;
  }
  int UsableHeight() const {
    TZdqPrinter& paper = report->PrinterSetting();
    return paper.PaperHeightPixels() - paper.GetPageOffsetTop() - paper.GetPageOffsetBottom();
  }
  int BarWidth() const {
    TZdqPrinter& paper = report->PrinterSetting();
    return paper.PaperWidthPixels() - paper.GetPageOffsetLeft() - paper.GetPageOffsetRight();
  }
  static int YOf(const std::vector<TLine>& lines, const std::string& text) {
    for (const TLine& l : lines)
      if (l.text == text) return l.y;
    ADD_FAILURE() << "no text " << text;
    return -1;
  }

  test::TScriptedUserInterface ui;
  TComponent form;
  TMemoryDataSet* rows = nullptr;
  TZdReport* report = nullptr;
};

// ---- page flow ----

TEST_F(EngineTest, EmptyDatasetPrintsTitleAndSummaryOnOneSheetPerBar) {
  rows->Open();
  TZdqBand& title = AddBand(TBandType::btReportTitle, 30);
  Label(title, "Title");
  Label(title, "Title2", BarWidth() + 5);
  Label(AddBand(TBandType::btPageHeader, 20), "Header");
  Label(AddBand(TBandType::btDetail, 20), "Row");
  TZdqBand& summary = AddBand(TBandType::btReportSummary, 30);
  Label(summary, "Summary");
  Label(summary, "Summary2", BarWidth() + 5);
  report->SetBarNumber(2);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(report->Pages().At(i).intNumBar, i);
  // A page header without NewPage stays off the first page of a bar.
  EXPECT_EQ(PageTexts(0), (Texts{"Title", "Summary"}));
  EXPECT_EQ(PageTexts(1), (Texts{"Title2", "Summary2"}));
  EXPECT_EQ(report->ReportState, TZdReportState::rsNone);
  EXPECT_TRUE(report->Prepared());
}

TEST_F(EngineTest, DetailsFillPagesBelowTheHeaderAndAboveTheFooter) {
  AddNames(12);
  TZdqBand& header = AddBand(TBandType::btPageHeader, 30);
  header.SetNewPage(true);
  Label(header, "Header");
  TZdqBand& detail = AddBand(TBandType::btDetail, 40);
  Field(detail, "Name");
  TZdqBand& footer = AddBand(TBandType::btPageFooter, 25);
  footer.SetNewPage(true);
  Label(footer, "Footer");
  report->PrepareReport();

  const int perPage = (UsableHeight() - 30 - 25) / 40;
  ASSERT_GT(perPage, 1);
  ASSERT_EQ(PageCount(), (12 + perPage - 1) / perPage);
  Texts seen;
  for (int p = 0; p < PageCount(); ++p) {
    const auto lines = PageLines(p);
    const TPageInfo& page = report->Pages().At(p);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front().text, "Header");
    const int headerY = YOf(lines, "Header");
    EXPECT_EQ(YOf(lines, "Footer") - headerY, page.PageHeight() - page.OffsetBottom - 25 - page.OffsetTop);
    int expectedY = headerY + 30;
    for (const TLine& l : lines) {
      if (l.text == "Header" || l.text == "Footer") continue;
      EXPECT_EQ(l.y, expectedY) << l.text;
      expectedY += 40;
      seen.push_back(l.text);
    }
    if (p + 1 < PageCount()) EXPECT_EQ(int(lines.size()) - 2, perPage);
  }
  Texts expected;
  for (int i = 1; i <= 12; ++i) expected.push_back("n" + std::to_string(i));
  EXPECT_EQ(seen, expected);

  // Without NewPage the page header prints from the second page on.
  header.SetNewPage(false);
  report->PrepareReport();
  ASSERT_GE(PageCount(), 3);
  const Texts first = PageTexts(0);
  EXPECT_EQ(std::count(first.begin(), first.end(), "Header"), 0);
  for (int p = 1; p < PageCount(); ++p) EXPECT_EQ(PageTexts(p).front(), "Header") << p;
}

TEST_F(EngineTest, TitleWithNewPageStandsAloneAndDataStartsOnTheSecondPage) {
  AddNames(2);
  TZdqBand& title = AddBand(TBandType::btReportTitle, 40);
  title.SetNewPage(true);
  Label(title, "Title");
  Field(AddBand(TBandType::btDetail, 20), "Name");
  std::vector<int> begun;
  report->OnBeginColumn = [&](TComponent*, int column) { begun.push_back(column); };
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(PageTexts(0), Texts{"Title"});
  EXPECT_EQ(PageTexts(1), (Texts{"n1", "n2"}));
  EXPECT_EQ(begun, (std::vector<int>{0, 0}));
}

TEST_F(EngineTest, ABandTallerThanThePageGetsAPageOfItsOwnAndTheReportEnds) {
  AddNames(3);
  Field(AddBand(TBandType::btDetail, 5000), "Name");
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 3);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(PageTexts(p), Texts{"n" + std::to_string(p + 1)});
}

TEST_F(EngineTest, AStretchingBandTallerThanThePageGoesOnOverTheNextPagesLineByLine) {
  AddNames(2);
  Label(AddBand(TBandType::btPageHeader, 20), "Header").GetParentBand()->SetNewPage(true);
  Label(AddBand(TBandType::btPageFooter, 20), "Footer").GetParentBand()->SetNewPage(true);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  detail.SetStretch(true);
  Field(detail, "Name");
  std::string memo;
  for (int i = 1; i <= 900; ++i) memo += "w" + std::to_string(i) + " ";
  TZdqLabel& text = Label(detail, memo, 0, 20);
  text.SetWidth(300);
  report->PrepareReport();
  ASSERT_GE(PageCount(), 4);

  std::vector<std::string> words;
  for (int p = 0; p < PageCount(); ++p) {
    const auto lines = PageLines(p);
    const TPageInfo& page = report->Pages().At(p);
    const int bodyTop = page.OffsetTop + 20, bodyBottom = page.PageHeight() - page.OffsetBottom - 20;
    EXPECT_LT(YOf(lines, "Header"), bodyTop);
    EXPECT_GE(YOf(lines, "Footer"), bodyBottom);
    for (const TLine& l : lines) {
      if (l.text == "Header" || l.text == "Footer") continue;
      // Every line lies wholly inside the page body.
      EXPECT_GE(l.y, bodyTop) << l.text;
      EXPECT_LE(l.y + FontLineHeight(text.Font().Value()), bodyBottom) << l.text;
      if (l.text.front() != 'w') continue;
      std::istringstream in(l.text);
      for (std::string w; in >> w;) words.push_back(w);
    }
  }
  // Both rows' memos, every word once and in order.
  ASSERT_EQ(words.size(), 1800u);
  for (size_t i = 0; i < words.size(); ++i) EXPECT_EQ(words[i], "w" + std::to_string(i % 900 + 1));
}

TEST_F(EngineTest, OutlandishNumbersFromATemplateAreBroughtWithinBounds) {
  AddNames(2);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  TZdqLabel& label = Label(detail, "far");
  label.SetLeft(INT32_MAX);
  label.SetTop(INT32_MIN);
  label.SetWidth(INT32_MAX);
  label.Font().Edit().Size = INT32_MAX;
  label.Frame().SetWidth(INT32_MAX);
  TZdqLabel& big = Label(detail, "big", 10);
  big.Font().Edit().SetPixelHeight(INT32_MAX);
  report->SetColumnSpace(INT32_MIN);
  report->SetBarNumber(100000);
  report->PrinterSetting().SetPaperSizeWidth(INT32_MAX);
  EXPECT_EQ(report->BarNumber(), TZdReport::kMaxBars);
  EXPECT_LE(label.Left(), kMaxPageCoordinate);
  EXPECT_LE(label.Frame().GetFrameWidth(), 1000);
  report->SetBarNumber(2);
  report->PrepareReport();  // overflowed before (the sanitized run stops on it)
  ASSERT_GE(PageCount(), 2);
  EXPECT_LE(report->Pages().At(0).PageWidth(), 50000 * 96 / 254 + 1) << "no wider than PDF readers take";
}

TEST_F(EngineTest, AReportWithoutDetailWalksTheDatasetOncePrintingOnlyItsGroups) {
  AddRows({{"A", "a1"}, {"A", "a2"}, {"B", "b1"}});
  auto [header, footer] = AddGroup("Country", 20);
  Field(*header, "Country");
  Label(*footer, "end");
  Label(AddBand(TBandType::btReportSummary, 20), "Summary");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"A", "end", "B", "end", "Summary"}));
}

TEST_F(EngineTest, TheLastRowsFooterThatDoesNotFitStartsAPage) {
  AddNames(2);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  Field(detail, "Name");
  auto [header, footer] = AddGroup("Country", 10);
  footer->SetHeight(UsableHeight() - 40 + 5);  // one row's height short... and then some
  Label(*footer, "Total");
  TZdqBand& summary = AddBand(TBandType::btReportSummary, 30);
  Label(summary, "Summary");
  report->PrepareReport();
  // Nothing is printed below the page body, the last footer included.
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(PageTexts(0), (Texts{"n1", "n2"}));
  EXPECT_EQ(PageTexts(1), (Texts{"Total", "Summary"}));
}

// ---- groups ----

TEST_F(EngineTest, NestedGroupsPrintFootersAtTheirEndsAndAfterTheLastRow) {
  rows->AppendRecord({TVariant("A"), TVariant("x")});
  rows->AppendRecord({TVariant("A"), TVariant("x")});
  rows->AppendRecord({TVariant("A"), TVariant("y")});
  rows->AppendRecord({TVariant("B"), TVariant("y")});
  rows->Open();
  auto [outerHeader, outerFooter] = AddGroup("Country", 12);
  auto [innerHeader, innerFooter] = AddGroup("Name", 12);
  Field(*outerHeader, "Country");
  Field(*innerHeader, "Name");
  Label(*innerFooter, "/inner");
  Label(*outerFooter, "/outer");
  Label(AddBand(TBandType::btDetail, 12), "row");
  report->PrepareReport();
  // B keeps the name y, yet the outer change ends the inner group too.
  EXPECT_EQ(AllTexts(), (Texts{"A", "x", "row", "row", "/inner", "y", "row", "/inner", "/outer", "B", "y", "row",
                               "/inner", "/outer"}));
}

TEST_F(EngineTest, ReprintedGroupHeadersOpenEveryPageTheirGroupContinuesOn) {
  AddNames(12, "A");
  auto [header, footer] = AddGroup("Country", 20);
  header->SetReprintHeader(true);
  Field(*header, "Country");
  Label(*footer, "end");
  Field(AddBand(TBandType::btDetail, 40), "Name");
  report->PrepareReport();
  ASSERT_GE(PageCount(), 3);
  for (int p = 0; p < PageCount(); ++p) {
    const auto lines = PageLines(p);
    EXPECT_EQ(lines.front().text, "A") << p;
    // Printed once per page: the first page has the real one only.
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const TLine& l) { return l.text == "A"; }), 1) << p;
    EXPECT_EQ(lines[1].y - lines[0].y, 20) << p;
  }
}

TEST_F(EngineTest, NewPageIfNotFitMovesAWholeGroupThatWouldBeSplit) {
  // Group A takes most of a page; group B would not fit below it.
  const int detailHeight = 20;
  AddRows({{"A", "a1"}, {"A", "a2"}, {"A", "a3"}, {"B", "b1"}, {"B", "b2"}, {"B", "b3"}, {"C", "c1"}});
  auto [header, footer] = AddGroup("Country", 20);
  header->SetNewPageIfNotFit(true);
  Field(*header, "Country");
  footer->SetHeight(UsableHeight() / 2 - 20 - 3 * detailHeight + 10);
  // The look-ahead runs the group's values forward: they must come back.
  TZdqExpression& count = Field(*footer, "Name");
  count.Calculation().SetCalcType(TCalcType::ctCount);
  count.Calculation().SetResetType(TResetType::rtEndGroup);
  count.Calculation().SetResetGroup("Country");
  TZdqSysData& lineNo = *new TZdqSysData(report->GetBand(report->AddBand(TBandType::btDetail, true)));
  TZdqBand& detail = *lineNo.GetParentBand();
  detail.SetHeight(detailHeight);
  lineNo.SetSysData(TZdqSysDataType::sdDetailNo);
  lineNo.SetLeft(0);
  lineNo.SetTop(0);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(PageTexts(0), (Texts{"A", "1", "2", "3", "3"}));
  // C is smaller and fits below B.
  EXPECT_EQ(PageTexts(1), (Texts{"B", "4", "5", "6", "3", "C", "7", "1"}));

  // Without the flag B starts on the first page and its footer goes over.
  header->SetNewPageIfNotFit(false);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  const Texts first = PageTexts(0);
  EXPECT_NE(std::find(first.begin(), first.end(), "B"), first.end());
  EXPECT_EQ(PageTexts(1).front(), "3");
}

TEST_F(EngineTest, GroupHeadersBreakOnLessThanOrNewPageButNotAtThePageStart) {
  AddRows({{"A", "a1"}, {"B", "b1"}, {"C", "c1"}});
  auto [header, footer] = AddGroup("Country", 20);
  Field(*header, "Country");
  footer->SetHeight(0);
  Field(AddBand(TBandType::btDetail, 20), "Name");
  const auto expectPagePerGroup = [&] {
    ASSERT_EQ(PageCount(), 3);
    EXPECT_EQ(PageTexts(0), (Texts{"A", "a1"}));
    EXPECT_EQ(PageTexts(1), (Texts{"B", "b1"}));
    EXPECT_EQ(PageTexts(2), (Texts{"C", "c1"}));
  };
  report->PrepareReport();
  EXPECT_EQ(PageCount(), 1);  // LessThan 0 never breaks by itself

  header->SetLessThan(UsableHeight() - 40 + 1);  // room below a group's two bands is one short
  report->PrepareReport();
  expectPagePerGroup();

  header->SetLessThan(0);
  header->SetNewPage(true);
  report->PrepareReport();
  expectPagePerGroup();
}

// ---- columns and bars ----

TEST_F(EngineTest, ThreeColumnsFlowDownEachColumnThenToANewSheet) {
  AddNames(14);
  TZdqBand& pageHeader = AddBand(TBandType::btPageHeader, 20);
  pageHeader.SetNewPage(true);
  Label(pageHeader, "Page");
  Label(AddBand(TBandType::btColumnHeader, 20), "Col");
  Label(AddBand(TBandType::btColumnFooter, 20), "ColEnd");
  Field(AddBand(TBandType::btDetail, 60), "Name");
  report->SetColumnNumber(3);
  report->SetColumnSpace(6);
  std::vector<int> ended;
  report->OnEndColumn = [&](TComponent*, int column) { ended.push_back(column); };
  report->PrepareReport();

  const TPageInfo& page = report->Pages().At(0);
  const int barWidth = page.PageWidth() - page.OffsetLeft - page.OffsetRight;
  const int columnWidth = (barWidth - 2 * 6) / 3;
  const int perColumn = (UsableHeight() - 20 - 20 - 20) / 60;
  ASSERT_GE(perColumn, 1);
  const int perSheet = 3 * perColumn;
  ASSERT_EQ(PageCount(), (14 + perSheet - 1) / perSheet);
  const auto lines = PageLines(0);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const TLine& l) { return l.text == "Page"; }), 1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const TLine& l) { return l.text == "Col"; }), 3);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const TLine& l) { return l.text == "ColEnd"; }), 3);
  const auto first = std::find_if(lines.begin(), lines.end(), [](const TLine& l) { return l.text == "n1"; });
  ASSERT_NE(first, lines.end());
  const int x0 = first->x;
  for (int i = 0; i < perSheet; ++i) {
    const std::string name = "n" + std::to_string(i + 1);
    const auto it = std::find_if(lines.begin(), lines.end(), [&](const TLine& l) { return l.text == name; });
    ASSERT_NE(it, lines.end()) << name;
    EXPECT_EQ(it->x - x0, (i / perColumn) * (columnWidth + 6)) << name;
    EXPECT_EQ(it->y, YOf(lines, "n1") + (i % perColumn) * 60) << name;
  }
  std::vector<int> expectedEnds;
  for (int sheet = 0; sheet + 1 < PageCount(); ++sheet) expectedEnds.insert(expectedEnds.end(), {0, 1, 2});
  // The last sheet's columns end with the report, which fires no event.
  const int lastSheetColumns = ((14 - 1) % perSheet) / perColumn + 1;
  for (int c = 0; c + 1 < lastSheetColumns; ++c) expectedEnds.push_back(c);
  EXPECT_EQ(ended, expectedEnds);
}

TEST_F(EngineTest, OneColumnPrintsNoColumnBandsAndBadCountsAreIgnored) {
  AddNames(2);
  Label(AddBand(TBandType::btColumnHeader, 20), "Col");
  Field(AddBand(TBandType::btDetail, 20), "Name");
  report->SetColumnNumber(0);
  report->SetColumnNumber(-3);
  report->SetBarNumber(0);
  report->PrepareReport();
  EXPECT_EQ(report->ColumnNumber(), 1);
  ASSERT_EQ(PageCount(), 1);
  EXPECT_EQ(PageTexts(0), (Texts{"n1", "n2"}));
}

TEST_F(EngineTest, TwoBarsRepeatTheRowsAndDrawEachControlOnItsOwnBar) {
  AddNames(3);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  Field(detail, "Name", 5);
  report->SetBarNumber(2);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  const TPageInfo& page = report->Pages().At(0);
  const int barWidth = page.PageWidth() - page.OffsetLeft - page.OffsetRight;
  Label(detail, "right", barWidth + 7);
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(report->Pages().At(1).intNumBar, 1);
  EXPECT_EQ(report->Pages().At(1).intNumPage, 0);
  EXPECT_EQ(PageTexts(0), (Texts{"n1", "n2", "n3"}));
  EXPECT_EQ(PageTexts(1), (Texts{"right", "right", "right"}));
  // Both bars place by the position within the bar.
  EXPECT_EQ(PageLines(1)[0].x - PageLines(0)[0].x, 2);
}

// ---- page counts ----

// "Page N of M" is drawn with the count so far and again once it is known,
// unless something else reads the count: then a real second pass runs.
// Either way the pages are those of two full passes.
class PageCounts : public EngineTest, public ::testing::WithParamInterface<std::string> {
 protected:
  using TPages = std::vector<std::vector<uint8_t>>;
  // The pages, and how many were opened in all passes.
  std::pair<TPages, int> Prepare(TZdReport& r, bool forceSecondPass) {
    const std::string variant = GetParam();
    r.SetAnimatedStatus(false);
    r.SetDataSet(rows);
    r.PrinterSetting().SetPaperSize(TZdqPaperSize::psCustom);
    r.PrinterSetting().SetPaperSizeWidth(1000);
    r.PrinterSetting().SetPaperSizeHeight(800);
    r.DeleteAllBands();
    r.SetTwoPass(true);
    TZdqBand& detail = *r.GetBand(r.AddBand(TBandType::btDetail, true));
    detail.SetHeight(20);
    Field(detail, "Name", 5);
    TZdqBand& footer = *r.GetBand(r.AddBand(TBandType::btPageFooter, true));
    footer.SetHeight(20);
    auto* count = new TZdqSysData(&footer);
    count->SetSysData(variant == "bars" ? TZdqSysDataType::sdBarCount : TZdqSysDataType::sdPageCount);
    count->SetLeft(40);
    count->SetWidth(60);
    count->SetHeight(16);
    if (variant == "bars") {
      r.SetBarNumber(2);
      Label(detail, "right", BarWidth() + 7);
    }
    if (variant == "read by an expression") Field(footer, "'of ' + IntToStr(PageCount)", 120);
    if (variant == "left out when repeated") count->ZdPrintWhen().SetRepeatedValues(false);
    if (variant == "spilled to a file") r.SetPageMemoryLimit(1);
    if (forceSecondPass) r.OnGetVariable = [](TComponent*, const std::string&, bool&, TFieldType&, TVariant&) {};
    int opened = 0;
    r.OnProgress = [&](const TPrepareProgress&) { ++opened; };
    r.Prepare();
    TPages pages;
    for (int i = 0; i < r.Pages().Count(); ++i) pages.push_back(r.Pages().At(i).Drawing()->Bytes());
    return {pages, opened};
  }
};

TEST_P(PageCounts, AreThoseOfTwoFullPasses) {
  AddNames(150);
  TZdReport twoPasses(&form), deferred(&form);
  const auto [expected, openedInTwoPasses] = Prepare(twoPasses, true);
  const auto [pages, opened] = Prepare(deferred, false);
  ASSERT_GE(expected.size(), 10u);
  EXPECT_EQ(pages, expected);
  const bool needsSecondPass = GetParam() == "read by an expression" || GetParam() == "left out when repeated";
  EXPECT_EQ(opened, needsSecondPass ? openedInTwoPasses : openedInTwoPasses / 2);
}

INSTANTIATE_TEST_SUITE_P(Engine, PageCounts,
                         ::testing::Values("shown", "bars", "spilled to a file", "read by an expression",
                                           "left out when repeated"));

// ---- sub-detail ----

TEST_F(EngineTest, SubDetailPrintsEveryRowOfItsDatasetAfterEachMasterRow) {
  AddNames(2);
  auto* lines = new TMemoryDataSet(&form);
  lines->SetName("Lines");
  lines->AddField("Item", TFieldType::ftString, 20);
  lines->AppendRecord({TVariant("i1")});
  lines->AppendRecord({TVariant("i2")});
  lines->Open();
  Field(AddBand(TBandType::btDetail, 20), "Name");
  TZdqBand& sub = AddBand(TBandType::btSubDetail, 15);
  sub.SetDataset(lines);
  Field(sub, "Lines.Item");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"n1", "i1", "i2", "n2", "i1", "i2"}));
  const auto page = PageLines(0);
  EXPECT_EQ(page[1].y - page[0].y, 20);
  EXPECT_EQ(page[2].y - page[1].y, 15);
}

// ---- events ----

TEST_F(EngineTest, AfterControlPrintAbortSkipsTheBandsRemainingControls) {
  AddNames(2);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  detail.SetStretch(true);
  Field(detail, "Name");
  TZdqLabel& stop = Label(detail, "stop", 200);
  Label(detail, "never", 0, 100);  // would stretch the band to 116
  report->AfterControlPrint = [&](TComponent*, TZdqControl& c, bool, bool& abort) {
    if (&c == &stop) abort = true;
  };
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 1);
  const auto page = PageLines(0);
  EXPECT_EQ(AllTexts(), (Texts{"n1", "stop", "n2", "stop"}));
  EXPECT_LT(YOf(page, "n2") - YOf(page, "n1"), 100);
}

TEST_F(EngineTest, BandEventsSeeMeasuringBeforeDrawingAndTextSetBeforePrinting) {
  AddNames(2);
  TZdqBand& detail = AddBand(TBandType::btDetail, 20);
  TZdqLabel& label = Label(detail, "?");
  std::vector<bool> passes;
  int count = 0;
  report->BeforeBandPrint = [&](TComponent*, TZdqControl& band, bool measuring) {
    if (&band != &detail) return;
    passes.push_back(measuring);
    if (measuring) label.SetCurValue(TVariant("row" + std::to_string(++count)));
  };
  report->PrepareReport();
  EXPECT_EQ(passes, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(PageTexts(0), (Texts{"row1", "row2"}));
}

TEST_F(EngineTest, CancellingStopsTheRowsButStillPrintsTheSummary) {
  AddNames(20);
  TZdqBand& detail = AddBand(TBandType::btDetail, 10);
  Field(detail, "Name");
  Label(AddBand(TBandType::btReportSummary, 10), "Summary");
  report->SetAnimatedStatus(true);
  int drawn = 0;
  report->AfterBandPrint = [&](TComponent*, TZdqControl& band, bool measuring, bool&) {
    if (&band == &detail && !measuring && ++drawn == 3) CancelProgress();
  };
  report->Prepare();
  EXPECT_EQ(AllTexts(), (Texts{"n1", "n2", "n3", "Summary"}));
  EXPECT_TRUE(report->Prepared());
}

TEST_F(EngineTest, AnEventErrorPropagatesAndLeavesTheDatasetAsItWas) {
  AddNames(5);
  Field(AddBand(TBandType::btDetail, 10), "Name");
  rows->First();
  rows->Next();
  bool disabledWhilePreparing = false;
  report->BeforeBandPrint = [&](TComponent*, TZdqControl&, bool) {
    disabledWhilePreparing = rows->ControlsDisabled();
    if (rows->RecNo() == 4) throw std::runtime_error("stop here");
  };
  EXPECT_THROW(report->PrepareReport(), std::runtime_error);
  EXPECT_TRUE(disabledWhilePreparing);
  EXPECT_FALSE(rows->ControlsDisabled());
  EXPECT_EQ(rows->RecNo(), 2);
  EXPECT_EQ(report->ReportState, TZdReportState::rsNone);
  EXPECT_EQ(report->Producer().MFCanvas(), nullptr);
  EXPECT_FALSE(report->Prepared());

  // Without the option the controls stay attached; a good run also comes back.
  report->BeforeBandPrint = [&](TComponent*, TZdqControl&, bool) {
    disabledWhilePreparing = rows->ControlsDisabled();
  };
  report->SetOptions(0);
  report->PrepareReport();
  EXPECT_FALSE(disabledWhilePreparing);
  EXPECT_EQ(rows->RecNo(), 2);
}

// ---- preconditions and parameters ----

TEST_F(EngineTest, MissingOrClosedDatasetsAreReportedBeforeAnythingChanges) {
  AddNames(1);
  Field(AddBand(TBandType::btDetail, 10), "Name");
  report->PrepareReport();
  ASSERT_EQ(PageCount(), 1);

  report->SetDataSet(nullptr);
  try {
    report->PrepareReport();
    FAIL() << "no error without a dataset";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Property DataSet wasn't specified.");
  }
  report->SetDataSet(rows);
  rows->Close();
  try {
    report->PrepareReport();
    FAIL() << "no error for a closed dataset";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Dataset is not active.");
  }
  EXPECT_EQ(PageCount(), 1);
  EXPECT_TRUE(report->Prepared());
}

TEST_F(EngineTest, ParametersGoToTheDialogAndACancelPreparesNothing) {
  AddNames(1);
  Field(AddBand(TBandType::btDetail, 10), "Name");
  TZdqParameter& asked = *report->Parameters().Add();
  asked.SetName("Asked");
  TZdqParameter& known = *report->Parameters().Add();
  known.SetName("Known");
  known.SetParameterMode(TZdqParameterMode::pmAskUndefined);
  known.SetValue(TVariant("set"));
  std::vector<std::string> names;
  ui.parameterDialog = [&](TZdReport&, const std::vector<TZdqParameter*>& list) {
    for (TZdqParameter* p : list) names.push_back(p->Name());
    return false;
  };
  report->PrepareReport();
  EXPECT_EQ(names, Texts{"Asked"});
  EXPECT_EQ(PageCount(), 0);

  // Headless: nothing is asked and the values stay.
  ui.parameterDialog = nullptr;
  report->PrepareReport();
  EXPECT_EQ(PageCount(), 1);
  EXPECT_EQ(known.Value(), TVariant("set"));
}

// ---- SQLite ----

TEST_F(EngineTest, PreparesAGroupedReportOverASqliteTable) {
  QTemporaryDir dir;
  const QString path = dir.filePath("orders.db");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "engine-test");
    db.setDatabaseName(path);
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("CREATE TABLE orders (country TEXT, customer TEXT)"));
    ASSERT_TRUE(q.exec("INSERT INTO orders VALUES ('France', 'Anne'), ('France', 'Bruno'), ('Spain', 'Carla')"));
    db.close();
  }
  QSqlDatabase::removeDatabase("engine-test");
  auto* orders = new TSqlDataSet(&form);
  orders->SetName("Orders");
  orders->SetDatabaseName(path.toStdString());
  orders->SetSQL("SELECT country, customer FROM orders ORDER BY country, customer");
  orders->Open();
  report->SetDataSet(orders);
  auto [header, footer] = AddGroup("country", 20);
  Field(*header, "country");
  Label(*footer, "--");
  Field(AddBand(TBandType::btDetail, 20), "customer");
  report->PrepareReport();
  EXPECT_EQ(AllTexts(), (Texts{"France", "Anne", "Bruno", "--", "Spain", "Carla", "--"}));
  EXPECT_FALSE(orders->Eof());  // back on the row it was on
  orders->Close();
}

}  // namespace
