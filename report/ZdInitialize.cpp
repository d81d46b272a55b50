#include "report/ZdInitialize.h"

#include "export/ExportRegistry.h"
#include "report/model/ControlRegistry.h"

namespace zd {

void ZdInitialize() {
  RegisterReportClasses();
  ZdqExports();  // the exporter registry fills itself on first use
}

}  // namespace zd
