#pragma once
// The lens: a small tool window that shows the page around the mouse at a
// zoom of its own (100 % to 1000 %), whatever the viewer's zoom.
#include <QWidget>
#include <functional>

class QLabel;
class QSlider;

namespace zd {

class TZdqPagePreview;

class TfrmZdqLens : public QWidget {
 public:
  TfrmZdqLens(TZdqPagePreview& view, int languageShift, QWidget* parent);
  // Shows the page around this point of the viewer's viewport.
  void ShowAround(const QPoint& viewportPoint);
  int LensZoom() const;  // percent
  QPointF Centre() const { return centre_; }  // page units
  QWidget* Picture() const;

  QSlider* tbScale;
  QLabel* lblScale;
  std::function<void(bool visible)> OnVisibilityChanged;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  class TPicture;
  void ScaleChanged();

  TZdqPagePreview& view_;
  int languageShift_;
  TPicture* picture_;
  QPointF centre_;
};

}  // namespace zd
