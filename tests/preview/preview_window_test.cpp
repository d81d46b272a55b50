// The preview window driven by keys, buttons, the page box, the scale box and
// the sheet tabs; opening and saving prepared reports through its dialogs.
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QLabel>
#include <QSlider>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <QPointer>
#include <gtest/gtest.h>

#include "PreviewFixtures.h"
#include "ScriptedUserInterface.h"
#include "TempPath.h"
#include "preview/Lens.h"
#include "preview/WidgetsUserInterface.h"
#include "preview/ZdqPreview.h"

namespace zd {
namespace {

using test::TTextReport;

// A shown window over a prepared report.
struct TWindow {
  explicit TWindow(TZdPrintBaseComponent& report) {
    window.resize(900, 700);
    window.SetReport(&report);
    window.show();
    QApplication::processEvents();
  }
  int Page() const { return window.ZdqPreview->PageNumber(); }
  void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(window.ZdqPreview->viewport(), Qt::Key(key), modifiers);
  }
  TfrmZdPreview window;
};

// Answers the next modal file dialog with this file.
void AnswerFileDialog(const std::string& file) {
  test::WhenModal<QFileDialog>([file](QFileDialog* dialog) {
    dialog->selectFile(QString::fromStdString(file));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the name as the OK button does
  });
}

TEST(PreviewWindow, KeysAndPageButtonsMoveThroughThePages) {
  TTextReport report(5);
  report.ZdProperty().Title = "Orders";
  report.Prepare();
  TWindow w(report);
  EXPECT_EQ(w.window.windowTitle(), "Report preview mode / Orders");
  EXPECT_EQ(w.window.lblNumPages->text(), "of 5");
  EXPECT_FALSE(w.window.btnPrevPage->isEnabled());
  w.Key(Qt::Key_PageUp);  // nothing before the first page
  EXPECT_EQ(w.Page(), 1);
  w.Key(Qt::Key_PageDown);
  w.Key(Qt::Key_PageDown);
  EXPECT_EQ(w.Page(), 3);
  EXPECT_TRUE(w.window.btnPrevPage->isEnabled());
  EXPECT_EQ(w.window.edNumPage->text(), "3");
  w.Key(Qt::Key_End);
  EXPECT_EQ(w.Page(), 5);
  EXPECT_FALSE(w.window.btnNextPage->isEnabled());
  w.Key(Qt::Key_PageDown);
  EXPECT_EQ(w.Page(), 5);
  w.Key(Qt::Key_Home);
  EXPECT_EQ(w.Page(), 1);
  QTest::mouseClick(w.window.btnLastPage, Qt::LeftButton);
  QTest::mouseClick(w.window.btnPrevPage, Qt::LeftButton);
  EXPECT_EQ(w.Page(), 4);
  QTest::mouseClick(w.window.btnFirstPage, Qt::LeftButton);
  QTest::mouseClick(w.window.btnNextPage, Qt::LeftButton);
  EXPECT_EQ(w.Page(), 2);
  // The window takes the keys before its controls: Home in the page box.
  w.window.edNumPage->setFocus();
  QTest::keyClick(w.window.edNumPage, Qt::Key_Home);
  EXPECT_EQ(w.Page(), 1);
  w.Key(Qt::Key_Escape);
  EXPECT_FALSE(w.window.isVisible());
}

TEST(PreviewWindow, PageBoxTakesOnlyPagesThatExist) {
  TTextReport report(5);
  report.Prepare();
  TWindow w(report);
  QLineEdit& box = *w.window.edNumPage;
  const auto type = [&](const QString& text) {
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
  };
  type("3");
  EXPECT_EQ(w.Page(), 3);
  for (const char* refused : {"0", "many", "6", "-1"}) {
    type(refused);
    EXPECT_EQ(w.Page(), 3) << refused;
    EXPECT_EQ(box.text(), "3") << refused;
  }
}

TEST(PreviewWindow, ScaleBoxAndZoomButtonsFollowTheZoom) {
  TTextReport report(2);
  report.Prepare();
  TWindow w(report);
  TZdqPreview& view = *w.window.ZdqPreview;
  QComboBox& scale = *w.window.cbScale;
  EXPECT_EQ(scale.currentIndex(), TfrmZdPreview::siFitWidth);
  EXPECT_EQ(view.Zoom(), view.GetZoomFitToWidth());
  EXPECT_TRUE(w.window.btnZoomToWidth->isChecked());

  QTest::mouseClick(w.window.btnZoomTo100, Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 100);
  EXPECT_EQ(scale.currentText(), "100%");
  EXPECT_TRUE(w.window.btnZoomTo100->isChecked());
  EXPECT_FALSE(w.window.btnZoomToWidth->isChecked());
  EXPECT_EQ(scale.toolTip(), "Scale: 100%");
  view.SetZoom(150);
  EXPECT_EQ(scale.currentText(), "150%");
  EXPECT_FALSE(w.window.btnZoomTo100->isChecked());
  view.SetZoom(view.GetZoomFitToPage() == 121 ? 122 : 121);
  EXPECT_EQ(scale.currentIndex(), TfrmZdPreview::siCustom);
  QTest::mouseClick(w.window.btnOnePage, Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), view.GetZoomFitToPage());
  EXPECT_TRUE(w.window.btnOnePage->isChecked());
  scale.setCurrentIndex(TfrmZdPreview::si25);
  emit scale.activated(TfrmZdPreview::si25);
  EXPECT_EQ(view.Zoom(), 25);
  EXPECT_FALSE(w.window.btnManyPages->isEnabled());

  // Zoom in and out by click: one or neither.
  QTest::mouseClick(w.window.btnZoomIn, Qt::LeftButton);
  EXPECT_EQ(view.ZoomByClick(), zcInc);
  QTest::mouseClick(w.window.btnZoomOut, Qt::LeftButton);
  EXPECT_EQ(view.ZoomByClick(), zcDec);
  EXPECT_FALSE(w.window.btnZoomIn->isChecked());
  QTest::mouseClick(w.window.btnZoomOut, Qt::LeftButton);
  EXPECT_EQ(view.ZoomByClick(), zcNone);

  QTest::mouseClick(w.window.btnRuler, Qt::LeftButton);
  QTest::mouseClick(w.window.btnGrid, Qt::LeftButton);
  EXPECT_TRUE(view.ShowMargins());
  EXPECT_TRUE(view.ShowGrid());
  QTest::mouseClick(w.window.btnThumbnails, Qt::LeftButton);
  EXPECT_TRUE(view.ShowThumbnails());
  EXPECT_FALSE(w.window.btnOutlines->isEnabled());  // the report has no outline
}

TEST(PreviewWindow, SheetTabsShowTheBars) {
  TTextReport one(2, 1);
  one.Prepare();
  TWindow single(one);
  EXPECT_FALSE(single.window.tsSheets->isVisible());

  TTextReport three(2, 3);
  three.Prepare();
  TWindow w(three);
  QTabBar& tabs = *w.window.tsSheets;
  ASSERT_TRUE(tabs.isVisible());
  ASSERT_EQ(tabs.count(), 3);
  EXPECT_EQ(tabs.tabText(0), "Sheet 1");
  EXPECT_EQ(tabs.tabText(2), "Sheet 3");
  EXPECT_EQ(tabs.currentIndex(), 0);
  QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(2).center());
  EXPECT_EQ(w.window.ZdqPreview->BarNumber(), 3);
  EXPECT_EQ(three.Producer().intCurBar(), 2);
  w.window.ZdqPreview->SetBarNumber(2);
  EXPECT_EQ(tabs.currentIndex(), 1);
}

TEST(PreviewWindow, CtrlKeysOpenSaveAndPrint) {
  InstallWidgetsUserInterface();
  const std::string dir = test::UniqueTempPath("preview-window-files").string();
  std::filesystem::create_directories(dir);
  TTextReport other(7);
  other.Prepare();
  other.SavePreparedReport(dir + "/other.zqp");

  TTextReport report(2);
  report.Prepare();
  TWindow w(report);
  w.window.ZdqPreview->SetZoom(80);
  AnswerFileDialog(dir + "/other.zqp");
  w.Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(report.GetNumPages(), 7);  // the file's pages replace those on display
  EXPECT_EQ(w.window.lblNumPages->text(), "of 7");
  EXPECT_EQ(w.window.ZdqPreview->Zoom(), 80);
  EXPECT_EQ(w.window.strLatestFileName, dir + "/other.zqp");

  AnswerFileDialog(dir + "/saved.zqp");
  w.Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(std::filesystem::exists(dir + "/saved.zqp"));
  TTextReport reread(1);
  reread.LoadPreparedReport(dir + "/saved.zqp");
  EXPECT_EQ(reread.GetNumPages(), 7);

  // A file that is no prepared report leaves the pages as they were.
  { std::ofstream(dir + "/bad.zqp") << "not a report"; }
  AnswerFileDialog(dir + "/bad.zqp");
  test::WhenModal<QMessageBox>([](QMessageBox* error) { error->close(); });
  w.Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(report.GetNumPages(), 7);

  test::TScriptedUserInterface scripted;
  int printDialogs = 0;
  scripted.printDialog = [&](const TPrintDialogRequest&, TPrintChoice&) {
    ++printDialogs;
    return false;
  };
  w.Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(printDialogs, 1);
  std::filesystem::remove_all(dir);
}

TEST(PreviewWindow, EmbeddedWindowFillsItsParentAndFreesItselfWhenClosed) {
  TTextReport report(2);
  report.Prepare();
  InstallWidgetsUserInterface();
  QWidget host;
  host.resize(640, 480);
  host.show();
  report.PreviewParentedControlPreparedReport(TParentWindow(&host));  // returns at once
  auto* window = host.findChild<TfrmZdPreview*>();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsEmbedded());
  EXPECT_FALSE(window->isWindow());
  EXPECT_EQ(window->geometry(), host.rect());
  EXPECT_FALSE(window->btnClose->isVisible());
  host.resize(800, 600);
  QApplication::processEvents();
  EXPECT_EQ(window->size(), QSize(800, 600));
  QPointer<TfrmZdPreview> alive(window);
  window->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());

  // Without a parent the window is modal: Preview returns once it is closed.
  bool shown = false;
  test::WhenModal<TfrmZdPreview>([&](TfrmZdPreview* modal) {
    shown = modal->GetReport() == &report && modal->isVisible();
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  report.PreviewPreparedReport();
  EXPECT_TRUE(shown);
}

TEST(PreviewWindow, GrabbedWindowShowsTheTextOfThePage) {
  TTextReport report(1);
  report.pageTexts = {{"The quick brown fox", "jumps over the lazy dog"}};
  report.Prepare();
  TWindow w(report);
  const std::string png = test::UniqueTempPath("preview-grab.png").string();
  ASSERT_TRUE(w.window.grab().save(QString::fromStdString(png), "PNG"));
  QImage image(QString::fromStdString(png));
  std::filesystem::remove(png);
  ASSERT_FALSE(image.isNull());
  const QRect page(w.window.ZdqPreview->viewport()->mapTo(&w.window, w.window.ZdqPreview->PageRect().topLeft()),
                   w.window.ZdqPreview->PageRect().size());
  const auto darkIn = [&](QRect area) {
    int dark = 0;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 128;
    return dark;
  };
  const double scale = double(page.width()) / report.GetPage(0, 0)->PageWidth();
  const auto at = [&](int x, int y, int width, int height) {
    return QRect(page.left() + int(x * scale), page.top() + int(y * scale), int(width * scale), int(height * scale));
  };
  EXPECT_GT(darkIn(at(60, 120, 300, 30)), 50);   // the first line of text
  EXPECT_EQ(darkIn(at(60, 220, 300, 80)), 0);    // nothing drawn below the text
}

}  // namespace
}  // namespace zd

namespace zd {
namespace {

TEST(PreviewWindow, LensShowsThePageAroundTheMouseAtItsOwnZoom) {
  test::TTextReport report(1);
  report.pageTexts = {{"The quick brown fox"}};
  report.Prepare();
  TWindow w(report);
  w.window.ZdqPreview->SetZoom(50);
  QTest::mouseClick(w.window.btnLens, Qt::LeftButton);
  TfrmZdqLens* lens = w.window.frmLens;
  ASSERT_NE(lens, nullptr);
  EXPECT_TRUE(lens->isVisible());
  EXPECT_EQ(lens->windowTitle(), "Lens form");
  EXPECT_EQ(lens->lblScale->text(), "Scale: 200%");
  lens->tbScale->setValue(3);
  EXPECT_EQ(lens->lblScale->text(), "Scale: 300%");

  // Over the start of the text, the lens shows it three times as large as at 100 %.
  QApplication::processEvents();  // the scroll bars of the old zoom go
  QWidget* viewport = w.window.ZdqPreview->viewport();
  const QRect page = w.window.ZdqPreview->PageRect();
  const QPoint overText(page.left() + 100 * page.width() / report.GetPage(0, 0)->PageWidth(),
                        page.top() + 130 * page.height() / report.GetPage(0, 0)->PageHeight());
  QTest::mouseMove(viewport, overText);
  EXPECT_NEAR(lens->Centre().x(), 100, 3);
  EXPECT_NEAR(lens->Centre().y(), 130, 3);
  const QImage picture = lens->Picture()->grab().toImage();
  int dark = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) dark += qGray(picture.pixel(x, y)) < 100;
  EXPECT_GT(dark, 100);

  lens->close();
  EXPECT_FALSE(w.window.btnLens->isChecked());
  QTest::mouseClick(w.window.btnLens, Qt::LeftButton);
  EXPECT_EQ(w.window.frmLens, lens);  // the same window again
  EXPECT_TRUE(lens->isVisible());
}

}  // namespace
}  // namespace zd
