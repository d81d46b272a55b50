// The find dialog as the user fills it in, the progress dialog's cancel
// button during a preparation, what the system print dialog's choices
// become, and a report of many pages opening at once.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "PreviewFixtures.h"
#include "preview/Thumbnails.h"
#include "preview/WidgetsUserInterface.h"
#include "preview/ZdProces.h"
#include "preview/ZdqFind.h"
#include "preview/ZdqPreview.h"

namespace zd {
namespace {

using test::TTextReport;

TEST(FindDialog, FilledInByTheUserMarksMatchesAndF3MovesOn) {
  TTextReport report(3);
  report.pageTexts = {{"Grand Total", "TOTAL:"}, {}, {"total"}};
  report.Prepare();
  TfrmZdPreview window;
  window.resize(800, 600);
  window.SetReport(&report);
  window.show();

  // Cancelled: nothing marked.
  test::WhenModal<TfrmZdqFind>([](TfrmZdqFind* find) { QTest::keyClick(find, Qt::Key_Escape); });
  QTest::mouseClick(window.btnFindText, Qt::LeftButton);
  TfrmZdqFind* dialog = window.ZdqPreview->FindDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Find Text");
  EXPECT_EQ(dialog->cbMode->currentText(), "At a beginning of string");
  EXPECT_TRUE(dialog->rbCurrentPage->isChecked());
  EXPECT_TRUE(window.ZdqPreview->HighlightRects().empty());

  test::WhenModal<TfrmZdqFind>([](TfrmZdqFind* dialog) {
    QTest::keyClicks(dialog->edTextValue, "total");
    dialog->cbMode->setCurrentIndex(2);  // any position
    QTest::mouseClick(dialog->rbGlobal, Qt::LeftButton);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(window.btnFindText, Qt::LeftButton);
  EXPECT_EQ(window.ZdqPreview->HighlightRects().size(), 2u);
  EXPECT_EQ(window.ZdqPreview->PageNumber(), 1);
  QTest::keyClick(window.ZdqPreview->viewport(), Qt::Key_F3);
  EXPECT_EQ(window.ZdqPreview->PageNumber(), 1);  // the second match of page 1
  QTest::keyClick(window.ZdqPreview->viewport(), Qt::Key_F3);
  EXPECT_EQ(window.ZdqPreview->PageNumber(), 3);
  EXPECT_EQ(window.ZdqPreview->HighlightRects().size(), 1u);

  // The case box counts: nothing matches "TOTAL" exactly on page 3 nor anywhere else but page 1.
  test::WhenModal<TfrmZdqFind>([](TfrmZdqFind* dialog) {
    dialog->edTextValue->setText("TOTAL:");
    dialog->cbMode->setCurrentIndex(1);  // exactly
    QTest::mouseClick(dialog->chkCaseSensitive, Qt::LeftButton);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
  });
  QTest::mouseClick(window.btnFindText, Qt::LeftButton);
  EXPECT_EQ(window.ZdqPreview->PageNumber(), 1);
  EXPECT_EQ(window.ZdqPreview->HighlightRects().size(), 1u);
}

TEST(ProgressDialog, CancelButtonStopsThePreparationAtTheNextPage) {
  InstallWidgetsUserInterface();
  TTextReport report(1000);
  report.SetAnimatedStatus(true);
  TfrmZdqProcess* shown = nullptr;
  int clickedOnPage = -1;
  report.onPage = [&](int page) {
    if (page != 3) return;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = dynamic_cast<TfrmZdqProcess*>(w); dialog && dialog->isVisible()) shown = dialog;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->btnCancel->text(), "&Cancel");
    // Clicked from the event loop, which only the dialog's updates let run.
    QTimer::singleShot(0, shown->btnCancel, [&] {
      QTest::mouseClick(shown->btnCancel, Qt::LeftButton);
      clickedOnPage = report.GetNumPages();
    });
  };
  report.Prepare();
  ASSERT_GT(clickedOnPage, 0);
  EXPECT_LE(report.GetNumPages(), clickedOnPage + 1);
  EXPECT_LT(report.GetNumPages(), 1000);

  // The next preparation starts afresh.
  report.onPage = nullptr;
  report.pageCount = 20;
  report.Prepare();
  EXPECT_EQ(report.GetNumPages(), 20);
}

TEST(PrintDialog, PrinterChoicesBecomeThePrintChoice) {
  test::useWidgetsAndVirtualPrinter();
  const std::vector<std::string> printers{"Virtual PDF Printer", "Office"};
  QPrinter printer;
  printer.setPrinterName("Office");
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 5);
  printer.setCopyCount(3);
  printer.setCollateCopies(true);
  TPrintChoice choice;
  ReadPrintChoice(printer, printers, choice);
  if (printer.printerName() == "Office") EXPECT_EQ(choice.PrinterIndex, 1);  // when such a printer exists
  EXPECT_EQ(choice.Mode, TPageRangeMode::prRange);
  EXPECT_EQ(choice.RangeText, "2-5");
  EXPECT_EQ(choice.CopiesText, "3");
  EXPECT_TRUE(choice.Collate);
  printer.setPrintRange(QPrinter::CurrentPage);
  ReadPrintChoice(printer, printers, choice);
  EXPECT_EQ(choice.Mode, TPageRangeMode::prCurrent);
  printer.setPrintRange(QPrinter::AllPages);
  choice.PrinterIndex = 0;
  printer.setPrinterName("Unknown printer");
  ReadPrintChoice(printer, printers, choice);
  EXPECT_EQ(choice.Mode, TPageRangeMode::prAll);
  EXPECT_EQ(choice.PrinterIndex, 0);  // a printer the engine does not know keeps the preset one
}

TEST(ManyPages, TenThousandPagesOpenAtOnceAndThumbnailsDrawOnlyWhatIsSeen) {
  TTextReport report(10000);
  report.SetPageMemoryLimit(1 << 20);  // most pages wait in the spill file
  report.Prepare();
  ASSERT_EQ(report.GetNumPages(), 10000);
  QElapsedTimer clock;
  clock.start();
  TfrmZdPreview window;
  window.resize(900, 700);
  window.SetReport(&report);
  window.show();
  QApplication::processEvents();
  window.ZdqPreview->viewport()->repaint();
  EXPECT_LT(clock.elapsed(), 1000);

  clock.restart();
  QTest::mouseClick(window.btnThumbnails, Qt::LeftButton);
  window.ZdqPreview->Thumbnails()->viewport()->repaint();
  TThumbnailModel& model = window.ZdqPreview->Thumbnails()->Model();
  EXPECT_GT(model.DrawnCount(), 0);
  EXPECT_LT(model.DrawnCount(), 20);
  QTest::keyClick(window.ZdqPreview->viewport(), Qt::Key_End);
  window.ZdqPreview->Thumbnails()->viewport()->repaint();
  EXPECT_EQ(window.ZdqPreview->PageNumber(), 10000);
  EXPECT_LT(model.DrawnCount(), 40);
  EXPECT_LT(clock.elapsed(), 1000);
}

}  // namespace
}  // namespace zd
