#include "host/data/ValueConv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/core/Component.h"
#include "host/core/TextUtil.h"

namespace zd {
namespace {

// Civil date to days since 1970-01-01 (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = int(doy - (153 * mp + 2) / 5 + 1);
  month = int(mp < 10 ? mp + 3 : mp - 9);
  year = int(int64_t(yoe) + era * 400 + (month <= 2));
}

// 1899-12-30 is day 0.
constexpr int64_t kEpochOffset = -25569;

bool ReadDigits(std::string_view text, size_t pos, size_t count, int& out) {
  if (pos + count > text.size()) return false;
  out = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
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

std::optional<TDateTime> EncodeDate(int year, int month, int day) {
  static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const int limit = monthDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
  if (day > limit) return std::nullopt;
  return TDateTime{double(DaysFromCivil(year, unsigned(month), unsigned(day)) - kEpochOffset)};
}

std::optional<TDateTime> ParseIsoDate(std::string_view text) {
  int y, m, d;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ReadDigits(text, 0, 4, y) ||
      !ReadDigits(text, 5, 2, m) || !ReadDigits(text, 8, 2, d))
    return std::nullopt;
  return EncodeDate(y, m, d);
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
      const double days = value.asDateTime().days;
      double whole = std::floor(days);
      int64_t seconds = std::llround((days - whole) * 86400.0);
      if (seconds >= 86400) {
        whole += 1;
        seconds -= 86400;
      }
      int y, m, d;
      CivilFromDays(int64_t(whole) + kEpochOffset, y, m, d);
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d-", y);
      std::string text = buf + TwoDigits(m) + "-" + TwoDigits(d);
      if (seconds != 0)
        text += " " + TwoDigits(int(seconds / 3600)) + ":" + TwoDigits(int(seconds / 60 % 60)) +
                ":" + TwoDigits(int(seconds % 60));
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
