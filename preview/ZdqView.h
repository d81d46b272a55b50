#pragma once
// The page viewer: one prepared page of a print component at a zoom, in a
// scrolling area, with margins, a one-inch grid, highlight rectangles behind
// the page's drawing and zoom by click. TZdqPreview adds the thumbnail and
// outline panes and text search. Both are plain QWidgets: embed them in any
// form, from code or as promoted widgets of a Designer form.
#include <QAbstractScrollArea>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "host/graphics/Canvas.h"
#include "preview/TextSearch.h"

class QListWidget;

namespace zd {

class TComponent;
class TZdPrintBaseComponent;
class TPageInfo;
class TMetafile;
class TPageThumbnails;
class TfrmZdqFind;

enum TZoomByClick { zcNone, zcInc, zcDec };

struct TZdqPrevHighlightRect {
  TRect r;  // page units
  TColor Background = clYellow;
};

class TZdqPagePreview : public QAbstractScrollArea {
 public:
  explicit TZdqPagePreview(QWidget* parent = nullptr);
  ~TZdqPagePreview() override;

  TZdPrintBaseComponent* Report() const { return report_; }
  // Shows the first page and bar of the component (not owned; nullptr: none).
  void SetReport(TZdPrintBaseComponent* report);

  // 1-based; a number outside the component's pages changes nothing.
  int PageNumber() const { return pageIndex_ + 1; }
  virtual void SetPageNumber(int n);
  int BarNumber() const { return barIndex_ + 1; }
  void SetBarNumber(int n);

  // Percent; 0 or less means 100.
  int Zoom() const { return zoom_; }
  void SetZoom(int zoom);
  int GetZoomFitToWidth() const;
  int GetZoomFitToPage() const;  // fits the height

  bool ShowMargins() const { return showMargins_; }
  void SetShowMargins(bool on);
  bool ShowGrid() const { return showGrid_; }
  void SetShowGrid(bool on);
  TZoomByClick ZoomByClick() const { return zoomByClick_; }
  void SetZoomByClick(TZoomByClick mode);

  TZdqPrevHighlightRect& AddHighlightRect();
  void ClearHighlightRects();
  const std::vector<TZdqPrevHighlightRect>& HighlightRects() const { return highlights_; }

  // The page shown; nullptr without a component or when the bar lacks it.
  const TPageInfo* Page() const;
  // The sheet (page and its shadow) in viewport coordinates, scrolled.
  QRect SheetRect() const;
  // The page area of the sheet, inside the shadow strips.
  QRect PageRect() const;
  // Brings a rectangle of the page (page units) into view.
  void ScrollToPageRect(const TRect& r);
  // The page point (page units) under a point of the viewport.
  QPointF PagePointAt(const QPoint& viewportPoint) const;
  // Draws the page shown, with its highlights, margins and grid, into any
  // rectangle of any painter (the lens draws it larger).
  void PaintPage(QPainter& painter, const QRect& pageRect);

  virtual int GetOffset() const { return 3; }

  std::function<void()> PageNumberChangeEvent, BarNumberChangeEvent, ZoomChangeEvent;

 protected:
  // Re-lays the sheet after a change of size, page, component or zoom.
  void PreviewResize();
  // After SetReport has shown the new component's first page.
  virtual void ReportChanged() {}
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  QSize SheetSize() const;
  void ZoomAt(const QPoint& viewportPoint, bool zoomIn);
  void PageChanged();

  TZdPrintBaseComponent* report_ = nullptr;
  int zoom_ = 100;
  int pageIndex_ = 0, barIndex_ = 0;
  bool showMargins_ = false, showGrid_ = false;
  TZoomByClick zoomByClick_ = zcNone;
  std::vector<TZdqPrevHighlightRect> highlights_;
  QPoint sheetOrigin_;  // unscrolled
  // The drawing of the page shown, held so that a spilled page is read
  // back once, not on every paint.
  std::shared_ptr<const TMetafile> drawing_;
};

class TZdReport;

class TZdqPreview : public TZdqPagePreview {
  Q_OBJECT
  // A prepared report (.zqp) the viewer loads and shows by itself, so that
  // a form can name it as a property. Its accessors have Qt's names, which
  // the code uic makes of a form calls.
  Q_PROPERTY(QString reportFile READ reportFile WRITE setReportFile)

 public:
  explicit TZdqPreview(QWidget* parent = nullptr);
  ~TZdqPreview() override;

  const QString& reportFile() const { return reportFile_; }
  // Loads and shows the file; empty shows nothing. A file that cannot be
  // read leaves the viewer empty with the reason in ReportFileError(), for
  // a form being laid out must not fail over it.
  void setReportFile(const QString& fileName);
  const QString& ReportFileError() const { return reportFileError_; }

  void SetPageNumber(int n) override;
  int GetOffset() const override { return 20; }
  // Width of the panes shown left of the page.
  int GetLeftOffset() const;

  bool ShowThumbnails() const { return thumbnails_ != nullptr; }
  void SetShowThumbnails(bool on);
  bool EnableOutlines() const { return enableOutlines_; }
  void SetEnableOutlines(bool on);
  bool ShowOutlines() const { return outlines_ != nullptr; }
  void SetShowOutlines(bool on);
  TPageThumbnails* Thumbnails() const { return thumbnails_; }
  QListWidget* OutlineList() const { return outlines_; }

  // Asks for a text and marks it: on the current page, or with the dialog's
  // "Global" scope, on the first page from this one that has it. False when
  // the user cancelled.
  bool FindText();
  // Moves to the next match of the last search: on this page, then (global
  // scope) on the following pages, round to the start. False when none.
  bool FindNext();
  TfrmZdqFind* FindDialog() const { return findDialog_; }
  // Searches as FindText does after the dialog was confirmed.
  bool Find(const TFindQuery& query, bool global);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void ReportChanged() override;

 private:
  void LayoutPanes();
  void OutlineClicked(int row);
  void MarkMatches(int current);
  bool SearchFrom(int pageIndex);
  void ForgetFileReport();

  TPageThumbnails* thumbnails_ = nullptr;
  QListWidget* outlines_ = nullptr;
  bool enableOutlines_ = false;
  TfrmZdqFind* findDialog_ = nullptr;
  TFindQuery query_;
  bool globalSearch_ = false;
  std::vector<TRect> matches_;  // on the page shown
  int currentMatch_ = -1;
  QString reportFile_, reportFileError_;
  std::unique_ptr<TComponent> fileReportOwner_;  // owns fileReport_
  TZdReport* fileReport_ = nullptr;              // loaded from reportFile_
};

}  // namespace zd
