#include "designer/FormatChoices.h"

#include <iterator>
#include <optional>
#include <string_view>

#include "expr/StrUtils.h"

namespace zd {

namespace {

// ---- composing ----------------------------------------------------------

// A blank single-character argument would end at its own terminator, and
// the engine reads an empty argument as a space: a blank is written as one.
std::string separator(const std::string& s) { return s.empty() ? " " : FirstCharacter(s); }

class TComposer {
 public:
  void Code(std::string_view code) { out_ += std::string(code) + " "; }
  void Code(std::string_view code, const std::string& argument) { out_ += std::string(code) + argument + " "; }
  void Code(std::string_view code, int argument) { Code(code, std::to_string(argument)); }
  void Raw(const std::string& text) { out_ += text; }
  std::string Text() const { return out_; }

 private:
  std::string out_;
};

void composeCharacter(const TFormatChoices& c, TComposer& out) {
  out.Code("@C");
  switch (c.TextCase) {
    case TTextCase::Upper: out.Code("@U"); break;
    case TTextCase::Lower: out.Code("@L"); break;
    case TTextCase::Proper: out.Code("@P"); break;
    case TTextCase::None: break;
  }
  if (c.Trim) out.Code("@T");
  if (!c.CustomMask.empty()) out.Raw("@M" + c.CustomMask);  // the mask runs to the end
}

void composeNumber(const TFormatChoices& c, TComposer& out) {
  out.Code("@N");
  if (!c.DefaultNumber) {
    out.Code("@ND", c.Decimals);
    out.Code("@NN", c.Negatives);
    // A blank here would read as the scientific flag "@NS ".
    out.Code("@NS", c.DecimalSeparator.empty() || c.DecimalSeparator[0] == ' ' ? std::string(".")
                                                                                 : FirstCharacter(c.DecimalSeparator));
    if (c.Thousands) out.Code("@NT", separator(c.ThousandSeparator));
    out.Code("@NR", c.RoundBy);
  }
  if (c.BlankZero) out.Code("@NB");
  if (c.LeadingZeros) out.Code("@NL");
  if (c.Scientific) out.Code("@NS");
  if (!c.CurrencySign) return;
  out.Code("@CT");
  if (c.DefaultCurrency) return;
  out.Code("@CS", c.CurrencySymbol);
  out.Code("@CP", c.CurrencyPositive);
  out.Code("@CN", c.CurrencyNegative);
}

void composeDateTime(const TFormatChoices& c, TComposer& out) {
  if (c.DateType != fsNone) {
    out.Code("@D");
    if (c.DateType == fsLong) {
      out.Code("@DL");
    } else if (c.DateType == fsShort) {
      out.Code("@DS");
    } else {
      out.Code("@DR", separator(c.DateSeparator));
      out.Code("@DO", c.DateOrder);
      out.Code("@DD", c.Day);
      out.Code("@DM", c.Month);
      out.Code("@DY", c.Year);
      out.Code("@DW", c.Weekday);
      out.Code("@DV", separator(c.WeekdaySeparator));
    }
  }
  if (c.TimeType == fsNone) return;
  out.Code("@T");
  if (c.TimeType == fsLong) {
    out.Code("@TL");
  } else if (c.TimeType == fsShort) {
    out.Code("@TS");
  } else {
    out.Code(c.Hour24 ? "@T24" : "@T12");
    out.Code("@TD", separator(c.TimeSeparator));
    out.Code("@TA", c.AM);
    out.Code("@TP", c.PM);
    out.Code("@TI", c.MarkerPosition);
    out.Code("@TH", c.Hour);
    out.Code("@TM", c.Minute);
    out.Code("@TS", c.Second);
  }
}

// ---- reading ------------------------------------------------------------

class TCodeReader {
 public:
  explicit TCodeReader(std::string_view format) : f_(format) {}

  bool Has(std::string_view code) const { return f_.find(code) != std::string_view::npos; }

  // The text after the first occurrence up to the next space.
  std::optional<std::string> Argument(std::string_view code) const {
    const size_t at = f_.find(code);
    if (at == std::string_view::npos) return std::nullopt;
    return argumentAt(at + code.size());
  }

  // The first occurrence that carries an argument: "@NS" is also the
  // scientific flag "@NS ", as the engine reads it.
  std::optional<std::string> NonEmptyArgument(std::string_view code) const {
    for (size_t at = f_.find(code); at != std::string_view::npos; at = f_.find(code, at + 1)) {
      const size_t arg = at + code.size();
      if (arg < f_.size() && f_[arg] != ' ') return argumentAt(arg);
    }
    return std::nullopt;
  }

  // A single character; an empty argument is the blank it was written for.
  std::optional<std::string> Separator(std::string_view code) const {
    auto arg = Argument(code);
    if (!arg) return std::nullopt;
    return arg->empty() ? " " : FirstCharacter(*arg);
  }

  // Sets `index` to the number read (or `unreadable`) when it is below `count`.
  bool Index(std::string_view code, int count, int unreadable, int& index) const {
    auto arg = Argument(code);
    if (!arg) return false;
    const int n = StrToIntDef(*arg, unreadable);
    if (n >= 0 && n < count) index = n;
    return true;
  }

 private:
  std::string argumentAt(size_t offset) const {
    const size_t end = f_.find(' ', offset);
    return std::string(f_.substr(offset, end == std::string_view::npos ? std::string_view::npos : end - offset));
  }

  std::string_view f_;
};

void readCharacter(const std::string& format, TFormatChoices& c) {
  c.Family = TFormatFamily::Character;
  // Codes stand before the mask, which runs to the end.
  const size_t maskAt = format.find("@M");
  const TCodeReader codes(std::string_view(format).substr(0, maskAt));
  if (codes.Has("@U "))
    c.TextCase = TTextCase::Upper;
  else if (codes.Has("@L "))
    c.TextCase = TTextCase::Lower;
  else if (codes.Has("@P "))
    c.TextCase = TTextCase::Proper;
  c.Trim = codes.Has("@T ");
  if (maskAt != std::string::npos) c.CustomMask = format.substr(maskAt + 2);
}

void readNumber(const TCodeReader& codes, TFormatChoices& c) {
  c.Family = TFormatFamily::Number;
  if (auto arg = codes.Argument("@ND")) {
    const int decimals = StrToIntDef(*arg, -1);
    if (decimals >= 0 && decimals <= 9 && std::to_string(decimals) == *arg) c.Decimals = decimals;
    c.DefaultNumber = false;
  }
  codes.Index("@NN", 4, 1, c.Negatives);
  if (auto arg = codes.NonEmptyArgument("@NS")) {
    c.DecimalSeparator = FirstCharacter(*arg);
    c.DefaultNumber = false;
  }
  if (auto sep = codes.Separator("@NT")) {
    c.Thousands = true;
    c.ThousandSeparator = *sep;
    c.DefaultNumber = false;
  }
  if (auto arg = codes.Argument("@NR")) {
    for (const char* step : kRoundBySteps)
      if (*arg == step) c.RoundBy = step;
    c.DefaultNumber = false;
  }
  c.BlankZero = codes.Has("@NB ");
  c.LeadingZeros = codes.Has("@NL ");
  c.Scientific = codes.Has("@NS ");
  c.CurrencySign = codes.Has("@CT ");
  if (auto symbol = codes.Argument("@CS")) {
    c.CurrencySymbol = *symbol;
    c.DefaultCurrency = false;
  }
  if (codes.Index("@CP", 4, 0, c.CurrencyPositive)) c.DefaultCurrency = false;
  if (codes.Index("@CN", 16, 0, c.CurrencyNegative)) c.DefaultCurrency = false;
}

void readDateTime(const TCodeReader& codes, TFormatChoices& c) {
  c.Family = TFormatFamily::DateTime;
  c.DateType = fsNone;
  if (codes.Has("@D ")) {
    if (codes.Has("@DL ")) {
      c.DateType = fsLong;
    } else if (codes.Has("@DS ")) {
      c.DateType = fsShort;
    } else if (auto sep = codes.Separator("@DR")) {
      c.DateType = fsCustom;
      c.DateSeparator = *sep;
    }
  }
  codes.Index("@DO", 6, 0, c.DateOrder);
  codes.Index("@DD", 3, 1, c.Day);
  codes.Index("@DM", 5, 1, c.Month);
  codes.Index("@DY", 3, 1, c.Year);
  codes.Index("@DW", 3, 1, c.Weekday);
  if (auto sep = codes.Separator("@DV")) c.WeekdaySeparator = *sep;

  if (!codes.Has("@T ")) {
    c.TimeType = fsNone;
  } else if (codes.Has("@TL ")) {
    c.TimeType = fsLong;
  } else if (codes.Has("@TS ")) {
    c.TimeType = fsShort;
  } else {
    c.TimeType = fsCustom;
    if (codes.Has("@T24 ")) c.Hour24 = true;
    if (codes.Has("@T12 ")) c.Hour24 = false;
    if (auto sep = codes.Separator("@TD")) c.TimeSeparator = *sep;
    if (auto am = codes.Argument("@TA")) c.AM = *am;
    if (auto pm = codes.Argument("@TP")) c.PM = *pm;
    codes.Index("@TI", 2, 1, c.MarkerPosition);
    codes.Index("@TH", 3, 1, c.Hour);
    codes.Index("@TM", 3, 1, c.Minute);
    codes.Index("@TS", 3, 1, c.Second);
  }
}

}  // namespace

TFormatChoices DefaultFormatChoices(const TLocale& loc) {
  TFormatChoices c;
  c.Decimals = loc.numberDecimals >= 0 && loc.numberDecimals <= 9 ? loc.numberDecimals : 2;
  c.DecimalSeparator = std::string(1, loc.decimalSeparator);
  c.ThousandSeparator = std::string(1, loc.thousandSeparator);
  c.CurrencySymbol = loc.currencyString;
  c.CurrencyPositive = loc.currencyFormat >= 0 && loc.currencyFormat < 4 ? loc.currencyFormat : 0;
  c.CurrencyNegative = loc.negCurrencyFormat >= 0 && loc.negCurrencyFormat < 16 ? loc.negCurrencyFormat : 0;
  c.DateSeparator = std::string(1, loc.dateSeparator);
  c.TimeSeparator = std::string(1, loc.timeSeparator);
  c.AM = loc.timeAMString;
  c.PM = loc.timePMString;
  return c;
}

std::string ComposeFormat(const TFormatChoices& c) {
  TComposer out;
  switch (c.Family) {
    case TFormatFamily::Character: composeCharacter(c, out); break;
    case TFormatFamily::Number: composeNumber(c, out); break;
    case TFormatFamily::DateTime: composeDateTime(c, out); break;
    case TFormatFamily::None: break;
  }
  return out.Text();
}

void ReadFormat(const std::string& format, TFormatChoices& c) {
  // The family as the formatting engine chooses it: a time-only format is a
  // date/time format too.
  const TCodeReader codes(format);
  if (codes.Has("@C "))
    readCharacter(format, c);
  else if (codes.Has("@N "))
    readNumber(codes, c);
  else if (codes.Has("@D ") || codes.Has("@T "))
    readDateTime(codes, c);
}

}  // namespace zd
