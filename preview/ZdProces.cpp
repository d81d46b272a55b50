#include "preview/ZdProces.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zd {

TfrmZdqProcess::TfrmZdqProcess() {
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  // Other windows take no input while the work runs; this one does.
  setWindowModality(Qt::ApplicationModal);
  lblStatus = new QLabel;
  lblStatus->setMinimumWidth(320);
  pbProgress = new QProgressBar;
  btnCancel = new QPushButton;
  connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblStatus);
  layout->addWidget(pbProgress);
  layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
}

void TfrmZdqProcess::Apply(const TProgressSettings& settings) {
  setWindowTitle(QString::fromStdString(settings.caption));
  btnCancel->setText(QString::fromStdString(settings.cancelCaption));
  pbProgress->setRange(settings.min, std::max(settings.min, settings.max));
  pbProgress->setVisible(settings.min != 0 || settings.max != 0);
  SetStatus(settings.status, settings.position);
}

void TfrmZdqProcess::SetStatus(const std::string& status, int position) {
  lblStatus->setText(QString::fromStdString(status));
  pbProgress->setValue(std::clamp(position, pbProgress->minimum(), pbProgress->maximum()));
}

void TfrmZdqProcess::reject() {
  // The dialog stays until its owner destroys it; the work ends at its next check.
  if (OnCancel) OnCancel();
}

TWidgetsProgressView::TWidgetsProgressView() : dialog_(std::make_unique<TfrmZdqProcess>()) {
  dialog_->OnCancel = [this] { UserCancelled(); };
}

TWidgetsProgressView::~TWidgetsProgressView() = default;

void TWidgetsProgressView::Show(const TProgressSettings& settings) {
  dialog_->Apply(settings);
  dialog_->show();
  QApplication::processEvents();
}

void TWidgetsProgressView::Update(const std::string& status, int position) {
  if (!dialog_->isVisible()) dialog_->show();
  dialog_->SetStatus(status, position);
  dialog_->repaint();
  QApplication::processEvents();
}

void TWidgetsProgressView::RunModal(const std::function<void()>& callback) {
  // The work runs inside the dialog's own loop, which ends when it returns.
  QEventLoop loop;
  QTimer::singleShot(0, &loop, [&] {
    callback();
    loop.quit();
  });
  if (!dialog_->isVisible()) dialog_->show();
  loop.exec();
}

}  // namespace zd
