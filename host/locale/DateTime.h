#pragma once
// Calendar arithmetic on TDateTime (days since 30 December 1899, time of day
// as the fraction), proleptic Gregorian from year 1 to 9999. Before the epoch
// the day number is negative and the time is still the absolute fraction:
// -1.25 is 29 December 1899, 06:00.
#include "host/core/Component.h"
#include "host/core/Variant.h"

namespace zd {

struct TDateParts {
  int year = 0, month = 0, day = 0;
  bool operator==(const TDateParts&) const = default;
};

struct TTimeParts {
  int hour = 0, minute = 0, second = 0, msec = 0;
  bool operator==(const TTimeParts&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

bool IsValidDate(int year, int month, int day);
// EConvertError for an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// Joins a date and a time, keeping the time positive before the epoch.
TDateTime EncodeDateTime(const TDateParts& date, const TTimeParts& time);

// EConvertError for a value outside years 1..9999 or not a number.
TDateParts DecodeDate(TDateTime value);
TTimeParts DecodeTime(TDateTime value);  // to the nearest millisecond
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// The date without its time, and the time without its date.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

}  // namespace zd
