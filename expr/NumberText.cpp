#include "expr/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "expr/ExprValue.h"

namespace zd {

namespace {

// The exactly rounded decimal text printf gives for "%.*f" or "%.*e", but
// without printf's cost and never with the C library locale's decimal point.
// Room for the largest double in full plus kMaxNumberDecimals.
using TPrinted = std::array<char, 400>;
std::string_view printed(TPrinted& buf, double magnitude, std::chars_format form, int decimals) {
  const char* end = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, form, decimals).ptr;
  return {buf.data(), size_t(end - buf.data())};
}

void appendGrouped(std::string& out, std::string_view digits, const std::string& separator) {
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
}

bool allZero(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
}

// Magnitude text without sign; reports whether any shown digit is non-zero.
std::string magnitudeText(double magnitude, const TNumberStyle& style, bool& nonZero) {
  int decimals = std::clamp(style.decimals, 0, kMaxNumberDecimals);
  TPrinted buf;
  if (style.scientific) {
    std::string_view s = printed(buf, magnitude, std::chars_format::scientific, decimals);  // d.ddde+xx
    size_t e = s.find('e');
    std::string_view mantissa = s.substr(0, e);
    int exponent = 0;
    const char* exponentText = s.data() + e + 1;
    if (*exponentText == '+') ++exponentText;
    std::from_chars(exponentText, s.data() + s.size(), exponent);
    nonZero = !allZero(mantissa);
    if (!nonZero) exponent = 0;
    std::string out(mantissa);
    size_t dot = out.find('.');
    if (dot != std::string::npos) out.replace(dot, 1, style.decimalSeparator);
    return out + "E" + (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
  }
  std::string_view s = printed(buf, magnitude, std::chars_format::fixed, decimals);
  nonZero = !allZero(s);
  size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string out;
  out.reserve(s.size() + whole.size() / 3 * style.thousandSeparator.size() + style.decimalSeparator.size());
  if (style.grouping)
    appendGrouped(out, whole, style.thousandSeparator);
  else
    out += whole;
  if (dot != std::string_view::npos) {
    out += style.decimalSeparator;
    out += s.substr(dot + 1);
  }
  return out;
}

std::string positiveCurrency(const std::string& number, const std::string& symbol, int form) {
  switch (form) {
    case 1: return number + symbol;
    case 2: return symbol + " " + number;
    case 3: return number + " " + symbol;
    default: return symbol + number;
  }
}

std::string negativeCurrency(const std::string& n, const std::string& s, int form) {
  switch (form) {
    case 1: return "-" + s + n;
    case 2: return s + "-" + n;
    case 3: return s + n + "-";
    case 4: return "(" + n + s + ")";
    case 5: return "-" + n + s;
    case 6: return n + "-" + s;
    case 7: return n + s + "-";
    case 8: return "-" + n + " " + s;
    case 9: return "-" + s + " " + n;
    case 10: return n + " " + s + "-";
    case 11: return s + " " + n + "-";
    case 12: return s + " -" + n;
    case 13: return n + "- " + s;
    case 14: return "(" + s + " " + n + ")";
    case 15: return "(" + n + " " + s + ")";
    default: return "(" + s + n + ")";
  }
}

}  // namespace

std::string FormatNumberText(double value, const TNumberStyle& style) {
  if (!std::isfinite(value)) throw EConvertError("Number cannot be formatted: not finite");
  bool nonZero = false;
  std::string text = magnitudeText(std::fabs(value), style, nonZero);
  return value < 0 && nonZero ? "-" + text : text;
}

std::string FormatCurrencyText(double value, int decimals, const TLocale& loc) {
  if (!std::isfinite(value)) throw EConvertError("Number cannot be formatted: not finite");
  TNumberStyle style;
  style.decimals = decimals;
  style.decimalSeparator = std::string(1, loc.decimalSeparator);
  style.thousandSeparator = std::string(1, loc.thousandSeparator);
  style.grouping = true;
  bool nonZero = false;
  std::string number = magnitudeText(std::fabs(value), style, nonZero);
  if (value < 0 && nonZero) return negativeCurrency(number, loc.currencyString, loc.negCurrencyFormat);
  return positiveCurrency(number, loc.currencyString, loc.currencyFormat);
}

}  // namespace zd
