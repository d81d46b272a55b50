#pragma once
// The choices of the format dialog as plain values: composed into a display
// format and read back from one. Every format composed from choices reads
// back into choices that compose the same format.
#include <string>

#include "host/locale/Locale.h"

namespace zd {

enum class TFormatFamily { None, Character, Number, DateTime };
enum class TTextCase { None, Upper, Lower, Proper };
// Indices of the date and time type lists.
enum TFormatStyle : int { fsLong = 0, fsShort = 1, fsCustom = 2, fsNone = 3 };

struct TFormatChoices {
  TFormatFamily Family = TFormatFamily::None;

  TTextCase TextCase = TTextCase::None;
  bool Trim = false;
  std::string CustomMask;

  bool DefaultNumber = true;
  int Decimals = 2;            // index of "0".."9"
  int Negatives = 1;           // "None", "-123", "123-", "(123)"
  std::string DecimalSeparator = ".";
  bool Thousands = false;
  std::string ThousandSeparator = ",";
  std::string RoundBy = "1";
  bool BlankZero = false, LeadingZeros = false, Scientific = false;
  bool CurrencySign = false;
  bool DefaultCurrency = true;
  std::string CurrencySymbol = "$";
  int CurrencyPositive = 0;    // the locale's 4 positive layouts
  int CurrencyNegative = 0;    // the locale's 16 negative layouts

  int DateType = fsShort;
  int DateOrder = 0;           // "DMY", "DYM", "MDY", "MYD", "YMD", "YDM"
  std::string DateSeparator = "/";
  int Day = 1, Month = 1, Year = 1;  // indexes of their lists; the last is "None"
  int Weekday = 2;             // short, long, none
  std::string WeekdaySeparator = " ";

  int TimeType = fsShort;
  bool Hour24 = true;
  std::string TimeSeparator = ":";
  std::string AM = "AM", PM = "PM";
  int MarkerPosition = 1;      // before, after the time
  int Hour = 1, Minute = 1, Second = 1;

  bool operator==(const TFormatChoices&) const = default;
};

// The round-by steps offered, smallest first.
inline constexpr const char* kRoundBySteps[] = {"0.0000001", "0.000001", "0.00001", "0.0001", "0.001",
                                                "0.01",      "0.1",      "1",       "10",     "100",
                                                "1000",      "10000",    "100000",  "1000000"};

// What an untouched dialog shows: separators, currency and markers of the locale.
TFormatChoices DefaultFormatChoices(const TLocale& loc = currentLocale());
std::string ComposeFormat(const TFormatChoices& choices);
// The codes found in format are set over choices; what it does not say stays.
void ReadFormat(const std::string& format, TFormatChoices& choices);

}  // namespace zd
