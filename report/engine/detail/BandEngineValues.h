#pragma once
// Value maintenance while a report is prepared: refreshing variables and
// control values for a row, a group or a variable change, clearing the
// values that end with the report, a page or a group, and saving all of
// them around a look-ahead.
#include <functional>
#include <string>
#include <vector>

#include "host/core/Variant.h"
#include "report/model/ZdReport.h"

namespace zd {

class TZdqValueUpdater {
 public:
  explicit TZdqValueUpdater(TZdReport& report) : report_(report) {}
  void Update(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName,
              const std::string& variableName);
  void Reset(TResetType type, const std::string& groupName);
  // Values that show the page, bar or column number, taken again when a
  // page or column starts. A running calculation only retakes the row in
  // hand, so nothing is counted twice.
  void RefreshPageValues();

 private:
  void updateVariables(int firstBand, int lastBand, const std::string& groupName, const std::string& variableName,
                       bool rowRefresh);
  // Takes the row in hand again for the variables and then the controls
  // whose texts are stale, or read variables once one changed (footers,
  // which take their rows later, only when footersToo).
  void retake(const std::function<bool(const std::string&)>& stale, bool variablesChanged, bool footersToo);
  // The variable's expression; errors name the variable.
  TVariant evaluate(const TZdqVariable& variable);
  void updateControls(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName,
                      const std::string& variableName, bool rowRefresh);

  TZdReport& report_;
  // Variables being refreshed further up the recursion: a variable whose
  // change names itself must not recurse forever.
  std::vector<const TZdqVariable*> refreshing_;
};

// Previous and current values and running totals of every variable, band
// and control, the bands' line numbers and the row in hand, as they were
// when the snapshot was taken.
class TZdqValueSnapshot {
 public:
  explicit TZdqValueSnapshot(TZdReport& report);
  void Restore();

 private:
  struct TSaved {
    TVariant prev, cur;
    TRunningCalculation running;
  };
  static TSaved Saved(TZdqControl& control);
  TZdReport& report_;
  uint64_t row_;
  std::vector<TSaved> variables_;
  std::vector<TSaved> controls_;  // each band, then its controls, in band order
  std::vector<int> lineNumbers_;
};

}  // namespace zd
