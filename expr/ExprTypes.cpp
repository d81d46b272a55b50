#include "expr/ExprTypes.h"

namespace zd {

const std::array<int32_t, kFieldTypeOrdinals> FldTypeMap = {
    0,  1,  5,  6,  12, 4,  7,  7,  8,  2,  10, 11, 9,  15, 6,  3,  3,  3,
    3,  3,  3,  3,  17, 1,  1,  18, 20, 21, 22, 23, 3,  3,  1,  1,  1,  1,
    24, 25, 26, 26, 39, 40, 6,  0,  0,  7,  0,  0,  0,  36, 0,  27};

int32_t FldTypeCode(TFieldType type) {
  const auto ordinal = static_cast<int>(type);
  return ordinal >= 0 && ordinal < kFieldTypeOrdinals ? FldTypeMap[size_t(ordinal)] : ltUnknown;
}

bool IsNumeric(int32_t code) { return code >= ltInt16 && code <= ltBCD; }
bool IsTemporal(int32_t code) { return code == ltDate || code == ltTime || code == ltDateTime; }

}  // namespace zd
