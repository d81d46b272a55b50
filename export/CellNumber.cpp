#include "export/CellNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "host/core/TextUtil.h"
#include "host/locale/DateTime.h"

namespace zd {

namespace {

constexpr int kMaxSignificantDigits = 15;
constexpr double kFirstSharedDay = 61;  // 1 March 1900

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool startsWith(std::string_view s, std::string_view prefix) {
  return !prefix.empty() && s.substr(0, prefix.size()) == prefix;
}
bool endsWith(std::string_view s, std::string_view suffix) {
  return !suffix.empty() && s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\xA0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\xA0')) s.remove_suffix(1);
  // A no-break space in UTF-8 (some locales group with it) at either end.
  while (startsWith(s, "\xC2\xA0")) s.remove_prefix(2);
  while (endsWith(s, "\xC2\xA0")) s.remove_suffix(2);
  return s;
}

// Digits with optional grouping: 1 to 3 digits, then groups of three each
// after a separator; or digits without any separator.
bool readInteger(std::string_view& s, char group, std::string& digits, bool& grouped) {
  size_t i = 0, run = 0;
  while (i < s.size()) {
    if (isDigit(s[i])) {
      digits += s[i++];
      ++run;
      continue;
    }
    const bool groupFits = grouped ? run == 3 : run >= 1 && run <= 3;
    if (s[i] != group || !groupFits || i + 3 >= s.size() || !isDigit(s[i + 1]) || !isDigit(s[i + 2]) ||
        !isDigit(s[i + 3]))
      break;
    grouped = true;
    run = 0;
    ++i;
  }
  if (grouped && run != 3) return false;
  s.remove_prefix(i);
  return !digits.empty();
}

// The order of day, month and year in a date format such as "M/d/yyyy",
// with the spreadsheet code of each part and the separator between them.
struct TDateLayout {
  char order[3] = {};  // 'd', 'm', 'y'
  std::string codes[3];
  char separator = 0;
};

std::optional<TDateLayout> LayoutOf(std::string_view format) {
  TDateLayout layout;
  int part = 0;
  for (size_t i = 0; i < format.size();) {
    const char c = char(std::tolower(static_cast<unsigned char>(format[i])));
    if (c != 'd' && c != 'm' && c != 'y') {
      if (layout.separator && layout.separator != format[i]) return std::nullopt;
      layout.separator = format[i++];
      continue;
    }
    size_t run = 0;
    while (i < format.size() && std::tolower(static_cast<unsigned char>(format[i])) == c) ++i, ++run;
    if (part == 3 || run > 4 || (c != 'y' && run > 2)) return std::nullopt;
    layout.order[part] = c;
    layout.codes[part++] = std::string(run, c);
  }
  if (part != 3 || !layout.separator) return std::nullopt;
  return layout;
}

// A date laid out as the format says, with a four-digit year.
std::optional<TCellNumber> ReadDate(std::string_view s, std::string_view format) {
  const std::optional<TDateLayout> layout = LayoutOf(format);
  if (!layout) return std::nullopt;
  int values[3] = {};
  for (int part = 0; part < 3; ++part) {
    size_t digits = 0;
    while (digits < s.size() && isDigit(s[digits])) ++digits;
    const bool year = layout->order[part] == 'y';
    if (digits == 0 || (year ? digits != 4 : digits > 2)) return std::nullopt;
    std::from_chars(s.data(), s.data() + digits, values[part]);
    s.remove_prefix(digits);
    if (part < 2) {
      if (s.empty() || s[0] != layout->separator) return std::nullopt;
      s.remove_prefix(1);
    }
  }
  if (!s.empty()) return std::nullopt;
  int day = 0, month = 0, year = 0;
  for (int part = 0; part < 3; ++part)
    (layout->order[part] == 'd' ? day : layout->order[part] == 'm' ? month : year) = values[part];
  if (!IsValidDate(year, month, day)) return std::nullopt;
  TCellNumber date;
  date.Value = EncodeDate(year, month, day).days;
  // Spreadsheets number the days alike from March 1900 on; earlier dates stay text.
  if (date.Value < kFirstSharedDay) return std::nullopt;
  date.DateFormat = layout->codes[0] + layout->separator + layout->codes[1] + layout->separator + layout->codes[2];
  return date;
}

}  // namespace

std::optional<TCellNumber> ReadCellNumber(std::string_view text, const TLocale& locale) {
  std::string_view s = trimmed(text);
  if (!s.empty() && isDigit(s[0]))
    for (std::string_view format : {std::string_view(locale.shortDateFormat), std::string_view("yyyy-mm-dd")})
      if (std::optional<TCellNumber> date = ReadDate(s, format)) return date;
  // Most texts are words: a letter first is no number unless it starts the currency.
  if (!s.empty() && std::isalpha(static_cast<unsigned char>(s[0])) && !startsWith(s, locale.currencyString))
    return std::nullopt;
  TCellNumber n;
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    n.NegativeInParentheses = negative = true;
    s = trimmed(s.substr(1, s.size() - 2));
  }
  const std::string_view currency = locale.currencyString;
  auto takeSign = [&] {
    if (!negative && !s.empty() && (s.front() == '-' || s.front() == '+')) {
      negative = s.front() == '-';
      s.remove_prefix(1);
    }
  };
  takeSign();
  if (startsWith(s, currency)) {
    n.Currency = currency;
    s = trimmed(s.substr(currency.size()));
    takeSign();
  } else if (startsWith(s, "$") || startsWith(s, "\xE2\x82\xAC")) {  // $ and the euro sign are read anywhere
    n.Currency = std::string(s.substr(0, s[0] == '$' ? 1 : 3));
    s = trimmed(s.substr(n.Currency.size()));
    takeSign();
  }
  if (n.Currency.empty()) {
    for (std::string_view symbol : {currency, std::string_view("$"), std::string_view("\xE2\x82\xAC")})
      if (endsWith(s, symbol)) {
        n.Currency = std::string(symbol);
        n.CurrencyBefore = false;
        s = trimmed(s.substr(0, s.size() - symbol.size()));
        break;
      }
  }
  if (endsWith(s, "%") && n.Currency.empty()) {
    n.Percent = true;
    s = trimmed(s.substr(0, s.size() - 1));
  }
  if (!negative && !s.empty() && s.back() == '-') {
    negative = true;
    s.remove_suffix(1);
  }

  std::string digits;
  if (!readInteger(s, locale.thousandSeparator, digits, n.Grouped)) return std::nullopt;
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;  // an identifier, not an amount
  std::string number = digits;
  if (!s.empty() && s[0] == locale.decimalSeparator) {
    s.remove_prefix(1);
    number += '.';
    while (!s.empty() && isDigit(s[0])) {
      number += s[0];
      ++n.Decimals;
      s.remove_prefix(1);
    }
  }
  if (!s.empty() && (s[0] == 'E' || s[0] == 'e')) {
    n.Scientific = true;
    number += 'e';
    s.remove_prefix(1);
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
      number += s[0];
      s.remove_prefix(1);
    }
    if (s.empty() || !isDigit(s[0])) return std::nullopt;
    while (!s.empty() && isDigit(s[0])) {
      number += s[0];
      s.remove_prefix(1);
    }
  }
  if (!s.empty()) return std::nullopt;

  size_t significant = 0;
  bool leading = true;
  for (char c : number) {
    if (c == 'e') break;
    if (!isDigit(c)) continue;
    if (c != '0') leading = false;
    if (!leading) ++significant;
  }
  if (significant > kMaxSignificantDigits) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
  if (n.Percent) value /= 100;
  n.Value = negative ? -value : value;
  return n;
}

std::string SpreadsheetNumberFormat(const TCellNumber& n) {
  if (!n.DateFormat.empty()) return n.DateFormat;
  std::string body = n.Grouped ? "#,##0" : "0";
  if (n.Decimals > 0) body += "." + std::string(size_t(n.Decimals), '0');
  if (n.Scientific) body += "E+00";
  if (n.Percent) body += "%";
  if (!n.Currency.empty()) {
    const std::string symbol = "\"" + n.Currency + "\"";
    body = n.CurrencyBefore ? symbol + body : body + " " + symbol;
  }
  if (n.NegativeInParentheses) return body + ";(" + body + ")";
  return body;
}

}  // namespace zd
