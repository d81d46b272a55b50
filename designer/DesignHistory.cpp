#include "designer/DesignHistory.h"

#include "report/model/ZdReport.h"
#include "report/template/Template.h"

namespace zd {

TDesignHistory::TDesignHistory(TZdReport& report) : report_(report) {
  Reset();
  listening_ = ListenToPropertyChanges([this](const TPropertyChange&) {
    if (!restoring_ && OnEdited) OnEdited();
  });
}

void TDesignHistory::Reset() {
  undo_.clear();
  redo_.clear();
  current_ = saved_ = SaveReportToBytes(report_);
}

void TDesignHistory::Commit() {
  TBytes now = SaveReportToBytes(report_);
  if (now == current_) return;
  undo_.push_back(std::move(current_));
  if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
  current_ = std::move(now);
  redo_.clear();
}

void TDesignHistory::Undo() {
  if (undo_.empty()) return;
  redo_.push_back(std::move(current_));
  current_ = std::move(undo_.back());
  undo_.pop_back();
  restore(current_);
}

void TDesignHistory::Redo() {
  if (redo_.empty()) return;
  undo_.push_back(std::move(current_));
  current_ = std::move(redo_.back());
  redo_.pop_back();
  restore(current_);
}

void TDesignHistory::restore(const TBytes& state) {
  restoring_ = true;
  try {
    LoadReportFromBytes(report_, state);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

}  // namespace zd
