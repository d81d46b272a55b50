#include "preview/Thumbnails.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include "host/emf/detail/MetafilePlayer.h"
#include "print/PrintZd.h"

namespace zd {

namespace {

constexpr int kCachedThumbnails = 300;

QSize ThumbnailSize(const TZdPrintBaseComponent& report, int width) {
  const TPageInfo* first = report.GetPage(0, 0);
  const int height = first && first->PageWidth() > 0
                         ? int(int64_t(width) * first->PageHeight() / first->PageWidth())
                         : width * 297 / 210;
  return {width, std::clamp(height, 8, width * 4)};
}

}  // namespace

TThumbnailModel::TThumbnailModel(TZdPrintBaseComponent& report, QSize thumbnailSize, QObject* parent)
    : QAbstractListModel(parent), report_(report), size_(thumbnailSize), cache_(kCachedThumbnails) {}

int TThumbnailModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : report_.GetNumPages();
}

QVariant TThumbnailModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole: return QString::number(index.row() + 1);
    case Qt::DecorationRole: return Thumbnail(index.row());
    case Qt::TextAlignmentRole: return int(Qt::AlignHCenter | Qt::AlignBottom);
    case Qt::FontRole: {
      QFont font;
      font.setBold(index.row() == current_);
      return font;
    }
    default: return {};
  }
}

void TThumbnailModel::SetCurrentPage(int pageIndex) {
  const int old = current_;
  current_ = pageIndex;
  for (int row : {old, pageIndex})
    if (row >= 0 && row < rowCount()) emit dataChanged(index(row), index(row), {Qt::FontRole});
}

QPixmap TThumbnailModel::Thumbnail(int pageIndex) const {
  if (QPixmap* kept = cache_.object(pageIndex)) return *kept;
  QImage image(size_ * ratio_, QImage::Format_RGB32);
  image.fill(Qt::white);
  if (const TPageInfo* page = report_.GetPage(pageIndex, 0)) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    try {
      PlayMetafile(*page->Drawing(), painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    } catch (const std::exception&) {
      // an unreadable page stays a blank thumbnail
    }
    painter.setPen(Qt::black);
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
  }
  ++drawn_;
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(ratio_);
  cache_.insert(pageIndex, new QPixmap(pixmap));
  return pixmap;
}

TPageThumbnails::TPageThumbnails(TZdPrintBaseComponent& report, QWidget* parent) : QListView(parent) {
  const QSize size = ThumbnailSize(report, kThumbnailWidth);
  model_ = new TThumbnailModel(report, size, this);
  model_->SetDevicePixelRatio(devicePixelRatioF());
  setModel(model_);
  setViewMode(QListView::IconMode);
  setFlow(QListView::TopToBottom);
  setWrapping(false);
  setMovement(QListView::Static);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);  // lets the view skip asking for pictures out of sight
  setIconSize(size);
  setSpacing(5);
  setSelectionMode(QAbstractItemView::NoSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setCursor(Qt::PointingHandCursor);
  connect(this, &QListView::clicked, [this](const QModelIndex& index) {
    if (OnPageClicked) OnPageClicked(index.row());
  });
}

void TPageThumbnails::SetCurrentPage(int pageIndex) {
  model_->SetCurrentPage(pageIndex);
  if (pageIndex >= 0 && pageIndex < model_->rowCount()) scrollTo(model_->index(pageIndex));
}

}  // namespace zd
