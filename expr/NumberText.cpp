#include "expr/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "expr/ExprValue.h"

namespace zd {

namespace {

std::string printed(const char* fmt, int decimals, double value) {
  int n = std::snprintf(nullptr, 0, fmt, decimals, value);
  std::string out(size_t(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), fmt, decimals, value);
  out.resize(size_t(n));
  return out;
}

std::string grouped(const std::string& digits, const std::string& separator) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

bool allZero(const std::string& digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
}

// Magnitude text without sign; reports whether any shown digit is non-zero.
std::string magnitudeText(double magnitude, const TNumberStyle& style, bool& nonZero) {
  int decimals = std::clamp(style.decimals, 0, kMaxNumberDecimals);
  if (style.scientific) {
    std::string s = printed("%.*E", decimals, magnitude);  // d.dddE+xx
    size_t e = s.find('E');
    std::string mantissa = s.substr(0, e);
    int exponent = std::atoi(s.c_str() + e + 1);
    nonZero = !allZero(mantissa);
    if (!nonZero) exponent = 0;
    size_t dot = mantissa.find('.');
    if (dot != std::string::npos) mantissa.replace(dot, 1, style.decimalSeparator);
    return mantissa + "E" + (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
  }
  std::string s = printed("%.*f", decimals, magnitude);
  nonZero = !allZero(s);
  size_t dot = s.find('.');
  std::string whole = s.substr(0, dot);
  std::string out = style.grouping ? grouped(whole, style.thousandSeparator) : whole;
  if (dot != std::string::npos) out += style.decimalSeparator + s.substr(dot + 1);
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
