#include "report/engine/detail/BandEngine.h"

#include <stdexcept>

#include "host/ui/Progress.h"
#include "report/engine/detail/BandEnginePage.h"
#include "report/engine/detail/BandEnginePrint.h"

namespace zd {

namespace {

bool IsDetail(const TZdqBand& band) { return band.BandType() == TBandType::btDetail; }
bool IsSubDetail(const TZdqBand& band) { return band.BandType() == TBandType::btSubDetail; }

TDataSet& MasterOf(const TZdReport& report) {
  if (!report.DataSet()) throw std::logic_error("The band engine needs the report's DataSet");
  return *report.DataSet();
}

// Detaches the master's data-aware controls and remembers its row for the
// length of a preparation, and puts both back however the preparation ends.
class TPreparationScope {
 public:
  TPreparationScope(TZdReport& report, TDataSet& master)
      : report_(report), master_(master), detached_(report.Options() & roDisableControls) {
    if (detached_) master_.DisableControls();
    place_ = master_.GetBookmark();
  }
  ~TPreparationScope() {
    if (finished_) return;
    report_.Producer().ClosePage();  // ends the recording of the unfinished page
    try {
      Finish();
    } catch (...) {}  // the preparation's own failure is the one to report
  }
  void Finish() {
    finished_ = true;
    report_.ReportState = TZdReportState::rsNone;
    if (detached_) master_.EnableControls();
    if (master_.Active()) master_.GotoBookmark(place_);
    master_.FreeBookmark(place_);
  }

 private:
  TZdReport& report_;
  TDataSet& master_;
  bool detached_;
  bool finished_ = false;
  TBookmark place_;
};

}  // namespace

// ---- TZdqBandWalk ----

TZdqBandWalk::TZdqBandWalk(TZdReport& report) : report_(report), master_(MasterOf(report)) {
  const auto& bands = report.Bands();
  subDetailFollows_.assign(bands.size(), false);
  bool subDetailAfter = false, haveDetail = false;
  for (int i = int(bands.size()) - 1; i >= 0; --i) {
    const TZdqBand& band = *bands[size_t(i)];
    subDetailFollows_[size_t(i)] = subDetailAfter;
    if (IsSubDetail(band)) subDetailAfter = true;
    if (IsDetail(band)) haveDetail = true;
  }
  for (int i = 0; i < int(bands.size()); ++i) {
    const TZdqBand& band = *bands[size_t(i)];
    if (band.BandType() == TBandType::btGroupFooter) footers_.push_back(i);
    if (!haveDetail && moveWithoutDetail_ < 0 &&
        BandOrderKey(band.BandType()) > BandOrderKey(TBandType::btSubDetail))
      moveWithoutDetail_ = i;
  }
  if (!haveDetail && moveWithoutDetail_ < 0) moveWithoutDetail_ = int(bands.size());
}

bool TZdqBandWalk::Prints(const TZdqBand& band) const {
  switch (band.BandType()) {
    case TBandType::btDetail:
    case TBandType::btSubDetail: return true;
    case TBandType::btGroupHeader: return band.ValueChanged();
    case TBandType::btGroupFooter: return band.ValueChanged() || master_.Eof();
    default: return false;
  }
}

void TZdqBandWalk::StartGroup(const TZdqBand& header) {
  report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyCustomVariables, header.Expression());
  report_.UpdateCurValues(-1, -1, TUpdateValue::uvAllBand, header.Expression());
}

void TZdqBandWalk::Printed(TZdqBand& band) {
  if (band.BandType() == TBandType::btGroupFooter)
    report_.ResetPrintedValues(TResetType::rtEndGroup, band.Expression());
  else if (band.BandType() == TBandType::btGroupHeader)
    band.SetPrevValue(band.GetCurValue());
}

bool TZdqBandWalk::SubDetailFollows(int index) const {
  return index >= 0 && size_t(index) < subDetailFollows_.size() && subDetailFollows_[size_t(index)];
}

bool TZdqBandWalk::MovesMaster(const TZdqBand& band, bool hasSubDetail) {
  return (IsDetail(band) && !hasSubDetail) || (IsSubDetail(band) && hasSubDetail);
}

void TZdqBandWalk::MoveMaster(int firstFooter) {
  // The row in hand is printed: page footers count it before it goes.
  report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyPageFooter);
  master_.Next();
  report_.TakeNextRow(!master_.Eof());
  if (!master_.Eof()) report_.UpdateCurValues(-1, -1, TUpdateValue::uvWithoutGroupFooter);
  for (int index : footers_)
    if (index >= firstFooter)
      if (TZdqBand* footer = report_.GetBand(index)) footer->UpdateGroupValue();
}

// ---- TZdqBandEngine ----

TZdqBandEngine::TZdqBandEngine(TZdReport& report)
    : report_(report), producer_(report.Producer()), walk_(report), groupOrder_(report) {}

void TZdqBandEngine::Run() {
  TDataSet& master = walk_.Master();
  report_.ReportState = TZdReportState::rsPrepare;
  producer_.SetCurColumn(report_.ColumnNumber() + 1);
  TPreparationScope scope(report_, master);
  report_.ReservedFooters.clear();
  master.First();
  report_.TakeNextRow(!master.Eof());
  report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyCustomVariables);
  report_.UpdateControlStates();
  report_.BeginDoc();
  for (int bar = 0; bar < report_.BarNumber(); ++bar) {
    master.First();
    report_.TakeNextRow(!master.Eof());
    report_.ResetPrintedValues(TResetType::rtEndReport);
    report_.UpdateCurValues(-1, -1, TUpdateValue::uvAllBand);
    breakPage(bar > 0);
    report_.boolWasNewPage = true;
    hasSubDetail_ = false;
    groupOrder_.Restart();
    while (!master.Eof() && !report_.PrepareCancelled()) {
      printRow();
      report_.RowPrepared();
      report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyGroupFooter);
      report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyCustomVariables);
    }
    printSummary();
    // A cancelled preparation ends its bar properly but starts no other.
    if (report_.PrepareCancelled()) break;
  }
  TZdqPageStarter(report_).Finish();
  report_.EndDoc();
  report_.ResetPrintedValues(TResetType::rtEndReport);
  scope.Finish();
  producer_.SetCurrentPage(0, 0);
}

void TZdqBandEngine::printRow() {
  report_.UpdateControlStates();
  const auto& bands = report_.Bands();
  const int moveAt = walk_.MoveIndexWithoutDetail();
  for (int i = 0; i < int(bands.size()) && !report_.PrepareCancelled(); ++i) {
    if (i == moveAt) {
      walk_.MoveMaster(i);
      report_.boolWasNewPage = false;
    }
    TZdqBand& band = *bands[size_t(i)];
    if (band.IsGroup()) band.UpdateGroupValue();
    if (!walk_.Prints(band)) continue;
    if (band.BandType() == TBandType::btGroupHeader) {
      groupOrder_.Started(band, i);
      printGroupHeaderBreaks(band);
    }
    TDataSet* dataset = band.Dataset();
    if (IsSubDetail(band) && dataset && dataset != &walk_.Master()) {
      printSubDetailRows(band, i);
    } else {
      printInFlow(band);
      walk_.Printed(band);
    }
    if (IsDetail(band)) hasSubDetail_ = walk_.SubDetailFollows(i);
    if (TZdqBandWalk::MovesMaster(band, hasSubDetail_)) walk_.MoveMaster(i + 1);
    if (IsDetail(band)) report_.boolWasNewPage = false;
  }
  if (moveAt == int(bands.size()) && !report_.PrepareCancelled()) {
    walk_.MoveMaster(moveAt);
    report_.boolWasNewPage = false;
  }
}

void TZdqBandEngine::printGroupHeaderBreaks(TZdqBand& header) {
  walk_.StartGroup(header);
  if (header.NewPage() && !report_.boolWasNewPage) return breakPage(false);
  if (producer_.AtPageTop()) return;  // a fresh page is all a break could give
  const int top = producer_.intCurHeight(), bottom = producer_.intMaxPageHeight();
  const bool lessThan = double(top) + header.LessThan() > double(bottom);
  if (lessThan || (header.NewPageIfNotFit() && !producer_.Fits(header.GetFullGroupHeight(top, bottom))))
    breakPage(false);
}

void TZdqBandEngine::printSubDetailRows(TZdqBand& band, int index) {
  TDataSet& rows = *band.Dataset();
  rows.First();
  while (!rows.Eof() && !report_.PrepareCancelled()) {
    report_.TakeNextRow(true);
    report_.UpdateCurValues(index, index, TUpdateValue::uvWithoutGroupFooter);
    printInFlow(band);
    rows.Next();
  }
}

void TZdqBandEngine::printInFlow(TZdqBand& band) {
  const int height = band.PrintBand(producer_.intCurHeight(), producer_.intMaxPageHeight(), kDrawMeasure);
  // Nothing is drawn below the page body: a band that does not fit starts
  // a page, unless it stands at the top of one already.
  if (!producer_.Fits(height) && !producer_.AtPageTop()) breakPage(false);
  if (!producer_.Fits(height) && band.Stretch()) return printAcrossPages(band, height);
  band.PrintBand(producer_.intCurHeight(), producer_.intCurHeight() + height, 0);
  producer_.Advance(height);
}

void TZdqBandEngine::printAcrossPages(TZdqBand& band, int height) {
  for (int from = 0;;) {
    const int room = producer_.intMaxPageHeight() - producer_.intCurHeight();
    if (room <= 0) return;  // page-level bands fill the page: no page could take the rest
    TZdqBandPrinter printer(report_, band);  // on this page's canvas
    int to = height;
    if (height - from > room) {
      to = printer.CutAbove(from, from + room);
      if (to <= from) to = from + room;  // nothing can be cut cleanly: cut through
    }
    printer.PrintPart(producer_.intCurHeight(), height, from, to);
    producer_.Advance(to - from);
    if (to >= height) return;
    breakPage(false);
    from = to;
  }
}

void TZdqBandEngine::printSummary() {
  TZdqBand* summary = report_.GetBand(report_.GetIndexBand(TBandType::btReportSummary));
  if (!summary) return;
  if (summary->NewPage()) breakPage(false);
  printInFlow(*summary);
}

void TZdqBandEngine::breakPage(bool newBar) {
  report_.NewPage(newBar);
  producer_.MarkContentTop();
}

}  // namespace zd
