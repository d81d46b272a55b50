// The pen and sizes dialogs on their own, typed into as a user types, and
// the designer's "Sizes..." and "Line type..." commands that run them.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "designer/DesignEdits.h"
#include "designer/ZdqDialogs.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "tests/designer/DesignWindowFixture.h"

namespace zd::test {
namespace {

void Retype(QLineEdit* edit, const QString& keys) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, keys);
}

void ClickRow(QListWidget* list, int row) {
  const QRect r = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

TEST(PenStyleDialog, ShowsThePenGivenAndReturnsWhatWasTypedAndPicked) {
  ensureDesignerApp();
  TfrmPenStyle dialog;
  dialog.FillStringsFromRes();
  EXPECT_EQ(dialog.windowTitle(), "Property: PenStyle");
  EXPECT_EQ(dialog.lblThickness->text(), "Thickness:");
  QStringList names;
  for (int i = 0; i < dialog.lbPenStyle->count(); ++i) names << dialog.lbPenStyle->item(i)->text();
  EXPECT_EQ(names, QStringList({"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear", "InsideFrame"}));

  dialog.SetPen(3, TPenStyle::psDashDotDot);
  EXPECT_EQ(dialog.edThickness->text(), "3");
  EXPECT_EQ(dialog.Thickness(), 3);
  EXPECT_EQ(dialog.PenStyle(), TPenStyle::psDashDotDot);

  dialog.show();
  Retype(dialog.edThickness, "1x-2 .");  // only the digits get in
  EXPECT_EQ(dialog.edThickness->text(), "12");
  ClickRow(dialog.lbPenStyle, int(TPenStyle::psInsideFrame));
  EXPECT_EQ(dialog.Thickness(), 12);
  EXPECT_EQ(dialog.PenStyle(), TPenStyle::psInsideFrame);
  Retype(dialog.edThickness, "");
  EXPECT_EQ(dialog.Thickness(), 0);

  dialog.LangShift = int(TZdqLangID::lnGerman);
  dialog.FillStringsFromRes();
  EXPECT_EQ(dialog.windowTitle().toStdString(), GetString(dialog.LangShift, txt::PenStyleCaption));
  EXPECT_NE(dialog.windowTitle(), "Property: PenStyle");
  EXPECT_EQ(dialog.lbPenStyle->item(1)->text().toStdString(), GetString(dialog.LangShift, txt::PenStyleNames + 1));
}

TEST(ControlSizesDialog, ShowsTheBoundsGivenAndReturnsWhatWasTyped) {
  ensureDesignerApp();
  TfrmControlSizes dialog;
  dialog.FillStringsFromRes();
  EXPECT_EQ(dialog.windowTitle(), "Control sizes");
  EXPECT_EQ(QStringList({dialog.lblTop->text(), dialog.lblLeft->text(), dialog.lblWidth->text(),
                         dialog.lblHeight->text()}),
            QStringList({"Top:", "Left:", "Width:", "Height:"}));

  dialog.SetSizes({5, 7, 30, 40});  // left, top, width, height
  EXPECT_EQ(dialog.edTop->text(), "7");
  EXPECT_EQ(dialog.edLeft->text(), "5");
  EXPECT_EQ(dialog.Sizes(), (TControlBounds{5, 7, 30, 40}));

  dialog.show();
  Retype(dialog.edTop, "-9");
  Retype(dialog.edWidth, "1e3");
  Retype(dialog.edHeight, "");
  EXPECT_EQ(dialog.edTop->text(), "9");
  EXPECT_EQ(dialog.Sizes(), (TControlBounds{5, 9, 13, 0}));
}

TEST_F(DesignWindowTest, SizesDialogMovesTheSubjectAsOneUndoStepAndCancelKeepsIt) {
  TZdqLabel& a = AddLabel(1, 10, 20, 30, 40);
  TfrmReportDesigner& w = Open();
  designer.AddSelected(&a);

  WhenModal<TfrmControlSizes>([](TfrmControlSizes* dialog) {
    Retype(dialog->edWidth, "99");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  w.PrepareContextMenu(a);
  w.Action(TMenuItem::Sizes)->trigger();
  EXPECT_EQ(BoundsOf(a), (TControlBounds{10, 20, 30, 40}));

  QStringList shown;
  WhenModal<TfrmControlSizes>([&shown](TfrmControlSizes* dialog) {
    shown = {dialog->edTop->text(), dialog->edLeft->text(), dialog->edWidth->text(), dialog->edHeight->text()};
    Retype(dialog->edTop, "33");
    Retype(dialog->edLeft, "0");
    Retype(dialog->edHeight, "44");
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
  });
  w.PrepareContextMenu(a);
  w.Action(TMenuItem::Sizes)->trigger();
  EXPECT_EQ(shown, QStringList({"20", "10", "30", "40"}));
  EXPECT_EQ(BoundsOf(a), (TControlBounds{0, 33, 30, 44}));

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(BoundsOf(*Band(1).Objects()[0]), (TControlBounds{10, 20, 30, 40}));
}

TEST_F(DesignWindowTest, LineTypeDialogSetsTheFramePenOfEverySelectedControlAsOneUndoStep) {
  TZdqLabel& a = AddLabel(1, 10, 10, 30, 10);
  TZdqLabel& b = AddLabel(2, 50, 10, 30, 10);
  TZdqLabel& other = AddLabel(2, 90, 10, 30, 10);  // not selected
  const int otherWidth = other.Frame().Width();
  a.Frame().SetWidth(2);
  a.Frame().SetStyle(TPenStyle::psDot);
  TfrmReportDesigner& w = Open();
  designer.AddSelected(&a);
  designer.AddSelected(&b);
  w.PrepareContextMenu(a);
  EXPECT_TRUE(w.Action(TMenuItem::LineType)->isEnabled());

  WhenModal<TfrmPenStyle>([](TfrmPenStyle* dialog) {
    Retype(dialog->edThickness, "7");
    ClickRow(dialog->lbPenStyle, int(TPenStyle::psClear));
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  w.Action(TMenuItem::LineType)->trigger();
  EXPECT_EQ(a.Frame().Width(), 2);
  EXPECT_EQ(b.Frame().Style(), TPenStyle::psSolid);

  QString shownWidth;
  TPenStyle shownStyle{};
  WhenModal<TfrmPenStyle>([&](TfrmPenStyle* dialog) {
    shownWidth = dialog->edThickness->text();
    shownStyle = dialog->PenStyle();
    Retype(dialog->edThickness, "4");
    ClickRow(dialog->lbPenStyle, int(TPenStyle::psDash));
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
  });
  w.PrepareContextMenu(a);
  w.Action(TMenuItem::LineType)->trigger();
  EXPECT_EQ(shownWidth, "2");
  EXPECT_EQ(shownStyle, TPenStyle::psDot);
  for (TZdqLabel* label : {&a, &b}) {
    EXPECT_EQ(label->Frame().Width(), 4);
    EXPECT_EQ(label->Frame().Style(), TPenStyle::psDash);
  }
  EXPECT_EQ(other.Frame().Width(), otherWidth);
  EXPECT_EQ(other.Frame().Style(), TPenStyle::psSolid);

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  const TZdqControl& undoneA = *Band(1).Objects()[0];
  const TZdqControl& undoneB = *Band(2).Objects()[0];
  EXPECT_EQ(undoneA.Frame().Width(), 2);
  EXPECT_EQ(undoneA.Frame().Style(), TPenStyle::psDot);
  EXPECT_EQ(undoneB.Frame().Style(), TPenStyle::psSolid);
}

}  // namespace
}  // namespace zd::test
