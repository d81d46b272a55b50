#pragma once
// Texts that are numbers as a report shows them: with the locale's grouping
// and decimal separators, a sign or parentheses, a currency symbol or a
// percent sign; and dates in the locale's short form or as yyyy-mm-dd. Spreadsheet writers store them as numbers displayed the same
// way; the CSV writer leaves them alone where it guards formulas.
#include <optional>
#include <string>
#include <string_view>

#include "host/locale/Locale.h"

namespace zd {

struct TCellNumber {
  double Value = 0;         // a percentage as its fraction: "12.5%" is 0.125
  int Decimals = 0;         // digits shown after the decimal separator
  bool Grouped = false;     // thousands separators shown
  bool Percent = false;
  bool Scientific = false;  // shown with an exponent
  std::string Currency;     // the currency symbol shown; empty for none
  bool CurrencyBefore = true;
  bool NegativeInParentheses = false;
  // For a date, its spreadsheet format ("yyyy-mm-dd", "d.m.yyyy"); Value is
  // then the day number counted from 30 December 1899.
  std::string DateFormat;
};

// The number or date a text shows, or nullopt when it is neither or a number
// the spreadsheet would show differently: leading zeros ("00123"), more than
// 15 significant digits, or a value out of the double range.
std::optional<TCellNumber> ReadCellNumber(std::string_view text, const TLocale& locale = currentLocale());

// The spreadsheet number format that shows the value as the text did, in the
// format-code language of spreadsheet files ("#,##0.00", "0.0%", "\"$\"#,##0.00").
std::string SpreadsheetNumberFormat(const TCellNumber& number);

}  // namespace zd
