#include "designer/DesignHistory.h"

#include "print/ZdPrntr.h"
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
  current_ = capture();
  saved_ = current_.bytes;
}

TDesignHistory::TState TDesignHistory::capture() const {
  auto printer = std::make_shared<TZdqPrinter>();
  printer->Assign(report_.PrinterSetting());
  return {SaveReportToBytes(report_), std::move(printer)};
}

void TDesignHistory::Commit() {
  TState now = capture();
  if (now.bytes == current_.bytes) return;
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

void TDesignHistory::restore(const TState& state) {
  restoring_ = true;
  try {
    LoadReportFromBytes(report_, state.bytes);
    report_.PrinterSetting().Assign(*state.printer);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

}  // namespace zd
