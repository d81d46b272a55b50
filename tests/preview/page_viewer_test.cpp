// The page viewer driven as a user would: zoom, pages and bars, layout of
// the sheet, zoom by click, margins and grid, and the panes and search of
// the full viewer.
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "PreviewFixtures.h"
#include "preview/Thumbnails.h"
#include "preview/ZdqView.h"

namespace zd {
namespace {

using test::TTextReport;

struct TEventCounts {
  int pages = 0, bars = 0, zooms = 0;
  void Watch(TZdqPagePreview& view) {
    view.PageNumberChangeEvent = [this] { ++pages; };
    view.BarNumberChangeEvent = [this] { ++bars; };
    view.ZoomChangeEvent = [this] { ++zooms; };
  }
};

TEST(PageViewer, PagesBarsAndZoomRefuseWhatDoesNotExist) {
  TTextReport report(4, 2);
  report.Prepare();
  TZdqPagePreview view;
  TEventCounts events;
  events.Watch(view);

  view.SetPageNumber(2);  // no component: ignored
  EXPECT_EQ(view.PageNumber(), 1);
  view.SetReport(&report);
  for (int refused : {0, 5, 1}) view.SetPageNumber(refused);
  EXPECT_EQ(events.pages, 0);
  view.SetPageNumber(3);
  EXPECT_EQ(view.PageNumber(), 3);
  EXPECT_EQ(events.pages, 1);
  EXPECT_EQ(report.Producer().intCurPage(), 2);  // the component's current page follows
  view.SetBarNumber(3);
  view.SetBarNumber(2);
  EXPECT_EQ(events.bars, 1);
  EXPECT_EQ(report.Producer().intCurBar(), 1);

  view.SetZoom(150);
  view.SetZoom(150);
  EXPECT_EQ(events.zooms, 1);
  view.SetZoom(0);
  EXPECT_EQ(view.Zoom(), 100);
  view.SetZoom(-5);
  EXPECT_EQ(view.Zoom(), 100);
  EXPECT_EQ(events.zooms, 2);
  view.SetZoom(5000);  // no upper limit
  EXPECT_EQ(view.Zoom(), 5000);

  view.SetReport(&report);  // a new component starts at its first page and bar
  EXPECT_EQ(view.PageNumber(), 1);
  EXPECT_EQ(view.BarNumber(), 1);
}

TEST(PageViewer, SheetIsCentredOrStartsAtHalfTheOffset) {
  TTextReport report(1);
  report.Prepare();
  const TPageInfo& page = *report.GetPage(0, 0);
  TZdqPagePreview view;
  view.SetReport(&report);
  view.resize(1600, 1600);
  view.show();
  view.SetZoom(50);
  QApplication::processEvents();  // scroll bars come and go after the event loop turned
  const int w = 50 * page.PageWidth() / 100, h = 50 * page.PageHeight() / 100, o = view.GetOffset();
  EXPECT_EQ(view.viewport()->size(), QSize(1600, 1600));  // no scroll bars left over from 100 %
  EXPECT_EQ(view.SheetRect(), QRect((1600 - w) / 2, (1600 - h - o - 5) / 2, w, h));
  view.SetZoom(400);
  EXPECT_EQ(view.SheetRect().topLeft(), QPoint(o / 2, o / 2));
  view.verticalScrollBar()->setValue(100);
  EXPECT_EQ(view.SheetRect().top(), o / 2 - 100);

  TZdqPreview full;
  full.SetReport(&report);
  full.resize(600, 600);
  full.show();
  full.SetZoom(400);
  full.SetShowThumbnails(true);
  const QPoint inWindow = full.viewport()->mapTo(&full, full.SheetRect().topLeft());
  EXPECT_EQ(inWindow, QPoint(full.GetLeftOffset() + 10, 10));
  EXPECT_EQ(full.GetLeftOffset(), full.Thumbnails()->width() + 5);
  // Fitted to the width, the sheet leaves the offset free, less the rounding of one percent.
  full.SetZoom(full.GetZoomFitToWidth());
  const int free = full.viewport()->width() - full.SheetRect().width();
  EXPECT_GE(free, full.GetOffset());
  EXPECT_LE(free, full.GetOffset() + page.PageWidth() / 100 + 1);
  EXPECT_EQ(full.horizontalScrollBar()->maximum(), 0);
}

TEST(PageViewer, ZoomByClickScalesByHalfAndCentresTheClick) {
  TTextReport report(1);
  report.Prepare();
  TZdqPagePreview view;
  view.resize(400, 400);
  view.show();
  view.SetReport(&report);
  const auto click = [&](Qt::MouseButton button) {
    QTest::mouseClick(view.viewport(), button, {}, view.SheetRect().center());
  };
  click(Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 100);  // zcNone: clicks do nothing
  view.SetZoomByClick(zcInc);
  click(Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 150);
  click(Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 225);
  // The page's middle is still in the middle of the view.
  EXPECT_NEAR(view.SheetRect().center().x(), view.viewport()->width() / 2, 3);
  EXPECT_NEAR(view.SheetRect().center().y(), view.viewport()->height() / 2, 3);
  click(Qt::RightButton);
  EXPECT_EQ(view.Zoom(), 150);
  view.SetZoom(100);
  view.SetZoomByClick(zcDec);
  click(Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 66);
  click(Qt::LeftButton);
  EXPECT_EQ(view.Zoom(), 44);
  click(Qt::RightButton);
  EXPECT_EQ(view.Zoom(), 66);

  // Ctrl and the wheel zoom too; the wheel alone scrolls.
  view.SetZoom(100);
  QWheelEvent up(QPointF(100, 100), view.viewport()->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, 120),
                 Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view.viewport(), &up);
  EXPECT_EQ(view.Zoom(), 110);
  QWheelEvent down(QPointF(100, 100), view.viewport()->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view.viewport(), &down);
  EXPECT_EQ(view.Zoom(), 110);
  EXPECT_GT(view.verticalScrollBar()->value(), 0);
}

// Columns of the row where the colour starts, scanning left to right.
std::vector<int> RunsOf(const QImage& image, int y, int from, int to, QRgb colour) {
  std::vector<int> starts;
  for (int x = from; x < to; ++x)
    if (image.pixel(x, y) == colour && (x == from || image.pixel(x - 1, y) != colour)) starts.push_back(x);
  return starts;
}

TEST(PageViewer, GridAndMarginsAndHighlightsAreDrawnInPageUnits) {
  TTextReport report(1);
  report.Prepare();
  TPageInfo& page = *report.GetPage(0, 0);
  page.SetPageWidth(816);  // 8.5 inches
  page.SetPageHeight(1056);
  page.OffsetLeft = 48;
  TZdqPagePreview view;
  view.resize(900, 1150);
  view.show();
  view.SetReport(&report);
  view.SetShowGrid(true);
  const QRect pageRect = view.PageRect();
  ASSERT_EQ(pageRect.width(), 813);  // 816 wide at 100 %, less the shadow
  QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int row = pageRect.top() + 500;  // between two grid lines
  EXPECT_EQ(RunsOf(image, row, pageRect.left(), pageRect.right(), qRgb(192, 192, 192)).size(), 8u);
  EXPECT_TRUE(RunsOf(image, row, pageRect.left(), pageRect.right(), qRgb(0, 128, 0)).empty());

  view.SetShowMargins(true);
  image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  std::vector<int> green;  // the line is dotted: one of a few rows has its dot
  for (int y = row; y < row + 4 && green.empty(); ++y)
    green = RunsOf(image, y, pageRect.left(), pageRect.right(), qRgb(0, 128, 0));
  ASSERT_FALSE(green.empty());
  EXPECT_NEAR(green.front() - pageRect.left(), 48 * pageRect.width() / 816, 1);

  TZdqPrevHighlightRect& mark = view.AddHighlightRect();
  mark.r = TRect{200, 300, 260, 330};
  view.viewport()->repaint();
  image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(image.pixel(pageRect.left() + 230 * pageRect.width() / 816, pageRect.top() + 315), qRgb(255, 255, 0));
  view.ClearHighlightRects();
  image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(image.pixel(pageRect.left() + 230 * pageRect.width() / 816, pageRect.top() + 315), qRgb(255, 255, 255));
}

TEST(FullViewer, ThumbnailsMarkTheCurrentPageAndOpenPagesWhenClicked) {
  TTextReport report(5);
  report.Prepare();
  TZdqPreview view;
  view.resize(700, 600);
  view.show();
  view.SetShowThumbnails(true);  // no component: no pane
  EXPECT_FALSE(view.ShowThumbnails());
  view.SetReport(&report);
  view.SetShowThumbnails(true);
  ASSERT_TRUE(view.ShowThumbnails());
  TThumbnailModel& model = view.Thumbnails()->Model();
  ASSERT_EQ(model.rowCount(), 5);
  const auto bold = [&](int row) { return model.data(model.index(row), Qt::FontRole).value<QFont>().bold(); };
  EXPECT_TRUE(bold(0));
  view.SetPageNumber(4);
  EXPECT_FALSE(bold(0));
  EXPECT_TRUE(bold(3));
  EXPECT_EQ(model.data(model.index(3), Qt::DisplayRole).toString(), "4");

  TPageThumbnails& list = *view.Thumbnails();
  list.scrollTo(model.index(1));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(model.index(1)).center());
  EXPECT_EQ(view.PageNumber(), 2);
  EXPECT_TRUE(bold(1));
  EXPECT_FALSE(bold(3));

  // A thumbnail shows its page: dark pixels where the page has text.
  const QImage picture = model.data(model.index(0), Qt::DecorationRole).value<QPixmap>().toImage();
  int dark = 0;
  for (int y = 2; y < picture.height() - 2; ++y)
    for (int x = 2; x < picture.width() - 2; ++x) dark += qGray(picture.pixel(x, y)) < 200;
  EXPECT_GT(dark, 0);

  view.SetShowThumbnails(false);
  EXPECT_EQ(view.Thumbnails(), nullptr);
  EXPECT_EQ(view.GetLeftOffset(), 0);
}

TEST(FullViewer, OutlineEntriesOpenTheirPageAndBar) {
  TTextReport report(3, 2);
  report.outlines = {{"Intro", 0, 0, 0}, {"Second bar, page 3", 2, 1, 200}};
  report.Prepare();
  TZdqPreview view;
  view.resize(700, 600);
  view.show();
  view.SetReport(&report);
  view.SetShowOutlines(true);
  EXPECT_FALSE(view.ShowOutlines());  // outlines not enabled
  view.SetEnableOutlines(true);
  view.SetShowOutlines(true);
  ASSERT_TRUE(view.ShowOutlines());
  QListWidget& list = *view.OutlineList();
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.item(1)->text(), "Second bar, page 3");
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
  EXPECT_EQ(view.PageNumber(), 3);
  EXPECT_EQ(view.BarNumber(), 2);
  EXPECT_TRUE(list.selectedItems().isEmpty());
  view.SetEnableOutlines(false);
  EXPECT_FALSE(view.ShowOutlines());
}

TEST(FullViewer, FindMarksMatchesOnThePageOrSearchesEveryPage) {
  TTextReport report(4);
  report.pageTexts = {{"Grand Total", "TOTAL:", "   "}, {"nothing here"}, {}, {"Total of page 4", "total"}};
  report.Prepare();
  TZdqPreview view;
  view.resize(700, 600);
  view.SetReport(&report);
  const auto find = [&](const std::string& text, TFindMode mode, bool caseSensitive, bool global) {
    view.Find({text, mode, caseSensitive}, global);
    return view.HighlightRects().size();
  };
  EXPECT_EQ(find("total", TFindMode::AtBeginning, false, false), 1u);
  EXPECT_EQ(view.PageNumber(), 1);

  view.SetPageNumber(2);
  EXPECT_EQ(find("total", TFindMode::AnyPosition, false, false), 0u);  // this page only
  EXPECT_EQ(view.PageNumber(), 2);
  EXPECT_EQ(find("total", TFindMode::AnyPosition, false, true), 2u);  // global: the next page that has it
  EXPECT_EQ(view.PageNumber(), 4);
  // F3's way through the matches: the second of this page, then round to page 1.
  const auto current = [&] {
    for (const TZdqPrevHighlightRect& h : view.HighlightRects())
      if (h.Background != clYellow) return h.r;
    return TRect{};
  };
  const TRect first = current();
  EXPECT_TRUE(view.FindNext());
  EXPECT_EQ(view.PageNumber(), 4);
  EXPECT_NE(current(), first);
  EXPECT_TRUE(view.FindNext());
  EXPECT_EQ(view.PageNumber(), 1);
  EXPECT_EQ(view.HighlightRects().size(), 2u);
}

}  // namespace
}  // namespace zd
