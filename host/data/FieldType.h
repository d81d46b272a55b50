#pragma once
// Field types of dataset columns, in the classic data-layer order (the
// ordinals may be stored, so keep the order).
#include <string>

namespace zd {

enum class TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint
};

// Where a field's value comes from; only data fields can be read by expressions.
enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// The type's name without its two-letter prefix ("String", "Integer").
std::string FieldTypeName(TFieldType type);

bool IsIntegerFieldType(TFieldType type);
bool IsFloatFieldType(TFieldType type);  // float, currency, BCD
inline bool IsNumericFieldType(TFieldType type) {
  return IsIntegerFieldType(type) || IsFloatFieldType(type);
}
bool IsTemporalFieldType(TFieldType type);  // date, time, date-time
bool IsTextFieldType(TFieldType type);      // string kinds, memos
// Values held as raw bytes rather than as scalars.
bool IsBlobFieldType(TFieldType type);

}  // namespace zd
