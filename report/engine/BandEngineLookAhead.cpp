#include "report/engine/detail/BandEngineLookAhead.h"

#include "report/engine/detail/BandEngineValues.h"

namespace zd {

namespace {

// Puts the dataset row and every value back however the look-ahead ends.
class TComeBack {
 public:
  TComeBack(TZdReport& report, TDataSet& dataset)
      : dataset_(dataset), place_(dataset.GetBookmark()), values_(report) {
    dataset_.HoldRows();  // a look-ahead may pass many rows that print nothing
  }
  ~TComeBack() {
    try {
      dataset_.GotoBookmark(place_);
    } catch (...) {}  // a dataset closed by an event has no row to go back to
    dataset_.ReleaseRows();
    dataset_.FreeBookmark(place_);
    values_.Restore();
  }

 private:
  TDataSet& dataset_;
  TBookmark place_;
  TZdqValueSnapshot values_;
};

}  // namespace

int TZdqGroupLookAhead::FullHeight(int top, int pageBottom) {
  if (header_.BandType() != TBandType::btGroupHeader) return 0;
  header_.SetLinkedBand(header_.GetLinkedFooterIndex());
  const int index = header_.GetBandIndex();
  if (index < 0 || index > header_.LinkedBand() || !report_.DataSet()) return 0;
  TZdqBandWalk rules(report_);
  TDataSet& master = rules.Master();
  // At the end there is nothing ahead, and coming back would lose the end.
  if (!master.Active() || master.Eof()) return 0;
  TComeBack comeBack(report_, master);
  startValue_ = header_.GetCurValue();
  hasSubDetail_ = false;
  int total = 0;
  bool stop = false;
  while (!master.Eof() && !stop) {
    stop = walk(rules, top, pageBottom, total);
    report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyGroupFooter);
    report_.UpdateCurValues(-1, -1, TUpdateValue::uvOnlyCustomVariables);
  }
  return total;
}

bool TZdqGroupLookAhead::walk(TZdqBandWalk& rules, int top, int pageBottom, int& total) {
  const auto& bands = report_.Bands();
  const int first = header_.GetBandIndex(), last = header_.LinkedBand();
  const int moveAt = rules.MoveIndexWithoutDetail();
  bool moved = false;
  for (int i = first; i <= last && i < int(bands.size()); ++i) {
    if (i == moveAt) {
      rules.MoveMaster(i);
      moved = true;
    }
    TZdqBand& band = *bands[size_t(i)];
    if (band.IsGroup()) band.UpdateGroupValue();
    if (!rules.Prints(band)) continue;
    const bool isHeader = band.BandType() == TBandType::btGroupHeader;
    const bool nested = isHeader && i != first;
    int nestedHeight = -1;
    if (isHeader) {
      rules.StartGroup(band);
      if (!nested && !(band.GetCurValue() == startValue_)) return true;  // the next group has begun
      if (nested && band.NewPage()) return true;
      if (double(top + total) + band.LessThan() > double(pageBottom)) return true;
      if (nested && band.NewPageIfNotFit()) {
        nestedHeight = band.GetFullGroupHeight(total, pageBottom);
        if (nestedHeight > pageBottom) return true;
      }
    }
    bool full = false;
    if (band.BandType() != TBandType::btSubDetail) {
      total += nestedHeight >= 0 ? nestedHeight : band.PrintBand(top + total, pageBottom, kDrawMeasure);
      full = top + total > pageBottom && !rules.Master().Eof();
    }
    if (full) return true;
    rules.Printed(band);
    if (band.BandType() == TBandType::btDetail) hasSubDetail_ = rules.SubDetailFollows(i);
    if (TZdqBandWalk::MovesMaster(band, hasSubDetail_)) {
      rules.MoveMaster(i + 1);
      moved = true;
    }
    // The nested group was measured as a whole: go on after its footer.
    if (nestedHeight >= 0 && band.LinkedBand() > i) i = band.LinkedBand();
  }
  // A walk that moved no row (its detail lay inside a group measured as a
  // whole) still has to move on, or the look-ahead would never end.
  if (!moved) rules.MoveMaster(first + 1);
  return false;
}

}  // namespace zd
