#include "host/ui/Progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ScriptedUserInterface.h"

namespace zd {
namespace {

struct TViewLog {
  std::vector<std::string> events;
  TProgressSettings shown;
  class TRecordingView* view = nullptr;
};

class TRecordingView : public TProgressView {
 public:
  explicit TRecordingView(TViewLog* log) : log_(log) { log_->view = this; }
  ~TRecordingView() override {
    log_->events.push_back("destroyed");
    if (log_->view == this) log_->view = nullptr;
  }
  void Show(const TProgressSettings& s) override {
    log_->shown = s;
    log_->events.push_back("show");
  }
  void Update(const std::string& status, int position) override {
    log_->events.push_back("update " + status + " " + std::to_string(position));
  }
  void RunModal(const std::function<void()>& callback) override {
    TViewLog* log = log_;  // the view must outlive its own modal run
    log->events.push_back("modal");
    callback();
    log->events.push_back("modal ended");
  }
  void PressCancel() { UserCancelled(); }

 private:
  TViewLog* log_;
};

// Each test starts and ends with no dialog and headless views.
class Progress : public ::testing::Test {
 protected:
  void SetUp() override { DestroyProgressDlg(); }
  void TearDown() override { DestroyProgressDlg(); }
  // Both outlive TearDown, which destroys any dialog a test left open.
  TViewLog log;
  test::TScriptedUserInterface ui;
  void installRecorder() {
    ui.progressView = [this] { return std::make_unique<TRecordingView>(&log); };
  }
};

TEST_F(Progress, HeadlessLifecycle) {
  EXPECT_FALSE(UpdateProgressDlg("x", 1));
  EXPECT_FALSE(DestroyProgressDlg());
  EXPECT_TRUE(CreateProgressDlg(0, "Preparing", "Page 1", "Cancel", 0, 10, 1));
  EXPECT_EQ(ProgressStatus(), "Page 1");
  EXPECT_TRUE(UpdateProgressDlg("Page 2", 2));
  EXPECT_EQ(ProgressStatus(), "Page 2");
  EXPECT_EQ(ProgressPosition(), 2);
  EXPECT_FALSE(ProgressCanceled());
  CancelProgress();
  EXPECT_TRUE(ProgressCanceled());
  EXPECT_TRUE(DestroyProgressDlg());
  EXPECT_FALSE(DestroyProgressDlg());

  // Without a dialog the flag is global, cleared by the next dialog.
  CancelProgress();
  EXPECT_TRUE(ProgressCanceled());
  CreateProgressDlg(0, "", "", "", 0, 0, 0);
  EXPECT_FALSE(ProgressCanceled());
  CancelProgress();
  DestroyProgressDlg();
  EXPECT_FALSE(ProgressCanceled());  // the dialog's flag died with it

  int runs = 0;
  ShowModalCallBack([&] { ++runs; });
  EXPECT_EQ(runs, 1);
  CreateProgressDlg(0, "", "", "", 0, 0, 0);
  ShowModalCallBack([&] { ++runs; });
  EXPECT_EQ(runs, 2);
}

TEST_F(Progress, CustomViewReceivesSettingsAndUpdates) {
  installRecorder();
  CreateProgressDlg(2, "Exporting", "Start", "Stop", 1, 20, 3);
  EXPECT_EQ(log.shown.languageShift, 2);
  EXPECT_EQ(log.shown.caption, "Exporting");
  EXPECT_EQ(log.shown.status, "Start");
  EXPECT_EQ(log.shown.cancelCaption, "Stop");
  EXPECT_EQ(log.shown.min, 1);
  EXPECT_EQ(log.shown.max, 20);
  EXPECT_EQ(log.shown.position, 3);
  UpdateProgressDlg("Page 4", 4);
  ShowModalCallBack([&] { log.events.push_back("callback"); });
  DestroyProgressDlg();
  EXPECT_EQ(log.events, (std::vector<std::string>{"show", "update Page 4 4", "modal", "callback",
                                                  "modal ended", "destroyed"}));
}

TEST_F(Progress, ViewCancelButtonSetsTheDialogFlag) {
  installRecorder();
  CreateProgressDlg(0, "", "", "", 0, 0, 0);
  ASSERT_NE(log.view, nullptr);
  bool seenInside = false;
  ShowModalCallBack([&] {
    log.view->PressCancel();
    seenInside = ProgressCanceled();
  });
  EXPECT_TRUE(seenInside);
  EXPECT_TRUE(ProgressCanceled());
  CreateProgressDlg(0, "", "", "", 0, 0, 0);  // a new dialog starts uncancelled
  EXPECT_FALSE(ProgressCanceled());
}

TEST_F(Progress, ClosingTheDialogFromItsCallbackWaitsForTheModalRunToEnd) {
  installRecorder();
  CreateProgressDlg(0, "", "", "", 0, 0, 0);
  ShowModalCallBack([] { EXPECT_TRUE(DestroyProgressDlg()); });
  EXPECT_FALSE(UpdateProgressDlg("after", 1));  // the dialog is gone for callers
  EXPECT_EQ(log.events, (std::vector<std::string>{"show", "modal", "modal ended", "destroyed"}));
}

TEST_F(Progress, ExceptionFromTheCallbackLeavesTheDialogUsable) {
  installRecorder();
  CreateProgressDlg(0, "", "", "", 0, 0, 0);
  EXPECT_THROW(ShowModalCallBack([] {
                 DestroyProgressDlg();
                 throw std::runtime_error("stop");
               }),
               std::runtime_error);
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "destroyed"), 1);
  EXPECT_TRUE(CreateProgressDlg(0, "", "", "", 0, 0, 0));
  EXPECT_TRUE(UpdateProgressDlg("again", 1));
}

}  // namespace
}  // namespace zd
