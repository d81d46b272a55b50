#include "host/ui/Progress.h"

#include <memory>
#include <vector>

#include "host/ui/UserInterface.h"

namespace zd {
namespace {

struct TProgressState {
  std::unique_ptr<TProgressView> view;
  bool dialogCancelled = false;
  bool globalCancelled = false;
  std::string status;
  int position = 0;
  // A dialog closed from inside its own modal run is kept until the run ends.
  int modalDepth = 0;
  std::vector<std::unique_ptr<TProgressView>> retired;
};

TProgressState& state() {
  static TProgressState s;
  return s;
}

}  // namespace

bool CreateProgressDlg(int languageShift, const std::string& caption, const std::string& status,
                       const std::string& cancelCaption, int min, int max, int position) {
  TProgressState& s = state();
  DestroyProgressDlg();
  s.globalCancelled = false;
  s.dialogCancelled = false;
  s.view = UserInterface().CreateProgressView();
  s.view->SetCancelHandler([] { state().dialogCancelled = true; });
  s.status = status;
  s.position = position;
  s.view->Show({languageShift, caption, status, cancelCaption, min, max, position});
  return true;
}

bool UpdateProgressDlg(const std::string& status, int position) {
  TProgressState& s = state();
  if (!s.view) return false;
  s.status = status;
  s.position = position;
  s.view->Update(status, position);
  return true;
}

bool DestroyProgressDlg() {
  TProgressState& s = state();
  if (!s.view) return false;
  if (s.modalDepth > 0) {
    s.view->SetCancelHandler({});  // its cancel button no longer speaks for any dialog
    s.retired.push_back(std::move(s.view));
  } else {
    s.view.reset();
  }
  return true;
}

bool ProgressCanceled() {
  const TProgressState& s = state();
  return s.view ? s.dialogCancelled : s.globalCancelled;
}

void ShowModalCallBack(const std::function<void()>& callback) {
  TProgressState& s = state();
  if (!s.view) return callback();
  struct TModalRun {
    TProgressState& s;
    explicit TModalRun(TProgressState& st) : s(st) { ++s.modalDepth; }
    ~TModalRun() {
      if (--s.modalDepth == 0) s.retired.clear();
    }
  } run(s);
  s.view->RunModal(callback);
}

void CancelProgress() {
  TProgressState& s = state();
  if (s.view)
    s.dialogCancelled = true;
  else
    s.globalCancelled = true;
}

void ClearProgressCancel() { state().globalCancelled = false; }

std::string ProgressStatus() { return state().status; }
int ProgressPosition() { return state().position; }

}  // namespace zd
