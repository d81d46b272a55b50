#pragma once
// Fixed-point, scientific and currency texts of numbers with explicit
// separators, for display formats.
#include <string>

#include "host/locale/Locale.h"

namespace zd {

struct TNumberStyle {
  int decimals = 2;                   // exactly this many; no separator when 0
  std::string decimalSeparator = ".";
  std::string thousandSeparator = ",";
  bool grouping = false;              // thousands in threes
  bool scientific = false;            // d.ddE+x: one integer digit, signed exponent
};

// Largest number of decimals honoured; more would only show binary noise.
constexpr int kMaxNumberDecimals = 18;

// EConvertError for a value that is not finite. A value that rounds to zero
// at the shown precision carries no minus sign.
std::string FormatNumberText(double value, const TNumberStyle& style);

// The locale's currency text: symbol, its position (currencyFormat 0-3) and
// the negative form (negCurrencyFormat 0-15, the system's table), grouped.
std::string FormatCurrencyText(double value, int decimals, const TLocale& loc);

}  // namespace zd
