#include "host/data/detail/QtValues.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "host/core/Component.h"
#include "host/data/detail/ValueConv.h"

namespace zd {
namespace {

bool IsIntegralMeta(int id) {
  switch (id) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
      return true;
    default:
      return false;
  }
}

double TimeFraction(const QTime& t) { return t.msecsSinceStartOfDay() / 86400000.0; }

bool KindFitsType(TVarKind kind, TFieldType type) {
  if (IsIntegerFieldType(type)) return kind == TVarKind::Integer;
  if (IsFloatFieldType(type)) return kind == TVarKind::Float;
  if (IsTemporalFieldType(type)) return kind == TVarKind::DateTime;
  if (type == TFieldType::ftBoolean) return kind == TVarKind::Boolean;
  return kind == TVarKind::String;
}

// SQL columns may hold values of other types than declared; those that
// convert cleanly are converted, the others are kept as they came.
// The field type when every non-null value has the same telling Qt type.
TFieldType CommonMetaType(const std::vector<std::vector<QVariant>>& sample, int column) {
  int common = QMetaType::UnknownType;
  for (const auto& row : sample) {
    const QVariant& v = row[size_t(column)];
    if (v.isNull() || !v.isValid()) continue;
    if (common != QMetaType::UnknownType && v.typeId() != common) return TFieldType::ftUnknown;
    common = v.typeId();
  }
  return common == QMetaType::UnknownType ? TFieldType::ftUnknown : FieldTypeOfMeta(common);
}

}  // namespace

TVariant VariantFromQt(const QVariant& v) {
  if (v.isNull() || !v.isValid()) return {};
  const int id = v.typeId();
  if (IsIntegralMeta(id)) return TVariant(int64_t(v.toLongLong()));
  switch (id) {
    case QMetaType::Bool: return TVariant(v.toBool());
    case QMetaType::Double: case QMetaType::Float: return TVariant(v.toDouble());
    case QMetaType::QByteArray: {
      const QByteArray bytes = v.toByteArray();
      return TVariant(std::string(bytes.constData(), size_t(bytes.size())));
    }
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      if (auto t = TryEncodeDate(d.year(), d.month(), d.day())) return TVariant(*t);
      return {};
    }
    case QMetaType::QTime: return TVariant(TDateTime{TimeFraction(v.toTime())});
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      const QDate d = dt.date();
      if (auto t = TryEncodeDate(d.year(), d.month(), d.day()))
        return TVariant(TDateTime{t->days + TimeFraction(dt.time())});
      return {};
    }
    default: return TVariant(v.toString().toStdString());
  }
}

TFieldType FieldTypeOfMeta(int id) {
  if (id == QMetaType::Int || id == QMetaType::Short || id == QMetaType::UShort ||
      id == QMetaType::UInt)
    return TFieldType::ftInteger;
  if (IsIntegralMeta(id)) return TFieldType::ftLargeint;
  switch (id) {
    case QMetaType::Bool: return TFieldType::ftBoolean;
    case QMetaType::Double: case QMetaType::Float: return TFieldType::ftFloat;
    case QMetaType::QDate: return TFieldType::ftDate;
    case QMetaType::QTime: return TFieldType::ftTime;
    case QMetaType::QDateTime: return TFieldType::ftDateTime;
    case QMetaType::QByteArray: return TFieldType::ftBlob;
    default: return TFieldType::ftUnknown;
  }
}

TFieldType InferFieldType(const std::vector<std::vector<QVariant>>& sample, int column) {
  if (const TFieldType common = CommonMetaType(sample, column); common != TFieldType::ftUnknown)
    return common;
  bool any = false, allIntegral = true, allNumeric = true, allDate = true, allDateTime = true,
       allBytes = true;
  for (const auto& row : sample) {
    const QVariant& v = row[size_t(column)];
    if (v.isNull() || !v.isValid()) continue;
    any = true;
    const int id = v.typeId();
    const bool integral = IsIntegralMeta(id);
    const bool numeric = integral || id == QMetaType::Double || id == QMetaType::Float;
    allIntegral &= integral;
    allNumeric &= numeric;
    allBytes &= id == QMetaType::QByteArray;
    if (numeric || id == QMetaType::QByteArray) {
      allDate = allDateTime = false;
    } else {
      const std::string text = v.toString().toStdString();
      const bool date = ParseIsoDate(text).has_value();
      allDate &= date;
      allDateTime &= date || ParseIsoDateTime(text).has_value();
    }
  }
  if (!any) return TFieldType::ftString;
  if (allIntegral) return TFieldType::ftLargeint;
  if (allNumeric) return TFieldType::ftFloat;
  if (allBytes) return TFieldType::ftBlob;
  if (allDate) return TFieldType::ftDate;
  if (allDateTime) return TFieldType::ftDateTime;
  return TFieldType::ftString;
}

TVariant FitToType(TVariant value, TFieldType type) {
  if (value.isNull() || KindFitsType(value.kind(), type)) return value;
  if (value.kind() == TVarKind::String && IsBlobFieldType(type)) return value;
  try {
    return CoerceToFieldType(value, type);
  } catch (const EConvertError&) {
    return value;
  }
}

}  // namespace zd
