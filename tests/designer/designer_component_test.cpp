// The designer component: its ordered selection kept in step with the
// controls' own flags, the report it picks up from its owner, and a design
// session from opening to closing.
#include <QSettings>
#include <QTimer>

#include "designer/DesignerSettings.h"
#include "tests/designer/DesignWindowFixture.h"

namespace zd::test {
namespace {

TEST_F(DesignWindowTest, SelectionListFollowsEveryWayOfSelecting) {
  TZdqLabel& a = AddLabel(0, 0, 0, 10, 10);
  TZdqLabel& b = AddLabel(1, 0, 0, 10, 10);
  int notices = 0;
  designer.OnSelectedChange = [&] { ++notices; };
  designer.AddSelected(&b);
  designer.AddSelected(&a);
  designer.AddSelected(&b);  // already there
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{&b, &a}));
  EXPECT_EQ(designer.GetSelected(1), &a);
  EXPECT_EQ(designer.GetSelected(2), nullptr);
  EXPECT_EQ(designer.GetSelected(-1), nullptr);
  designer.ToggleSelected(&b);
  EXPECT_FALSE(b.Selected());
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{&a}));
  // One band at a time.
  designer.AddSelected(&Band(0));
  designer.AddSelected(&Band(1));
  EXPECT_FALSE(Band(0).Selected());
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{&a, &Band(1)}));
  designer.SelectElements(2);  // invert: bands drop out
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{&b}));
  designer.SelectElements(0);
  EXPECT_EQ(designer.SelectedCount(), 2);
  EXPECT_TRUE(a.Selected() && b.Selected());
  designer.ClearSelected();
  EXPECT_FALSE(a.Selected() || b.Selected());
  EXPECT_EQ(notices, 8);  // the duplicate was no change
}

TEST(DesignerComponent, TakesTheReportOfItsOwnerAndLetsGoWhenItIsFreed) {
  ensureDesignerApp();
  TComponent form;
  auto* designer = new TZdqDesigner(&form);
  auto* report = new TZdReport;
  form.InsertComponent(report);
  EXPECT_EQ(designer->Report(), report);
  auto* other = new TZdReport;
  form.InsertComponent(other);
  EXPECT_EQ(designer->Report(), report);  // one report is enough
  delete report;
  EXPECT_EQ(designer->Report(), nullptr);
  delete other;
  designer->Execute();  // without a report: nothing
}

TEST_F(DesignWindowTest, ASessionMarksTheReportAndKeepsTheOptionsWhenAsked) {
  OpenDesignerSettings()->remove("");
  report->ReportState = TZdReportState::rsNone;
  designer.Options.AutoSaveOptions = true;
  designer.Options.GridSizeX = 12;
  TZdReportState during = TZdReportState::rsNone;
  test::WhenModal<TfrmReportDesigner>([&](TfrmReportDesigner* window) {
    during = report->ReportState;
    window->close();
  });
  designer.Execute();
  EXPECT_EQ(during, TZdReportState::rsDesign);
  EXPECT_EQ(report->ReportState, TZdReportState::rsNone);
  EXPECT_EQ(OpenDesignerSettings()->value("GridSizeX").toInt(), 12);
  EXPECT_TRUE(OpenDesignerSettings()->contains("tbStandardVisible"));
  OpenDesignerSettings()->remove("");
}

}  // namespace
}  // namespace zd::test
