// Building a report in code: bands and controls handed back, group
// options by name, progress and cancel per report, and the warning for
// rows not sorted by a group's expression.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "host/data/MemoryDataSet.h"
#include "host/emf/Metafile.h"
#include "host/ui/Progress.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {

using Texts = std::vector<std::string>;

class BuildingApiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useVirtualPrinter(); }

  BuildingApiTest() {
    rows = new TMemoryDataSet(&form);
    rows->SetName("Rows");
    rows->AddField("Country", TFieldType::ftString, 20);
    rows->AddField("Name", TFieldType::ftString, 20);
    report = new TZdReport(&form);
    report->SetAnimatedStatus(false);
    report->SetDataSet(rows);
    report->DeleteAllBands();
  }

  void AddRows(const std::vector<std::pair<std::string, std::string>>& data) {
    for (const auto& [country, name] : data) rows->AppendRecord({TVariant(country), TVariant(name)});
    rows->Open();
  }
  TZdqBand& Detail() {
    TZdqBand& detail = report->NewBand(TBandType::btDetail);
    detail.SetHeight(20);
    detail.Add<TZdqExpression>(0, 0, 150, 16).SetExpression("Rows.Name");
    return detail;
  }
  TZdqGroupBands Group(const std::string& expression) {
    const TZdqGroupBands group = report->AddGroup({.Expression = expression});
    group.Header.SetHeight(20);
    group.Header.Add<TZdqExpression>(0, 0, 150, 16).SetExpression(expression);
    group.Footer.SetHeight(0);
    return group;
  }
  Texts AllTexts() const {
    Texts texts;
    for (int i = 0; i < report->Pages().Count(); ++i)
      EnumerateMetafile(*report->Pages().At(i).Drawing(), [&](const TEmfRecord& rec, const TEmfState&) {
        if (auto text = ReadEmfText(rec)) texts.push_back(text->Text);
        return true;
      });
    return texts;
  }

  TComponent form;
  TMemoryDataSet* rows;
  TZdReport* report;
};

TEST_F(BuildingApiTest, NewBandsGroupsAndControlsComeBackPlacedAsAsked) {
  TZdqBand& detail = report->NewBand(TBandType::btDetail);
  TZdqBand& title = report->NewBand(TBandType::btReportTitle);
  const TZdqGroupBands group = report->AddGroup(
      {.Expression = "Rows.Country", .NewPage = true, .ReprintHeader = true, .NewPageIfNotFit = true, .LessThan = 12.5});
  // Placing the title and the group moved the detail; the band in hand is still it.
  EXPECT_EQ(detail.GetBandIndex(), 2);
  EXPECT_EQ(report->GetBand(report->GetIndexBand(TBandType::btDetail)), &detail);
  EXPECT_EQ(title.GetBandIndex(), 0);
  EXPECT_EQ(group.Header.BandType(), TBandType::btGroupHeader);
  EXPECT_EQ(group.Footer.BandType(), TBandType::btGroupFooter);
  EXPECT_EQ(group.Footer.GetBandIndex(), 3);
  for (const TZdqBand* band : {&group.Header, &group.Footer}) {
    EXPECT_EQ(band->Expression(), "Rows.Country");
    EXPECT_TRUE(band->NewPage());
    EXPECT_TRUE(band->ReprintHeader());
    EXPECT_TRUE(band->NewPageIfNotFit());
    EXPECT_EQ(band->LessThan(), 12.5);
  }
  EXPECT_FALSE(report->AddGroup({.Expression = "Rows.Name"}).Header.NewPage());

  std::vector<int> messages;
  report->OnDesignerMessage = [&](TZdqControl&, int message, intptr_t, intptr_t) { messages.push_back(message); };
  auto& first = detail.Add<TZdqLabel>(10, 20, 30, 40);
  auto& second = detail.Add<TZdqLabel>(0, 0, 5, 5);
  EXPECT_EQ(first.GetParentBand(), &detail);
  EXPECT_EQ(first.GetZdReport(), report);
  EXPECT_EQ(detail.Objects(), (std::vector<TZdqControl*>{&first, &second}));
  EXPECT_EQ((std::vector<int>{first.Left(), first.Top(), first.Width(), first.Height()}),
            (std::vector<int>{10, 20, 30, 40}));
  EXPECT_NE(first.DisplayName(), second.DisplayName());
  EXPECT_EQ(messages, (std::vector<int>{kMsgControlAdded, kMsgControlAdded}));
}

TEST_F(BuildingApiTest, ProgressRisesAndCancelStopsAsTheDialogDoes) {
  std::vector<std::pair<std::string, std::string>> data;
  for (int i = 1; i <= 600; ++i) data.push_back({"X", "n" + std::to_string(i)});
  AddRows(data);
  TZdqBand& detail = Detail();
  report->NewBand(TBandType::btReportSummary).Add<TZdqLabel>(0, 0, 100, 16).SetDisplayName("Summary");

  std::vector<TPrepareProgress> seen;
  report->OnProgress = [&](const TPrepareProgress& p) { seen.push_back(p); };
  report->Prepare();
  ASSERT_GE(seen.size(), size_t(3));
  for (size_t i = 1; i < seen.size(); ++i) {
    EXPECT_GE(seen[i].Pages, seen[i - 1].Pages);
    EXPECT_GE(seen[i].Rows, seen[i - 1].Rows);
  }
  EXPECT_EQ(seen.back().Pages, report->Pages().Count());
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const TPrepareProgress& p) { return p.Rows == 512; }));

  // Cancelled on the third row, once by the dialog and once by the report.
  auto cancelledRun = [&](const std::function<void()>& cancel) {
    int drawn = 0;
    report->AfterBandPrint = [&](TComponent*, TZdqControl& band, bool measuring, bool&) {
      if (&band == &detail && !measuring && ++drawn == 3) cancel();
    };
    report->Prepare();
    report->AfterBandPrint = nullptr;
    return std::tuple(AllTexts(), report->Prepared(), report->ReportState, rows->RecNo());
  };
  report->SetAnimatedStatus(true);
  const auto byDialog = cancelledRun([] { CancelProgress(); });
  report->SetAnimatedStatus(false);
  const auto byReport = cancelledRun([&] { report->Cancel(); });
  EXPECT_EQ(std::get<0>(byReport), (Texts{"n1", "n2", "n3", "Summary"}));
  EXPECT_EQ(byReport, byDialog);

  report->Prepare();  // a cancel stops only the preparation it was meant for
  EXPECT_EQ(AllTexts().size(), 601u);
}

TEST_F(BuildingApiTest, UnsortedGroupRowsWarnOncePerGroup) {
  AddRows({{"A", "n1"}, {"B", "n1"}, {"A", "n2"}, {"B", "n3"}, {"A", "n1"}});
  Group("Rows.Country");
  Detail();
  report->Prepare();
  ASSERT_EQ(report->Warnings().size(), 1u);
  EXPECT_EQ(report->Warnings()[0], "group \"" + report->GetBand(0)->DisplayName() +
                                       "\" (Rows.Country) saw value \"A\" again after other values; "
                                       "sort the rows by Rows.Country");
}

TEST_F(BuildingApiTest, SortedRowsDoNotWarnThoughInnerValuesRecurUnderOtherOuterValues) {
  AddRows({{"A", "n1"}, {"A", "n2"}, {"B", "n1"}, {"B", "n2"}});
  Group("Rows.Country");
  Group("Rows.Name");
  Detail();
  report->Prepare();
  EXPECT_EQ(report->Warnings(), Texts{});
  // "n1" starts the inner group again under "B": seen before, but under "A".
  EXPECT_EQ(AllTexts(), (Texts{"A", "n1", "n1", "n2", "n2", "B", "n1", "n1", "n2", "n2"}));
}

}  // namespace
