#include "host/data/Field.h"

#include <cmath>

#include "host/data/DataSet.h"
#include "host/data/detail/ValueConv.h"

namespace zd {

TField::TField(TDataSet& dataSet, std::string fieldName, TFieldType type, int size, int index)
    : dataSet_(&dataSet), fieldName_(std::move(fieldName)), type_(type), size_(size), index_(index) {}

void TField::Redefine(TFieldType type, int size, int index) {
  type_ = type;
  size_ = size;
  index_ = index;
}

TAlignment TField::Alignment() const {
  if (alignment_) return *alignment_;
  return IsNumericFieldType(type_) ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
}

int TField::DisplayWidth() const {
  if (displayWidth_) return *displayWidth_;
  switch (type_) {
    case TFieldType::ftString: case TFieldType::ftFixedChar: case TFieldType::ftWideString:
      return size_ > 0 ? size_ : 20;
    case TFieldType::ftSmallint: case TFieldType::ftWord: return 6;
    case TFieldType::ftInteger: case TFieldType::ftAutoInc: return 11;
    case TFieldType::ftLargeint: return 20;
    case TFieldType::ftFloat: case TFieldType::ftCurrency: case TFieldType::ftBCD: return 15;
    case TFieldType::ftBoolean: return 5;
    case TFieldType::ftDate: return 10;
    case TFieldType::ftTime: return 8;
    case TFieldType::ftDateTime: return 19;
    default: return 10;
  }
}

const TVariant& TField::Value() const { return dataSet_->CurrentValue(index_); }

void TField::SetValue(const TVariant& value) {
  TVariant coerced;
  try {
    coerced = CoerceToFieldType(value, type_);
  } catch (const EConvertError& e) {
    throw EDatabaseError(dataSet_->DisplayedName() + ": field '" + fieldName_ + "': " + e.what());
  }
  dataSet_->SetCurrentValue(index_, coerced);
}

std::string TField::AsString() const { return VariantToText(Value()); }

void TField::ConversionFailed(const char* target) const {
  throw EConvertError("Field '" + fieldName_ + "': '" + AsString() + "' is not a valid " + target);
}

int64_t TField::AsInteger() const {
  const TVariant& v = Value();
  switch (v.kind()) {
    case TVarKind::Integer: return v.asInteger();
    case TVarKind::Boolean: return v.asBoolean();
    case TVarKind::Float:
      if (std::fabs(v.asFloat()) < 9.2e18) return std::llround(v.asFloat());
      break;
    case TVarKind::DateTime: return int64_t(std::floor(v.asDateTime().days));
    case TVarKind::String:
      if (auto i = ParseInteger(v.asString())) return *i;
      break;
    default: return 0;
  }
  ConversionFailed("integer");
}

double TField::AsFloat() const {
  const TVariant& v = Value();
  switch (v.kind()) {
    case TVarKind::Integer: return double(v.asInteger());
    case TVarKind::Boolean: return v.asBoolean();
    case TVarKind::Float: return v.asFloat();
    case TVarKind::DateTime: return v.asDateTime().days;
    case TVarKind::String:
      if (auto d = ParseFloat(v.asString())) return *d;
      break;
    default: return 0;
  }
  ConversionFailed("floating-point value");
}

bool TField::AsBoolean() const {
  const TVariant& v = Value();
  switch (v.kind()) {
    case TVarKind::Boolean: return v.asBoolean();
    case TVarKind::Integer: return v.asInteger() != 0;
    case TVarKind::String:
      if (auto b = ParseBoolean(v.asString())) return *b;
      break;
    case TVarKind::Null: case TVarKind::Empty: return false;
    default: break;
  }
  ConversionFailed("Boolean");
}

TDateTime TField::AsDateTime() const {
  const TVariant& v = Value();
  switch (v.kind()) {
    case TVarKind::DateTime: return v.asDateTime();
    case TVarKind::Float: return {v.asFloat()};
    case TVarKind::Integer: return {double(v.asInteger())};
    case TVarKind::String:
      if (auto d = ParseIsoDateTime(v.asString())) return *d;
      break;
    case TVarKind::Null: case TVarKind::Empty: return {};
    default: break;
  }
  ConversionFailed("date");
}

std::vector<uint8_t> TField::AsBytes() const {
  const TVariant& v = Value();
  if (v.kind() == TVarKind::String) return {v.asString().begin(), v.asString().end()};
  const std::string text = VariantToText(v);
  return {text.begin(), text.end()};
}

}  // namespace zd
