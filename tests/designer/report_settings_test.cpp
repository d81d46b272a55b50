// The report settings dialog: what it shows, what OK writes and which bands
// it adds or removes, and the designer's command around it.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "DesignWindowFixture.h"
#include "DesignerFixtures.h"
#include "designer/ReportSettingsDialog.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdFontCombos.h"
#include "designer/controls/ZdNumberEdit.h"

namespace zd {
namespace {

using test::DesignWindowTest;

std::vector<TBandType> bandTypes(const TZdReport& report) {
  std::vector<TBandType> types;
  for (const TZdqBand* band : report.Bands()) types.push_back(band->BandType());
  return types;
}

void type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

class ReportSettings : public DesignWindowTest {};

TEST_F(ReportSettings, ShowsTheReportAndWritesEveryPageBack) {
  report->ZdProperty().Title = "Sales";
  report->ZdProperty().Comments().Add("first line");
  report->PrinterSetting().SetPaperSize(TZdqPaperSize::psA5);
  report->PrinterSetting().SetOrientation(TZdqPrinterOrientation::spoLandscape);
  report->Frame().SetDrawLeft(true);
  report->SetPageNoStartAt(3);

  TfrmReportSet dialog(*report);
  EXPECT_EQ(dialog.windowTitle(), "Report properties");
  EXPECT_EQ(dialog.edTitle->text(), "Sales");
  EXPECT_EQ(dialog.mmComments->toPlainText(), "first line");
  EXPECT_FALSE(dialog.bands[0].Include->isChecked());  // no title band
  EXPECT_FALSE(dialog.bands[0].NewPage->isEnabled());
  EXPECT_TRUE(dialog.bands[2].Include->isChecked());   // the page header
  EXPECT_TRUE(dialog.bands[2].NewPage->isEnabled());
  EXPECT_TRUE(dialog.rbDefaultPrinter->isChecked());
  EXPECT_FALSE(dialog.lbPrinters->isEnabled());
  EXPECT_FALSE(dialog.lbPrinters->findItems(TSystemPrinter::VirtualPrinterName, Qt::MatchExactly).isEmpty());
  ASSERT_EQ(dialog.cbPaperSize->count(), 31);
  EXPECT_EQ(dialog.cbPaperSize->itemText(11), "A4 210 x 297 mm");
  EXPECT_EQ(dialog.cbPaperSize->itemText(30), "Custom Size");
  EXPECT_EQ(dialog.cbPaperSize->currentIndex(), int(TZdqPaperSize::psA5));
  EXPECT_EQ(dialog.edPaperWidth->text(), "1480");
  EXPECT_TRUE(dialog.rbLandscape->isChecked());
  EXPECT_TRUE(dialog.cbFrameSides[2]->isChecked());
  EXPECT_EQ(dialog.edStartAt->text(), "3");
  EXPECT_EQ(dialog.cbBin->count(), 15);

  dialog.cbPaperSize->setCurrentIndex(int(TZdqPaperSize::psA4));
  EXPECT_EQ(dialog.edPaperHeight->text(), "2970");
  dialog.rbSpecifiedPrinter->setChecked(true);
  EXPECT_TRUE(dialog.lbPrinters->isEnabled());
  dialog.lbPrinters->setCurrentRow(dialog.lbPrinters->count() - 1);
  dialog.cbDefaultMargins->setChecked(false);
  EXPECT_TRUE(dialog.edMargins[0]->isEnabled());
  type(dialog.edMargins[0], "150");
  dialog.edTitle->setText("Sales 2025");
  dialog.mmComments->setPlainText("one\ntwo");
  dialog.btnBold->setChecked(true);
  dialog.cbFontSize->SetFontSize(14);
  dialog.cbBin->setCurrentIndex(int(TZdqBin::sbManual));
  dialog.rbDuplex[2]->setChecked(true);
  dialog.cbFrameSides[0]->setChecked(true);
  dialog.cbBackColor->SetColorValue(clYellow);
  dialog.cbImageType->setCurrentIndex(int(TZdPicType::btTile));
  dialog.edCountBy->setText("not a number");  // kept
  dialog.edBars->setText("");                  // 1
  dialog.edColumnSpace->setText("12");
  dialog.cbTwoPass->setChecked(true);

  EXPECT_TRUE(dialog.WriteBack(*report));  // the paper changed
  EXPECT_EQ(report->ZdProperty().Title, "Sales 2025");
  EXPECT_EQ(report->ZdProperty().Comments().Items(), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(report->Font().Style.Has(fsBold));
  EXPECT_EQ(report->Font().Size, 14);
  const TZdqPrinter& printer = report->PrinterSetting();
  EXPECT_EQ(printer.PrinterName(), TSystemPrinter::VirtualPrinterName);
  EXPECT_EQ(printer.PaperSize(), TZdqPaperSize::psA4);
  EXPECT_FALSE(printer.Margins().ByDefault());
  EXPECT_EQ(printer.Margins().Left(), 150);
  EXPECT_EQ(printer.OutputBin(), TZdqBin::sbManual);
  EXPECT_EQ(printer.Duplex(), TZdqDuplex::sdHorizontal);
  EXPECT_TRUE(report->Frame().DrawTop());
  EXPECT_TRUE(report->Frame().DrawLeft());
  EXPECT_EQ(report->Frame().BackColor(), clYellow);
  EXPECT_EQ(report->Frame().PicType(), TZdPicType::btTile);
  EXPECT_EQ(report->PageNoStartAt(), 3);
  EXPECT_EQ(report->PageNoCountBy(), 1);
  EXPECT_EQ(report->BarNumber(), 1);
  EXPECT_EQ(report->ColumnSpace(), 12);
  EXPECT_TRUE(report->TwoPass());
}

TEST_F(ReportSettings, TypedSizesMakeACustomPaper) {
  TfrmReportSet dialog(*report);
  dialog.cbPaperSize->setCurrentIndex(int(TZdqPaperSize::psLetter));
  type(dialog.edPaperWidth, "1234");
  EXPECT_EQ(dialog.cbPaperSize->currentIndex(), int(TZdqPaperSize::psCustom));
  EXPECT_EQ(dialog.edPaperWidth->text(), "1234");
  type(dialog.edPaperHeight, "2345");
  EXPECT_EQ(dialog.edPaperWidth->text(), "1234");
  EXPECT_TRUE(dialog.WriteBack(*report));
  EXPECT_EQ(report->PrinterSetting().PaperSize(), TZdqPaperSize::psCustom);
  EXPECT_EQ(report->PrinterSetting().PaperSizeWidth(), 1234);
  EXPECT_EQ(report->PrinterSetting().PaperSizeHeight(), 2345);
  // The custom entry shows the stored size when the dialog opens again.
  TfrmReportSet again(*report);
  EXPECT_EQ(again.cbPaperSize->currentIndex(), int(TZdqPaperSize::psCustom));
  EXPECT_EQ(again.edPaperHeight->text(), "2345");
}

// A named paper lies as the orientation says, whether the orientation or
// the paper changed, so the report is laid out on the sheet it prints on.
TEST_F(ReportSettings, ALandscapeReportIsLaidOutOnATurnedSheet) {
  TZdqPrinter& printer = report->PrinterSetting();
  auto choose = [&](TZdqPaperSize paper, bool landscape) {
    TfrmReportSet dialog(*report);
    dialog.cbPaperSize->setCurrentIndex(int(paper));
    (landscape ? dialog.rbLandscape : dialog.rbPortrait)->setChecked(true);
    dialog.WriteBack(*report);
    return std::pair(printer.PaperSizeWidth(), printer.PaperSizeHeight());
  };
  EXPECT_EQ(choose(TZdqPaperSize::psA4, true), std::pair(2970, 2100));  // from the printer's default
  EXPECT_EQ(choose(TZdqPaperSize::psA5, true), std::pair(2100, 1480));  // another paper, still landscape
  EXPECT_EQ(choose(TZdqPaperSize::psA5, false), std::pair(1480, 2100));
  choose(TZdqPaperSize::psA4, true);
  EXPECT_GT(printer.PaperWidthPixels(), printer.PaperHeightPixels());
}

TEST_F(ReportSettings, SettingsAddAndRemoveTheirBands) {
  using enum TBandType;
  {
    TfrmReportSet dialog(*report);
    type(dialog.edColumns, "2");
    dialog.bands[0].Include->setChecked(true);
    dialog.bands[0].NewPage->setChecked(true);
    dialog.bands[3].Include->setChecked(false);
    EXPECT_TRUE(dialog.WriteBack(*report));
  }
  EXPECT_EQ(bandTypes(*report),
            (std::vector{btReportTitle, btPageHeader, btColumnHeader, btDetail, btColumnFooter}));
  EXPECT_TRUE(report->Bands()[0]->NewPage());
  EXPECT_EQ(report->ColumnNumber(), 2);
  {
    TfrmReportSet dialog(*report);
    EXPECT_TRUE(dialog.bands[0].NewPage->isChecked());
    type(dialog.edColumns, "1");
    dialog.bands[2].NewPage->setChecked(false);  // page header on first page: no
    EXPECT_TRUE(dialog.WriteBack(*report));
  }
  EXPECT_EQ(bandTypes(*report), (std::vector{btReportTitle, btPageHeader, btDetail}));
  EXPECT_FALSE(report->Bands()[1]->NewPage());

  // Nothing that shapes the bands: the same bands, no rebuild.
  const std::vector<TZdqBand*> before = report->Bands();
  TfrmReportSet dialog(*report);
  dialog.edTitle->setText("Only the title");
  EXPECT_FALSE(dialog.WriteBack(*report));
  EXPECT_EQ(report->Bands(), before);
}

TEST_F(ReportSettings, TheDesignerCommandIsOneUndoStepAndCancelChangesNothing) {
  TfrmReportDesigner& w = Open();
  ASSERT_TRUE(w.actReportSettings->isEnabled());
  test::WhenModal<TfrmReportSet>([](TfrmReportSet* dialog) {
    dialog->bands[3].Include->setChecked(false);
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  w.actReportSettings->trigger();
  EXPECT_EQ(report->Bands().size(), 3u);
  EXPECT_FALSE(w.actUndo->isEnabled());

  test::WhenModal<TfrmReportSet>([](TfrmReportSet* dialog) {
    dialog->bands[3].Include->setChecked(false);
    dialog->edTitle->setText("Sales");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  w.actReportSettings->trigger();
  EXPECT_EQ(bandTypes(*report), (std::vector{TBandType::btPageHeader, TBandType::btDetail}));
  w.Undo();
  EXPECT_EQ(report->Bands().size(), 3u);
  EXPECT_EQ(report->ZdProperty().Title, "");
}

}  // namespace
}  // namespace zd
