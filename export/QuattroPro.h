#pragma once
// Worksheets in the Quattro Pro WQ1 record format: the WK1 records with
// format bytes of 0 and columns of one byte.
#include "export/Lotus.h"

namespace zd {

class TZdqExportToQuattroPro : public TZdqLotusFamilyExport {
 public:
  explicit TZdqExportToQuattroPro(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToQuattroPro"; }
};

}  // namespace zd
