#pragma once
// Values and column types from Qt's variants, shared by the datasets that
// read Qt sources (SQL queries, item models).
#include <QVariant>
#include <vector>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

namespace zd {

// Null for a null or invalid variant; integers, floats, booleans, dates and
// times as such; bytes as a byte string; anything else as its text.
TVariant VariantFromQt(const QVariant& value);

// The field type of a column whose values have this Qt type; ftUnknown when
// the type says nothing useful (strings, untyped values).
TFieldType FieldTypeOfMeta(int metaTypeId);

// Columns without a usable declared type are typed by the values of their
// first rows: all integral, all numeric, all bytes, all ISO dates or
// date-times; otherwise, and when every value is null, a string.
TFieldType InferFieldType(const std::vector<std::vector<QVariant>>& sample, int column);

// Sources may hold values of other types than their column's; those that
// convert cleanly are converted, the others are kept as they came.
TVariant FitToType(TVariant value, TFieldType type);

}  // namespace zd
