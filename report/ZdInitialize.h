#pragma once
// One call that registers every built-in control class and exporter, so
// that templates can name them and exports can find them. The report's
// registry and the exporters also register themselves on first use; the
// barcode control, in a library of its own, only here. Idempotent and cheap
// after the first call.
#include "barcode/ZdBarCode.h"
#include "export/ExportRegistry.h"
#include "report/model/ControlRegistry.h"

namespace zd {

inline void ZdInitialize() {
  RegisterReportClasses();
  RegisterZdBarCode();
  ZdqExports();  // the exporter registry fills itself on first use
}

}  // namespace zd
