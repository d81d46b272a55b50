#pragma once
// Strict conversions between field text and typed values, shared by the
// dataset readers. Parsers accept the whole text or nothing.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

namespace zd {

std::optional<int64_t> ParseInteger(std::string_view text);
// '.' as decimal separator, whatever the locale.
std::optional<double> ParseFloat(std::string_view text);
std::optional<bool> ParseBoolean(std::string_view text);  // true/false, yes/no, 1/0
std::optional<TDateTime> ParseIsoDate(std::string_view text);      // yyyy-mm-dd
std::optional<TDateTime> ParseIsoTime(std::string_view text);      // hh:mm[:ss[.fff]]
std::optional<TDateTime> ParseIsoDateTime(std::string_view text);  // date[ T]time, or date alone

// Days since 30 December 1899; nullopt for an impossible date.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);

// Plain, locale-free text: numbers in their shortest form with at most 15
// significant digits, dates as ISO (with the time when it is not midnight).
std::string VariantToText(const TVariant& value);

// Converts a value to what a field of `type` holds (numbers widen, text is
// parsed); throws EConvertError when it cannot.
TVariant CoerceToFieldType(const TVariant& value, TFieldType type);

}  // namespace zd
