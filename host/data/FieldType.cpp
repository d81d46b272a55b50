#include "host/data/FieldType.h"

#include <iterator>

namespace zd {

std::string FieldTypeName(TFieldType type) {
  static const char* const names[] = {
      "Unknown",    "String",    "Smallint",  "Integer",   "Word",        "Boolean",
      "Float",      "Currency",  "BCD",       "Date",      "Time",        "DateTime",
      "Bytes",      "VarBytes",  "AutoInc",   "Blob",      "Memo",        "Graphic",
      "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",    "FixedChar",
      "WideString", "Largeint"};
  const auto i = static_cast<unsigned>(type);
  return i < std::size(names) ? names[i] : "Unknown";
}

bool IsIntegerFieldType(TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord:
    case TFieldType::ftAutoInc: case TFieldType::ftLargeint:
      return true;
    default:
      return false;
  }
}

bool IsFloatFieldType(TFieldType type) {
  return type == TFieldType::ftFloat || type == TFieldType::ftCurrency || type == TFieldType::ftBCD;
}

bool IsTemporalFieldType(TFieldType type) {
  return type == TFieldType::ftDate || type == TFieldType::ftTime || type == TFieldType::ftDateTime;
}

bool IsTextFieldType(TFieldType type) {
  switch (type) {
    case TFieldType::ftString: case TFieldType::ftFixedChar: case TFieldType::ftWideString:
    case TFieldType::ftMemo: case TFieldType::ftFmtMemo:
      return true;
    default:
      return false;
  }
}

bool IsBlobFieldType(TFieldType type) {
  switch (type) {
    case TFieldType::ftBlob: case TFieldType::ftMemo: case TFieldType::ftGraphic:
    case TFieldType::ftFmtMemo: case TFieldType::ftParadoxOle: case TFieldType::ftDBaseOle:
    case TFieldType::ftTypedBinary:
      return true;
    default:
      return false;
  }
}

}  // namespace zd
