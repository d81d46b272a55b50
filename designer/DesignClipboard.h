#pragma once
// The designer's own clipboard: controls as their class name and published
// properties, kept for as long as the program runs.
#include <string>
#include <vector>

#include "report/template/ComponentStream.h"

namespace zd {

class TZdqBand;
class TZdqControl;

class TDesignClipboard {
 public:
  // Replaces the content with these controls, in order.
  void Copy(const std::vector<TZdqControl*>& controls);
  bool Empty() const { return records_.empty(); }
  // Builds the stored controls in the band at their copied places and
  // returns them. A pasted control whose display name is taken gets a
  // fresh one, so names stay unique in the report.
  std::vector<TZdqControl*> Paste(TZdqBand& band) const;

 private:
  struct TRecord {
    std::string className;
    std::vector<TStreamProperty> properties;
  };
  std::vector<TRecord> records_;
};

// The one clipboard every designer window shares.
TDesignClipboard& DesignClipboard();

}  // namespace zd
