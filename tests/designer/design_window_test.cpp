// The designer window driven with the mouse and keyboard: moving with the
// grid, across bands and past the ends, resizing, rubber bands, arrow keys,
// insertion from the palette, collapsing bands, and band changes.
#include "tests/designer/DesignWindowFixture.h"

#include <QLabel>
#include <QStatusBar>

#include "report/model/ControlRegistry.h"

namespace zd::test {
namespace {

TEST_F(DesignWindowTest, DraggingSnapsToTheGridAndResizesByTheGrabbedEdge) {
  TZdqLabel& label = AddLabel(1, 40, 20, 50, 20);
  designer.Options.SnapToGrid = true;
  designer.Options.GridSizeX = 10;
  designer.Options.GridSizeY = 5;
  Open();
  // Grabbed at (20, 10) of the control and let go where its corner is at 27, 13.
  Drag(At(label, 20, 10), At(Band(1), 27 + 20, 13 + 10));
  EXPECT_EQ(label.Left(), 20);
  EXPECT_EQ(label.Top(), 10);
  EXPECT_TRUE(label.Selected());
  EXPECT_EQ(label.FZdqControlState, TZdqControlState::scsNothing);
  const auto labels = window->statusBar()->findChildren<QLabel*>();
  EXPECT_EQ(labels[0]->text(), "(L:20,T:10),(W:50,H:20)");
  EXPECT_EQ(labels[1]->text(), "X:47,Y:23     BandDetail");

  // Now selected, its bottom-right corner resizes it (no snapping of sizes).
  Drag(At(label, 49, 19), At(label, 70, 30));
  EXPECT_EQ(label.Left(), 20);
  EXPECT_EQ(label.Width(), 70);
  EXPECT_EQ(label.Height(), 30);
  // The left edge follows the pointer and the right one stays.
  Drag(At(label, 1, 15), At(label, 11, 15));
  EXPECT_EQ(label.Left(), 31);
  EXPECT_EQ(label.Width(), 59);
}

TEST_F(DesignWindowTest, DraggingCrossesBandsAndStopsOrGrowsAtTheEnds) {
  TZdqLabel& up = AddLabel(1, 40, 20, 50, 20);
  TZdqLabel& top = AddLabel(0, 40, 20, 50, 20);
  TZdqLabel& down = AddLabel(2, 40, 20, 50, 20);
  Open();
  // Above the detail's top: to the bottom of the page header.
  Drag(At(up, 10, 5), At(Band(1), 50, -10));
  EXPECT_EQ(up.GetParentBand(), &Band(0));
  EXPECT_EQ(up.Top(), Band(0).Height() - up.Height());
  // Above the first band it stops at the top.
  Drag(At(top, 10, 5), At(Band(0), 50, -60));
  EXPECT_EQ(top.GetParentBand(), &Band(0));
  EXPECT_EQ(top.Top(), 0);
  // Below the detail's bottom: to the top of the next band.
  Drag(At(up, 10, 5), At(Band(0), 50, 130));
  EXPECT_EQ(up.GetParentBand(), &Band(1));
  EXPECT_EQ(up.Top(), 0);
  // Below the last band that band grows to hold it.
  Drag(At(down, 10, 5), At(Band(2), 50, 150));
  EXPECT_EQ(down.GetParentBand(), &Band(2));
  EXPECT_EQ(down.Top(), 145);
  EXPECT_EQ(Band(2).Height(), 165);
}

TEST_F(DesignWindowTest, RubberBandSelectsWhatItTouchesOnlyWhenDrawnDownAndRight) {
  TZdqLabel& a = AddLabel(1, 20, 20, 30, 10);
  TZdqLabel& b = AddLabel(1, 150, 20, 30, 10);
  TZdqLabel& c = AddLabel(1, 50, 60, 30, 10);
  Open();
  designer.AddSelected(&c);
  Drag(At(Band(1), 10, 10), At(Band(1), 100, 50));
  EXPECT_TRUE(a.Selected());
  EXPECT_FALSE(b.Selected());
  EXPECT_FALSE(c.Selected());
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{&Band(1), &a}));

  Drag(At(Band(1), 100, 50), At(Band(1), 10, 10));
  EXPECT_FALSE(a.Selected());
  Drag(At(Band(1), 0, 10), At(Band(1), 100, 50));
  EXPECT_FALSE(a.Selected());
  // Shift keeps what was selected; a shift-click on a selected control drops it.
  Press(At(a, 5, 5));
  Release(At(a, 5, 5));
  Press(At(b, 5, 5), Qt::ShiftModifier);
  Release(At(b, 5, 5));
  EXPECT_TRUE(a.Selected() && b.Selected());
  Press(At(a, 5, 5), Qt::ShiftModifier);
  Release(At(a, 5, 5));
  EXPECT_FALSE(a.Selected());
  EXPECT_TRUE(b.Selected());
}

TEST_F(DesignWindowTest, ArrowKeysResizeWithShiftAndMoveWithCtrl) {
  TZdqLabel& thin = AddLabel(1, 40, 20, 1, 1);
  TZdqLabel& other = AddLabel(2, 10, 10, 20, 20);
  Open();
  designer.AddSelected(&thin);
  designer.AddSelected(&other);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(thin.Width(), 1);
  EXPECT_EQ(thin.Height(), 1);
  EXPECT_EQ(other.Width(), 19);
  EXPECT_EQ(other.Height(), 19);
  Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);  // Shift wins
  EXPECT_EQ(thin.Width(), 2);
  EXPECT_EQ(thin.Left(), 40);
  Key(Qt::Key_Right, Qt::ControlModifier);
  Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(thin.Left(), 41);
  EXPECT_EQ(thin.Top(), 21);
  EXPECT_EQ(other.Left(), 11);
  Key(Qt::Key_Right);  // a plain arrow edits nothing
  EXPECT_EQ(thin.Left(), 41);
}

TEST_F(DesignWindowTest, PaletteInsertsEveryRegisteredClassAndReturnsToTheArrow) {
  TfrmReportDesigner& w = Open();
  const auto& classes = lstZdqControls();
  ASSERT_NE(FindZdqControl("TZdBarCode"), nullptr);
  for (size_t i = 0; i < classes.size(); ++i) {
    w.ToolAction(int(i) + 2)->trigger();
    EXPECT_EQ(designer.Options.Tool, int(i) + 2);
    Press(At(Band(1), 5 + int(i) * 3, 7));
    Release(At(Band(1), 5 + int(i) * 3, 7));
    ASSERT_EQ(Band(1).Objects().size(), i + 1);
    const TZdqControl& added = *Band(1).Objects().back();
    EXPECT_EQ(added.ClassName(), classes[i].ControlClassName);
    EXPECT_EQ(added.Left(), 5 + int(i) * 3);
    EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{Band(1).Objects().back()}));
    EXPECT_EQ(designer.Options.Tool, 0);
    EXPECT_TRUE(w.ToolAction(0)->isChecked());
  }
}

TEST_F(DesignWindowTest, TitlesCollapseAndExpandBandsAndBandsComeAndGo) {
  designer.Options.ShowBandTitle = true;
  AddLabel(1, 10, 10, 20, 20);
  TfrmReportDesigner& w = Open();
  const int fullHeight = Surface().height();
  const QPoint fold = Surface().BandOrigin(Band(1)) + QPoint(5, -10);
  Press(fold);
  Release(fold);
  EXPECT_TRUE(Surface().Collapsed(Band(1)));
  EXPECT_EQ(Surface().height(), fullHeight - Band(1).Height());
  Press(fold);
  Release(fold);
  EXPECT_FALSE(Surface().Collapsed(Band(1)));
  EXPECT_EQ(Surface().height(), fullHeight);

  w.AddBand(TBandType::btReportTitle);
  ASSERT_EQ(report->Bands().size(), 4u);
  EXPECT_EQ(Band(0).BandType(), TBandType::btReportTitle);
  EXPECT_GT(Surface().height(), fullHeight);
  // A press on a band's empty area selects the band; deleting it takes its controls along.
  Press(At(Band(2), 150, 60));
  Release(At(Band(2), 150, 60));
  EXPECT_TRUE(Band(2).Selected());
  w.DeleteSelection();
  ASSERT_EQ(report->Bands().size(), 3u);
  EXPECT_EQ(Band(2).BandType(), TBandType::btPageFooter);
  EXPECT_EQ(designer.SelectedCount(), 0);
  EXPECT_EQ(Surface().height(), fullHeight);
}

}  // namespace
}  // namespace zd::test
