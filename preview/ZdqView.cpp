#include "preview/ZdqView.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/QtGraphics.h"
#include "preview/PreviewIcons.h"
#include "preview/Thumbnails.h"
#include "preview/ZdqFind.h"
#include "print/PrintZd.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

constexpr int kPageUnitsPerInch = 96;
// Far past any use; above it zooming by click would overflow.
constexpr int kMaxZoom = 1000000;
constexpr int kShadow = 3;  // the black strips right and below the page
constexpr int kPaneGap = 5;
constexpr int kOutlinePaneWidth = 160;
constexpr int kOutlineItemHeight = 18;
const QColor kMarginColor(0, 128, 0);
const QColor kGridColor(192, 192, 192);

int ScrollBarExtent(const QWidget& w) { return w.style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

}  // namespace

// ---- TZdqPagePreview ----------------------------------------------------------

TZdqPagePreview::TZdqPagePreview(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  viewport()->setBackgroundRole(QPalette::Dark);
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
  resize(250, 250);
}

TZdqPagePreview::~TZdqPagePreview() = default;

void TZdqPagePreview::SetReport(TZdPrintBaseComponent* report) {
  report_ = report;
  pageIndex_ = 0;
  barIndex_ = 0;
  PageChanged();
  ReportChanged();
}

const TPageInfo* TZdqPagePreview::Page() const {
  return report_ ? report_->GetPage(pageIndex_, barIndex_) : nullptr;
}

void TZdqPagePreview::PageChanged() {
  drawing_.reset();
  if (const TPageInfo* page = Page()) {
    try {
      drawing_ = page->Drawing();
    } catch (const std::exception&) {
      // A page that cannot be read back shows as a blank sheet.
    }
  }
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  PreviewResize();
}

void TZdqPagePreview::SetPageNumber(int n) {
  if (!report_ || n == PageNumber() || n < 1 || n > report_->GetNumPages()) return;
  pageIndex_ = n - 1;
  report_->Producer().SetCurrentPage(pageIndex_, report_->Producer().intCurBar());
  PageChanged();
  if (PageNumberChangeEvent) PageNumberChangeEvent();
}

void TZdqPagePreview::SetBarNumber(int n) {
  if (!report_ || n == BarNumber() || n < 1 || n > report_->GetNumBars()) return;
  barIndex_ = n - 1;
  report_->Producer().SetCurrentPage(report_->Producer().intCurPage(), barIndex_);
  PageChanged();
  if (BarNumberChangeEvent) BarNumberChangeEvent();
}

void TZdqPagePreview::SetZoom(int zoom) {
  if (zoom <= 0) zoom = 100;
  zoom = std::min(zoom, kMaxZoom);
  if (zoom == zoom_) return;
  zoom_ = zoom;
  PreviewResize();
  if (ZoomChangeEvent) ZoomChangeEvent();
}

int TZdqPagePreview::GetZoomFitToWidth() const {
  const TPageInfo* page = Page();
  if (!page || page->PageWidth() <= 0) return zoom_;
  return std::max(1, (viewport()->width() - GetOffset()) * 100 / page->PageWidth());
}

int TZdqPagePreview::GetZoomFitToPage() const {
  const TPageInfo* page = Page();
  if (!page || page->PageHeight() <= 0) return zoom_;
  return std::max(1, (viewport()->height() - GetOffset()) * 100 / page->PageHeight());
}

void TZdqPagePreview::SetShowMargins(bool on) {
  if (on == showMargins_) return;
  showMargins_ = on;
  viewport()->update();
}

void TZdqPagePreview::SetShowGrid(bool on) {
  if (on == showGrid_) return;
  showGrid_ = on;
  viewport()->update();
}

void TZdqPagePreview::SetZoomByClick(TZoomByClick mode) {
  zoomByClick_ = mode;
  if (mode == zcNone) viewport()->unsetCursor();
  else viewport()->setCursor(ZoomCursor(mode == zcInc));
}

TZdqPrevHighlightRect& TZdqPagePreview::AddHighlightRect() {
  highlights_.emplace_back();
  viewport()->update();
  return highlights_.back();
}

void TZdqPagePreview::ClearHighlightRects() {
  highlights_.clear();
  viewport()->update();
}

QSize TZdqPagePreview::SheetSize() const {
  const TPageInfo* page = Page();
  if (!page) return {};
  // 64-bit products: a huge zoom of a large page must not overflow.
  const auto scaled = [&](int units) { return int(std::min<int64_t>(int64_t(zoom_) * units / 100, 1 << 24)); };
  return {scaled(page->PageWidth()), scaled(page->PageHeight())};
}

void TZdqPagePreview::PreviewResize() {
  const QSize sheet = SheetSize();
  if (sheet.isEmpty()) {
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    viewport()->update();
    return;
  }
  const int o = GetOffset();
  const int cw = viewport()->width(), ch = viewport()->height();
  sheetOrigin_.setY(ch > sheet.height() + o + 5 ? (ch - sheet.height() - o - 5) / 2 : o / 2);
  // Centred across, so that the margins either side match.
  sheetOrigin_.setX(cw > sheet.width() + o + 5 ? (cw - sheet.width()) / 2 : o / 2);
  horizontalScrollBar()->setRange(0, std::max(0, sheetOrigin_.x() + sheet.width() + o / 2 - cw));
  verticalScrollBar()->setRange(0, std::max(0, sheetOrigin_.y() + sheet.height() + o / 2 - ch));
  horizontalScrollBar()->setPageStep(cw);
  verticalScrollBar()->setPageStep(ch);
  viewport()->update();
}

QRect TZdqPagePreview::SheetRect() const {
  const QSize size = SheetSize();
  if (size.isEmpty()) return {};
  return QRect(sheetOrigin_ - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), size);
}

QRect TZdqPagePreview::PageRect() const { return SheetRect().adjusted(0, 0, -kShadow, -kShadow); }

void TZdqPagePreview::ScrollToPageRect(const TRect& r) {
  const TPageInfo* page = Page();
  if (!page) return;
  const int left = int(int64_t(r.Left) * zoom_ / 100), top = int(int64_t(r.Top) * zoom_ / 100);
  const QSize view = viewport()->size();
  auto bring = [](QScrollBar* bar, int at, int extent) {
    if (at < bar->value() || at > bar->value() + extent - 40) bar->setValue(at - extent / 3);
  };
  bring(horizontalScrollBar(), sheetOrigin_.x() + left, view.width());
  bring(verticalScrollBar(), sheetOrigin_.y() + top, view.height());
}

QPointF TZdqPagePreview::PagePointAt(const QPoint& viewportPoint) const {
  const TPageInfo* page = Page();
  const QRect area = PageRect();
  if (!page || area.isEmpty()) return {};
  return {double(viewportPoint.x() - area.left()) * page->PageWidth() / area.width(),
          double(viewportPoint.y() - area.top()) * page->PageHeight() / area.height()};
}

void TZdqPagePreview::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  PreviewResize();
}

void TZdqPagePreview::scrollContentsBy(int, int) { viewport()->update(); }

void TZdqPagePreview::paintEvent(QPaintEvent*) {
  if (!report_) return;
  const QRect sheet = SheetRect();
  if (sheet.isEmpty()) return;
  QPainter painter(viewport());
  painter.fillRect(sheet.adjusted(kShadow, sheet.height() - kShadow, 0, 0), Qt::black);
  painter.fillRect(sheet.adjusted(sheet.width() - kShadow, kShadow, 0, 0), Qt::black);
  PaintPage(painter, PageRect());
}

void TZdqPagePreview::PaintPage(QPainter& painter, const QRect& pageRect) {
  if (!Page()) return;
  const TPageInfo& page = *Page();
  painter.fillRect(pageRect, Qt::white);
  // Page units map onto the page area, each axis on its own.
  QTransform toPage;
  toPage.translate(pageRect.left(), pageRect.top());
  toPage.scale(double(pageRect.width()) / std::max(1, page.PageWidth()),
               double(pageRect.height()) / std::max(1, page.PageHeight()));
  painter.setTransform(toPage);
  for (const TZdqPrevHighlightRect& h : highlights_)
    painter.fillRect(QRect(h.r.Left, h.r.Top, h.r.Width(), h.r.Height()), ToQColor(h.Background));
  painter.resetTransform();
  if (drawing_) {
    try {
      painter.save();
      painter.setClipRect(pageRect);
      PlayMetafile(*drawing_, painter, QRectF(pageRect));
      painter.restore();
    } catch (const std::exception&) {
      painter.restore();  // a drawing that cannot be played leaves the page blank
    }
  }
  painter.setTransform(toPage);
  if (showMargins_) {
    QPen pen(kMarginColor, 0, Qt::DotLine);
    painter.setPen(pen);
    const int w = page.PageWidth(), h = page.PageHeight();
    painter.drawLine(page.OffsetLeft, 0, page.OffsetLeft, h);
    painter.drawLine(w - page.OffsetRight, 0, w - page.OffsetRight, h);
    painter.drawLine(0, page.OffsetTop, w, page.OffsetTop);
    painter.drawLine(0, h - page.OffsetBottom, w, h - page.OffsetBottom);
  }
  if (showGrid_) {
    painter.setPen(QPen(kGridColor, 0));
    const int w = page.PageWidth(), h = page.PageHeight(), s = kPageUnitsPerInch;
    for (int i = 1; i <= w / s; ++i) painter.drawLine(s * i, 0, s * i, h);
    for (int i = 1; i <= h / s; ++i) painter.drawLine(0, s * i, w, s * i);
  }
  painter.resetTransform();
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(pageRect.adjusted(0, 0, -1, -1));
}

void TZdqPagePreview::mousePressEvent(QMouseEvent* event) {
  QAbstractScrollArea::mousePressEvent(event);
  if (!report_ || zoomByClick_ == zcNone) return;
  const bool left = event->button() == Qt::LeftButton, right = event->button() == Qt::RightButton;
  if (!left && !right) return;
  ZoomAt(event->position().toPoint(), left == (zoomByClick_ == zcInc));
  event->accept();
}

void TZdqPagePreview::ZoomAt(const QPoint& viewportPoint, bool zoomIn) {
  const QRect sheet = SheetRect();
  if (sheet.isEmpty()) return;
  const double fx = double(viewportPoint.x() - sheet.left()) / sheet.width();
  const double fy = double(viewportPoint.y() - sheet.top()) / sheet.height();
  SetZoom(zoomIn ? zoom_ * 150 / 100 : zoom_ * 100 / 150);
  // The clicked point of the page comes to the middle of the view.
  const QSize now = SheetSize();
  horizontalScrollBar()->setValue(sheetOrigin_.x() + int(std::lround(now.width() * fx)) - viewport()->width() / 2);
  verticalScrollBar()->setValue(sheetOrigin_.y() + int(std::lround(now.height() * fy)) - viewport()->height() / 2);
}

void TZdqPagePreview::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QAbstractScrollArea::wheelEvent(event);
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  SetZoom(delta > 0 ? std::max(zoom_ + 1, zoom_ * 110 / 100) : std::max(1, zoom_ * 100 / 110));
  event->accept();
}

// ---- TZdqPreview --------------------------------------------------------------

TZdqPreview::TZdqPreview(QWidget* parent) : TZdqPagePreview(parent) {}

// The panes let go of the report before it goes with fileReportOwner_.
TZdqPreview::~TZdqPreview() { ForgetFileReport(); }

void TZdqPreview::ForgetFileReport() {
  if (fileReport_ && Report() == fileReport_) SetReport(nullptr);
  fileReport_ = nullptr;
  fileReportOwner_.reset();
}

void TZdqPreview::setReportFile(const QString& fileName) {
  ForgetFileReport();
  reportFile_ = fileName;
  reportFileError_.clear();
  if (fileName.isEmpty()) return;
  auto owner = std::make_unique<TComponent>();
  auto* report = new TZdReport(owner.get());
  try {
    report->LoadPreparedReport(fileName.toStdString());
  } catch (const std::exception& e) {
    reportFileError_ = QString::fromStdString(e.what());
    return;
  }
  fileReportOwner_ = std::move(owner);
  fileReport_ = report;
  SetReport(report);
}

int TZdqPreview::GetLeftOffset() const {
  int width = 0;
  if (thumbnails_) width += thumbnails_->width() + kPaneGap;
  if (outlines_) width += outlines_->width() + kPaneGap;
  return width;
}

void TZdqPreview::LayoutPanes() {
  int left = 0;
  for (QWidget* pane : {static_cast<QWidget*>(thumbnails_), static_cast<QWidget*>(outlines_)}) {
    if (!pane) continue;
    pane->setGeometry(left, 0, pane->width(), height());
    left += pane->width() + kPaneGap;
  }
  setViewportMargins(left, 0, 0, 0);
}

void TZdqPreview::resizeEvent(QResizeEvent* event) {
  LayoutPanes();
  TZdqPagePreview::resizeEvent(event);
}

void TZdqPreview::SetPageNumber(int n) {
  if (thumbnails_ && Report() && n >= 1 && n <= Report()->GetNumPages()) thumbnails_->SetCurrentPage(n - 1);
  const int before = PageNumber();
  TZdqPagePreview::SetPageNumber(n);
  if (PageNumber() != before) {
    matches_.clear();
    currentMatch_ = -1;
  }
}

void TZdqPreview::SetShowThumbnails(bool on) {
  if (on == ShowThumbnails()) return;
  if (on && !Report()) return;
  delete thumbnails_;
  thumbnails_ = nullptr;
  if (on) {
    thumbnails_ = new TPageThumbnails(*Report(), this);
    thumbnails_->resize(ScrollBarExtent(*this) + TPageThumbnails::kThumbnailWidth + 20, height());
    thumbnails_->SetCurrentPage(PageNumber() - 1);
    thumbnails_->OnPageClicked = [this](int index) { SetPageNumber(index + 1); };
    thumbnails_->show();
  }
  LayoutPanes();
  PreviewResize();
}

void TZdqPreview::SetEnableOutlines(bool on) {
  enableOutlines_ = on;
  if (!on) SetShowOutlines(false);
}

void TZdqPreview::SetShowOutlines(bool on) {
  if (on && (!enableOutlines_ || !Report())) on = false;
  if (on == ShowOutlines()) return;
  delete outlines_;
  outlines_ = nullptr;
  if (on) {
    outlines_ = new QListWidget(this);
    outlines_->resize(ScrollBarExtent(*this) + kOutlinePaneWidth, height());
    outlines_->setUniformItemSizes(true);
    outlines_->setIconSize(QSize(16, 16));
    const QIcon mark = OutlineIcon();
    const TZdqOutlines& entries = Report()->Outlines();
    for (int i = 0; i < entries.Count(); ++i) {
      auto* item = new QListWidgetItem(mark, QString::fromStdString(entries.Items(i).Text), outlines_);
      item->setSizeHint(QSize(0, kOutlineItemHeight));
    }
    QObject::connect(outlines_, &QListWidget::itemClicked,
                     [this](QListWidgetItem* item) { OutlineClicked(outlines_->row(item)); });
    outlines_->show();
  }
  LayoutPanes();
  PreviewResize();
}

void TZdqPreview::OutlineClicked(int row) {
  const TZdqOutlines& entries = Report()->Outlines();
  if (row >= 0 && row < entries.Count()) {
    const TZdqOutline& entry = entries.Items(row);
    SetPageNumber(entry.PageNo + 1);
    SetBarNumber(entry.BarNo + 1);
    ScrollToPageRect(TRect{0, entry.Top, 1, entry.Top + 1});
  }
  outlines_->clearSelection();
}

void TZdqPreview::ReportChanged() {
  matches_.clear();
  currentMatch_ = -1;
  const bool thumbnails = ShowThumbnails(), outlines = ShowOutlines();
  SetShowThumbnails(false);
  SetShowOutlines(false);
  SetShowThumbnails(thumbnails);
  SetShowOutlines(outlines);
}

bool TZdqPreview::FindText() {
  if (!findDialog_) findDialog_ = new TfrmZdqFind(this);
  ClearHighlightRects();
  matches_.clear();
  currentMatch_ = -1;
  if (Report()) findDialog_->SetLanguageShift(Report()->GetLanguageShift());
  if (findDialog_->exec() != QDialog::Accepted) return false;
  Find(findDialog_->Query(), findDialog_->GlobalScope());
  return true;
}

bool TZdqPreview::Find(const TFindQuery& query, bool global) {
  query_ = query;
  globalSearch_ = global;
  return SearchFrom(PageNumber() - 1);
}

bool TZdqPreview::FindNext() {
  if (query_.Text.empty()) return false;
  if (currentMatch_ + 1 < int(matches_.size())) {
    MarkMatches(currentMatch_ + 1);
    return true;
  }
  return SearchFrom(globalSearch_ ? PageNumber() : PageNumber() - 1);
}

// Marks the matches of the first page from pageIndex on that has one (only
// pageIndex itself unless the search is global), wrapping at the end.
bool TZdqPreview::SearchFrom(int pageIndex) {
  ClearHighlightRects();
  matches_.clear();
  currentMatch_ = -1;
  if (!Report()) return false;
  const int pages = Report()->GetNumPages();
  const int tries = globalSearch_ ? pages : 1;
  for (int i = 0; i < tries; ++i) {
    const int index = (pageIndex + i) % std::max(1, pages);
    const TPageInfo* page = Report()->GetPage(index, BarNumber() - 1);
    if (!page) continue;
    std::vector<TRect> found;
    try {
      found = FindTextOnPage(*page->Drawing(), query_);
    } catch (const std::exception&) {
      continue;  // an unreadable page has nothing to find
    }
    if (found.empty()) continue;
    SetPageNumber(index + 1);
    matches_ = std::move(found);
    MarkMatches(0);
    return true;
  }
  return false;
}

void TZdqPreview::MarkMatches(int current) {
  ClearHighlightRects();
  currentMatch_ = current;
  for (int i = 0; i < int(matches_.size()); ++i) {
    TZdqPrevHighlightRect& h = AddHighlightRect();
    h.r = matches_[size_t(i)];
    // The match F3 stands on shows apart from the others.
    h.Background = i == current ? RGBColor(255, 160, 0) : clYellow;
  }
  if (current >= 0) ScrollToPageRect(matches_[size_t(current)]);
}

}  // namespace zd
