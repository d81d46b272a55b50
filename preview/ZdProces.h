#pragma once
// The progress dialog on Qt Widgets: status, bar and a cancel button that
// works while the work runs, since every update lets the window's input in.
#include <QDialog>
#include <memory>

#include "host/ui/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zd {

class TfrmZdqProcess : public QDialog {
 public:
  TfrmZdqProcess();
  void Apply(const TProgressSettings& settings);
  void SetStatus(const std::string& status, int position);

  QLabel* lblStatus;
  QProgressBar* pbProgress;
  QPushButton* btnCancel;
  std::function<void()> OnCancel;  // the button, Esc and closing the window

 protected:
  void reject() override;
};

// The view the progress functions drive (see host/ui/Progress.h).
class TWidgetsProgressView : public TProgressView {
 public:
  TWidgetsProgressView();
  ~TWidgetsProgressView() override;
  void Show(const TProgressSettings& settings) override;
  void Update(const std::string& status, int position) override;
  void RunModal(const std::function<void()>& callback) override;
  TfrmZdqProcess& Dialog() { return *dialog_; }

 private:
  std::unique_ptr<TfrmZdqProcess> dialog_;
};

}  // namespace zd
