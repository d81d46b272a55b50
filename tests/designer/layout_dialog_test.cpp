// The designer options dialog: what it shows, what it writes back, and that
// cancelling changes nothing.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignerFixtures.h"
#include "designer/LayoutDialog.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdNumberEdit.h"

namespace zd {
namespace {

using test::ensureWidgetsApp;

TZdqDOptions unusualOptions() {
  TZdqDOptions o;
  o.DisplayGrid = false;
  o.SnapToGrid = true;
  o.GridSizeX = 10;
  o.GridSizeY = 5;
  o.ShowBandTitle = true;
  o.Flat = false;
  o.AutoSaveOptions = true;
  o.CreateBackup = false;
  o.Toolbars = TZdqDToolbars::FromMask(0b10101);
  o.Color = 0x123456;
  return o;
}

TEST(LayoutDialog, ShowsTheOptionsAndWritesThemBack) {
  ensureWidgetsApp();
  TfrmLayout dialog;
  EXPECT_EQ(dialog.windowTitle(), "ZdReportDesigner options");
  ASSERT_EQ(dialog.Pages->count(), 3);
  EXPECT_EQ(dialog.Pages->tabText(2), "Toolbars");
  EXPECT_EQ(dialog.chkToolbars[2]->text(), "F&rame Toolbar");
  EXPECT_EQ(dialog.rbMeasure[1]->text(), "inches");
  EXPECT_EQ(dialog.cbColor->count(), 42);
  // Captions in the report's language, English where it has no text.
  EXPECT_EQ(TfrmLayout(nullptr, 3).chkSnapToGrid->text(), "Am Raster ausrichten");
  EXPECT_EQ(TfrmLayout(nullptr, 5).chkSnapToGrid->text(), "Snap to grid");

  const TZdqDOptions original = unusualOptions();
  dialog.Fill(original, TZdMeasure::zdmInch);
  EXPECT_EQ(dialog.edGridSizeY->text(), "5");
  EXPECT_EQ(dialog.cbColor->currentIndex(), 41);  // not a listed colour: the custom item
  EXPECT_TRUE(dialog.rbMeasure[1]->isChecked());
  EXPECT_FALSE(dialog.chkToolbars[1]->isChecked());
  TZdqDOptions written;
  TZdMeasure measure = TZdMeasure::zdmCentimetre;
  dialog.WriteBack(written, measure);
  EXPECT_EQ(written, original);
  EXPECT_EQ(measure, TZdMeasure::zdmInch);

  // A grid size that is not a positive whole number becomes 8.
  for (const char* typed : {"", "-", "0", "-3", "12abc"}) {
    dialog.edGridSizeX->setText(typed);
    dialog.WriteBack(written, measure);
    EXPECT_EQ(written.GridSizeX, 8) << typed;
  }
}

TEST(LayoutDialog, OnlyConfirmingChangesTheOptions) {
  ensureWidgetsApp();
  TZdqDOptions options = unusualOptions();
  TZdMeasure measure = TZdMeasure::zdmPixels;

  test::WhenModal([](QWidget* modal) {
    auto* dialog = static_cast<TfrmLayout*>(modal);
    dialog->chkSnapToGrid->setChecked(false);
    dialog->rbMeasure[0]->setChecked(true);
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  EXPECT_FALSE(EditDesignerOptions(nullptr, options, measure));
  EXPECT_EQ(options, unusualOptions());
  EXPECT_EQ(measure, TZdMeasure::zdmPixels);

  test::WhenModal([](QWidget* modal) {
    auto* dialog = static_cast<TfrmLayout*>(modal);
    dialog->chkSnapToGrid->setChecked(false);
    dialog->chkToolbars[1]->setChecked(true);
    dialog->cbColor->SetColorValue(clWhite);
    dialog->edGridSizeY->setText("20");
    dialog->rbMeasure[0]->setChecked(true);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  EXPECT_TRUE(EditDesignerOptions(nullptr, options, measure));
  EXPECT_FALSE(options.SnapToGrid);
  EXPECT_EQ(options.Toolbars.Mask(), 0b10111u);
  EXPECT_EQ(options.Color, clWhite);
  EXPECT_EQ(options.GridSizeY, 20);
  EXPECT_EQ(options.GridSizeX, 10);
  EXPECT_EQ(measure, TZdMeasure::zdmCentimetre);
}

}  // namespace
}  // namespace zd
