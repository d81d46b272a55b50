#include "expr/DisplayFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "expr/EditMask.h"
#include "expr/ExprValue.h"
#include "expr/NumberText.h"
#include "expr/StrUtils.h"
#include "host/core/TextUtil.h"

namespace zd {

namespace {

// No output area is wider than this many digit cells; a larger width passed
// in would only make "@NL " allocate without limit.
constexpr int kMaxPadWidth = 1024;

class TFormatCodes {
 public:
  explicit TFormatCodes(std::string_view format) : f_(format) {}

  bool Has(std::string_view code) const { return f_.find(code) != std::string_view::npos; }

  // The argument of the first occurrence: the text after the code letters up
  // to the next space, " " when empty; nullopt when the code is absent.
  std::optional<std::string> Argument(std::string_view code) const {
    size_t at = f_.find(code);
    if (at == std::string_view::npos) return std::nullopt;
    return argumentAt(at + code.size());
  }

  // For a code whose letters are also those of a flag ("@NS" and "@NS "):
  // the first occurrence that carries an argument.
  std::optional<std::string> NonEmptyArgument(std::string_view code) const {
    for (size_t at = f_.find(code); at != std::string_view::npos; at = f_.find(code, at + 1)) {
      size_t arg = at + code.size();
      if (arg < f_.size() && f_[arg] != ' ') return argumentAt(arg);
    }
    return std::nullopt;
  }

  int Int(std::string_view code, int absent) const { return Int(code, absent, absent); }
  int Int(std::string_view code, int absent, int unreadable) const {
    auto arg = Argument(code);
    return arg ? StrToIntDef(*arg, unreadable) : absent;
  }

  std::optional<std::string> Character(std::string_view code) const {
    auto arg = Argument(code);
    if (!arg) return std::nullopt;
    return FirstCharacter(*arg);
  }

 private:
  std::string argumentAt(size_t offset) const {
    return GetNextSpace(f_, int(offset + 1));  // past the end gives " "
  }

  std::string_view f_;
};

// ---- text ---------------------------------------------------------------

std::string formatText(const std::string& value, const std::string& format, const TLocale& loc) {
  // The edit mask runs to the end of the format; codes are only looked for
  // in front of it, so that a mask may hold any characters.
  size_t maskAt = format.find("@M");
  TFormatCodes codes(std::string_view(format).substr(0, maskAt));
  std::string result = value;
  if (codes.Has("@U "))
    result = UnicodeUpper(result);
  else if (codes.Has("@L "))
    result = UnicodeLower(result);
  else if (codes.Has("@P "))
    result = Proper(result);
  if (codes.Has("@T ")) result = Trim(result);
  if (maskAt != std::string::npos) {
    std::string mask = format.substr(maskAt + 2);
    if (!mask.empty()) result = FormatMaskText(mask, result, loc);
  }
  return result;
}

// ---- numbers ------------------------------------------------------------

// The rounding step is written with "." but the current separator is read
// as well.
double readRoundingStep(std::string text, const std::string& decimalSeparator) {
  if (decimalSeparator != ".")
    for (size_t at = text.find(decimalSeparator); at != std::string::npos;
         at = text.find(decimalSeparator, at + 1))
      text.replace(at, decimalSeparator.size(), ".");
  double step;
  return TryStrToFloat(text, step, '.') ? step : 1;
}

std::string withCurrency(const std::string& number, const TFormatCodes& codes, const TLocale& loc) {
  std::string symbol = codes.Argument("@CS").value_or(loc.currencyString);
  switch (codes.Int("@CP", loc.currencyFormat)) {
    case 0: return symbol + number;
    case 1: return number + symbol;
    case 2: return symbol + " " + number;
    case 3: return number + " " + symbol;
    default: return number;
  }
}

std::string formatNumber(const std::string& value, const std::string& format, int width,
                         const TLocale& loc) {
  const double x = StrToFloatDef(value, 0, loc);
  std::string work = format;
  if (size_t blankWhenZero = work.find("@NB "); blankWhenZero != std::string::npos) {
    if (x == 0) return value;
    work.erase(blankWhenZero, 4);
  }
  TNumberStyle style;
  style.decimalSeparator = std::string(1, loc.decimalSeparator);
  style.thousandSeparator = std::string(1, loc.thousandSeparator);
  if (work == "@N ") {
    style.decimals = 2;
    style.grouping = true;
    return FormatNumberText(x, style);
  }
  if (work == "@N @CT ") return FormatCurrencyText(x, GetIDigits(loc), loc);

  const TFormatCodes codes(work);
  style.decimals = codes.Int("@ND", GetIDigits(loc));
  if (auto sep = codes.NonEmptyArgument("@NS")) style.decimalSeparator = FirstCharacter(*sep);
  if (auto sep = codes.Character("@NT")) {
    style.thousandSeparator = *sep;
    style.grouping = true;
  }
  style.scientific = codes.Has("@NS ");

  // Without "@NR" the decimals alone round; a step of 1 would drop the fraction.
  double number = x;
  if (auto arg = codes.Argument("@NR")) {
    double step = readRoundingStep(*arg, style.decimalSeparator);
    if (step == 0) throw EMathError("Division by zero");
    number = std::nearbyint(x / step) * step;
  }
  std::string result = FormatNumberText(number, style);

  if (width > 0 && codes.Has("@NL")) {
    int cells = std::min(width, kMaxPadWidth);
    result = !result.empty() && result[0] == '-' ? "-" + AddLeadingZeros(result.substr(1), cells)
                                                 : AddLeadingZeros(result, cells);
  }
  if (codes.Has("@CT ")) result = withCurrency(result, codes, loc);
  return result;
}

// ---- dates and times ----------------------------------------------------

// A mask literal; a single character holds at most one kind of quote.
std::string literal(const std::string& ch) {
  return ch.find('\'') == std::string::npos ? "'" + ch + "'" : "\"" + ch + "\"";
}

template <size_t N>
std::string pick(int choice, const std::array<const char*, N>& parts) {
  return choice >= 0 && size_t(choice) < N ? parts[size_t(choice)] : "";
}

std::string dateMask(const TFormatCodes& codes, const TLocale& loc) {
  if (codes.Has("@DL ")) return loc.longDateFormat;
  if (codes.Has("@DS ")) return loc.shortDateFormat;
  enum { kDay, kMonth, kYear };
  std::array<std::string, 3> parts{
      pick(codes.Int("@DD", 1), std::array{"d", "dd"}),
      pick(codes.Int("@DM", 1), std::array{"M", "MM", "MMM", "MMMM"}),
      pick(codes.Int("@DY", 1), std::array{"yy", "yyyy"}),
  };
  static constexpr int kOrders[6][3] = {{kDay, kMonth, kYear}, {kDay, kYear, kMonth},
                                        {kMonth, kDay, kYear}, {kMonth, kYear, kDay},
                                        {kYear, kMonth, kDay}, {kYear, kDay, kMonth}};
  int order = codes.Int("@DO", 0);
  if (order < 0 || order > 5) order = 0;
  auto custom = codes.Character("@DR");
  const std::string separator = custom ? literal(*custom) : "/";  // "/" is the locale's

  std::string mask;
  for (int part : kOrders[order]) {
    if (parts[size_t(part)].empty()) continue;
    if (!mask.empty()) mask += separator;
    mask += parts[size_t(part)];
  }
  std::string weekday = pick(codes.Int("@DW", 2, 1), std::array{"ddd", "dddd"});
  if (!weekday.empty()) mask = weekday + literal(codes.Character("@DV").value_or(" ")) + mask;
  return mask;
}

// A twelve-hour clock sets markerLoc: the locale with the marker texts of
// "@TA" and "@TP".
std::string timeMask(const TFormatCodes& codes, const TLocale& loc, std::optional<TLocale>& markerLoc) {
  if (codes.Has("@TL ")) return loc.longTimeFormat;
  if (codes.Has("@TS ")) return loc.shortTimeFormat;
  auto custom = codes.Character("@TD");
  const std::string separator = custom ? literal(*custom) : ":";  // ":" is the locale's
  std::string mask;
  for (const std::string& part : {pick(codes.Int("@TH", 1), std::array{"h", "hh"}),
                                  pick(codes.Int("@TM", 1), std::array{"m", "mm"}),
                                  pick(codes.Int("@TS", 1), std::array{"s", "ss"})}) {
    if (part.empty()) continue;
    if (!mask.empty()) mask += separator;
    mask += part;
  }
  if (!codes.Has("@T12")) return mask;
  TLocale& fmtLoc = markerLoc.emplace(loc);
  fmtLoc.timeAMString = codes.Argument("@TA").value_or(loc.timeAMString);
  fmtLoc.timePMString = codes.Argument("@TP").value_or(loc.timePMString);
  // "AMPM" both selects the twelve-hour clock and places the marker.
  switch (codes.Int("@TI", 1)) {
    case 0: return "AMPM " + mask;
    case 1: return mask + " AMPM";
    default:
      fmtLoc.timeAMString.clear();
      fmtLoc.timePMString.clear();
      return mask + "AMPM";
  }
}

std::string formatDateTime(const std::string& value, const std::string& format, const TLocale& loc) {
  const TFormatCodes codes(format);
  std::optional<TLocale> markerLoc;  // copied only when the markers change
  std::string mask = codes.Has("@D ") ? dateMask(codes, loc) : "";
  if (codes.Has("@T ")) {
    std::string time = timeMask(codes, loc, markerLoc);
    if (!mask.empty() && !time.empty()) mask += " ";
    mask += time;
  }
  if (value.empty()) return value;
  const double serial = StrToFloat(value, loc);
  if (mask.empty()) return VarToStr(TVariant(TDateTime{serial}), loc);
  return FormatDateTimeText(mask, serial, markerLoc ? *markerLoc : loc);
}

}  // namespace

int GetIDigits(const TLocale& loc) { return loc.numberDecimals; }

std::string GetTextByFormat(const std::string& value, const std::string& format, int width,
                            const TLocale& loc) {
  try {
    const TFormatCodes codes(format);
    if (codes.Has("@C ")) return formatText(value, format, loc);
    if (codes.Has("@N ")) return formatNumber(value, format, width, loc);
    if (codes.Has("@D ") || codes.Has("@T ")) return formatDateTime(value, format, loc);
  } catch (const std::exception&) {
    // Unformatted, as promised: a report must still print.
  }
  return value;
}

std::string GetValueStr(const TVariant& value, const std::string& format, const TLocale& loc) {
  if (!format.empty()) {
    switch (value.kind()) {
      case TVarKind::Integer: return std::to_string(value.asInteger());
      case TVarKind::Float: return FloatToStr(value.asFloat(), loc);
      case TVarKind::DateTime: return FloatToStr(value.asDateTime().days, loc);
      default: break;
    }
  }
  try {
    return VarToStr(value, loc);
  } catch (const EConvertError&) {
    if (value.kind() != TVarKind::DateTime) throw;
    // A date-time outside the calendar has no date text; its serial still says what it is.
    return FloatToStr(value.asDateTime().days, loc);
  }
}

}  // namespace zd
