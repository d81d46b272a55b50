#pragma once
// The height of a whole group, found by walking its rows ahead of the
// printing and coming back.
#include "report/engine/detail/BandEngine.h"

namespace zd {

class TZdqGroupLookAhead {
 public:
  TZdqGroupLookAhead(TZdReport& report, TZdqBand& header) : report_(report), header_(header) {}
  // Leaves the dataset and every value as they were.
  int FullHeight(int top, int pageBottom);

 private:
  // One walk from the header to its footer; returns whether it must stop.
  bool walk(TZdqBandWalk& rules, int top, int pageBottom, int& total);

  TZdReport& report_;
  TZdqBand& header_;
  TVariant startValue_;
  bool hasSubDetail_ = false;
};

}  // namespace zd
