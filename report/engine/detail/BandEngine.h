#pragma once
// The band engine: one preparation of a report over its master dataset.
#include <vector>

#include "host/data/DataSet.h"
#include "report/engine/detail/GroupOrderCheck.h"
#include "report/model/ZdReport.h"

namespace zd {

// The rules of one walk over the bands for a master row, shared by the
// preparation and the group look-ahead.
class TZdqBandWalk {
 public:
  explicit TZdqBandWalk(TZdReport& report);

  // Whether the walk prints the band for the current row: detail and
  // sub-detail bands always, group bands when their value changed (footers
  // also after the last row).
  bool Prints(const TZdqBand& band) const;
  // Variables, then controls, take the values of this group's start.
  void StartGroup(const TZdqBand& header);
  // The bookkeeping after a group band was printed.
  void Printed(TZdqBand& band);
  // Whether a detail band at index has sub-detail bands after it.
  bool SubDetailFollows(int index) const;
  // Whether printing this band moves the master on, given the sub-detail
  // flag of the last detail band.
  static bool MovesMaster(const TZdqBand& band, bool hasSubDetail);
  // Without a detail band nothing would move the master, so the walk moves
  // it after the place of the detail and sub-detail bands, before the group
  // footers; -1 when there is a detail band.
  int MoveIndexWithoutDetail() const { return moveWithoutDetail_; }
  // Moves the master to its next row, refreshes the row's values and the
  // group values of the footers from index firstFooter on.
  void MoveMaster(int firstFooter);

  TDataSet& Master() const { return master_; }

 private:
  TZdReport& report_;
  TDataSet& master_;
  std::vector<int> footers_;  // indexes of the group footers, ascending
  std::vector<bool> subDetailFollows_;
  int moveWithoutDetail_ = -1;
};

class TZdqBandEngine {
 public:
  // The report's DataSet must be set and active.
  explicit TZdqBandEngine(TZdReport& report);
  // Produces every page: BeginDoc, the bars, EndDoc.
  void Run();

 private:
  void printRow();
  void printGroupHeaderBreaks(TZdqBand& header);
  void printSubDetailRows(TZdqBand& band, int index);
  // Measures, breaks the page when it does not fit, draws and advances.
  void printInFlow(TZdqBand& band);
  // A stretching band taller than the page body goes on over the next
  // pages, cut between lines of text.
  void printAcrossPages(TZdqBand& band, int height);
  void printSummary();
  void breakPage(bool newBar);

  TZdReport& report_;
  TPageProducer& producer_;
  TZdqBandWalk walk_;
  TZdqGroupOrderCheck groupOrder_;
  bool hasSubDetail_ = false;
};

}  // namespace zd
