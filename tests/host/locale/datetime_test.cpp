#include "host/locale/DateTime.h"

#include <gtest/gtest.h>

#include <QDate>
#include <cmath>
#include <limits>

#include "host/locale/Clock.h"

namespace zd {
namespace {

TEST(DateTimeEncoding, KnownDayNumbersAndInvalidDatesAndTimesRaise) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).days, 0);
  EXPECT_EQ(EncodeDate(1899, 12, 31).days, 1);
  EXPECT_EQ(EncodeDate(1900, 1, 1).days, 2);
  EXPECT_EQ(EncodeDate(1900, 3, 1).days, 61);  // 1900 is no leap year
  EXPECT_EQ(EncodeDate(2000, 1, 1).days, 36526);
  EXPECT_EQ(EncodeDate(1899, 12, 29).days, -1);
  EXPECT_EQ(EncodeDate(1800, 1, 1).days, -36522);
  EXPECT_EQ(EncodeDate(1, 1, 1).days, -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31).days, 2958465);
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  EXPECT_THROW(DecodeDate({std::numeric_limits<double>::quiet_NaN()}), EConvertError);
  EXPECT_THROW(DecodeDate({1e12}), EConvertError);
  EXPECT_THROW(DecodeTime({-1e12}), EConvertError);
}

TEST(DateTimeEncoding, DecodeInvertsEncodeAndConsecutiveDaysAreConsecutiveNumbers) {
  for (int year : {1, 4, 100, 1582, 1600, 1800, 1899, 1900, 1904, 2000, 2024, 2100, 9999})
    for (int month = 1; month <= 12; ++month)
      for (int day : {1, 15, DaysInMonth(year, month)}) {
        const TDateParts parts{year, month, day};
        EXPECT_EQ(DecodeDate(EncodeDate(year, month, day)), parts) << year << "-" << month << "-" << day;
      }
  double previous = EncodeDate(1895, 1, 1).days - 1;
  for (int year = 1895; year <= 1905; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= DaysInMonth(year, month); ++day) {
        const double d = EncodeDate(year, month, day).days;
        ASSERT_EQ(d, previous + 1) << year << "-" << month << "-" << day;
        previous = d;
      }
}

TEST(DateTimeTime, FractionIsTheTimeOfDayAbsoluteBeforeTheEpochAndRoundingToMidnightMovesOn) {
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0).days, 0.25);
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0).days, 0.75);
  EXPECT_EQ(DecodeTime({36526.5}), (TTimeParts{12, 0, 0, 0}));
  EXPECT_EQ(DecodeTime(EncodeTime(23, 59, 59, 999)), (TTimeParts{23, 59, 59, 999}));
  const TDateTime t = EncodeDateTime({2024, 2, 29}, {13, 45, 30, 250});
  EXPECT_EQ(DecodeDate(t), (TDateParts{2024, 2, 29}));
  EXPECT_EQ(DecodeTime(t), (TTimeParts{13, 45, 30, 250}));
  // -1.25: the day before the epoch, a quarter past midnight's day.
  EXPECT_EQ(DecodeDate({-1.25}), (TDateParts{1899, 12, 29}));
  EXPECT_EQ(DecodeTime({-1.25}), (TTimeParts{6, 0, 0, 0}));
  const TDateTime before = EncodeDateTime({1899, 12, 29}, {18, 0, 0, 0});
  EXPECT_DOUBLE_EQ(before.days, -1.75);
  EXPECT_EQ(DecodeTime(before), (TTimeParts{18, 0, 0, 0}));
  // Between -1 and 0 the day is still the epoch.
  EXPECT_EQ(DecodeDate({-0.5}), (TDateParts{1899, 12, 30}));
  EXPECT_EQ(DecodeTime({-0.5}), (TTimeParts{12, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(DateOf({-1.25}).days, -1);
  EXPECT_DOUBLE_EQ(TimeOf({-1.25}).days, 0.25);
  // Rounding up to midnight moves to the next day.
  const double almost = 1.0 - 0.1 / 86400000.0;  // 0.1 ms before midnight
  EXPECT_EQ(DecodeDate({36526 + almost}), (TDateParts{2000, 1, 2}));
  EXPECT_EQ(DecodeTime({36526 + almost}), (TTimeParts{0, 0, 0, 0}));
  EXPECT_EQ(DecodeDate({-2 - almost}), (TDateParts{1899, 12, 29}));
}

TEST(DateTimeCalendar, DayOfWeekStartsOnSundayLeapYearsAndMonthLengths) {
  EXPECT_EQ(DayOfWeek({0}), 7);                       // 1899-12-30 was a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);    // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 7, 14)), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1815, 6, 18)), 1);   // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // Monday
  EXPECT_EQ(DayOfWeek({-1.5}), 6);                    // Friday, time ignored
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 0), 0);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

// ---- the clock ----

TEST(Clock, DefaultIsTheSystemClockAndSetClockInstallsAFunctionUntilReset) {
  SetClock({});
  const TDateTime now = Now();
  const QDate today = QDate::currentDate();
  const TDateParts d = DecodeDate(now);
  // Allow for midnight passing between the two readings.
  const QDate read(d.year, d.month, d.day);
  EXPECT_LE(std::abs(read.daysTo(today)), 1);
  EXPECT_GE(now.days, EncodeDate(2020, 1, 1).days);
  double t = 10;
  SetClock([&t] { return TDateTime{t += 1}; });
  EXPECT_EQ(Now().days, 11);
  EXPECT_EQ(Now().days, 12);
  SetClock({});
  EXPECT_GT(Now().days, 40000);
}

TEST(Clock, OverrideFixesTheTimeAndRestoresThePrevious) {
  const TDateTime fixed = EncodeDateTime({2001, 2, 3}, {4, 5, 6, 0});
  {
    TClockOverride outer(fixed);
    EXPECT_EQ(Now(), fixed);
    {
      TClockOverride inner(TDateTime{1.5});
      EXPECT_EQ(Now().days, 1.5);
    }
    EXPECT_EQ(Now(), fixed);
  }
  EXPECT_NE(Now(), fixed);  // back to the real clock
}

}  // namespace
}  // namespace zd
