#pragma once
// Worksheets in the Quattro Pro WQ1 record format: the WK1 records with
// format bytes of 0, columns of one byte, and labels whose text follows
// its length in a byte (after the alignment prefix).
#include "export/sheet/Lotus.h"

namespace zd {

class TZdqExportToQuattroPro : public TZdqLotusFamilyExport {
 public:
  explicit TZdqExportToQuattroPro(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToQuattroPro"; }
};

}  // namespace zd
