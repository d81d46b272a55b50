#include "host/data/detail/ValueConv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/core/Component.h"
#include "host/core/TextUtil.h"
#include "host/locale/DateTime.h"

namespace zd {
namespace {

bool ReadDigits(std::string_view text, size_t pos, size_t count, int& out) {
  if (pos + count > text.size()) return false;
  out = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}


[[noreturn]] void CannotConvert(const TVariant& value, TFieldType type) {
  throw EConvertError("'" + VariantToText(value) + "' is not a valid " + FieldTypeName(type) +
                      " value");
}

}  // namespace

std::optional<int64_t> ParseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<double> ParseFloat(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

std::optional<bool> ParseBoolean(std::string_view text) {
  if (SameText(text, "true") || SameText(text, "yes") || text == "1") return true;
  if (SameText(text, "false") || SameText(text, "no") || text == "0") return false;
  return std::nullopt;
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return EncodeDate(year, month, day);
}

std::optional<TDateTime> ParseIsoDate(std::string_view text) {
  int y, m, d;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ReadDigits(text, 0, 4, y) ||
      !ReadDigits(text, 5, 2, m) || !ReadDigits(text, 8, 2, d))
    return std::nullopt;
  return TryEncodeDate(y, m, d);
}

std::optional<TDateTime> ParseIsoTime(std::string_view text) {
  int h, mi, s = 0;
  if (text.size() < 5 || text[2] != ':' || !ReadDigits(text, 0, 2, h) ||
      !ReadDigits(text, 3, 2, mi))
    return std::nullopt;
  double fraction = 0;
  if (text.size() > 5) {
    if (text.size() < 8 || text[5] != ':' || !ReadDigits(text, 6, 2, s)) return std::nullopt;
    if (text.size() > 8) {
      if (text[8] != '.' || text.size() == 9) return std::nullopt;
      double scale = 0.1;
      for (size_t i = 9; i < text.size(); ++i, scale /= 10) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        fraction += (text[i] - '0') * scale;
      }
    }
  }
  if (h > 23 || mi > 59 || s > 59) return std::nullopt;
  return TDateTime{((h * 60.0 + mi) * 60.0 + s + fraction) / 86400.0};
}

std::optional<TDateTime> ParseIsoDateTime(std::string_view text) {
  auto date = ParseIsoDate(text.substr(0, 10));
  if (!date) return std::nullopt;
  if (text.size() == 10) return date;
  if (text[10] != ' ' && text[10] != 'T') return std::nullopt;
  auto time = ParseIsoTime(text.substr(11));
  if (!time) return std::nullopt;
  return TDateTime{date->days + time->days};
}

std::string VariantToText(const TVariant& value) {
  switch (value.kind()) {
    case TVarKind::Null:
    case TVarKind::Empty:
      return {};
    case TVarKind::Integer:
      return std::to_string(value.asInteger());
    case TVarKind::Float: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.15g", value.asFloat());
      return buf;
    }
    case TVarKind::Boolean:
      return value.asBoolean() ? "True" : "False";
    case TVarKind::String:
      return value.asString();
    case TVarKind::DateTime: {
      const TDateTime dt = value.asDateTime();
      TDateParts d;
      TTimeParts t;
      try {
        d = DecodeDate(dt);
        t = DecodeTime(dt);
      } catch (const EConvertError&) {
        return {};  // outside the calendar: no date to show
      }
      char buf[32];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
      std::string text = buf;
      if (t.hour || t.minute || t.second) {
        std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", t.hour, t.minute, t.second);
        text += buf;
      }
      return text;
    }
  }
  return {};
}

TVariant CoerceToFieldType(const TVariant& value, TFieldType type) {
  const TVarKind kind = value.kind();
  if (kind == TVarKind::Null || kind == TVarKind::Empty) return TVariant();
  if (IsIntegerFieldType(type)) {
    if (kind == TVarKind::Integer) return value;
    if (kind == TVarKind::Boolean) return TVariant(int64_t(value.asBoolean()));
    if (kind == TVarKind::Float && std::nearbyint(value.asFloat()) == value.asFloat() &&
        std::fabs(value.asFloat()) < 9.2e18)
      return TVariant(int64_t(value.asFloat()));
    if (kind == TVarKind::String)
      if (auto v = ParseInteger(Trim(value.asString()))) return TVariant(*v);
    CannotConvert(value, type);
  }
  if (IsFloatFieldType(type)) {
    if (kind == TVarKind::Float) return value;
    if (kind == TVarKind::Integer) return TVariant(double(value.asInteger()));
    if (kind == TVarKind::String)
      if (auto v = ParseFloat(Trim(value.asString()))) return TVariant(*v);
    CannotConvert(value, type);
  }
  if (IsTemporalFieldType(type)) {
    if (kind == TVarKind::DateTime) return value;
    if (kind == TVarKind::Float) return TVariant(TDateTime{value.asFloat()});
    if (kind == TVarKind::Integer) return TVariant(TDateTime{double(value.asInteger())});
    if (kind == TVarKind::String) {
      const std::string text = Trim(value.asString());
      auto v = type == TFieldType::ftTime ? ParseIsoTime(text) : ParseIsoDateTime(text);
      if (v) return TVariant(*v);
    }
    CannotConvert(value, type);
  }
  if (type == TFieldType::ftBoolean) {
    if (kind == TVarKind::Boolean) return value;
    if (kind == TVarKind::Integer) return TVariant(value.asInteger() != 0);
    if (kind == TVarKind::String)
      if (auto v = ParseBoolean(Trim(value.asString()))) return TVariant(*v);
    CannotConvert(value, type);
  }
  if (kind == TVarKind::String) return value;
  return TVariant(VariantToText(value));
}

}  // namespace zd
