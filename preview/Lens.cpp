#include "preview/Lens.h"

#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include "preview/ZdqView.h"
#include "print/Language.h"
#include "print/PageStore.h"
#include "print/TextIds.h"

namespace zd {

class TfrmZdqLens::TPicture : public QWidget {
 public:
  explicit TPicture(TfrmZdqLens& lens) : lens_(lens) { setMinimumSize(250, 100); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const TPageInfo* page = lens_.view_.Page();
    if (!page) return;
    // The lens zoom in pixels per page unit (96 a inch, as at 100 %).
    const double scale = lens_.LensZoom() / 100.0;
    const QPointF centre = lens_.Centre();
    const QRect pageRect(int(width() / 2.0 - centre.x() * scale), int(height() / 2.0 - centre.y() * scale),
                         int(page->PageWidth() * scale), int(page->PageHeight() * scale));
    painter.setClipRect(rect());
    lens_.view_.PaintPage(painter, pageRect);
  }

 private:
  TfrmZdqLens& lens_;
};

TfrmZdqLens::TfrmZdqLens(TZdqPagePreview& view, int languageShift, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), view_(view), languageShift_(languageShift) {
  setWindowTitle(QString::fromStdString(GetString(languageShift, txt::LensCaption)));
  tbScale = new QSlider(Qt::Horizontal);
  tbScale->setRange(1, 10);
  tbScale->setSingleStep(1);
  tbScale->setPageStep(1);
  tbScale->setValue(2);
  tbScale->setTickPosition(QSlider::TicksBelow);
  lblScale = new QLabel;
  lblScale->setAlignment(Qt::AlignCenter);
  picture_ = new TPicture(*this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tbScale);
  layout->addWidget(lblScale);
  layout->addWidget(picture_, 1);
  resize(250, 150 + tbScale->sizeHint().height() + lblScale->sizeHint().height());
  connect(tbScale, &QSlider::valueChanged, this, [this] { ScaleChanged(); });
  ScaleChanged();
}

QWidget* TfrmZdqLens::Picture() const { return picture_; }

int TfrmZdqLens::LensZoom() const { return tbScale->value() * 100; }

void TfrmZdqLens::ScaleChanged() {
  const QString label = QString::fromStdString(GetString(languageShift_, txt::ScaleLabel)).trimmed();
  lblScale->setText(label + " " + QString::number(LensZoom()) + "%");
  picture_->update();
}

void TfrmZdqLens::ShowAround(const QPoint& viewportPoint) {
  centre_ = view_.PagePointAt(viewportPoint);
  picture_->update();
}

void TfrmZdqLens::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (OnVisibilityChanged) OnVisibilityChanged(true);
}

void TfrmZdqLens::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (OnVisibilityChanged) OnVisibilityChanged(false);
}

}  // namespace zd
