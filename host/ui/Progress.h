#pragma once
// The single progress dialog shown while preparing, printing and exporting.
// The free functions keep one instance for the whole program; its view comes
// from the installed user interface (host/ui/UserInterface.h). The headless
// view shows nothing and runs callbacks directly; the dialog can still be
// cancelled through CancelProgress.
#include <functional>
#include <string>

namespace zd {

struct TProgressSettings {
  int languageShift = 0;
  std::string caption, status, cancelCaption;
  int min = 0, max = 0, position = 0;  // a 0..0 range hides the bar
};

// What a concrete dialog must do; the free functions below drive it.
class TProgressView {
 public:
  virtual ~TProgressView() = default;
  virtual void Show(const TProgressSettings& settings) = 0;
  virtual void Update(const std::string& status, int position) = 0;
  // Runs the callback while the dialog is shown modally, returning when it does.
  virtual void RunModal(const std::function<void()>& callback) = 0;
  // Called by the view when the user presses its cancel button or closes it.
  void SetCancelHandler(std::function<void()> handler) { onCancel_ = std::move(handler); }

 protected:
  void UserCancelled() {
    if (onCancel_) onCancel_();
  }

 private:
  std::function<void()> onCancel_;
};

bool CreateProgressDlg(int languageShift, const std::string& caption, const std::string& status,
                       const std::string& cancelCaption, int min, int max, int position);
bool UpdateProgressDlg(const std::string& status, int position);  // false: no dialog
bool DestroyProgressDlg();                                         // false: no dialog
bool ProgressCanceled();
// Without a dialog the callback simply runs.
void ShowModalCallBack(const std::function<void()>& callback);

// Presses cancel on the dialog, or sets the global flag when none exists.
void CancelProgress();
// Forgets a cancel made while no dialog was shown, so it stops only the work
// it was meant for; a new piece of work calls this before it starts.
void ClearProgressCancel();
// Last status and position the dialog received (for tests and logging).
std::string ProgressStatus();
int ProgressPosition();

}  // namespace zd
