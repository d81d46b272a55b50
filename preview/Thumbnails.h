#pragma once
// The thumbnail pane: a small picture of every page of the first bar with
// its number below, the current page's number in bold. Pictures are drawn
// only when they come into view and are kept for a while, so that reports
// of thousands of pages open and scroll at once.
#include <QAbstractListModel>
#include <QCache>
#include <QListView>
#include <QPixmap>
#include <functional>

namespace zd {

class TZdPrintBaseComponent;

class TThumbnailModel : public QAbstractListModel {
 public:
  TThumbnailModel(TZdPrintBaseComponent& report, QSize thumbnailSize, QObject* parent);
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  void SetCurrentPage(int pageIndex);
  int CurrentPage() const { return current_; }
  void SetDevicePixelRatio(qreal ratio) { ratio_ = ratio; }
  // Thumbnails drawn so far, kept or not (for checking that drawing is lazy).
  int DrawnCount() const { return drawn_; }

 private:
  QPixmap Thumbnail(int pageIndex) const;

  TZdPrintBaseComponent& report_;
  QSize size_;
  qreal ratio_ = 1;
  int current_ = -1;
  mutable QCache<int, QPixmap> cache_;
  mutable int drawn_ = 0;
};

class TPageThumbnails : public QListView {
 public:
  static constexpr int kThumbnailWidth = 80;
  TPageThumbnails(TZdPrintBaseComponent& report, QWidget* parent);
  void SetCurrentPage(int pageIndex);  // marks it and scrolls it into view
  TThumbnailModel& Model() { return *model_; }
  std::function<void(int pageIndex)> OnPageClicked;

 private:
  TThumbnailModel* model_;
};

}  // namespace zd
