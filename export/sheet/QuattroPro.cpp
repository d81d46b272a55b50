#include "export/sheet/QuattroPro.h"

namespace zd {

TZdqExportToQuattroPro::TZdqExportToQuattroPro(TComponent* owner)
    : TZdqLotusFamilyExport(owner, TLotusDialect{0x5120, 0x00, 0x00, 0x00, true, true}) {}

}  // namespace zd
