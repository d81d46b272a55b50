#pragma once
// Groups assume rows sorted by their expression: a value that comes back
// after other values starts the same group twice. This notices it.
#include <string>
#include <unordered_set>
#include <vector>

#include "report/model/ZdReport.h"

namespace zd {

class TZdqGroupOrderCheck {
 public:
  explicit TZdqGroupOrderCheck(TZdReport& report) : report_(report) {}
  // Forgets every value seen: a new walk over the rows begins.
  void Restart() { groups_.clear(); }
  // The group header at bandIndex starts with its current value; warns the
  // report, once per group, when that value started this group before.
  // Inner groups (later headers) start afresh under the new value.
  void Started(const TZdqBand& header, int bandIndex);

 private:
  struct TSeen {
    int bandIndex;
    std::unordered_set<std::string> values;
    bool warned = false;
  };
  TZdReport& report_;
  std::vector<TSeen> groups_;  // by band index, ascending
};

}  // namespace zd
