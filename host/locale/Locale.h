#pragma once
// Locale settings that formatting and parsing read. The default is fixed
// (English, United States conventions) so results do not depend on the machine;
// applications may install another one.
#include <array>
#include <string>

namespace zd {

struct TLocale {
  char decimalSeparator = '.';
  char thousandSeparator = ',';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "M/d/yyyy";
  std::string longDateFormat = "dddd, MMMM d, yyyy";
  std::string shortTimeFormat = "h:mm AMPM";
  std::string longTimeFormat = "h:mm:ss AMPM";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonthNames{"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
  std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  std::string currencyString = "$";
  int currencyFormat = 0;          // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  int negCurrencyFormat = 0;       // 0 "($1)" ... as the system's table
  int currencyDecimals = 2;
  int numberDecimals = 2;          // fractional digits of plain number formats
  int primaryLanguageId = 0x09;    // LANG_ENGLISH
  int ansiCodePage = 1252;
};

// The process-wide locale; tests and applications may replace it.
const TLocale& currentLocale();
void setCurrentLocale(const TLocale& locale);

}  // namespace zd
